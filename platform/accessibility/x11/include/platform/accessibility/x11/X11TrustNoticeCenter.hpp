#pragma once
// The trust notice on X11: one notice for each change of the window manager that the root window
// shows (a PropertyNotify of _NET_SUPPORTING_WM_CHECK or _NET_SUPPORTED, the DestroyNotify of the
// check window, a MANAGER message for WM_S<n>), read over a connection of its own by a reader
// thread and delivered on the main executor. After each change it follows the new check window.

#include <atomic>
#include <memory>
#include <string>

#include "platform/accessibility/TrustNoticeCenter.hpp"
#include "platform/concurrency/Executor.hpp"

namespace platform {

class X11TrustNoticeCenter final : public TrustNoticeCenter {
public:
    // display: empty for $DISPLAY. The reader starts with the first observer and stops when the
    // last one goes; a display that cannot be reached leaves the centre silent.
    // REQUIRES: main is the main executor and outlives this object.
    X11TrustNoticeCenter(std::string display, Executor& main);
    ~X11TrustNoticeCenter() override;
    X11TrustNoticeCenter(const X11TrustNoticeCenter&) = delete;
    X11TrustNoticeCenter& operator=(const X11TrustNoticeCenter&) = delete;

    ObserverID addObserver(std::function<void()> handler) override;
    void removeObserver(ObserverID id) override;

    // Whether the reader has selected the window manager's events, so that every later change
    // is noticed. Safe for concurrent access.
    bool listening() const;

private:
    struct Reader;
    void stopReader();
    void deliver();

    std::string display_;
    Executor& main_;
    TrustNoticeObservers observers_;
    std::shared_ptr<Reader> reader_;
    // Shared with the deliveries on their way: they reach the observers only while it is set.
    std::shared_ptr<X11TrustNoticeCenter*> self_;
};

} // namespace platform
