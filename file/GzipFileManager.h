// The file manager the boot controller holds: reads gzip files through their
// decompressed content and plain files as they are, over one owned source.
#pragma once

#include <zlib.h>

#include <cstdint>
#include <memory>

#include "file/FileManager.h"

/// Forwards root, open, size, close and write to its source, and serves reads
/// either straight from the source (pass-through) or by inflating the gzip members
/// the source delivers. Positions count bytes of content from the start of the file,
/// across members and the plain bytes that may follow the last one.
///
/// Damage (a bad header, corrupt deflate data, a wrong CRC-32 or length in a
/// trailer, a stream cut short) makes the read that meets it return -1, and every
/// later read too, until a seek backwards decodes the file again from its start.
/// A source that reports a failure (failed()) fails every read and size query the
/// same way, whatever its own read returned.
class GzipFileManager : public FileManager {
public:
    /// Creates the source of `sourceKind` (see createFileSource). Without one, every
    /// operation fails.
    GzipFileManager(Console** console, std::uint32_t sourceKind);
    /// Reads through `source`, which it then owns.
    GzipFileManager(Console** console, std::unique_ptr<FileManager> source);
    ~GzipFileManager() override;

    bool setRoot(const char16_t* root) override;
    /// Opens `name` on the source and reads the gzip header, if there is one. A
    /// damaged header is not reported here: the reads fail. A source that fails
    /// already on that first read fails the open (and is closed).
    bool open(const char16_t* name, std::uint32_t flags) override;
    /// The size as the source stores it: for a gzip file, the compressed size.
    /// 0xFFFFFFFF when the source failed.
    std::uint32_t size() override;
    /// A plain file's size; for a gzip file the bytes of content from the current
    /// position to the end, the position being kept. 0xFFFFFFFF on a damaged stream.
    std::uint32_t realSize() override;
    std::int32_t close() override;
    /// Bytes delivered; fewer than `length` only at the end of the content; -1 when
    /// the stream is damaged or the source fails.
    std::int32_t read(void* buffer, std::uint32_t length, std::int32_t offset) override;
    std::int32_t write(const void* buffer, std::uint32_t length, std::int32_t offset) override;
    /// Backwards decodes again from the start; forwards decodes and drops the bytes
    /// between. False when the offset cannot be reached.
    bool seek(std::uint32_t offset) override;
    /// The stream is damaged or the source failed.
    bool failed() const override;

    /// Bytes the decoder has produced since the file was opened, every rewind's
    /// decoding again included: what the access pattern costs.
    std::uint64_t decodedBytes() const { return decoded; }

private:
    static constexpr std::uint32_t inputCapacity = 1024;
    static constexpr std::uint32_t skipPiece = 256;

    // Framing (GzipFraming.cpp).
    bool refill();
    /// The next input byte (0 to 255), or -1 at the end of the input.
    int nextByte();
    /// A 32-bit little-endian value; marks the stream damaged when cut short.
    std::uint32_t nextLong();
    /// Puts consumed bytes back in front of the input, first byte first.
    void giveBack(int first, int second);
    /// Reads a member header, or finds that the bytes are not one and switches to
    /// pass-through with those bytes given back.
    void checkHeader();
    /// Checks the trailer of the member just decoded and looks for a following one.
    void finishMember();

    // Decoding (GzipFileManager.cpp).
    void resetStream();
    bool startDecoder();
    bool rewind();
    bool seekPlain(std::uint32_t offset);
    void passThrough();
    void inflateInto();
    void addCrc(std::uint8_t*& from);
    bool damaged() const { return status != Z_OK && status != Z_STREAM_END; }
    bool sourceFailed() const { return source != nullptr && source->failed(); }
    /// Reads and drops up to `count` bytes; the count dropped, or -1.
    std::int64_t skipBytes(std::uint64_t count);

    z_stream stream{};
    const int magic[2] = {0x1f, 0x8b};
    int status = Z_OK;
    bool endOfInput = false;
    // One byte in front of the input, so that a header byte consumed from an earlier
    // fill can be given back after a refill.
    std::uint8_t input[1 + inputCapacity] = {};
    std::uint32_t crc = 0;
    bool compressed = false;
    std::unique_ptr<FileManager> source;
    // Not a gzip file at all: positions are the source's own.
    bool plain = true;
    std::uint32_t position = 0;
    std::uint64_t decoded = 0;
};
