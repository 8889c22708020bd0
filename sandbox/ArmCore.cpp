#include "sandbox/ArmCore.h"

#include <unicorn/unicorn.h>

#include "sandbox/Cp15Model.h"

namespace sandbox {

namespace {

int modelOf(Processor processor) {
    switch (processor) {
        case Processor::sa1100: return UC_CPU_ARM_SA1100;
        case Processor::sa1110: return UC_CPU_ARM_SA1110;
        case Processor::pxa250: return UC_CPU_ARM_PXA250;
        case Processor::pxa270: return UC_CPU_ARM_PXA270C5;
    }
    return UC_CPU_ARM_SA1110;
}

int registerId(unsigned number) {
    // r0..r12 are consecutive in unicorn's numbering; sp, lr and pc are not.
    if (number <= 12) return UC_ARM_REG_R0 + static_cast<int>(number);
    if (number == 13) return UC_ARM_REG_SP;
    if (number == 14) return UC_ARM_REG_LR;
    return UC_ARM_REG_PC;
}

std::uint64_t deviceRead(uc_engine*, std::uint64_t offset, unsigned size, void* model) {
    return static_cast<DeviceModel*>(model)->readRegister(static_cast<std::uint32_t>(offset), size);
}

void deviceWrite(uc_engine*, std::uint64_t offset, unsigned size, std::uint64_t value, void* model) {
    static_cast<DeviceModel*>(model)->writeRegister(static_cast<std::uint32_t>(offset), static_cast<std::uint32_t>(value),
                                                    size);
}

void cp15Hook(uc_engine* uc, std::uint64_t address, std::uint32_t, void* user) {
    auto* core = static_cast<ArmCore*>(user);
    std::uint32_t instruction = 0;
    if (uc_mem_read(uc, address, &instruction, 4) != UC_ERR_OK) return;
    std::optional<Cp15Transfer> transfer = decodeCp15(instruction);
    if (!transfer) return;
    core->carryOutCp15(*transfer, static_cast<std::uint32_t>(address));
}

}  // namespace

ArmCore::ArmCore(Processor processor) {
    uc_engine* uc = nullptr;
    uc_err result = uc_open(UC_ARCH_ARM, UC_MODE_ARM, &uc);
    if (result != UC_ERR_OK) {
        error_ = std::string("can't start the ARM emulator: ") + uc_strerror(result);
        return;
    }
    result = uc_ctl_set_cpu_model(uc, modelOf(processor));
    if (result != UC_ERR_OK) {
        error_ = std::string("the ARM emulator lacks the processor model: ") + uc_strerror(result);
        uc_close(uc);
        return;
    }
    engine_ = uc;
}

ArmCore::~ArmCore() {
    if (engine_ != nullptr) uc_close(engine_);
}

bool ArmCore::checked(int result, const char* what) {
    if (result == UC_ERR_OK) return true;
    error_ = std::string(what) + ": " + uc_strerror(static_cast<uc_err>(result));
    return false;
}

bool ArmCore::mapHost(std::uint32_t base, std::uint32_t size, std::uint8_t* host) {
    return checked(uc_mem_map_ptr(engine_, base, size, UC_PROT_ALL, host), "can't map memory");
}

bool ArmCore::mapOwn(std::uint32_t base, std::uint32_t size) {
    return checked(uc_mem_map(engine_, pageBase(base), pagesSpan(base, size), UC_PROT_ALL), "can't map memory");
}

bool ArmCore::mapDevice(std::uint32_t base, std::uint32_t size, DeviceModel& model) {
    return checked(uc_mmio_map(engine_, base, size, deviceRead, &model, deviceWrite, &model), "can't map a device");
}

bool ArmCore::write(std::uint32_t address, const void* data, std::uint32_t length) {
    return checked(uc_mem_write(engine_, address, data, length), "can't write memory");
}

bool ArmCore::read(std::uint32_t address, void* out, std::uint32_t length) {
    return checked(uc_mem_read(engine_, address, out, length), "can't read memory");
}

std::uint32_t ArmCore::reg(unsigned number) {
    std::uint32_t value = 0;
    uc_reg_read(engine_, registerId(number), &value);
    return value;
}

void ArmCore::setReg(unsigned number, std::uint32_t value) { uc_reg_write(engine_, registerId(number), &value); }

std::uint32_t ArmCore::cpsr() {
    std::uint32_t value = 0;
    uc_reg_read(engine_, UC_ARM_REG_CPSR, &value);
    return value;
}

void ArmCore::setCpsr(std::uint32_t value) { uc_reg_write(engine_, UC_ARM_REG_CPSR, &value); }

void ArmCore::emulateCp15(ProcessorState& state, std::uint32_t begin, std::uint32_t end) {
    cp15State = &state;
    uc_hook hook;
    uc_hook_add(engine_, &hook, UC_HOOK_CODE, reinterpret_cast<void*>(cp15Hook), this, begin, end);
}

void ArmCore::carryOutCp15(const Cp15Transfer& transfer, std::uint32_t address) {
    ProcessorState& state = *cp15State;
    if ((cpsr() & modeMask) == userMode) {
        state.faultAddresses.push_back(address);
    } else if (transfer.read) {
        std::uint32_t value = readCp15(state, transfer);
        if (transfer.rd != 15) setReg(transfer.rd, value);
    } else {
        writeCp15(state, transfer, reg(transfer.rd));
    }
    setReg(15, address + 4);
}

bool ArmCore::run(std::uint32_t start, std::uint32_t until, std::uint64_t limit) {
    return checked(uc_emu_start(engine_, start, until, 0, limit), "the emulated core stopped");
}

void ArmCore::stop() { uc_emu_stop(engine_); }

}  // namespace sandbox
