#pragma once
// Observations held by RAII tokens: an ObserverSubscription ends its observation when it goes away, and a
// list of observers that calls a copy of itself, so an observer may add or end observations while
// it is being called.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>

namespace platform {

class ObserverSubscription {
public:
    ObserverSubscription() = default;
    explicit ObserverSubscription(std::function<void()> cancel) : cancel_(std::move(cancel)) {}
    ObserverSubscription(ObserverSubscription&& other) noexcept
        : cancel_(std::exchange(other.cancel_, nullptr)) {}
    ObserverSubscription& operator=(ObserverSubscription&& other) noexcept {
        if (this != &other) {
            reset();
            cancel_ = std::exchange(other.cancel_, nullptr);
        }
        return *this;
    }
    ObserverSubscription(const ObserverSubscription&) = delete;
    ObserverSubscription& operator=(const ObserverSubscription&) = delete;
    ~ObserverSubscription() { reset(); }

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

// Single-threaded: add, notify and every ObserverSubscription on one thread.
template <class... Args>
class ObserverList {
public:
    using Observer = std::function<void(Args...)>;

    // The observation lasts as long as the ObserverSubscription; it may outlive the list.
    ObserverSubscription add(Observer observer) {
        const std::uint64_t id = next_++;
        observers_->emplace(id, std::move(observer));
        return ObserverSubscription([weak = std::weak_ptr<Map>(observers_), id] {
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
