// The gzip framing around the deflate data: member headers and trailers.
#include "file/GzipFileManager.h"

namespace {

// Header flag bits.
constexpr int flagHeaderCrc = 0x02;
constexpr int flagExtra = 0x04;
constexpr int flagName = 0x08;
constexpr int flagComment = 0x10;
constexpr int flagsReserved = 0xe0;
constexpr int methodDeflate = 8;

}  // namespace

bool GzipFileManager::refill() {
    std::int32_t count = source->read(input + 1, inputCapacity, -1);
    // The bytes of a read that failed on the way are not the file's.
    bool delivered = count > 0 && !source->failed();
    stream.next_in = input + 1;
    stream.avail_in = delivered ? static_cast<uInt>(count) : 0;
    if (!delivered) endOfInput = true;
    return delivered;
}

int GzipFileManager::nextByte() {
    if (endOfInput || (stream.avail_in == 0 && !refill())) return -1;
    --stream.avail_in;
    return *stream.next_in++;
}

std::uint32_t GzipFileManager::nextLong() {
    std::uint32_t value = 0;
    for (int shift = 0; shift < 32; shift += 8) {
        int byte = nextByte();
        if (byte < 0) {
            status = Z_DATA_ERROR;
            return 0;
        }
        value |= static_cast<std::uint32_t>(byte) << shift;
    }
    return value;
}

void GzipFileManager::giveBack(int first, int second) {
    // The byte in front of the input has room for a first byte consumed before a
    // refill; every other byte goes back to where it was read from.
    for (int byte : {second, first}) {
        if (byte < 0) continue;
        --stream.next_in;
        *stream.next_in = static_cast<std::uint8_t>(byte);
        ++stream.avail_in;
    }
}

void GzipFileManager::checkHeader() {
    int first = nextByte();
    if (first < 0) return;
    int second = first == magic[0] ? nextByte() : -1;
    if (first != magic[0] || second != magic[1]) {
        compressed = false;
        giveBack(first, second);
        status = Z_OK;
        return;
    }
    compressed = true;
    int method = nextByte();
    int flags = nextByte();
    if (method != methodDeflate || flags < 0 || (flags & flagsReserved) != 0) {
        status = Z_DATA_ERROR;
        return;
    }
    // Modification time, extra flags, operating system.
    for (int i = 0; i < 6 && nextByte() >= 0; ++i) {}
    if ((flags & flagExtra) != 0) {
        int low = nextByte();
        int high = nextByte();
        int length = low >= 0 && high >= 0 ? low | high << 8 : 0;
        for (int i = 0; i < length && nextByte() >= 0; ++i) {}
    }
    for (int text : {flagName, flagComment}) {
        if ((flags & text) == 0) continue;
        for (int byte = nextByte(); byte > 0; byte = nextByte()) {}
    }
    // The header's own CRC is not checked: the content's CRC-32 covers what matters.
    if ((flags & flagHeaderCrc) != 0) {
        for (int i = 0; i < 2 && nextByte() >= 0; ++i) {}
    }
    status = endOfInput ? Z_DATA_ERROR : Z_OK;
}

void GzipFileManager::finishMember() {
    std::uint32_t storedCrc = nextLong();
    if (status != Z_STREAM_END) return;
    if (storedCrc != crc) {
        status = Z_DATA_ERROR;
        return;
    }
    std::uint32_t storedLength = nextLong();
    if (status != Z_STREAM_END) return;
    if (storedLength != static_cast<std::uint32_t>(stream.total_out)) {
        status = Z_DATA_ERROR;
        return;
    }
    checkHeader();
    if (status == Z_OK) {
        inflateReset(&stream);
        crc = 0;
    }
}
