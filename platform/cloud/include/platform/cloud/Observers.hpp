#pragma once
// A list of observers that calls a copy of itself, so an observer may add or end observations while
// it is being called. Each observation is held by the observation primitive's RAII token.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>

#include "platform/observation/Subscription.hpp"

namespace platform {

// Single-threaded: add, notify and every Subscription on one thread.
template <class... Args>
class ObserverList {
public:
    using Observer = std::function<void(Args...)>;

    // The observation lasts as long as the Subscription; it may outlive the list.
    Subscription add(Observer observer) {
        const std::uint64_t id = ++observers_->lastID;
        observers_->map.emplace(id, std::move(observer));
        return Subscription(observers_, id);
    }

    // Calls every observer in the order they were added. An observer added meanwhile is not
    // called this time; one ended meanwhile is not called any more.
    void notify(const Args&... args) const {
        const auto observers = observers_;
        const Map called = observers->map;
        for (const auto& [id, observer] : called) {
            if (observers->map.count(id) != 0) {
                observer(args...);
            }
        }
    }

    bool empty() const noexcept { return observers_->map.empty(); }

private:
    using Map = std::map<std::uint64_t, Observer>;
    struct Observers final : detail::SubscriberList {
        void unsubscribe(std::uint64_t id) noexcept override { map.erase(id); }
        Map map;
        std::uint64_t lastID = 0; // 0 is no subscription's id
    };
    std::shared_ptr<Observers> observers_ = std::make_shared<Observers>();
};

} // namespace platform
