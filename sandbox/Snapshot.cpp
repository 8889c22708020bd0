#include "sandbox/Snapshot.h"

#include <array>
#include <cstring>
#include <vector>

#include "host/HostDirectory.h"
#include "host/HostFile.h"
#include "sandbox/SnapshotShimCode.h"

namespace sandbox {

namespace {

constexpr std::uint32_t frameSize = PhysicalMemory::frameSize;
/// The ELF header and its one program header, then RAM from this file offset on.
constexpr std::uint32_t ramOffset = 0x1000;

void put16(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
    out[at] = static_cast<std::uint8_t>(value);
    out[at + 1] = static_cast<std::uint8_t>(value >> 8);
}
void put32(std::vector<std::uint8_t>& out, std::size_t at, std::uint32_t value) {
    put16(out, at, value & 0xFFFF);
    put16(out, at + 2, value >> 16);
}

/// An ELF32 little-endian ARM executable header with one loadable segment that holds
/// all of RAM at its physical address.
std::vector<std::uint8_t> elfHead(std::uint32_t entry, std::uint32_t ramStart, std::uint32_t ramSize) {
    std::vector<std::uint8_t> head(ramOffset, 0);
    const std::uint8_t ident[] = {0x7F, 'E', 'L', 'F', 1, 1, 1};
    std::memcpy(head.data(), ident, sizeof ident);
    put16(head, 16, 2);      // executable
    put16(head, 18, 40);     // ARM
    put32(head, 20, 1);      // version
    put32(head, 24, entry);
    put32(head, 28, 52);     // program headers right behind this header
    put32(head, 36, 0x05000000);  // EABI version 5
    put16(head, 40, 52);
    put16(head, 42, 32);
    put16(head, 44, 1);
    put16(head, 46, 40);
    std::size_t ph = 52;
    put32(head, ph, 1);  // PT_LOAD
    put32(head, ph + 4, ramOffset);
    put32(head, ph + 8, ramStart);
    put32(head, ph + 12, ramStart);
    put32(head, ph + 16, ramSize);
    put32(head, ph + 20, ramSize);
    put32(head, ph + 24, 7);  // read, write, execute
    put32(head, ph + 28, frameSize);
    return head;
}

/// The highest page of RAM that the boot loader left untouched.
bool freePage(const PhysicalMemory& memory, std::uint32_t& page) {
    for (std::uint32_t offset = memory.ramSize(); offset >= frameSize; offset -= frameSize) {
        std::uint32_t candidate = memory.ramStart() + offset - frameSize;
        if (memory.existingFrame(candidate) == nullptr) {
            page = candidate;
            return true;
        }
    }
    return false;
}

/// The shim with the switch's arguments, and the switch behind it.
std::vector<std::uint8_t> entryCode(const SwitchRecord& record) {
    std::vector<std::uint8_t> code(snapshotShim::bytes, snapshotShim::bytes + snapshotShim::size);
    std::uint32_t arguments = snapshotShim::shimArguments.address - snapshotShim::base;
    for (std::size_t i = 0; i < record.args.size(); ++i) put32(code, arguments + 4 * i, record.args[i]);
    const std::uint8_t* routine = record.code.bytes + (record.routine.address - record.code.base);
    code.insert(code.end(), routine, routine + record.routine.size);
    return code;
}

bool writeAll(host::File& file, const void* data, std::size_t length) {
    return file.write(data, length) == static_cast<std::int64_t>(length);
}

}  // namespace

bool writeSnapshot(Machine& machine, const SwitchRecord& record, const std::filesystem::path& path, SnapshotInfo& info,
                   std::string& error) {
    PhysicalMemory& memory = machine.memory;
    std::uint32_t shimPage = 0;
    if (!freePage(memory, shimPage)) {
        error = "no page of RAM is free for the snapshot's entry";
        return false;
    }
    info = {shimPage, memory.ramStart(), memory.ramSize()};
    host::File file = host::File::open(path, host::File::Mode::createAlways);
    if (!file.isOpen()) {
        error = "can't create " + host::utf8Name(path) + ": " + std::strerror(file.error());
        return false;
    }
    std::vector<std::uint8_t> head = elfHead(shimPage, memory.ramStart(), memory.ramSize());
    bool written = writeAll(file, head.data(), head.size());
    std::vector<std::uint8_t> shim = entryCode(record);
    shim.resize(frameSize, 0);
    std::array<std::uint8_t, frameSize> fill;
    fill.fill(PhysicalMemory::fillByte);
    for (std::uint32_t offset = 0; written && offset < memory.ramSize(); offset += frameSize) {
        std::uint32_t physical = memory.ramStart() + offset;
        const std::uint8_t* frame = memory.existingFrame(physical);
        const std::uint8_t* page = physical == shimPage ? shim.data() : frame != nullptr ? frame : fill.data();
        written = writeAll(file, page, frameSize);
    }
    if (!written) error = "can't write " + host::utf8Name(path) + ": " + std::strerror(file.error());
    return written;
}

}  // namespace sandbox
