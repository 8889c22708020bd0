// Arbitrary bytes as a file read through GzipFileManager, with reads, seeks and size
// queries mixed, every answer checked against an independent decode of the bytes.
//
// Input: one byte choosing the source's largest read, one byte of operation count,
// three bytes per operation, then the file.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "console/Console.h"
#include "file/GzipFileManager.h"
#include "fuzz/gzip_reference.h"
#include "fuzz/memory_source.h"

namespace {

class QuietConsole : public Console {
protected:
    void emit() override {}
};

void check(bool condition) {
    if (!condition) std::abort();
}

/// What the reader must answer, given the reference decode.
class Model {
public:
    Model(GzipFileManager& file, const ReferenceDecode& reference) : file(file), ref(reference) {}

    void read(std::int32_t offset, std::uint32_t length) {
        if (offset != -1) {
            seekTo(static_cast<std::uint32_t>(offset), ref.plain || static_cast<std::size_t>(offset) <= ref.content.size());
        }
        std::string got(length, '\0');
        std::int32_t count = file.read(got.data(), length, offset);
        if (ref.damaged) return readDamaged(got, count);
        std::size_t expected = position >= ref.content.size() ? 0 : std::min<std::size_t>(length, ref.content.size() - position);
        check(count == static_cast<std::int32_t>(expected));
        check(expected == 0 || got.compare(0, expected, ref.content, position, expected) == 0);
        position += expected;
    }

    void seek(std::uint32_t offset) {
        bool moved = file.seek(offset);
        if (ref.damaged) {
            lost = !moved;
            position = offset;
            return;
        }
        bool reachable = ref.plain || offset <= ref.content.size();
        check(moved == reachable);
        position = reachable ? offset : ref.content.size();
    }

    void realSize() {
        std::uint32_t size = file.realSize();
        if (ref.damaged) {
            check(size == 0xFFFFFFFF);
        } else {
            check(size == (ref.plain ? ref.content.size() : ref.content.size() - position));
        }
    }

private:
    void seekTo(std::uint32_t offset, bool reachable) {
        // A read's own seek: its result is not reported, only where reading goes on.
        if (ref.damaged) {
            lost = false;
            position = offset;
            return;
        }
        position = reachable ? offset : ref.content.size();
    }

    void readDamaged(const std::string& got, std::int32_t count) {
        // All or nothing, and only bytes that were decoded before the damage.
        if (lost) check(count == -1);
        check(count == -1 || count == static_cast<std::int32_t>(got.size()));
        if (count == -1) {
            lost = true;
            return;
        }
        check(position + got.size() <= ref.content.size());
        check(ref.content.compare(position, got.size(), got) == 0);
        position += got.size();
    }

    GzipFileManager& file;
    const ReferenceDecode& ref;
    std::size_t position = 0;
    bool lost = false;  // damaged and failed: where the reader stands is not known
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::uint32_t pieces[] = {1, 7, 300, 1024, 4096};
    std::uint32_t piece = pieces[data[0] % 5];
    std::size_t operations = std::min<std::size_t>(data[1] % 17, (size - 2) / 3);
    const std::uint8_t* script = data + 2;
    const std::uint8_t* bytes = script + 3 * operations;
    std::size_t fileSize = size - 2 - 3 * operations;

    static QuietConsole quiet;
    Console* console = &quiet;
    ReferenceDecode reference = referenceDecode(bytes, fileSize);
    GzipFileManager file(&console, std::make_unique<MemorySource>(&console, bytes, fileSize, piece));
    check(file.open(u"f", 3));
    Model model(file, reference);
    std::size_t span = reference.content.size() + 300;
    for (std::size_t i = 0; i < operations; ++i) {
        const std::uint8_t* op = script + 3 * i;
        std::uint32_t argument = op[1] | op[2] << 8;
        auto offset = static_cast<std::uint32_t>(argument % span);
        std::uint32_t length = 1 + argument % 5000;
        switch (op[0] % 4) {
            case 0: model.read(-1, length); break;
            case 1: model.read(static_cast<std::int32_t>(offset), 1 + op[0] * 17); break;
            case 2: model.seek(offset); break;
            default: model.realSize(); break;
        }
    }
    model.read(-1, 0x10000);
    file.close();
    return 0;
}
