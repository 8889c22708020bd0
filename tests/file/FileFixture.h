// A handheld with a storage card whose files the real tools make, and file managers
// over it.
#pragma once

#include <memory>
#include <string>

#include "console/Console.h"
#include "file/GzipFileManager.h"
#include "tests/support/SandboxTest.h"

/// The output of a shell command run in the card's folder.
struct ShellResult {
    std::string output;
    int exitCode;
};

class FileFixture : public SandboxTest {
protected:
    FileFixture();

    /// Runs `command` with sh -e in the card's folder. $CRAFT names the gzip header
    /// crafting script, $CONTENT and $OTHER two content files made beforehand.
    ShellResult shell(const std::string& command) const;
    /// What `gzip -dc` makes of the card's `name` (stderr dropped).
    std::string gunzip(const std::string& name) const;
    /// The bytes of the card's `name`.
    std::string cardFile(const std::string& name) const { return storage.read(card + "/" + name); }
    void writeCardFile(const std::string& name, const std::string& bytes) const { storage.write(card + "/" + name, bytes); }

    /// A GzipFileManager over the card's local files with `name` opened.
    std::unique_ptr<GzipFileManager> openGzip(const std::string& name);

    /// Reads from the current position to the end in `chunk`-byte reads; stops at the
    /// first read that does not deliver a whole chunk. `last` receives that read's result.
    static std::string readToEnd(FileManager& file, std::uint32_t chunk, std::int32_t* last = nullptr);

    const std::string card = "Storage Card";
    Console* console = nullptr;
};

/// The bytes of a UTF-8 name as wide text (names here are ASCII).
std::u16string wide(const std::string& text);
