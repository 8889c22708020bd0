// The devices behind the machine's physical register windows: the UART that a
// direct-hardware console and a kernel write to, and on PXA2x0 machines the GPIO
// block and the LCD controller that the boot loader dumps.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sandbox/ArmExecutor.h"
#include "sandbox/GpioModel.h"
#include "sandbox/LcdControllerModel.h"
#include "sandbox/MachineProfile.h"
#include "sandbox/PhysicalMemory.h"

namespace sandbox {

class Peripherals {
public:
    /// The devices of `profile`, in the state the platform left them. What the UART
    /// transmits is kept in `serialOutput` and also handed to `echo`.
    Peripherals(const MachineProfile& profile, std::function<void(char)> echo);
    Peripherals(const Peripherals&) = delete;
    Peripherals& operator=(const Peripherals&) = delete;

    /// Makes the register windows reachable through `memory`.
    void attachTo(PhysicalMemory& memory) const;
    /// The register windows, for a core that runs after the switch.
    std::vector<PhysicalSpace::Device> windows() const;

    /// What the UART has transmitted.
    std::string serialOutput;
    /// Null on SA-11x0 machines.
    std::shared_ptr<GpioModel> gpio;
    std::shared_ptr<LcdControllerModel> lcdController;
    std::shared_ptr<DeviceModel> uart;

private:
    struct Window {
        std::uint32_t base;
        std::uint32_t size;
        std::shared_ptr<DeviceModel> model;
    };
    std::vector<Window> all;
};

}  // namespace sandbox
