// The HTTP source over WinSock, against a real server on loopback.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>

#include "console/Console.h"
#include "file/GzipFileManager.h"
#include "file/HttpFileManager.h"
#include "host/CodePage.h"
#include "tests/support/SandboxTest.h"

namespace {

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class HttpOnWindows : public SandboxTest {
protected:
    HttpOnWindows() {
        attachWindow();
        machine.network.timeoutMilliseconds = 5000;
        std::ifstream portFile(std::string(TEMBREL_HTTP_FOLDER) + ".port");
        portFile >> port;
    }

    std::u16string root() const { return host::fromUtf8("http://127.0.0.1:" + std::to_string(port) + "/"); }
    std::string output() const { return utf8(consolePage.text); }

    int port = 0;
    Console* console = Console::instance();
};

TEST_F(HttpOnWindows, GzipKernelDecompressesAsOnDisk) {
    ASSERT_GT(port, 0) << "no server";
    const std::string kernel = fileBytes(std::string(TEMBREL_HTTP_FOLDER) + "/kernel");
    ASSERT_EQ(kernel.size(), 300000u);
    GzipFileManager gzip(&console, 2);
    ASSERT_TRUE(gzip.setRoot(root().c_str())) << output();
    ASSERT_TRUE(gzip.open(u"/korvel.gz", 3)) << output();
    EXPECT_EQ(gzip.realSize(), kernel.size());
    std::string bytes(kernel.size(), '\0');
    EXPECT_EQ(gzip.read(bytes.data(), static_cast<std::uint32_t>(bytes.size()), 0),
              static_cast<std::int32_t>(kernel.size()));
    EXPECT_TRUE(bytes == kernel);
    gzip.close();
}

TEST_F(HttpOnWindows, MissingFileFailsWithItsStatus) {
    ASSERT_GT(port, 0) << "no server";
    HttpFileManager manager(&console);
    ASSERT_TRUE(manager.setRoot(root().c_str())) << output();
    ASSERT_TRUE(manager.open(u"/no-such-kernel.gz", 3));
    char buffer[16];
    EXPECT_EQ(manager.read(buffer, sizeof buffer, 0), 0);
    EXPECT_NE(output().find(" 404"), std::string::npos) << output();
}

TEST_F(HttpOnWindows, ClosedPortIsRefusedWithTheSocketCode) {
    HttpFileManager manager(&console);
    // Port 1 on loopback has no listener; WinSock's refusal keeps its code.
    EXPECT_FALSE(manager.setRoot(u"http://127.0.0.1:1/"));
    EXPECT_NE(output().find("connect failed. cause=10061"), std::string::npos) << output();
}

}  // namespace
