#pragma once
// A file descriptor that the Qt event loop watches for reading; closed with this object.

#include <functional>
#include <memory>

class QSocketNotifier;

namespace platform::detail {

class LoopDescriptor {
public:
    // Takes over fd, the result of the call named what; a negative fd throws std::system_error
    // with errno. onReadable runs on the loop's thread.
    // REQUIRES: a QCoreApplication exists; called on its thread.
    LoopDescriptor(int fd, const char* what, std::function<void()> onReadable);
    ~LoopDescriptor();
    LoopDescriptor(const LoopDescriptor&) = delete;
    LoopDescriptor& operator=(const LoopDescriptor&) = delete;

    int fd() const noexcept { return fd_; }

private:
    int fd_;
    std::unique_ptr<QSocketNotifier> notifier_;
};

} // namespace platform::detail
