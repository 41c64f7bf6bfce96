#include "tidewright/shell/AccessibilityTrustNotices.hpp"

#include <stdexcept>

#include "platform/concurrency/Task.hpp"

namespace tidewright {

AccessibilityTrustNotices::AccessibilityTrustNotices(std::shared_ptr<platform::TrustNoticeCenter> center,
                                                     platform::Executor& main, platform::Clock& clock)
    : center_(std::move(center)), main_(main), clock_(clock) {
    if (center_ == nullptr) {
        throw std::invalid_argument("AccessibilityTrustNotices needs a notice centre");
    }
}

AccessibilityTrustNotices::~AccessibilityTrustNotices() {
    stop();
}

void AccessibilityTrustNotices::start(std::function<void()> handler) {
    if (observer_) {
        return;
    }
    observer_ = center_->addObserver([main = &main_, clock = &clock_, handler = std::move(handler)] {
        // Kept nowhere: the pause runs to its end and calls the handler even after stop().
        platform::spawn(*main, [clock, handler]() -> platform::Async<> {
            try {
                co_await platform::sleepFor(*clock, delay);
            } catch (const platform::CancellationError&) {
                // Nobody cancels it; a cut-short pause still ends in the handler.
            }
            handler();
        });
    });
}

void AccessibilityTrustNotices::stop() {
    if (observer_) {
        center_->removeObserver(*observer_);
        observer_.reset();
    }
}

} // namespace tidewright
