#pragma once
// The open-at-login state that the views bind to, and its changes: one at a time, each reported to
// onResult while the service runs.

#include <functional>
#include <memory>
#include <optional>

#include "platform/concurrency/Executor.hpp"
#include "platform/concurrency/Task.hpp"
#include "platform/observation/Observable.hpp"
#include "tidewright/shell/LoginManaging.hpp"
#include "tidewright/shell/LoginState.hpp"
#include "tidewright/shell/OpenAtLoginDriving.hpp"

namespace tidewright {

// Main thread only. Owned by a shared_ptr: its change task holds it weakly.
class OpenAtLogin final : public OpenAtLoginDriving, public std::enable_shared_from_this<OpenAtLogin> {
public:
    // Reads the status once. REQUIRES: login is set; main outlives every change task.
    static std::shared_ptr<OpenAtLogin> make(std::shared_ptr<LoginManaging> login, platform::Executor& main);
    OpenAtLogin(const OpenAtLogin&) = delete;
    OpenAtLogin& operator=(const OpenAtLogin&) = delete;

    // Reads the status again while running; observers hear of it only when it differs.
    void refresh() override;
    // The body of one change task: awaits the login item's change and reports it. A failure keeps
    // the state read before the change. Nothing is reported once the service stopped meanwhile.
    platform::Async<> setEnabled(bool enabled);
    // What the views' switch does: while running and with no change in flight, starts a change
    // task; otherwise the request is dropped, not queued.
    void requestChange(bool enabled) override;
    LoginState loginState() const override { return state.value(); }
    platform::Subscription observeState(std::function<void(const LoginState&)> observer) override {
        return state.subscribe(std::move(observer));
    }

    // The app model's start and stop. Stopping also cancels and drops the change in flight.
    void start() override { running_ = true; }
    void stop() override;
    bool running() const { return running_; }
    bool changing() const { return change_.has_value(); }

    platform::Observable<LoginState> state;
    // onResult (the driving interface's) hears whether a change succeeded.

private:
    struct Token {};

public:
    OpenAtLogin(Token, std::shared_ptr<LoginManaging> login, platform::Executor& main);

private:
    static platform::Async<> change(std::weak_ptr<OpenAtLogin> weak, bool enabled);

    std::shared_ptr<LoginManaging> login_;
    platform::Executor& main_;
    std::optional<platform::Task<>> change_;
    bool running_ = false;
};

} // namespace tidewright
