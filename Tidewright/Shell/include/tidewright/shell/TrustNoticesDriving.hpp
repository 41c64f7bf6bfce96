#pragma once
// The notices that the window manager (and so the permission) may have changed, as the app model
// drives them.

#include <functional>

namespace tidewright {

// Main thread only.
class TrustNoticesDriving {
public:
    virtual ~TrustNoticesDriving() = default;
    // handler is called a short while after each notice, also after stop() for notices already
    // received. Does nothing when already started. REQUIRES: handler does not throw.
    virtual void start(std::function<void()> handler) = 0;
    virtual void stop() = 0;
};

} // namespace tidewright
