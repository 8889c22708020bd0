// The MBR walk and the disk-label check, over a disk whose first sectors are the input.
// The first byte (boot code, which nothing parses) picks the label partition.
#include <cstdint>
#include <cstring>
#include <vector>

#include "file/IoResult.h"
#include "file/Winblk.h"
#include "sandbox/BlockDevice.h"
#include "sandbox/Machine.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // One machine for every run; each run attaches its own disk, and must leave no
    // handle open.
    static sandbox::Machine& machine = sandbox::resetMachine(sandbox::machineProfiles().front());
    std::vector<std::uint8_t> disk((size + 511) / 512 * 512);
    if (size != 0) std::memcpy(disk.data(), data, size);
    sandbox::attachDisk(1, std::move(disk));
    std::int32_t partition = size > 0 ? (data[0] + 2) % 32 - 2 : 0;
    {
        OpenFile file;
        if (winblkOpen(file, "DSK", 1, partition) == io::ok) {
            // Whatever was selected, reads must stay within the partition and the buffer.
            std::uint8_t buffer[1000];
            std::uint32_t done = 0;
            winblkStrategy(file.deviceData.get(), deviceRead, 0, sizeof buffer, buffer, &done);
            winblkStrategy(file.deviceData.get(), deviceRead, file.deviceData->sectorCount - 1, 512, buffer, &done);
            winblkClose(file);
        }
    }
    if (!machine.handles.empty()) __builtin_trap();
    // What the machine records for tests would otherwise grow from run to run.
    machine.boxes.clear();
    machine.debugLog.clear();
    return 0;
}
