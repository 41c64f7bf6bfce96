#pragma once
// The permission service as the app model drives it: the model awaits the service's own read or
// request task, which ends when that one reports or, once abandoned, when its backend call returns.

#include <memory>
#include <optional>

#include "tidewright/app/AppServices.hpp"
#include "tidewright/shell/PermissionService.hpp"

namespace tidewright {

// Main thread only.
class LivePermissions final : public PermissionServiceDriving {
public:
    // REQUIRES: service is set.
    explicit LivePermissions(std::shared_ptr<PermissionService> service);
    ~LivePermissions() override;
    LivePermissions(const LivePermissions&) = delete;
    LivePermissions& operator=(const LivePermissions&) = delete;

    WindowPermissions permissions() const override { return service_->permissions(); }
    void refresh() override { service_->refresh(); }
    std::optional<platform::Task<>> task() const override { return service_->task(); }
    void cancelRequest(RequestOwner owner) override;
    void stop() override { service_->stop(); }
    // Takes over the service's onChange.
    void setOnChange(std::function<void()> onChange) override { service_->onChange = std::move(onChange); }

private:
    std::shared_ptr<PermissionService> service_;
};

} // namespace tidewright
