#include "tidewright/shell/LoginService.hpp"

#include <stdexcept>

namespace tidewright {

LoginService::LoginService(std::shared_ptr<const platform::AutostartLoginItem> item,
                           platform::WorkQueue& pool)
    : item_(std::move(item)), pool_(pool) {
    if (item_ == nullptr) {
        throw std::invalid_argument("LoginService needs a login item");
    }
}

int LoginService::status() const {
    return item_->status();
}

platform::Async<> LoginService::setEnabled(bool enabled) {
    // Held by the frame while the worker writes; the job captures only a pointer (g++ 12 destroys
    // the captures of a lambda temporary in a co_await twice).
    const std::shared_ptr<const platform::AutostartLoginItem> item = item_;
    const platform::AutostartLoginItem* target = item.get();
    // The autostart entry needs no approval, so a registration never leads on to the settings.
    co_await pool_.run([target, enabled] {
        if (enabled) {
            target->registerItem();
        } else {
            target->unregisterItem();
        }
    });
}

} // namespace tidewright
