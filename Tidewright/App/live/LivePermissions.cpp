#include "LivePermissions.hpp"

#include <utility>

namespace tidewright {

LivePermissions::LivePermissions(std::shared_ptr<PermissionService> service, platform::Executor& main)
    : service_(std::move(service)), main_(main) {}

LivePermissions::~LivePermissions() {
    service_->onChange = nullptr;
    endTracking();
}

std::optional<platform::Task<>> LivePermissions::task() const {
    if (!service_->hasTask()) {
        endTracking();
        return std::nullopt;
    }
    if (!tracker_) {
        const auto waiting = std::make_shared<Waiting>();
        tracker_.emplace(Tracker{waiting, platform::spawn(main_, [waiting]() -> platform::Async<> {
                                     if (!waiting->ended) {
                                         co_await platform::withContinuation<void>(
                                             "permission read", [waiting](platform::Continuation<> c) {
                                                 waiting->continuation = c;
                                             });
                                     }
                                 })});
    }
    return tracker_->task;
}

void LivePermissions::cancelRequest(RequestOwner owner) {
    service_->cancelRequest(owner == RequestOwner::welcome ? PermissionRequestOwner::welcome
                                                           : PermissionRequestOwner::preferences);
    if (!service_->hasTask()) {
        endTracking();
    }
}

void LivePermissions::stop() {
    service_->stop();
    endTracking();
}

void LivePermissions::setOnChange(std::function<void()> onChange) {
    service_->onChange = [this, onChange = std::move(onChange)] {
        // The read that reported has ended; a read it started meanwhile is tracked afresh.
        endTracking();
        if (onChange) {
            onChange();
        }
    };
}

void LivePermissions::endTracking() const {
    if (!tracker_) {
        return;
    }
    const std::shared_ptr<Waiting> waiting = tracker_->waiting;
    tracker_.reset();
    waiting->ended = true;
    if (waiting->continuation) {
        const platform::Continuation<> continuation = *waiting->continuation;
        waiting->continuation.reset();
        continuation.resume();
    }
}

} // namespace tidewright
