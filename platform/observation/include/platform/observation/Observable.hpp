#pragma once
// A value that models publish to views: assigning a different value notifies every subscriber,
// assigning an equal one notifies nobody, and notify() tells them anyway.

#include <concepts>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <utility>
#include <vector>

#include "platform/observation/Subscription.hpp"

namespace platform {

// Main thread only: values, subscribers and tokens are neither locked nor safe for concurrent
// access. A subscriber may read or assign the value, subscribe, end any subscription (its own
// too) or destroy the value while it is being notified:
// - a subscriber whose token ends during a notification is not called afterwards;
// - one added during a notification is called from the next notification on;
// - an assignment made by a subscriber notifies everyone at once with the newer value, and the
//   notification that was under way stops there, so nobody hears an older value last;
// - a value destroyed during a notification notifies nobody else.
template <std::equality_comparable T>
class Observable {
public:
    using Subscriber = std::function<void(const T&)>;

    Observable() requires std::default_initializable<T> : state_(std::make_shared<State>(T{})) {}
    explicit Observable(T initial) : state_(std::make_shared<State>(std::move(initial))) {}
    ~Observable() { state_->alive = false; }
    Observable(const Observable&) = delete;
    Observable& operator=(const Observable&) = delete;

    const T& value() const noexcept { return state_->value; }

    // Stores value and notifies the subscribers when it differs from the stored one; answers
    // whether it differed.
    bool set(T value) {
        if (state_->value == value) {
            return false;
        }
        state_->value = std::move(value);
        notify();
        return true;
    }

    // Notifies every subscriber of the current value, changed or not.
    void notify() { State::notify(state_); }

    // subscriber hears of every later change until the token ends; it is not called now.
    // The value it is handed is the current one, valid for the call only.
    // REQUIRES: subscriber is set and does not throw.
    Subscription subscribe(Subscriber subscriber) {
        const std::uint64_t id = ++state_->lastID;
        state_->subscribers.emplace(id, std::make_shared<Subscriber>(std::move(subscriber)));
        return Subscription(state_, id);
    }

    std::size_t subscriberCount() const noexcept { return state_->subscribers.size(); }

private:
    struct State final : detail::SubscriberList {
        explicit State(T initial) : value(std::move(initial)) {}

        void unsubscribe(std::uint64_t id) noexcept override { subscribers.erase(id); }

        static void notify(const std::shared_ptr<State>& shared) {
            // Held for the whole round: a subscriber may destroy the value meanwhile.
            const std::shared_ptr<State> state = shared;
            const std::uint64_t round = ++state->round;
            std::vector<std::pair<std::uint64_t, std::shared_ptr<Subscriber>>> called(
                state->subscribers.begin(), state->subscribers.end());
            for (auto& [id, subscriber] : called) {
                if (!state->alive || state->round != round) {
                    return;
                }
                if (state->subscribers.contains(id)) {
                    (*subscriber)(state->value);
                }
            }
        }

        T value;
        bool alive = true;
        std::uint64_t lastID = 0;
        std::uint64_t round = 0;
        // In order of subscription; a subscriber is shared so that one ending its own token while it
        // runs stays alive until it returns.
        std::map<std::uint64_t, std::shared_ptr<Subscriber>> subscribers;
    };

    std::shared_ptr<State> state_;
};

} // namespace platform
