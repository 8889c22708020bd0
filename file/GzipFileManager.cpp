#include "file/GzipFileManager.h"

#include <algorithm>
#include <cstring>

#include "console/Console.h"
#include "file/FileSource.h"

namespace {

constexpr int rawDeflateWindowBits = -15;
constexpr std::uint32_t unknownSize = 0xFFFFFFFF;
constexpr std::uint32_t largestRead = 0x7FFFFFFF;

}  // namespace

GzipFileManager::GzipFileManager(Console** console, std::uint32_t sourceKind)
    : GzipFileManager(console, createFileSource(console, sourceKind)) {}

GzipFileManager::GzipFileManager(Console** console, std::unique_ptr<FileManager> source)
    : FileManager(console), source(std::move(source)) {
    resetStream();
}

GzipFileManager::~GzipFileManager() { inflateEnd(&stream); }

bool GzipFileManager::setRoot(const char16_t* root) {
    if (source == nullptr) {
        (*console)->print(u"no file source.\n");
        return false;
    }
    return source->setRoot(root);
}

bool GzipFileManager::open(const char16_t* name, std::uint32_t flags) {
    if (source == nullptr) {
        (*console)->print(u"no file source.\n");
        return false;
    }
    if (!source->open(name, flags)) return false;
    resetStream();
    if (!startDecoder()) {
        (*console)->print(u"can't initialize inflater.\n");
        source->close();
        return false;
    }
    checkHeader();
    // Nothing of the file could be read: as good as not opened.
    if (source->failed()) {
        source->close();
        return false;
    }
    plain = !compressed;
    decoded = 0;
    return true;
}

std::uint32_t GzipFileManager::size() {
    if (source == nullptr) return unknownSize;
    std::uint32_t stored = source->size();
    return source->failed() ? unknownSize : stored;
}

bool GzipFileManager::failed() const { return damaged() || sourceFailed(); }

std::uint32_t GzipFileManager::realSize() {
    if (source == nullptr) return unknownSize;
    if (plain) return size();
    // Decoding again to find the size would clear the error the caller was told of.
    if (failed()) return unknownSize;
    std::uint32_t here = position;
    std::int64_t remaining = skipBytes(unknownSize);
    bool restored = seek(here);
    if (remaining < 0 || remaining >= unknownSize || !restored) return unknownSize;
    return static_cast<std::uint32_t>(remaining);
}

std::int32_t GzipFileManager::close() {
    // Harmless on a decoder that an earlier close already ended.
    inflateEnd(&stream);
    return source != nullptr ? source->close() : 0;
}

std::int32_t GzipFileManager::read(void* buffer, std::uint32_t length, std::int32_t offset) {
    if (source == nullptr) return -1;
    if (offset != -1) seek(static_cast<std::uint32_t>(offset));
    if (failed()) return -1;
    if (status == Z_STREAM_END) return 0;

    length = std::min(length, largestRead);
    stream.next_out = static_cast<Bytef*>(buffer);
    stream.avail_out = length;
    if (compressed) inflateInto();
    if (!compressed && !damaged()) passThrough();

    std::uint32_t produced = length - stream.avail_out;
    position += produced;
    decoded += produced;
    // Bytes decoded on the way to damage are not handed back as good ones.
    return failed() ? -1 : static_cast<std::int32_t>(produced);
}

void GzipFileManager::inflateInto() {
    std::uint8_t* crcStart = stream.next_out;
    while (stream.avail_out != 0 && compressed) {
        if (stream.avail_in == 0 && !endOfInput) refill();
        status = inflate(&stream, Z_NO_FLUSH);
        // No progress with the source dry: the member was cut short.
        if (status == Z_BUF_ERROR && endOfInput) status = Z_DATA_ERROR;
        if (status == Z_STREAM_END) {
            addCrc(crcStart);
            finishMember();
        }
        if (status != Z_OK) break;
    }
    if (compressed) addCrc(crcStart);
}

void GzipFileManager::passThrough() {
    std::uint32_t buffered = std::min(stream.avail_in, stream.avail_out);
    if (buffered != 0) std::memcpy(stream.next_out, stream.next_in, buffered);
    stream.next_in += buffered;
    stream.avail_in -= buffered;
    stream.next_out += buffered;
    stream.avail_out -= buffered;
    while (stream.avail_out != 0) {
        std::int32_t count = source->read(stream.next_out, stream.avail_out, -1);
        // A failed source is not asked again: it would only fail again.
        if (count < 0 || source->failed()) status = Z_ERRNO;
        if (count <= 0 || damaged()) return;
        std::uint32_t got = std::min(static_cast<std::uint32_t>(count), stream.avail_out);
        stream.next_out += got;
        stream.avail_out -= got;
    }
}

void GzipFileManager::addCrc(std::uint8_t*& from) {
    crc = static_cast<std::uint32_t>(crc32(crc, from, static_cast<uInt>(stream.next_out - from)));
    from = stream.next_out;
}

bool GzipFileManager::seek(std::uint32_t offset) {
    if (source == nullptr) return false;
    if (plain) return seekPlain(offset);
    if (offset < position && !rewind()) return false;
    if (offset <= position) return true;
    std::uint32_t gap = offset - position;
    return skipBytes(gap) == gap;
}

bool GzipFileManager::seekPlain(std::uint32_t offset) {
    bool moved = source->seek(offset);
    stream.next_in = input + 1;
    stream.avail_in = 0;
    // Reading on from where the source stayed would deliver the wrong bytes.
    status = moved ? Z_OK : Z_ERRNO;
    return moved;
}

bool GzipFileManager::rewind() {
    bool moved = source->seek(0);
    resetStream();
    if (!moved || !startDecoder()) {
        status = Z_ERRNO;
        return false;
    }
    checkHeader();
    return true;
}

void GzipFileManager::resetStream() {
    inflateEnd(&stream);
    std::memset(&stream, 0, sizeof stream);
    status = Z_OK;
    endOfInput = false;
    crc = 0;
    compressed = false;
    position = 0;
}

bool GzipFileManager::startDecoder() {
    if (inflateInit2(&stream, rawDeflateWindowBits) != Z_OK) return false;
    stream.next_in = input + 1;
    stream.avail_in = 0;
    return true;
}

std::int64_t GzipFileManager::skipBytes(std::uint64_t count) {
    std::uint8_t scratch[skipPiece];
    std::int64_t total = 0;
    while (static_cast<std::uint64_t>(total) < count) {
        auto piece = static_cast<std::uint32_t>(std::min<std::uint64_t>(skipPiece, count - total));
        std::int32_t got = read(scratch, piece, -1);
        if (got < 0) return got;
        total += got;
        if (static_cast<std::uint32_t>(got) < piece) break;
    }
    return total;
}

std::int32_t GzipFileManager::write(const void* buffer, std::uint32_t length, std::int32_t offset) {
    return source != nullptr ? source->write(buffer, length, offset) : 0;
}
