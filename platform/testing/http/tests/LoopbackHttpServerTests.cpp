// The server against a plain socket client, byte for byte, so that tests of HTTP clients can
// trust what it sends.

#include "platform/testing/LoopbackHttpServer.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>

namespace platform::testing {
namespace {

using Response = LoopbackHttpServer::Response;

class Client {
public:
    explicit Client(std::uint16_t port) : fd_(::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        address.sin_port = htons(port);
        connected_ = ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    }
    ~Client() { ::close(fd_); }

    bool connected() const { return connected_; }
    void send(const std::string& bytes) {
        ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), ssize_t(bytes.size()));
    }
    // Everything until the server closes the connection.
    std::string readToEnd() {
        std::string all;
        char buffer[4096];
        for (;;) {
            const auto count = ::read(fd_, buffer, sizeof buffer);
            if (count <= 0) {
                return all;
            }
            all.append(buffer, static_cast<std::size_t>(count));
        }
    }
    // Exactly count bytes, or fewer when the connection ends first.
    std::string read(std::size_t count) {
        std::string all;
        char buffer[4096];
        while (all.size() < count) {
            const auto got = ::read(fd_, buffer, std::min(sizeof buffer, count - all.size()));
            if (got <= 0) {
                break;
            }
            all.append(buffer, static_cast<std::size_t>(got));
        }
        return all;
    }

private:
    int fd_;
    bool connected_ = false;
};

// Waits, bounded, for the server thread to record a request: the server runs on a real thread.
bool awaitRequests(const LoopbackHttpServer& server, std::size_t count) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (server.requests().size() < count) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        std::this_thread::yield();
    }
    return true;
}

TEST(LoopbackHttpServer, RecordsTheRequestAndAnswersTheRouteOrNotFound) {
    LoopbackHttpServer server;
    server.route("/feed", Response{.status = 200, .headers = {{"ETag", "\"7\""}}, .body = "hello"});

    Client client(server.port());
    ASSERT_TRUE(client.connected());
    client.send("GET /feed?x=1 HTTP/1.1\r\nHost: here\r\nX-One:  a b \r\nx-one: c\r\n\r\n");
    const std::string expected = "HTTP/1.1 200 OK\r\nETag: \"7\"\r\nContent-Length: 5\r\n\r\nhello";
    EXPECT_EQ(client.read(expected.size()), expected);
    // The same connection serves the next request.
    client.send("GET /other HTTP/1.1\r\nHost: here\r\nConnection: close\r\n\r\n");
    const std::string notFound = "HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n";
    EXPECT_EQ(client.read(notFound.size()), notFound);

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].method, "GET");
    EXPECT_EQ(requests[0].target, "/feed?x=1");
    using Headers = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(requests[0].headers, (Headers{{"Host", "here"}, {"X-One", "a b"}, {"x-one", "c"}}));
    EXPECT_EQ(requests[0].header("x-ONE"), "a b");
    EXPECT_EQ(requests[0].header("Cookie"), std::nullopt);
    EXPECT_EQ(requests[1].target, "/other");
}

struct FramingCase {
    const char* name;
    Response response;
    std::string expected; // everything sent until the connection closes
};

void PrintTo(const FramingCase& c, std::ostream* os) {
    *os << c.name;
}

class Framing : public ::testing::TestWithParam<FramingCase> {};

TEST_P(Framing, SendsTheScriptedBytes) {
    LoopbackHttpServer server;
    server.route("/", GetParam().response);
    Client client(server.port());
    ASSERT_TRUE(client.connected());
    client.send("GET / HTTP/1.1\r\nHost: h\r\n\r\n");
    EXPECT_EQ(client.readToEnd(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Framing,
    ::testing::Values(
        FramingCase{"chunkedInPieces",
                    Response{.headers = {{"Connection", "close"}},
                             .body = "abcdefghijk",
                             .framing = Response::Framing::chunked,
                             .chunkSize = 4},
                    "HTTP/1.1 200 OK\r\nConnection: close\r\nTransfer-Encoding: chunked\r\n\r\n"
                    "4\r\nabcd\r\n4\r\nefgh\r\n3\r\nijk\r\n0\r\n\r\n"},
        FramingCase{"closeDelimited",
                    Response{.status = 500, .body = "oops", .framing = Response::Framing::closeDelimited},
                    "HTTP/1.1 500 Internal Server Error\r\nConnection: close\r\n\r\noops"},
        FramingCase{
            "cutShortWithItsFullLength",
            Response{.body = "0123456789", .ending = Response::Ending::closeInBody, .endAfterBodyBytes = 3},
            "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n012"},
        FramingCase{"chunkedCutShortWithoutItsLastChunk",
                    Response{.body = "0123456789",
                             .framing = Response::Framing::chunked,
                             .chunkSize = 2,
                             .ending = Response::Ending::closeInBody,
                             .endAfterBodyBytes = 4},
                    "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\n01\r\n2\r\n23\r\n"},
        FramingCase{"chunkedCutInsideAChunk",
                    Response{.body = "0123456789",
                             .framing = Response::Framing::chunked,
                             .chunkSize = 4,
                             .ending = Response::Ending::closeInBody,
                             .endAfterBodyBytes = 6},
                    "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\n0123\r\n4\r\n45"}));

TEST(LoopbackHttpServer, AStallHoldsTheConnectionOpenUntilTheServerEnds) {
    std::optional<LoopbackHttpServer> server(std::in_place);
    server->route("/head", Response{.body = "never", .ending = Response::Ending::stallBeforeHead});
    server->route(
        "/body",
        Response{.body = "0123456789", .ending = Response::Ending::stallInBody, .endAfterBodyBytes = 2});
    Client beforeHead(server->port());
    Client inBody(server->port());
    ASSERT_TRUE(beforeHead.connected() && inBody.connected());
    beforeHead.send("GET /head HTTP/1.1\r\nHost: h\r\n\r\n");
    ASSERT_TRUE(awaitRequests(*server, 1));
    inBody.send("GET /body HTTP/1.1\r\nHost: h\r\n\r\n");
    const std::string head = "HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n01";
    EXPECT_EQ(inBody.read(head.size()), head);
    ASSERT_TRUE(awaitRequests(*server, 2));
    // Only the end of the server closes the stalled connections; nothing more came before it.
    server.reset();
    EXPECT_EQ(beforeHead.readToEnd(), "");
    EXPECT_EQ(inBody.readToEnd(), "");
}

} // namespace
} // namespace platform::testing
