#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for tests of HTTP clients. Each path answers with a scripted
// response (status, headers, body, framing, and an ending that may stall or cut the answer short);
// every request is recorded with its headers as they came. It serves on a thread of its own, so a
// client on the test's thread can use it while the test's event loop runs.

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace platform::testing {

class LoopbackHttpServer {
public:
    struct Response {
        enum class Framing {
            contentLength,
            chunked,
            // No length: the body ends when the server closes the connection.
            closeDelimited,
        };
        enum class Ending {
            complete,
            // Nothing is sent, not even the status line, and the connection stays open.
            stallBeforeHead,
            // The head and endAfterBodyBytes of the body are sent; then nothing, connection open.
            stallInBody,
            // The head and endAfterBodyBytes of the body are sent; then the connection is closed.
            // A chunked body is cut there too, inside its chunk when the cut falls in one.
            closeInBody,
        };

        int status = 200;
        // Sent as given, after the status line; the framing header is added unless given here.
        std::vector<std::pair<std::string, std::string>> headers{};
        std::string body{};
        Framing framing = Framing::contentLength;
        std::size_t chunkSize = 4096;
        Ending ending = Ending::complete;
        std::size_t endAfterBodyBytes = 0;
    };

    struct Request {
        std::string method;
        std::string target;
        // In the order received, names as the client spelled them.
        std::vector<std::pair<std::string, std::string>> headers;

        // The value of the first header with that name, compared without regard to case.
        std::optional<std::string> header(std::string_view name) const;
    };

    // Listens on 127.0.0.1 on a port the system picks. THROWS std::runtime_error.
    LoopbackHttpServer();
    // Closes every connection, including stalled ones, and stops the thread.
    ~LoopbackHttpServer();
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

    std::uint16_t port() const noexcept { return port_; }
    // "http://127.0.0.1:<port>" followed by path.
    std::string url(std::string_view path) const;

    // Answers every later request for path (the request target up to any "?") with response; a
    // path without a route answers 404 with an empty body. Safe for concurrent access.
    void route(std::string path, Response response);

    // The requests received so far, in order. Safe for concurrent access.
    std::vector<Request> requests() const;

private:
    struct Connection;

    void serve();
    void readFrom(Connection& connection);
    void writeTo(Connection& connection);
    void answer(Connection& connection, const Request& request);

    int listener_ = -1;
    int wake_ = -1; // an eventfd that tells the thread to stop
    std::uint16_t port_ = 0;

    mutable std::mutex mutex_;
    std::map<std::string, Response> routes_;
    std::vector<Request> requests_;

    std::vector<std::unique_ptr<Connection>> connections_; // the server thread's own
    std::thread thread_;
};

} // namespace platform::testing
