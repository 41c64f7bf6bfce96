#pragma once
// The permission service as the app model drives it. The service keeps its read task to itself, so a
// read is followed here from the call that starts it to the report that ends it (or to the stop or
// cancellation that abandons it), as one task the model can await.

#include <memory>
#include <optional>

#include "platform/concurrency/Continuation.hpp"
#include "platform/concurrency/Executor.hpp"
#include "tidewright/app/AppServices.hpp"
#include "tidewright/shell/PermissionService.hpp"

namespace tidewright {

// Main thread only.
class LivePermissions final : public PermissionServiceDriving {
public:
    // REQUIRES: service is set; main is its executor and outlives this object.
    LivePermissions(std::shared_ptr<PermissionService> service, platform::Executor& main);
    ~LivePermissions() override;
    LivePermissions(const LivePermissions&) = delete;
    LivePermissions& operator=(const LivePermissions&) = delete;

    WindowPermissions permissions() const override { return service_->permissions(); }
    void refresh() override { service_->refresh(); }
    // The same task for as long as one read (or request) is in flight; it ends when that one
    // reports, or is abandoned.
    std::optional<platform::Task<>> task() const override;
    void cancelRequest(RequestOwner owner) override;
    void stop() override;
    // Takes over the service's onChange.
    void setOnChange(std::function<void()> onChange) override;

private:
    struct Waiting {
        bool ended = false;
        std::optional<platform::Continuation<>> continuation;
    };
    struct Tracker {
        std::shared_ptr<Waiting> waiting;
        platform::Task<> task;
    };

    void endTracking() const;

    std::shared_ptr<PermissionService> service_;
    platform::Executor& main_;
    mutable std::optional<Tracker> tracker_;
};

} // namespace tidewright
