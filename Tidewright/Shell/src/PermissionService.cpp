#include "tidewright/shell/PermissionService.hpp"

#include <stdexcept>

namespace tidewright {

namespace {

WindowPermissions permissionsFrom(bool trusted) {
    return {trusted ? PermissionState::granted : PermissionState::denied};
}

} // namespace

std::shared_ptr<PermissionService> PermissionService::make(std::shared_ptr<PermissionBackend> backend,
                                                           platform::Executor& main) {
    if (backend == nullptr) {
        throw std::invalid_argument("PermissionService needs a backend");
    }
    return std::make_shared<PermissionService>(Token{}, std::move(backend), main);
}

PermissionService::PermissionService(Token, std::shared_ptr<PermissionBackend> backend,
                                     platform::Executor& main)
    : backend_(std::move(backend)), main_(main) {}

void PermissionService::refresh() {
    if (!task_) {
        refreshAgain_ = false;
        task_ =
            platform::spawn(main_, [weak = weak_from_this(), epoch = epoch_] { return read(weak, epoch); });
    } else if (!requesting_) {
        refreshAgain_ = true;
    }
}

void PermissionService::request(PermissionRequestOwner owner) {
    if (requesting_) {
        return;
    }
    cancelTask();
    ++epoch_;
    refreshAgain_ = false;
    requesting_ = true;
    requestOwner_ = owner;
    task_ = platform::spawn(main_, [weak = weak_from_this(), epoch = epoch_] { return prompt(weak, epoch); });
}

void PermissionService::cancelRequest(PermissionRequestOwner owner) {
    if (requestOwner_ != owner) {
        return;
    }
    ++epoch_;
    cancelTask();
    requesting_ = false;
    requestOwner_.reset();
}

void PermissionService::stop() {
    cancelTask();
    ++epoch_;
    requesting_ = false;
    requestOwner_.reset();
    refreshAgain_ = false;
}

void PermissionService::cancelTask() {
    if (task_) {
        task_->cancel();
        task_.reset();
    }
}

std::shared_ptr<PermissionService> PermissionService::current(const std::weak_ptr<PermissionService>& weak,
                                                              std::uint64_t epoch) {
    auto self = weak.lock();
    if (!self || platform::isCancelled() || self->epoch_ != epoch) {
        return nullptr;
    }
    return self;
}

std::shared_ptr<PermissionBackend> PermissionService::backendFor(const std::weak_ptr<PermissionService>& weak,
                                                                 std::uint64_t epoch) {
    auto self = current(weak, epoch);
    return self ? self->backend_ : nullptr;
}

platform::Async<> PermissionService::read(std::weak_ptr<PermissionService> weak, std::uint64_t epoch) {
    // The service is held only weakly while the backend answers.
    const std::shared_ptr<PermissionBackend> backend = backendFor(weak, epoch);
    if (!backend) {
        co_return;
    }
    const bool trusted = co_await backend->isTrusted();
    auto self = current(weak, epoch);
    if (!self) {
        co_return;
    }
    self->permissions_ = permissionsFrom(trusted);
    self->task_.reset();
    // The next read starts before this one is reported, so a burst of refreshes ends in one more.
    if (self->refreshAgain_) {
        self->refresh();
    }
    if (self->onChange) {
        self->onChange();
    }
}

platform::Async<> PermissionService::prompt(std::weak_ptr<PermissionService> weak, std::uint64_t epoch) {
    const std::shared_ptr<PermissionBackend> backend = backendFor(weak, epoch);
    if (!backend) {
        co_return;
    }
    co_await backend->requestTrust();
    if (!current(weak, epoch)) {
        co_return;
    }
    const bool trusted = co_await backend->isTrusted();
    auto self = current(weak, epoch);
    if (!self) {
        co_return;
    }
    self->permissions_ = permissionsFrom(trusted);
    self->requesting_ = false;
    self->requestOwner_.reset();
    self->task_.reset();
    if (self->onChange) {
        self->onChange();
    }
}

} // namespace tidewright
