#pragma once
// Where the notice that the Accessibility trust may have changed is observed. On this desktop the
// trust is the window manager, so the notice comes whenever the window manager changes.

#include <cstdint>
#include <functional>
#include <map>

namespace platform {

class TrustNoticeCenter {
public:
    using ObserverID = std::uint64_t;

    virtual ~TrustNoticeCenter() = default;

    // handler runs on the main thread once for every notice posted after this call, until the
    // observer is removed. Main thread only. REQUIRES: handler does not throw.
    virtual ObserverID addObserver(std::function<void()> handler) = 0;
    // After this the handler is never called again, even for a notice already on its way.
    // Nothing for an id that is not observing. Main thread only.
    virtual void removeObserver(ObserverID id) = 0;
};

// The observers of a centre and their delivery, for the centres to share. Main thread only.
class TrustNoticeObservers {
public:
    TrustNoticeCenter::ObserverID add(std::function<void()> handler);
    void remove(TrustNoticeCenter::ObserverID id) { handlers_.erase(id); }
    std::size_t size() const { return handlers_.size(); }

    // Calls each observer present now once. A handler may remove observers, itself included
    // (they are not called afterwards), or add new ones (called from the next notice on).
    void deliver();

private:
    std::map<TrustNoticeCenter::ObserverID, std::function<void()>> handlers_;
    TrustNoticeCenter::ObserverID next_ = 1;
};

} // namespace platform
