#include "platform/accessibility/TrustNoticeCenter.hpp"

#include <vector>

namespace platform {

TrustNoticeCenter::ObserverID TrustNoticeObservers::add(std::function<void()> handler) {
    const TrustNoticeCenter::ObserverID id = next_++;
    handlers_.emplace(id, std::move(handler));
    return id;
}

void TrustNoticeObservers::deliver() {
    std::vector<TrustNoticeCenter::ObserverID> ids;
    ids.reserve(handlers_.size());
    for (const auto& handler : handlers_) {
        ids.push_back(handler.first);
    }
    for (TrustNoticeCenter::ObserverID id : ids) {
        if (auto found = handlers_.find(id); found != handlers_.end()) {
            // A copy: the handler may remove itself while it runs.
            auto handler = found->second;
            handler();
        }
    }
}

} // namespace platform
