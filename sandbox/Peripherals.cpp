#include "sandbox/Peripherals.h"

#include "sandbox/SerialPortModels.h"

namespace sandbox {

Peripherals::Peripherals(const MachineProfile& profile, std::function<void(char)> echo) {
    SerialSink sink = [this, echo = std::move(echo)](char c) {
        serialOutput += c;
        if (echo) echo(c);
    };
    if (isStrongArm(profile)) {
        uart = std::make_shared<Sa11x0UartModel>(sink);
        all.push_back({Sa11x0UartModel::base, Sa11x0UartModel::windowBytes, uart});
        return;
    }
    uart = std::make_shared<Pxa2x0UartModel>(sink);
    gpio = std::make_shared<GpioModel>(profile);
    lcdController = std::make_shared<LcdControllerModel>(profile.displayWidth, profile.displayHeight, profile.displayDepth);
    all.push_back({Pxa2x0UartModel::base, Pxa2x0UartModel::windowBytes, uart});
    all.push_back({GpioModel::base, GpioModel::windowBytes, gpio});
    all.push_back({LcdControllerModel::base, LcdControllerModel::windowBytes, lcdController});
}

void Peripherals::attachTo(PhysicalMemory& memory) const {
    for (const Window& w : all) memory.attachDevice(w.base, w.size, w.model);
}

std::vector<PhysicalSpace::Device> Peripherals::windows() const {
    std::vector<PhysicalSpace::Device> list;
    for (const Window& w : all) list.push_back({w.base, w.size, w.model.get()});
    return list;
}

}  // namespace sandbox
