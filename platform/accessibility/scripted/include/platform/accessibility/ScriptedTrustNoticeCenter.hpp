#pragma once
// A notice centre that a test posts to by hand.

#include "platform/accessibility/TrustNoticeCenter.hpp"

namespace platform {

class ScriptedTrustNoticeCenter final : public TrustNoticeCenter {
public:
    ObserverID addObserver(std::function<void()> handler) override {
        return observers_.add(std::move(handler));
    }
    void removeObserver(ObserverID id) override { observers_.remove(id); }

    // Calls every observer once, as a delivery on the main thread does.
    void post() { observers_.deliver(); }
    std::size_t observerCount() const { return observers_.size(); }

private:
    TrustNoticeObservers observers_;
};

} // namespace platform
