#include "corbel/preferences/UbiquitousPreferenceStorage.hpp"

namespace corbel {

std::shared_ptr<UbiquitousPreferenceStorage>
UbiquitousPreferenceStorage::create(std::shared_ptr<platform::KeyValueStore> store,
                                    platform::Executor& executor) {
    std::shared_ptr<UbiquitousPreferenceStorage> storage(
        new UbiquitousPreferenceStorage(std::move(store), executor));
    storage->observation_ =
        storage->store_->observeExternalChanges([weak = std::weak_ptr<UbiquitousPreferenceStorage>(storage)](
                                                    const platform::KeyValueStoreChange& change) {
            if (const auto self = weak.lock()) {
                self->received(change);
            }
        });
    return storage;
}

std::optional<PreferenceCloudIssue>
UbiquitousPreferenceStorage::issueOf(const platform::KeyValueStoreChange& change) {
    const auto reason = platform::changeReason(change);
    if (reason == static_cast<std::int64_t>(platform::KeyValueStoreChangeReason::quotaViolationChange)) {
        return PreferenceCloudIssue::quotaExceeded;
    }
    if (reason == static_cast<std::int64_t>(platform::KeyValueStoreChangeReason::accountChange)) {
        return PreferenceCloudIssue::accountChanged;
    }
    return std::nullopt;
}

void UbiquitousPreferenceStorage::received(const platform::KeyValueStoreChange& change) {
    // Handled on a turn of its own, as a task would be; the storage may be gone by then.
    executor_.post([weak = weak_from_this(), issue = issueOf(change), keys = platform::changedKeys(change)] {
        const auto self = weak.lock();
        if (!self) {
            return;
        }
        self->issue_ = issue;
        if (self->handler_) {
            const ExternalChangeHandler handler = self->handler_; // the handler may replace itself
            handler(keys);
        }
    });
}

} // namespace corbel
