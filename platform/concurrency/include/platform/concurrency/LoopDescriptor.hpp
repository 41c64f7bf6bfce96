#pragma once
// A file descriptor that the main event loop watches for reading: how a stand-in delivers the events
// of an X connection, a D-Bus socket, an inotify or a timer descriptor on the main thread.
//
// Contract:
// - Thread: construct, use and destroy it on the main thread (the QCoreApplication's), and only
//   while that application exists. onReadable runs on the main thread, from the event loop, each
//   time the loop finds the descriptor readable; it must read what is there (or the loop calls it
//   again at once) and must not throw.
// - Lifetime: it owns the descriptor and closes it when destroyed; after destruction onReadable is
//   never called again. onReadable may not destroy its own LoopDescriptor.

#include <functional>
#include <memory>

class QSocketNotifier;

namespace platform {

class LoopDescriptor {
public:
    // Takes over fd, the result of the call named `what`; a negative fd throws std::system_error with
    // errno (so `LoopDescriptor(eventfd(...), "eventfd", ...)` reports the call's failure).
    LoopDescriptor(int fd, const char* what, std::function<void()> onReadable);
    ~LoopDescriptor();
    LoopDescriptor(const LoopDescriptor&) = delete;
    LoopDescriptor& operator=(const LoopDescriptor&) = delete;

    int fd() const noexcept { return fd_; }

private:
    int fd_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace platform
