#pragma once
// Decides when the welcome opens by itself: once per running period, after the first completed
// permission read, when it was never shown on this machine or the permission is denied.

#include <functional>
#include <memory>

#include "tidewright/app/WelcomeHistoryStoring.hpp"
#include "tidewright/core/AppPolicy.hpp"

namespace tidewright {

// Main thread only.
class WindowPresentationOwner {
public:
    enum class WelcomeSession {
        waiting,    // not shown yet in this running period
        presented,  // shown
        suppressed, // the user closed or finished it
    };

    // REQUIRES: history and showWelcome are set.
    WindowPresentationOwner(std::shared_ptr<WelcomeHistoryStoring> history,
                            std::function<void()> showWelcome);

    // Begins a running period in which the welcome may open by itself once. Nothing while running.
    void start();
    void stop() { running_ = false; }
    // The welcome is being shown; the history is written the first time ever.
    void markWelcomePresented();
    // The welcome window closed, or the user finished it.
    void suppress();
    void offerWelcome(PermissionState permission, bool readCompleted);

    WelcomeSession welcome() const noexcept { return welcome_; }
    bool running() const noexcept { return running_; }

private:
    std::shared_ptr<WelcomeHistoryStoring> history_;
    std::function<void()> showWelcome_;
    WelcomeSession welcome_ = WelcomeSession::waiting;
    bool running_ = false;
};

} // namespace tidewright
