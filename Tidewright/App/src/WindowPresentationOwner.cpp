#include "tidewright/app/WindowPresentationOwner.hpp"

#include <stdexcept>
#include <utility>

namespace tidewright {

WindowPresentationOwner::WindowPresentationOwner(std::shared_ptr<WelcomeHistoryStoring> history,
                                                 std::function<void()> showWelcome)
    : history_(std::move(history)), showWelcome_(std::move(showWelcome)) {
    if (!history_ || !showWelcome_) {
        throw std::invalid_argument("WindowPresentationOwner needs a history and a showWelcome");
    }
}

void WindowPresentationOwner::start() {
    if (running_) {
        return;
    }
    running_ = true;
    welcome_ = WelcomeSession::waiting;
}

void WindowPresentationOwner::markWelcomePresented() {
    if (!running_) {
        return;
    }
    welcome_ = WelcomeSession::presented;
    if (!history_->hasPresented()) {
        history_->markPresented();
    }
}

void WindowPresentationOwner::suppress() {
    if (running_) {
        welcome_ = WelcomeSession::suppressed;
    }
}

void WindowPresentationOwner::offerWelcome(PermissionState permission, bool readCompleted) {
    if (!running_ || welcome_ != WelcomeSession::waiting || !readCompleted) {
        return;
    }
    if (!history_->hasPresented() || permission == PermissionState::denied) {
        markWelcomePresented();
        showWelcome_();
    }
}

} // namespace tidewright
