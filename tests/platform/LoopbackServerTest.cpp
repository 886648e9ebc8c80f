#include "platform/LoopbackServer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace pictova {
namespace {

namespace fs = std::filesystem;

class LoopbackServerTest : public ::testing::Test {
protected:
    void SetUp() override {
        Root = fs::temp_directory_path() / ("pictova-serve-" + std::to_string(::getpid()));
        fs::remove_all(Root);
        fs::create_directories(Root / "site" / "ruffle");
        std::ofstream(Root / "site" / "show.html") << "<p>show</p>";
        std::ofstream(Root / "site" / "ruffle" / "ruffle.js") << "//";
        std::ofstream(Root / "secret.txt") << "outside";
        fs::create_symlink(Root / "secret.txt", Root / "site" / "link.txt");
    }
    void TearDown() override { fs::remove_all(Root); }
    fs::path Root;
};

TEST_F(LoopbackServerTest, ResolvesOnlyFilesInsideTheFolder) {
    TLoopbackServer server(Root / "site");
    EXPECT_EQ(server.Resolve("/show.html"), fs::canonical(Root / "site" / "show.html"));
    EXPECT_EQ(server.Resolve("/ruffle/ruffle.js?v=1"),
              fs::canonical(Root / "site" / "ruffle" / "ruffle.js"));
    EXPECT_EQ(server.Resolve("/%73how.html"), fs::canonical(Root / "site" / "show.html"));
    for (const char* refused : {"/../secret.txt", "/ruffle/../../secret.txt", "/%2e%2e/secret.txt",
                                "/%2E%2E%2Fsecret.txt", "/..%5csecret.txt", "/show.html%00.js",
                                "/link.txt", "/missing.html", "show.html", "/%zz", "/ruffle"}) {
        EXPECT_TRUE(server.Resolve(refused).empty()) << refused;
    }
}

std::string Get(uint16_t port, const std::string& request) {
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(port);
    if (::connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        ::close(s);
        return {};
    }
    ::send(s, request.data(), request.size(), 0);
    std::string reply;
    char buf[4096];
    ssize_t n;
    while ((n = ::recv(s, buf, sizeof buf, 0)) > 0)
        reply.append(buf, size_t(n));
    ::close(s);
    return reply;
}

TEST_F(LoopbackServerTest, ServesOverHttpOnLoopback) {
    TLoopbackServer server(Root / "site");
    std::thread serving([&] { server.Serve(); });
    const std::string ok = Get(server.Port(), "GET /show.html HTTP/1.1\r\nHost: x\r\n\r\n");
    const std::string denied = Get(server.Port(), "GET /../secret.txt HTTP/1.1\r\n\r\n");
    const std::string posted = Get(server.Port(), "POST /show.html HTTP/1.1\r\n\r\n");
    server.Stop();
    serving.join();
    EXPECT_EQ(ok.substr(0, 15), "HTTP/1.1 200 OK");
    EXPECT_NE(ok.find("text/html"), std::string::npos);
    EXPECT_NE(ok.find("<p>show</p>"), std::string::npos);
    EXPECT_EQ(denied.substr(0, 12), "HTTP/1.1 404");
    EXPECT_EQ(posted.substr(0, 12), "HTTP/1.1 405");
    EXPECT_EQ(server.UrlOf("a b/c.html").substr(0, 17), "http://127.0.0.1:");
    EXPECT_NE(server.UrlOf("a b/c.html").find("/a%20b/c.html"), std::string::npos);
}

} // namespace
} // namespace pictova
