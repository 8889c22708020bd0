// How a root names the host and the port.
#include <gtest/gtest.h>

#include "file/HttpRoot.h"

namespace {

struct RootCase {
    const char16_t* root;
    HttpRootProblem problem;
    const char16_t* host;
    std::uint32_t port;
};

class HttpRootTest : public ::testing::TestWithParam<RootCase> {};

TEST_P(HttpRootTest, SplitsSchemeHostAndPort) {
    const RootCase& c = GetParam();
    HttpRoot parts;
    ASSERT_EQ(parseHttpRoot(c.root, parts), c.problem);
    if (c.problem != HttpRootProblem::none) return;
    EXPECT_EQ(parts.host, c.host);
    EXPECT_EQ(parts.port, c.port);
}

INSTANTIATE_TEST_SUITE_P(
    Roots, HttpRootTest,
    ::testing::Values(RootCase{u"http://srv:8080/", HttpRootProblem::none, u"srv", 8080},
                      RootCase{u"http://srv:8080", HttpRootProblem::none, u"srv", 8080},
                      RootCase{u"http://srv/", HttpRootProblem::none, u"srv", 80},
                      RootCase{u"http://srv", HttpRootProblem::none, u"srv", 80},
                      // A path after the host is read as the port: no digits read as 0.
                      RootCase{u"http://srv/boot", HttpRootProblem::none, u"srv", 0},
                      RootCase{u"http://srv/8081/", HttpRootProblem::none, u"srv", 8081},
                      RootCase{u"http://srv:8080/boot/kernels", HttpRootProblem::none, u"srv", 8080},
                      RootCase{u"//http:::srv::8080", HttpRootProblem::none, u"srv", 8080},
                      RootCase{u"http://srv:65535", HttpRootProblem::none, u"srv", 65535},
                      RootCase{u"http://srv:65536", HttpRootProblem::badPort, nullptr, 0},
                      RootCase{u"http://srv:99999999999", HttpRootProblem::badPort, nullptr, 0},
                      RootCase{u"http://", HttpRootProblem::noHost, nullptr, 0},
                      RootCase{u"http", HttpRootProblem::noHost, nullptr, 0},
                      RootCase{u"HTTP://srv/", HttpRootProblem::notHttp, nullptr, 0},
                      RootCase{u"https://srv/", HttpRootProblem::notHttp, nullptr, 0},
                      RootCase{u"\\Storage Card\\", HttpRootProblem::notHttp, nullptr, 0},
                      RootCase{u"", HttpRootProblem::notHttp, nullptr, 0}));

}  // namespace
