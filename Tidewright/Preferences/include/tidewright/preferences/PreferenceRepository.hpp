#pragma once
// The one owner of the synced preferences at run time: one policy per preference key, built from
// the local cache, merged with the synced store, edited by the user, cached per account and
// published back to the store in the background.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>

#include "platform/cloud/CloudFolder.hpp"
#include "platform/concurrency/Clock.hpp"
#include "platform/concurrency/Executor.hpp"
#include "platform/concurrency/Task.hpp"
#include "platform/defaults/UserDefaults.hpp"
#include "tidewright/core/PreferencePolicy.hpp"
#include "tidewright/core/PreferenceSummary.hpp"
#include "tidewright/preferences/PreferenceAccount.hpp"
#include "tidewright/preferences/PreferenceCache.hpp"
#include "tidewright/preferences/PreferenceCloud.hpp"
#include "tidewright/preferences/PreferenceRepositoryDriving.hpp"
#include "tidewright/preferences/PreferenceSnapshotMerge.hpp"

namespace tidewright {

// Main thread only; the tasks it starts run on the executor it is given. Nothing here throws:
// problems reach the user through summary(). Always owned by a shared_ptr, since its tasks hold
// it weakly.
class PreferenceRepository final : public PreferenceRepositoryDriving,
                                   public std::enable_shared_from_this<PreferenceRepository> {
public:
    // The retry task's delay; ends early by throwing when the task is cancelled.
    using Wait = std::function<platform::Async<>(platform::ContinuousDuration)>;

    // The store's limits that a publication respects.
    static constexpr std::size_t maximumStoreKeys = 1024;
    static constexpr std::size_t maximumStoreBytes = 1048576;

    // Resolves the account once and loads its cached entries, so that summary() is meaningful
    // before start(). Not running.
    // REQUIRES: executor is the main executor (or a test's) and outlives the repository.
    static std::shared_ptr<PreferenceRepository>
    create(std::shared_ptr<PreferenceCache> local, std::shared_ptr<PreferenceCloud> cloud,
           std::shared_ptr<PreferenceAccountReading> accountSource, std::string writer,
           platform::Executor& executor, Wait wait);

    // The application's repository over one defaults suite and the synced folder: the writer
    // identity, the cache and the account registry in the defaults, the cloud and the account
    // identity in the folder, and waits on the clock.
    // REQUIRES: executor and clock outlive the repository.
    static std::shared_ptr<PreferenceRepository> live(std::shared_ptr<platform::UserDefaults> defaults,
                                                      std::shared_ptr<platform::CloudFolder> folder,
                                                      platform::Executor& executor, platform::Clock& clock);

    ~PreferenceRepository();
    PreferenceRepository(const PreferenceRepository&) = delete;
    PreferenceRepository& operator=(const PreferenceRepository&) = delete;

    // Nothing when running; else follows the current account, listens to the cloud and refreshes.
    void start() override;
    // Stops listening and makes every task stale; entries, pending keys and the account stay.
    void stop() override;
    // Reads the cloud and merges it into the entries; nothing while stopped.
    void refresh() override;
    // A user's edit, stamped with this installation's writer; nothing while stopped.
    void apply(const PreferenceEdit& edit) override;

    // Built afresh on every read.
    PreferenceSummary summary() const override;
    // onChange (the driving interface's) is called after every change that can alter summary().

    // State that callers and tests may look at.
    bool isRunning() const noexcept { return running_; }
    bool isSynchronized() const noexcept { return synchronized_; }
    bool isAwaitingCloudRead() const noexcept { return awaitingCloudRead_; }
    PreferenceCloudState cloudState() const noexcept { return cloudState_; }
    const PreferenceAccount& account() const noexcept { return account_; }
    // Keys whose local payload still has to be written to the cloud.
    const std::set<std::string, std::less<>>& pendingKeys() const noexcept { return pending_; }
    bool hasRetry() const noexcept { return retry_.has_value(); }
    bool hasPublication() const noexcept { return publication_.has_value(); }
    // The account-change barrier: the cloud is read only while it is ready.
    enum class AccountBarrier { ready, replacement, identity, ambiguous };
    AccountBarrier barrier() const noexcept { return barrier_; }

private:
    using Entry = PreferenceEntry;
    enum class AccountSignal { source, notificationNewAccount, notificationSameAccount };

    PreferenceRepository(std::shared_ptr<PreferenceCache> local, std::shared_ptr<PreferenceCloud> cloud,
                         std::shared_ptr<PreferenceAccountReading> accountSource, std::string writer,
                         platform::Executor& executor, Wait wait);

    void setAccount(PreferenceAccount account);
    Entry loadEntry(std::string_view key, const std::optional<std::string>& data) const;
    void handleResult(const std::string& key, Entry entry, const PreferencePayload& before,
                      bool wasCacheWritable, const PreferencePublication& result);
    // Keeps the updated entry and does what the update asks: the cache write, the pending key.
    void commit(const std::string& key, PreferenceEntryUpdate update);
    void applyCloudState(PreferenceCloudState state);
    // Answers whether the account was switched.
    bool checkAccount();
    void handle(PreferenceCloudEvent event);
    void moveBarrier(AccountSignal signal);
    void dropTasks();

    void startPublication(PreferenceCloudSnapshot snapshot, std::uint64_t epoch);
    void scheduleRetry();
    // The task bodies, which hold the repository weakly across every suspension.
    static platform::Async<> publication(std::weak_ptr<PreferenceRepository> weak, std::uint64_t epoch,
                                         std::uint64_t sequence, PreferenceCloudSnapshot snapshot);
    static platform::Async<> publish(std::weak_ptr<PreferenceRepository> weak, std::uint64_t epoch,
                                     const PreferenceCloudSnapshot& snapshot);
    static platform::Async<> retry(std::weak_ptr<PreferenceRepository> weak, std::uint64_t epoch, Wait wait);

    std::shared_ptr<PreferenceCache> local_;
    std::shared_ptr<PreferenceCloud> cloud_;
    std::shared_ptr<PreferenceAccountReading> accountSource_;
    std::string writer_;
    platform::Executor& executor_;
    Wait wait_;

    PreferenceAccount account_ = PreferenceAccount::unavailable();
    AccountBarrier barrier_ = AccountBarrier::ready;
    std::map<std::string, Entry, std::less<>> entries_;
    std::string cachePrefix_;
    bool synchronized_ = false;
    bool awaitingCloudRead_ = false;
    PreferenceCloudState cloudState_ = PreferenceCloudState::unavailable;
    std::uint64_t epoch_ = 0;
    std::set<std::string, std::less<>> pending_;
    bool running_ = false;
    std::optional<platform::Task<>> retry_;
    std::optional<platform::Task<>> publication_;
    std::uint64_t publicationSequence_ = 0;
};

} // namespace tidewright
