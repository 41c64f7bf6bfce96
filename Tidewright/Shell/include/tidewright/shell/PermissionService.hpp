#pragma once
// Reads the Accessibility permission, asks for it, and reports each completed read through
// onChange. Reads and requests run as tasks; a task made stale by a newer one (the epoch) or by
// stop() writes nothing.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "platform/concurrency/Executor.hpp"
#include "platform/concurrency/Task.hpp"
#include "tidewright/core/AppPolicy.hpp"
#include "tidewright/shell/PermissionBackend.hpp"
#include "tidewright/shell/PermissionServiceDriving.hpp"

namespace tidewright {

// Main thread only. Owned by a shared_ptr: its tasks hold it weakly.
class PermissionService final : public PermissionServiceDriving,
                                public std::enable_shared_from_this<PermissionService> {
public:
    // REQUIRES: backend is set; main is the main executor and outlives every task of the service.
    static std::shared_ptr<PermissionService> make(std::shared_ptr<PermissionBackend> backend,
                                                   platform::Executor& main);
    PermissionService(const PermissionService&) = delete;
    PermissionService& operator=(const PermissionService&) = delete;

    // Starts a read; during a read, asks for one more after it; during a request, nothing (the
    // request ends with a read of its own).
    void refresh() override;
    // Prompts, then reads. A read in flight is abandoned; a second request while one runs is
    // ignored and its owner not recorded.
    void request(PermissionRequestOwner owner) override;
    // Abandons the request in flight if owner started it; the permission is not read again.
    void cancelRequest(PermissionRequestOwner owner) override;
    // Abandons everything in flight; the permission keeps its last value.
    void stop() override;

    // unknown until the first read completes, then granted or denied.
    WindowPermissions permissions() const override { return permissions_; }
    bool requesting() const { return requesting_; }
    std::optional<PermissionRequestOwner> requestOwner() const { return requestOwner_; }
    bool refreshAgain() const { return refreshAgain_; }
    std::uint64_t epoch() const { return epoch_; }
    bool hasTask() const { return task_.has_value(); }
    // The read or request in flight, for a caller that awaits the permission it will report;
    // awaiting it does not cancel it.
    const std::optional<platform::Task<>>& task() const override { return task_; }
    // onChange (the driving interface's) is called after each completed read or request.

private:
    struct Token {};

public:
    PermissionService(Token, std::shared_ptr<PermissionBackend> backend, platform::Executor& main);

private:
    static platform::Async<> read(std::weak_ptr<PermissionService> weak, std::uint64_t epoch);
    static platform::Async<> prompt(std::weak_ptr<PermissionService> weak, std::uint64_t epoch);
    // Whether a task that carries epoch may still act, and the service when it may.
    static std::shared_ptr<PermissionService> current(const std::weak_ptr<PermissionService>& weak,
                                                      std::uint64_t epoch);
    // The backend, when a task that carries epoch may still act.
    static std::shared_ptr<PermissionBackend> backendFor(const std::weak_ptr<PermissionService>& weak,
                                                         std::uint64_t epoch);
    void cancelTask();

    std::shared_ptr<PermissionBackend> backend_;
    platform::Executor& main_;
    std::optional<platform::Task<>> task_;
    std::uint64_t epoch_ = 0;
    bool refreshAgain_ = false;
    WindowPermissions permissions_{PermissionState::unknown};
    bool requesting_ = false;
    std::optional<PermissionRequestOwner> requestOwner_;
};

} // namespace tidewright
