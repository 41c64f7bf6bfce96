#include "platform/testing/LoopbackHttpServer.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <stdexcept>

namespace platform::testing {

namespace {

bool equalIgnoringCase(std::string_view lhs, std::string_view rhs) {
    return std::equal(lhs.begin(), lhs.end(), rhs.begin(), rhs.end(), [](char a, char b) {
        const auto lower = [](char c) {
            return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
        };
        return lower(a) == lower(b);
    });
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

// A request head without its final empty line, or nothing when it is malformed.
std::optional<LoopbackHttpServer::Request> parseHead(std::string_view head) {
    LoopbackHttpServer::Request request;
    std::size_t lineEnd = head.find("\r\n");
    const auto requestLine = head.substr(0, lineEnd);
    const auto firstSpace = requestLine.find(' ');
    const auto secondSpace = requestLine.find(' ', firstSpace + 1);
    if (firstSpace == std::string_view::npos || secondSpace == std::string_view::npos) {
        return std::nullopt;
    }
    request.method = requestLine.substr(0, firstSpace);
    request.target = requestLine.substr(firstSpace + 1, secondSpace - firstSpace - 1);
    while (lineEnd != std::string_view::npos) {
        const auto start = lineEnd + 2;
        lineEnd = head.find("\r\n", start);
        const auto line =
            head.substr(start, lineEnd == std::string_view::npos ? std::string_view::npos : lineEnd - start);
        const auto colon = line.find(':');
        if (colon == std::string_view::npos) {
            return std::nullopt;
        }
        request.headers.emplace_back(line.substr(0, colon), trimmed(line.substr(colon + 1)));
    }
    return request;
}

std::string reasonPhrase(int status) {
    switch (status) {
    case 200:
        return "OK";
    case 204:
        return "No Content";
    case 301:
        return "Moved Permanently";
    case 302:
        return "Found";
    case 304:
        return "Not Modified";
    case 404:
        return "Not Found";
    case 500:
        return "Internal Server Error";
    default:
        return "Status";
    }
}

bool hasHeader(const LoopbackHttpServer::Response& response, std::string_view name) {
    return std::any_of(response.headers.begin(), response.headers.end(),
                       [&](const auto& header) { return equalIgnoringCase(header.first, name); });
}

// The bytes of the response up to its ending.
std::string serialize(const LoopbackHttpServer::Response& response) {
    using Response = LoopbackHttpServer::Response;
    if (response.ending == Response::Ending::stallBeforeHead) {
        return {};
    }
    std::string out =
        "HTTP/1.1 " + std::to_string(response.status) + " " + reasonPhrase(response.status) + "\r\n";
    for (const auto& [name, value] : response.headers) {
        out += name + ": " + value + "\r\n";
    }
    if (response.framing == Response::Framing::contentLength && !hasHeader(response, "Content-Length")) {
        out += "Content-Length: " + std::to_string(response.body.size()) + "\r\n";
    } else if (response.framing == Response::Framing::chunked && !hasHeader(response, "Transfer-Encoding")) {
        out += "Transfer-Encoding: chunked\r\n";
    } else if (response.framing == Response::Framing::closeDelimited) {
        out += "Connection: close\r\n";
    }
    out += "\r\n";

    const bool complete = response.ending == Response::Ending::complete;
    const std::size_t bodyBytes =
        complete ? response.body.size() : std::min(response.endAfterBodyBytes, response.body.size());
    if (response.framing != Response::Framing::chunked) {
        out += response.body.substr(0, bodyBytes);
        return out;
    }
    // Chunks of the whole body, cut off after bodyBytes of it: a cut may fall inside a chunk.
    const std::size_t chunkSize = std::max<std::size_t>(response.chunkSize, 1);
    for (std::size_t offset = 0; offset < bodyBytes; offset += chunkSize) {
        const auto chunk = std::string_view(response.body).substr(offset, chunkSize);
        char size[32];
        std::snprintf(size, sizeof size, "%zx\r\n", chunk.size());
        out += size;
        if (offset + chunk.size() > bodyBytes) {
            out += chunk.substr(0, bodyBytes - offset);
            return out;
        }
        out += chunk;
        out += "\r\n";
    }
    if (complete) {
        out += "0\r\n\r\n";
    }
    return out;
}

} // namespace

struct LoopbackHttpServer::Connection {
    enum class After { readNext, close, hold };

    explicit Connection(int descriptor) : fd(descriptor) {}
    ~Connection() { ::close(fd); }

    int fd;
    std::string input;
    std::string output;
    std::size_t written = 0;
    After after = After::readNext;
    bool closed = false;
};

std::optional<std::string> LoopbackHttpServer::Request::header(std::string_view name) const {
    for (const auto& [headerName, value] : headers) {
        if (equalIgnoringCase(headerName, name)) {
            return value;
        }
    }
    return std::nullopt;
}

LoopbackHttpServer::LoopbackHttpServer() {
    listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    wake_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    socklen_t length = sizeof address;
    if (listener_ < 0 || wake_ < 0 ||
        ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener_, 16) != 0 ||
        ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        const std::string reason = std::strerror(errno);
        if (listener_ >= 0) {
            ::close(listener_);
        }
        if (wake_ >= 0) {
            ::close(wake_);
        }
        throw std::runtime_error("loopback HTTP server: " + reason);
    }
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const auto written = ::write(wake_, &one, sizeof one);
    thread_.join();
    connections_.clear();
    ::close(listener_);
    ::close(wake_);
}

std::string LoopbackHttpServer::url(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

void LoopbackHttpServer::route(std::string path, Response response) {
    std::lock_guard lock(mutex_);
    routes_.insert_or_assign(std::move(path), std::move(response));
}

std::vector<LoopbackHttpServer::Request> LoopbackHttpServer::requests() const {
    std::lock_guard lock(mutex_);
    return requests_;
}

void LoopbackHttpServer::serve() {
    for (;;) {
        std::vector<pollfd> polled{{wake_, POLLIN, 0}, {listener_, POLLIN, 0}};
        for (const auto& connection : connections_) {
            short events = POLLIN;
            if (connection->written < connection->output.size()) {
                events |= POLLOUT;
            }
            polled.push_back({connection->fd, events, 0});
        }
        if (::poll(polled.data(), polled.size(), -1) < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        if (polled[0].revents != 0) {
            return;
        }
        if (polled[1].revents & POLLIN) {
            const int accepted = ::accept4(listener_, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
            if (accepted >= 0) {
                connections_.push_back(std::make_unique<Connection>(accepted));
            }
        }
        for (std::size_t i = 2; i < polled.size(); ++i) {
            auto& connection = *connections_[i - 2];
            if (polled[i].revents & POLLOUT) {
                writeTo(connection);
            }
            if (!connection.closed && (polled[i].revents & (POLLIN | POLLHUP | POLLERR))) {
                readFrom(connection);
            }
        }
        std::erase_if(connections_, [](const auto& connection) { return connection->closed; });
    }
}

void LoopbackHttpServer::readFrom(Connection& connection) {
    char buffer[4096];
    const auto count = ::read(connection.fd, buffer, sizeof buffer);
    if (count == 0 || (count < 0 && errno != EAGAIN && errno != EINTR)) {
        connection.closed = true;
        return;
    }
    if (count < 0) {
        return;
    }
    // A held connection only waits for the client to go away.
    if (connection.after == Connection::After::hold) {
        return;
    }
    connection.input.append(buffer, static_cast<std::size_t>(count));
    // One request at a time: the next is read once this answer has been written.
    if (connection.written < connection.output.size()) {
        return;
    }
    const auto end = connection.input.find("\r\n\r\n");
    if (end == std::string::npos) {
        return;
    }
    const auto request = parseHead(std::string_view(connection.input).substr(0, end));
    connection.input.erase(0, end + 4);
    if (!request) {
        connection.closed = true;
        return;
    }
    answer(connection, *request);
}

void LoopbackHttpServer::answer(Connection& connection, const Request& request) {
    Response response;
    {
        std::lock_guard lock(mutex_);
        requests_.push_back(request);
        const auto path = request.target.substr(0, request.target.find('?'));
        if (const auto route = routes_.find(path); route != routes_.end()) {
            response = route->second;
        } else {
            response.status = 404;
        }
    }
    connection.output = serialize(response);
    connection.written = 0;
    switch (response.ending) {
    case Response::Ending::complete: {
        const auto closes = [](const std::optional<std::string>& value) {
            return value && equalIgnoringCase(*value, "close");
        };
        std::optional<std::string> responseConnection;
        for (const auto& [name, value] : response.headers) {
            if (equalIgnoringCase(name, "Connection")) {
                responseConnection = value;
            }
        }
        const bool close = response.framing == Response::Framing::closeDelimited ||
                           closes(request.header("Connection")) || closes(responseConnection);
        connection.after = close ? Connection::After::close : Connection::After::readNext;
        break;
    }
    case Response::Ending::stallBeforeHead:
    case Response::Ending::stallInBody:
        connection.after = Connection::After::hold;
        break;
    case Response::Ending::closeInBody:
        connection.after = Connection::After::close;
        break;
    }
    writeTo(connection);
}

void LoopbackHttpServer::writeTo(Connection& connection) {
    while (connection.written < connection.output.size()) {
        const auto count = ::send(connection.fd, connection.output.data() + connection.written,
                                  connection.output.size() - connection.written, MSG_NOSIGNAL);
        if (count < 0) {
            if (errno == EAGAIN || errno == EINTR) {
                return;
            }
            connection.closed = true;
            return;
        }
        connection.written += static_cast<std::size_t>(count);
    }
    if (connection.after == Connection::After::close) {
        connection.closed = true;
    }
}

} // namespace platform::testing
