// The UFS reader over an in-memory disk. The input is a script and the disk: one byte L,
// L bytes of script (a path up to its NUL, then 5-byte operations), then the disk's
// sectors that are not all zeros, each a byte of sector number and 512 bytes (the last
// may be short). The disk ends after the highest sector given. Leaving out the zero
// sectors keeps inputs small, which is most of what makes a run fast.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

#include "file/IoResult.h"
#include "file/UfsFile.h"
#include "file/Winblk.h"
#include "sandbox/BlockDevice.h"
#include "sandbox/Machine.h"

namespace {

constexpr std::uint32_t largestRead = 70000;

std::uint32_t word(const std::uint8_t* p) {
    std::uint32_t value;
    std::memcpy(&value, p, 4);
    return value;
}

/// The disk the sector records describe: at most 256 sectors, zeros where none is given.
std::vector<std::uint8_t> sparseDisk(const std::uint8_t* records, std::size_t size) {
    constexpr std::size_t sector = 512;
    std::size_t sectors = 0;
    for (std::size_t at = 0; at < size; at += 1 + sector) sectors = std::max<std::size_t>(sectors, records[at] + 1u);
    std::vector<std::uint8_t> disk(sectors * sector);
    for (std::size_t at = 0; at < size; at += 1 + sector) {
        std::size_t bytes = std::min(sector, size - at - 1);
        std::memcpy(disk.data() + records[at] * sector, records + at + 1, bytes);
    }
    return disk;
}

/// Runs the 5-byte operations: reads, seeks from each origin, and status queries.
void run(OpenFile& file, const std::uint8_t* ops, std::size_t size) {
    static std::vector<std::uint8_t> buffer(largestRead);
    for (; size >= 5; ops += 5, size -= 5) {
        std::uint32_t value = word(ops + 1);
        std::uint32_t remaining = 0;
        UfsStat status{};
        switch (ops[0] % 4) {
            case 0:
                ufsRead(file, buffer.data(), value % largestRead, &remaining);
                if (remaining > value % largestRead) __builtin_trap();
                break;
            case 1: ufsSeek(file, static_cast<std::int32_t>(value), ops[0] / 4 % 4); break;
            case 2: ufsStat(file, &status); break;
            default: ufsSeek(file, value, 0); break;
        }
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1 || size < 1 + std::size_t{data[0]}) return 0;
    const std::uint8_t* script = data + 1;
    std::size_t scriptSize = data[0];
    std::size_t pathLength = strnlen(reinterpret_cast<const char*>(script), std::min<std::size_t>(scriptSize, 259));
    char path[260] = {};
    std::memcpy(path, script, pathLength);

    // One machine for every run; each run attaches its own disk, and must leave no
    // handle open.
    static sandbox::Machine& machine = sandbox::resetMachine(sandbox::machineProfiles().front());
    sandbox::attachDisk(1, sparseDisk(data + 1 + scriptSize, size - 1 - scriptSize));
    {
        OpenFile file;
        if (winblkOpen(file, "DSK", 1, 0) == io::ok && ufsOpen(file, path) == io::ok) {
            std::size_t opsAt = std::min(pathLength + 1, scriptSize);
            run(file, script + opsAt, scriptSize - opsAt);
            ufsClose(file);
        }
    }
    if (!machine.handles.empty()) __builtin_trap();
    // What the machine records for tests would otherwise grow from run to run.
    machine.boxes.clear();
    machine.debugLog.clear();
    return 0;
}
