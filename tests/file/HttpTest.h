// A fresh handheld with a window console and an HttpFileManager on it.
#pragma once

#include <cstdint>
#include <string>

#include "console/Console.h"
#include "file/HttpFileManager.h"
#include "host/CodePage.h"
#include "tests/support/SandboxTest.h"

class HttpTest : public SandboxTest {
protected:
    HttpTest() {
        attachWindow();
        // Long enough for any loopback reply, short enough for the time-out cases.
        machine.network.timeoutMilliseconds = 3000;
    }

    /// Everything printed so far, as UTF-8.
    std::string output() const { return utf8(consolePage.text); }
    /// Forgets what was printed so far.
    void clearOutput() { consolePage.text.clear(); }

    static std::u16string rootFor(std::uint16_t port, const std::string& host = "127.0.0.1") {
        return host::fromUtf8("http://" + host + ":" + std::to_string(port) + "/");
    }

    /// Makes the manager's root the server on `port`; the test fails when it cannot.
    void connect(std::uint16_t port) { ASSERT_TRUE(manager.setRoot(rootFor(port).c_str())) << output(); }

    /// Opens `name` and reads it whole through one read.
    std::string fetch(const char16_t* name, std::uint32_t size) {
        std::string bytes(size, '\0');
        if (!manager.open(name, 3)) return "open failed";
        std::int32_t count = manager.read(bytes.data(), size, 0);
        bytes.resize(count > 0 ? static_cast<std::size_t>(count) : 0);
        return bytes;
    }

    Console* console = Console::instance();
    HttpFileManager manager{&console};
};
