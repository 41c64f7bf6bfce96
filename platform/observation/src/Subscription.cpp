#include "platform/observation/Subscription.hpp"

#include <utility>

namespace platform {

Subscription::Subscription(Subscription&& other) noexcept
    : list_(std::move(other.list_)), id_(std::exchange(other.id_, 0)) {}

Subscription& Subscription::operator=(Subscription&& other) noexcept {
    if (this != &other) {
        reset();
        list_ = std::move(other.list_);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

void Subscription::reset() noexcept {
    if (id_ == 0) {
        return;
    }
    if (auto list = list_.lock()) {
        list->unsubscribe(id_);
    }
    list_.reset();
    id_ = 0;
}

} // namespace platform
