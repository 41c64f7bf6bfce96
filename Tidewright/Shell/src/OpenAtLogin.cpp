#include "tidewright/shell/OpenAtLogin.hpp"

#include <stdexcept>

namespace tidewright {

std::shared_ptr<OpenAtLogin> OpenAtLogin::make(std::shared_ptr<LoginManaging> login,
                                               platform::Executor& main) {
    if (login == nullptr) {
        throw std::invalid_argument("OpenAtLogin needs a login service");
    }
    return std::make_shared<OpenAtLogin>(Token{}, std::move(login), main);
}

OpenAtLogin::OpenAtLogin(Token, std::shared_ptr<LoginManaging> login, platform::Executor& main)
    : state(loginStateFromStatus(login->status())), login_(std::move(login)), main_(main) {}

void OpenAtLogin::refresh() {
    if (running_) {
        state.set(loginStateFromStatus(login_->status()));
    }
}

void OpenAtLogin::stop() {
    running_ = false;
    if (change_) {
        change_->cancel();
        change_.reset();
    }
}

void OpenAtLogin::requestChange(bool enabled) {
    if (!running_ || change_) {
        return;
    }
    change_ = platform::spawn(main_, [weak = weak_from_this(), enabled] { return change(weak, enabled); });
}

platform::Async<> OpenAtLogin::setEnabled(bool enabled) {
    return change(weak_from_this(), enabled);
}

platform::Async<> OpenAtLogin::change(std::weak_ptr<OpenAtLogin> weak, bool enabled) {
    std::shared_ptr<LoginManaging> login;
    if (auto self = weak.lock(); self && self->running_ && !platform::isCancelled()) {
        login = self->login_;
    } else {
        co_return;
    }
    bool succeeded = true;
    try {
        co_await login->setEnabled(enabled);
    } catch (...) {
        // Reported as a failure only; the state keeps what was read before the change.
        succeeded = false;
    }
    auto self = weak.lock();
    if (!self || !self->running_ || platform::isCancelled()) {
        co_return;
    }
    if (succeeded) {
        self->state.set(loginStateFromStatus(self->login_->status()));
    }
    if (self->onResult) {
        self->onResult(succeeded);
    }
    self->change_.reset();
}

} // namespace tidewright
