// Page geometry is given in 1/96-inch design units and drawn in the simulated
// display's pixels, so the layout follows the device, not the desktop.
#pragma once

namespace designUnits {

int toPixelsX(int units);
int toPixelsY(int units);
int fromPixelsX(int pixels);
int fromPixelsY(int pixels);

}  // namespace designUnits
