#include "platform/application/TerminationRequests.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <stdexcept>
#include <system_error>

namespace platform::application {

namespace {

// The handler reaches the pipe through this one value: an async-signal-safe, lock-free read.
std::atomic<int> signalPipe{-1};
static_assert(std::atomic<int>::is_always_lock_free);

extern "C" void onTerminationSignal(int signal) {
    const int savedErrno = errno;
    const int fd = signalPipe.load(std::memory_order_relaxed);
    if (fd >= 0) {
        const unsigned char byte = static_cast<unsigned char>(signal);
        // A full pipe already holds a pending request: dropping this byte loses nothing.
        [[maybe_unused]] const ssize_t written = write(fd, &byte, 1);
    }
    errno = savedErrno;
}

void install(int signal, struct sigaction* previous) {
    struct sigaction action {};
    action.sa_handler = onTerminationSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    if (sigaction(signal, &action, previous) != 0) {
        throw std::system_error(errno, std::generic_category(), "sigaction");
    }
}

} // namespace

TerminationRequests::TerminationRequests(std::function<void(int)> onRequest)
    : onRequest_(std::move(onRequest)) {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC | O_NONBLOCK) != 0) {
        throw std::system_error(errno, std::generic_category(), "pipe2");
    }
    int expected = -1;
    if (!signalPipe.compare_exchange_strong(expected, fds[1])) {
        close(fds[0]);
        close(fds[1]);
        throw std::logic_error("TerminationRequests: one instance per process");
    }
    writeEnd_ = fds[1];
    readEnd_ = std::make_unique<LoopDescriptor>(fds[0], "pipe2", [this] { drain(); });
    install(SIGTERM, &previousTerm_);
    install(SIGINT, &previousInt_);
}

TerminationRequests::~TerminationRequests() {
    sigaction(SIGTERM, &previousTerm_, nullptr);
    sigaction(SIGINT, &previousInt_, nullptr);
    signalPipe.store(-1);
    readEnd_.reset();
    close(writeEnd_);
}

void TerminationRequests::drain() {
    unsigned char bytes[64];
    for (;;) {
        const ssize_t count = read(readEnd_->fd(), bytes, sizeof bytes);
        if (count <= 0) {
            return;
        }
        for (ssize_t i = 0; i < count; ++i) {
            if (onRequest_) {
                onRequest_(bytes[i]);
            }
        }
    }
}

} // namespace platform::application
