// HttpFileManager against real servers on loopback, fetching a kernel and a
// memory-disk image and comparing them with the files on disk.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "file/GzipFileManager.h"
#include "tests/file/HttpServers.h"
#include "tests/file/HttpTest.h"

namespace {

using Starter = std::function<std::unique_ptr<ServerProcess>(const std::filesystem::path&, const std::filesystem::path&)>;

struct ServerCase {
    const char* name;
    Starter start;
};

/// Bytes that do not repeat in any short period, so that a shift shows.
std::string noise(std::size_t size, std::uint32_t seed) {
    std::string bytes(size, '\0');
    for (char& byte : bytes) {
        seed = seed * 1664525 + 1013904223;
        byte = static_cast<char>(seed >> 24);
    }
    return bytes;
}

void PrintTo(const ServerCase& c, std::ostream* out) { *out << c.name; }

class HttpRealServerTest : public HttpTest, public ::testing::WithParamInterface<ServerCase> {
protected:
    void SetUp() override {
        served.write("kernel", noise(300000, 1));
        ASSERT_EQ(std::system(("gzip -n -9 " + (served.path() / "kernel").string()).c_str()), 0);
        std::filesystem::rename(served.path() / "kernel.gz", served.path() / "korvel.gz");
        served.write("miniroot.fs", noise(1 << 20, 2));
        server = GetParam().start(served.path(), work.path());
        ASSERT_NE(server, nullptr) << GetParam().name << " did not start";
        connect(server->port());
    }

    /// Reads the open file in pieces at the current position.
    std::string readInPieces(std::uint32_t piece) {
        std::string bytes;
        std::string buffer(piece, '\0');
        for (std::int32_t count; (count = manager.read(buffer.data(), piece, -1)) > 0;) bytes.append(buffer, 0, count);
        return bytes;
    }

    TempFolder served;
    TempFolder work;
    std::unique_ptr<ServerProcess> server;
};

TEST_P(HttpRealServerTest, FetchesKernelAndImageAsOnDisk) {
    const std::string kernel = served.read("korvel.gz");
    const std::string image = served.read("miniroot.fs");
    ASSERT_TRUE(manager.open(u"/miniroot.fs", 3));
    EXPECT_EQ(manager.realSize(), image.size());
    EXPECT_EQ(manager.close(), 1);
    ASSERT_TRUE(manager.open(u"/korvel.gz", 3));
    EXPECT_EQ(manager.size(), kernel.size());
    EXPECT_EQ(readInPieces(4096), kernel);
    manager.close();
    ASSERT_TRUE(manager.open(u"/miniroot.fs", 3));
    EXPECT_EQ(readInPieces(65536), image);
}

TEST_P(HttpRealServerTest, GzipKernelDecompressesAsOnDisk) {
    // Through the source choice of the boot controller's file manager: kind 2 is HTTP.
    ASSERT_EQ(std::system(("gzip -dc " + (served.path() / "korvel.gz").string() + " > " +
                           (work.path() / "kernel").string()).c_str()), 0);
    const std::string kernel = work.read("kernel");
    GzipFileManager gzip(&console, 2);
    ASSERT_TRUE(gzip.setRoot(rootFor(server->port()).c_str())) << output();
    ASSERT_TRUE(gzip.open(u"/korvel.gz", 3));
    EXPECT_EQ(gzip.realSize(), kernel.size());
    std::string bytes(kernel.size(), '\0');
    EXPECT_EQ(gzip.read(bytes.data(), 52, 0), 52);
    EXPECT_EQ(gzip.read(bytes.data() + 52, static_cast<std::uint32_t>(kernel.size() - 52), -1),
              static_cast<std::int32_t>(kernel.size() - 52));
    EXPECT_TRUE(bytes == kernel);
    gzip.close();
}

TEST_P(HttpRealServerTest, MissingFileFailsWithItsStatus) {
    ASSERT_TRUE(manager.open(u"/no-such-kernel.gz", 3));
    clearOutput();
    EXPECT_EQ(manager.size(), 0u);
    char buffer[16];
    EXPECT_EQ(manager.read(buffer, sizeof buffer, 0), 0);
    EXPECT_NE(output().find("server replied \"HTTP/1."), std::string::npos) << output();
    EXPECT_NE(output().find(" 404"), std::string::npos) << output();
}

INSTANTIATE_TEST_SUITE_P(Servers, HttpRealServerTest,
                         ::testing::Values(ServerCase{"python", startPythonServer},
                                           ServerCase{"busybox", startBusyboxServer},
                                           ServerCase{"nginx", startNginxServer}),
                         [](const auto& info) { return std::string(info.param.name); });

// nginx is set up so that its GET replies carry a header line that its HEAD replies
// lack; the contents must still arrive unshifted.
class HttpNginxTest : public HttpRealServerTest {};

TEST_P(HttpNginxTest, GetHeaderLongerThanHeadHeader) {
    ASSERT_TRUE(manager.open(u"/korvel.gz", 3));
    manager.debugLevel = 3;
    std::string kernel = served.read("korvel.gz");
    std::string bytes(kernel.size(), '\0');
    ASSERT_EQ(manager.read(bytes.data(), static_cast<std::uint32_t>(bytes.size()), 0), static_cast<std::int32_t>(kernel.size()));
    EXPECT_TRUE(bytes == kernel);
    std::string traced = output();
    std::size_t first = traced.find("+token: X-Get-Only\n");
    ASSERT_NE(first, std::string::npos) << "the GET reply carries the line";
    EXPECT_EQ(traced.find("+token: X-Get-Only\n", first + 1), std::string::npos) << "the HEAD reply does not";
}

INSTANTIATE_TEST_SUITE_P(Servers, HttpNginxTest, ::testing::Values(ServerCase{"nginx", startNginxServer}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
