#include "LivePermissions.hpp"

#include <utility>

namespace tidewright {

LivePermissions::LivePermissions(std::shared_ptr<PermissionService> service) : service_(std::move(service)) {}

LivePermissions::~LivePermissions() {
    service_->onChange = nullptr;
}

void LivePermissions::cancelRequest(RequestOwner owner) {
    service_->cancelRequest(owner == RequestOwner::welcome ? PermissionRequestOwner::welcome
                                                           : PermissionRequestOwner::preferences);
}

} // namespace tidewright
