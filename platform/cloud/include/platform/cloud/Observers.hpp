#pragma once
// Observations held by RAII tokens: a Subscription ends its observation when it goes away, and a
// list of observers that calls a copy of itself, so an observer may add or end observations while
// it is being called.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>

namespace platform {

class Subscription {
public:
    Subscription() = default;
    explicit Subscription(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
    Subscription(Subscription&& other) noexcept : cancel_(std::exchange(other.cancel_, nullptr)) {}
    Subscription& operator=(Subscription&& other) noexcept {
        if (this != &other) {
            reset();
            cancel_ = std::exchange(other.cancel_, nullptr);
        }
        return *this;
    }
    Subscription(const Subscription&) = delete;
    Subscription& operator=(const Subscription&) = delete;
    ~Subscription() { reset(); }

    // Ends the observation now; doing so twice is harmless.
    void reset() {
        if (auto cancel = std::exchange(cancel_, nullptr)) {
            cancel();
        }
    }
    explicit operator bool() const noexcept { return static_cast<bool>(cancel_); }

private:
    std::function<void()> cancel_;
};

// Single-threaded: add, notify and every Subscription on one thread.
template <class... Args>
class ObserverList {
public:
    using Observer = std::function<void(Args...)>;

    // The observation lasts as long as the Subscription; it may outlive the list.
    Subscription add(Observer observer) {
        const std::uint64_t id = next_++;
        observers_->emplace(id, std::move(observer));
        return Subscription([weak = std::weak_ptr<Map>(observers_), id] {
            if (const auto observers = weak.lock()) {
                observers->erase(id);
            }
        });
    }

    // Calls every observer in the order they were added. An observer added meanwhile is not
    // called this time; one ended meanwhile is not called any more.
    void notify(const Args&... args) const {
        const auto observers = observers_;
        const Map called = *observers;
        for (const auto& [id, observer] : called) {
            if (observers->count(id) != 0) {
                observer(args...);
            }
        }
    }

    bool empty() const noexcept { return observers_->empty(); }

private:
    using Map = std::map<std::uint64_t, Observer>;
    std::shared_ptr<Map> observers_ = std::make_shared<Map>();
    std::uint64_t next_ = 0;
};

} // namespace platform
