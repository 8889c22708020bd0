// Decodes with the whole file in hand: headers parsed over the array, each member
// inflated in one call, trailers compared afterwards.
#include "fuzz/gzip_reference.h"

#include <zlib.h>

namespace {

bool magicAt(const std::uint8_t* data, std::size_t size, std::size_t at) {
    return size - at >= 2 && data[at] == 0x1f && data[at + 1] == 0x8b;
}

/// The offset of the deflate data of the member at `at`; false when its header is
/// damaged or runs past the end.
bool parseHeader(const std::uint8_t* data, std::size_t size, std::size_t at, std::size_t& body) {
    if (size - at < 10 || data[at + 2] != 8 || (data[at + 3] & 0xe0) != 0) return false;
    int flags = data[at + 3];
    std::size_t p = at + 10;
    if (flags & 0x04) {
        if (size - p < 2) return false;
        std::size_t length = data[p] | data[p + 1] << 8;
        if (size - p - 2 < length) return false;
        p += 2 + length;
    }
    for (int text : {0x08, 0x10}) {
        if ((flags & text) == 0) continue;
        while (p < size && data[p] != 0) ++p;
        if (p == size) return false;
        ++p;
    }
    if (flags & 0x02) {
        if (size - p < 2) return false;
        p += 2;
    }
    body = p;
    return true;
}

std::uint32_t little(const std::uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

/// Inflates the member whose data starts at `body`, appending to `out`; the offset
/// after its trailer, or 0 when the member is damaged.
std::size_t inflateMember(const std::uint8_t* data, std::size_t size, std::size_t body, std::string& out) {
    z_stream stream{};
    if (inflateInit2(&stream, -15) != Z_OK) return 0;
    stream.next_in = const_cast<Bytef*>(data + body);
    stream.avail_in = static_cast<uInt>(size - body);
    std::size_t start = out.size();
    int status;
    do {
        unsigned char block[4096];
        stream.next_out = block;
        stream.avail_out = sizeof block;
        status = inflate(&stream, Z_NO_FLUSH);
        out.append(reinterpret_cast<char*>(block), sizeof block - stream.avail_out);
    } while (status == Z_OK);
    std::size_t trailer = body + stream.total_in;
    std::size_t produced = out.size() - start;
    inflateEnd(&stream);
    if (status != Z_STREAM_END || size - trailer < 8) return 0;
    auto crc = static_cast<std::uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(out.data() + start), static_cast<uInt>(produced)));
    if (little(data + trailer) != crc || little(data + trailer + 4) != static_cast<std::uint32_t>(produced)) return 0;
    return trailer + 8;
}

}  // namespace

ReferenceDecode referenceDecode(const std::uint8_t* data, std::size_t size) {
    ReferenceDecode result;
    if (!magicAt(data, size, 0)) {
        result.plain = true;
        result.content.assign(reinterpret_cast<const char*>(data), size);
        return result;
    }
    std::size_t at = 0;
    while (at < size) {
        if (!magicAt(data, size, at)) {
            result.content.append(reinterpret_cast<const char*>(data + at), size - at);
            break;
        }
        std::size_t body = 0;
        std::size_t next = parseHeader(data, size, at, body) ? inflateMember(data, size, body, result.content) : 0;
        if (next == 0) {
            result.damaged = true;
            break;
        }
        at = next;
    }
    return result;
}
