#pragma once
// The login service over the autostart entry. The entry is written on a worker, so a slow disk
// never holds the main thread; the status is read where it is asked.

#include <memory>

#include "platform/concurrency/WorkQueue.hpp"
#include "platform/login/AutostartLoginItem.hpp"
#include "tidewright/shell/LoginManaging.hpp"

namespace tidewright {

class LoginService final : public LoginManaging {
public:
    // REQUIRES: item is set; pool outlives every change.
    LoginService(std::shared_ptr<const platform::AutostartLoginItem> item, platform::WorkQueue& pool);

    int status() const override;
    // THROWS platform::LoginItemError.
    platform::Async<> setEnabled(bool enabled) override;

private:
    std::shared_ptr<const platform::AutostartLoginItem> item_;
    platform::WorkQueue& pool_;
};

} // namespace tidewright
