#include "menu/DesignUnits.h"

#include "platform/queries.h"

namespace designUnits {

namespace {

constexpr int designDpi = 96;

/// A display that reports no density is taken at the design density.
int dpi(platform::DisplayCapability capability) {
    int value = platform::displayCapability(capability);
    return value > 0 ? value : designDpi;
}

int horizontalDpi() { return dpi(platform::DisplayCapability::pixelsPerInch); }
int verticalDpi() { return dpi(platform::DisplayCapability::pixelsPerInchY); }

}  // namespace

int toPixelsX(int units) { return units * horizontalDpi() / designDpi; }
int toPixelsY(int units) { return units * verticalDpi() / designDpi; }
int fromPixelsX(int pixels) { return pixels * designDpi / horizontalDpi(); }
int fromPixelsY(int pixels) { return pixels * designDpi / verticalDpi(); }

}  // namespace designUnits
