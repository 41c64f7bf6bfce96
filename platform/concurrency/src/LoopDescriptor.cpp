#include "platform/concurrency/LoopDescriptor.hpp"

#include <QSocketNotifier>

#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace platform {

LoopDescriptor::LoopDescriptor(int fd, const char* what, std::function<void()> onReadable) : fd_(fd) {
    if (fd_ < 0) {
        throw std::system_error(errno, std::generic_category(), what);
    }
    notifier_ = std::make_unique<QSocketNotifier>(fd_, QSocketNotifier::Read);
    QObject::connect(notifier_.get(), &QSocketNotifier::activated, notifier_.get(),
                     [onReadable = std::move(onReadable)] { onReadable(); });
}

LoopDescriptor::~LoopDescriptor() {
    notifier_.reset();
    close(fd_);
}

} // namespace platform
