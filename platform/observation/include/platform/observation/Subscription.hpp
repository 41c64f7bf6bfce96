#pragma once
// The token of one subscription to an observable value: the subscriber hears of changes while the
// token lives, and never again once it is reset or destroyed.

#include <cstdint>
#include <memory>

namespace platform {

namespace detail {

// What a token needs of the list it belongs to, without knowing the value's type.
class SubscriberList {
public:
    virtual ~SubscriberList() = default;
    virtual void unsubscribe(std::uint64_t id) noexcept = 0;
};

} // namespace detail

// Move-only. A token may outlive the value it subscribed to: ending it then does nothing.
// REQUIRES: used, moved and destroyed on the main thread, like the value.
class [[nodiscard]] Subscription {
public:
    Subscription() = default;
    Subscription(std::weak_ptr<detail::SubscriberList> list, std::uint64_t id) noexcept
        : list_(std::move(list)), id_(id) {}
    Subscription(Subscription&& other) noexcept;
    Subscription& operator=(Subscription&& other) noexcept;
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription() { reset(); }

    // Ends the subscription; the subscriber is not called again, not even by a notification that
    // is under way. Idempotent.
    void reset() noexcept;

    // Whether the token still holds a subscription (its value may be gone meanwhile).
    bool isActive() const noexcept { return id_ != 0; }

private:
    std::weak_ptr<detail::SubscriberList> list_;
    std::uint64_t id_ = 0;
};

} // namespace platform
