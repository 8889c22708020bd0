// An independent decode of a whole file, as GzipFileManager must deliver it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

struct ReferenceDecode {
    /// Plain: the file itself. Gzip: the members' content, then any bytes after the
    /// last member. Damaged: what could be decoded before the damage.
    std::string content;
    bool plain = false;
    bool damaged = false;
};

ReferenceDecode referenceDecode(const std::uint8_t* data, std::size_t size);
