#pragma once
// Preference bytes kept in the synced key-value store, whose notices of changes made elsewhere
// become the change handler's calls and the storage's issue.

#include <memory>

#include "corbel/preferences/PreferenceStorage.hpp"
#include "platform/cloud/KeyValueStore.hpp"
#include "platform/concurrency/Executor.hpp"

namespace corbel {

// Main thread only.
class UbiquitousPreferenceStorage final : public PreferenceCloudStorage,
                                          public std::enable_shared_from_this<UbiquitousPreferenceStorage> {
public:
    // Observes the store's notices until the storage goes away. REQUIRES: executor is the main
    // executor and outlives the storage.
    static std::shared_ptr<UbiquitousPreferenceStorage> create(std::shared_ptr<platform::KeyValueStore> store,
                                                               platform::Executor& executor);

    std::optional<std::string> data(std::string_view key) override { return store_->data(key); }
    void set(std::string_view key, std::string bytes) override { store_->setData(key, std::move(bytes)); }
    void removeObject(std::string_view key) override { store_->remove(key); }

    const ExternalChangeHandler& onExternalChange() const override { return handler_; }
    void setOnExternalChange(ExternalChangeHandler handler) override { handler_ = std::move(handler); }
    std::optional<PreferenceCloudIssue> issue() const override { return issue_; }
    // The store's answer is not needed.
    void synchronize() override { store_->synchronize(); }

    // What a notice means for the issue: reason 2 quotaExceeded, reason 3 accountChanged, anything
    // else (another integer, no integer, no reason, no user information) none.
    static std::optional<PreferenceCloudIssue> issueOf(const platform::KeyValueStoreChange& change);

private:
    UbiquitousPreferenceStorage(std::shared_ptr<platform::KeyValueStore> store, platform::Executor& executor)
        : store_(std::move(store)), executor_(executor) {}
    void received(const platform::KeyValueStoreChange& change);

    ExternalChangeHandler handler_;
    std::optional<PreferenceCloudIssue> issue_;
    std::shared_ptr<platform::KeyValueStore> store_;
    platform::Executor& executor_;
    platform::Subscription observation_;
};

} // namespace corbel
