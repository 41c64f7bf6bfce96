#include "tidewright/preferences/PreferenceRepository.hpp"

#include <array>
#include <chrono>
#include <limits>

#include "platform/concurrency/WeakCall.hpp"
#include "tidewright/preferences/KVSPreferenceCloud.hpp"
#include "tidewright/preferences/LocalPreferenceAccount.hpp"
#include "tidewright/preferences/PreferenceKeys.hpp"
#include "tidewright/preferences/PreferenceWriter.hpp"
#include "tidewright/preferences/StoredPreferenceData.hpp"

namespace tidewright {

namespace {

constexpr std::string_view cacheKeyPrefix = "tidewright.preference.cache.";

using namespace std::chrono_literals;
// The retry task's delays before its first, second and third read.
constexpr std::array<platform::ContinuousDuration, 3> retryDelays{1s, 3s, 10s};

// The empty payload of version 0, which the policy takes for unusable stored data.
PreferencePayload unusablePayload() {
    PreferencePayload payload;
    payload.version = 0;
    return payload;
}

// Whether adding more to a store already holding used stays within limit. used may be the
// largest size_t (a store that cannot be measured), so the sum is never formed.
bool fitsWithin(std::size_t used, std::size_t more, std::size_t limit) {
    return used <= limit && more <= limit - used;
}

} // namespace

PreferenceRepository::PreferenceRepository(std::shared_ptr<PreferenceCache> local,
                                           std::shared_ptr<PreferenceCloud> cloud,
                                           std::shared_ptr<PreferenceAccountReading> accountSource,
                                           std::string writer, platform::Executor& executor, Wait wait)
    : local_(std::move(local)), cloud_(std::move(cloud)), accountSource_(std::move(accountSource)),
      writer_(std::move(writer)), executor_(executor), wait_(std::move(wait)) {}

std::shared_ptr<PreferenceRepository>
PreferenceRepository::create(std::shared_ptr<PreferenceCache> local, std::shared_ptr<PreferenceCloud> cloud,
                             std::shared_ptr<PreferenceAccountReading> accountSource, std::string writer,
                             platform::Executor& executor, Wait wait) {
    std::shared_ptr<PreferenceRepository> repository(
        new PreferenceRepository(std::move(local), std::move(cloud), std::move(accountSource),
                                 std::move(writer), executor, std::move(wait)));
    repository->setAccount(repository->accountSource_->resolve());
    return repository;
}

std::shared_ptr<PreferenceRepository>
PreferenceRepository::live(std::shared_ptr<platform::UserDefaults> defaults,
                           std::shared_ptr<platform::CloudFolder> folder, platform::Executor& executor,
                           platform::Clock& clock) {
    std::string writer = preferenceWriter(*defaults);
    auto cache = std::make_shared<DefaultsPreferenceCache>(std::move(defaults));
    auto cloud = std::make_shared<KVSPreferenceCloud>(folder->makeStore(), folder);
    auto account = std::make_shared<LocalPreferenceAccount>(
        cache,
        [folder =
             std::weak_ptr<platform::CloudFolder>(folder)]() -> std::optional<platform::CloudIdentityToken> {
            if (const auto strong = folder.lock()) {
                return strong->identityToken();
            }
            return std::nullopt;
        });
    Wait wait = [clock = &clock](platform::ContinuousDuration duration) {
        return platform::sleepFor(*clock, duration);
    };
    return create(std::move(cache), std::move(cloud), std::move(account), std::move(writer), executor,
                  std::move(wait));
}

PreferenceRepository::~PreferenceRepository() {
    stop();
}

void PreferenceRepository::dropTasks() {
    if (retry_) {
        retry_->cancel();
        retry_.reset();
    }
    if (publication_) {
        publication_->cancel();
        publication_.reset();
    }
    ++publicationSequence_;
}

void PreferenceRepository::start() {
    if (running_) {
        return;
    }
    running_ = true;
    barrier_ = AccountBarrier::ready;
    setAccount(accountSource_->resolve());
    cloud_->onEvent = platform::weakCall(weak_from_this(), &PreferenceRepository::handle);
    refresh();
}

void PreferenceRepository::stop() {
    running_ = false;
    ++epoch_;
    cloud_->onEvent = nullptr;
    synchronized_ = false;
    dropTasks();
}

void PreferenceRepository::setAccount(PreferenceAccount account) {
    ++epoch_;
    dropTasks();
    account_ = std::move(account);
    synchronized_ = false;
    awaitingCloudRead_ = false;
    pending_.clear();
    entries_.clear();
    cloudState_ =
        account_.isAvailable() ? PreferenceCloudState::available : PreferenceCloudState::unavailable;
    cachePrefix_ =
        std::string(cacheKeyPrefix) + (account_.isAvailable() ? account_.marker() : "offline") + ".";
    for (const auto& cacheKey : local_->entries(cachePrefix_)) {
        std::string key = cacheKey.substr(cachePrefix_.size());
        if (!isPreferenceKey(key)) {
            continue;
        }
        if (auto data = local_->data(cacheKey)) {
            auto entry = loadEntry(key, data);
            entries_.insert_or_assign(std::move(key), std::move(entry));
        }
    }
}

PreferenceRepository::Entry PreferenceRepository::loadEntry(std::string_view key,
                                                            const std::optional<std::string>& data) const {
    std::optional<PreferenceFragment> fragment;
    if (key == enabledPreferenceKey) {
        fragment = PreferenceFragment::enabled();
    } else if (data) {
        fragment = preferenceDataFragment(key, *data);
    }
    PreferencePayload payload = PreferencePayload::empty();
    if (data) {
        payload = unusablePayload();
        if (acceptsPreferenceData(key, *data)) {
            try {
                payload = PreferencePayload::decode(*data);
            } catch (const DecodingError&) {
            } catch (const IdentityError&) {
            }
        }
    }
    Entry entry{PreferencePolicy(std::move(payload), fragment), true, fragment};
    entry.cacheWritable = !entry.policy.issue().has_value();
    if (barrier_ != AccountBarrier::ready) {
        (void)entry.policy.receive(std::nullopt, PreferenceCloudState::unavailable, false);
    }
    return entry;
}

void PreferenceRepository::handleResult(const std::string& key, Entry entry, const PreferencePayload& before,
                                        bool wasCacheWritable, const PreferencePublication& result) {
    commit(key, settlePreference(std::move(entry), before, wasCacheWritable, result));
}

void PreferenceRepository::commit(const std::string& key, PreferenceEntryUpdate update) {
    if (update.publish) {
        pending_.insert(key);
    }
    if (update.settle) {
        pending_.erase(key);
    }
    if (update.cacheWrite) {
        local_->set(cachePrefix_ + key, std::move(*update.cacheWrite));
    }
    entries_.insert_or_assign(key, std::move(update.entry));
}

void PreferenceRepository::applyCloudState(PreferenceCloudState state) {
    if (!entries_.contains(enabledPreferenceKey)) {
        entries_.emplace(std::string(enabledPreferenceKey), loadEntry(enabledPreferenceKey, std::nullopt));
    }
    for (auto& [key, stored] : entries_) {
        Entry entry = stored;
        const PreferencePayload before = entry.policy.snapshot();
        const bool wasCacheWritable = entry.cacheWritable;
        const auto result = entry.policy.receive(std::nullopt, state, false);
        handleResult(key, std::move(entry), before, wasCacheWritable, result);
    }
}

void PreferenceRepository::moveBarrier(AccountSignal signal) {
    using B = AccountBarrier;
    // Rows: the barrier before; columns: seen by the account source, a notice with a new account,
    // a notice with the same account.
    static constexpr B table[4][3] = {
        {B::replacement, B::ready, B::identity},
        {B::ambiguous, B::ambiguous, B::ready},
        {B::ready, B::ready, B::ambiguous},
        {B::ambiguous, B::ambiguous, B::ambiguous},
    };
    barrier_ = table[static_cast<int>(barrier_)][static_cast<int>(signal)];
}

bool PreferenceRepository::checkAccount() {
    auto resolved = accountSource_->resolve();
    if (resolved == account_) {
        return false;
    }
    applyCloudState(PreferenceCloudState::accountChanged);
    const bool available = resolved.isAvailable();
    setAccount(std::move(resolved));
    moveBarrier(AccountSignal::source);
    if (!available) {
        barrier_ = AccountBarrier::replacement;
    }
    if (barrier_ != AccountBarrier::ready) {
        cloudState_ = PreferenceCloudState::unavailable;
        applyCloudState(PreferenceCloudState::unavailable);
    }
    return true;
}

void PreferenceRepository::refresh() {
    if (!running_) {
        return;
    }
    checkAccount();
    if (account_.isAvailable() && barrier_ == AccountBarrier::ready) {
        const std::uint64_t epoch = epoch_;
        const auto first = accountSource_->resolve();
        auto snapshot = cloud_->snapshot();
        const auto second = accountSource_->resolve();
        if (!first.isAvailable() || first != second || first != account_ || epoch_ != epoch) {
            // The read may mix two accounts: drop it. A switch found now changed the summary.
            const bool switched = checkAccount();
            scheduleRetry();
            if (switched && onChange) {
                onChange();
            }
            return;
        }
        synchronized_ = snapshot.synchronized;
        awaitingCloudRead_ = !synchronized_;
        cloudState_ = PreferenceCloudState::available;
        auto updates = mergePreferenceSnapshot(entries_, snapshot.values, synchronized_,
                                               [this](std::string_view key) { return loadEntry(key, std::nullopt); });
        for (auto& [key, update] : updates) {
            commit(key, std::move(update));
        }
        if (synchronized_) {
            startPublication(std::move(snapshot), epoch);
        } else {
            scheduleRetry();
        }
        if (onChange) {
            onChange();
        }
        return;
    }
    if (account_.isAvailable()) {
        cloudState_ = PreferenceCloudState::unavailable;
    }
    applyCloudState(PreferenceCloudState::unavailable);
    if (onChange) {
        onChange();
    }
}

void PreferenceRepository::apply(const PreferenceEdit& edit) {
    if (!running_) {
        return;
    }
    checkAccount();
    const bool isEnabled = edit.kind() == PreferenceEdit::Kind::enabled;
    const std::string key = isEnabled ? std::string(enabledPreferenceKey) : ruleKey(*edit.app());
    const PreferenceFragment fragment =
        isEnabled ? PreferenceFragment::enabled() : PreferenceFragment::rule(*edit.app());
    const auto found = entries_.find(key);
    Entry entry = found != entries_.end() ? found->second : loadEntry(key, std::nullopt);
    try {
        entry.policy.bindFragment(fragment);
    } catch (const PreferenceFragmentIssue&) {
        return;
    }
    entry.fragment = fragment;
    (void)entry.policy.receive(std::nullopt, cloudState_, false);
    const PreferencePayload before = entry.policy.snapshot();
    const bool wasCacheWritable = entry.cacheWritable;
    const auto result = entry.policy.edit(edit, writer_);
    handleResult(key, std::move(entry), before, wasCacheWritable, result);
    if (synchronized_) {
        refresh();
    } else {
        scheduleRetry();
    }
    if (onChange) {
        onChange();
    }
}

void PreferenceRepository::handle(PreferenceCloudEvent event) {
    if (!running_) {
        return;
    }
    ++epoch_;
    synchronized_ = false;
    dropTasks();
    switch (event) {
    case PreferenceCloudEvent::server:
        refresh();
        break;
    case PreferenceCloudEvent::initialDownload:
        awaitingCloudRead_ = true;
        scheduleRetry();
        break;
    case PreferenceCloudEvent::quota:
        cloudState_ = PreferenceCloudState::quotaExceeded;
        applyCloudState(PreferenceCloudState::quotaExceeded);
        scheduleRetry();
        if (onChange) {
            onChange();
        }
        break;
    case PreferenceCloudEvent::identityChanged:
        checkAccount();
        refresh();
        break;
    case PreferenceCloudEvent::accountChanged: {
        auto resolved = accountSource_->resolve();
        if (resolved != account_) {
            applyCloudState(PreferenceCloudState::accountChanged);
            setAccount(std::move(resolved));
            moveBarrier(AccountSignal::notificationNewAccount);
        } else {
            moveBarrier(AccountSignal::notificationSameAccount);
        }
        refresh();
        break;
    }
    }
}

PreferenceSummary PreferenceRepository::summary() const {
    std::map<BundleID, PreferencePolicy> rules;
    std::vector<PreferenceIssue> unknownRuleIssues;
    const PreferencePolicy* enabled = nullptr;
    for (const auto& [key, entry] : entries_) {
        if (key == enabledPreferenceKey) {
            enabled = &entry.policy;
        } else if (entry.fragment && entry.fragment->ruleApp()) {
            rules.insert_or_assign(*entry.fragment->ruleApp(), entry.policy);
        } else if (!entry.fragment && entry.policy.issue()) {
            unknownRuleIssues.push_back(*entry.policy.issue());
        }
    }
    if (enabled) {
        return PreferenceSummary(*enabled, rules, unknownRuleIssues);
    }
    return PreferenceSummary(PreferencePolicy(PreferencePayload::empty(), PreferenceFragment::enabled()),
                             rules, unknownRuleIssues);
}

// Publication and retry

void PreferenceRepository::startPublication(PreferenceCloudSnapshot snapshot, std::uint64_t epoch) {
    if (publication_) {
        publication_->cancel();
    }
    const std::uint64_t sequence = ++publicationSequence_;
    // The body is a plain call, so the coroutine keeps its own copies of the arguments.
    publication_ = platform::spawn(
        executor_, [weak = weak_from_this(), epoch, sequence, snapshot = std::move(snapshot)]() {
            return publication(weak, epoch, sequence, snapshot);
        });
}

platform::Async<> PreferenceRepository::publication(std::weak_ptr<PreferenceRepository> weak,
                                                    std::uint64_t epoch, std::uint64_t sequence,
                                                    PreferenceCloudSnapshot snapshot) {
    // Lets the code that started the publication finish first.
    co_await platform::yield();
    {
        const auto self = weak.lock();
        if (!self || !self->running_ || platform::isCancelled() || self->epoch_ != epoch) {
            co_return;
        }
    }
    try {
        co_await publish(weak, epoch, snapshot);
    } catch (...) {
        // Nothing in a publication throws on purpose; whatever did leaves the keys pending.
    }
    if (const auto self = weak.lock(); self && self->publicationSequence_ == sequence) {
        self->publication_.reset();
    }
}

platform::Async<> PreferenceRepository::publish(std::weak_ptr<PreferenceRepository> weak, std::uint64_t epoch,
                                                const PreferenceCloudSnapshot& snapshot) {
    std::map<std::string, std::string> batch;
    {
        const auto self = weak.lock();
        if (!self || !self->synchronized_ || self->cloudState_ != PreferenceCloudState::available) {
            co_return;
        }
        for (const auto& key : self->pending_) {
            const auto found = self->entries_.find(key);
            if (found == self->entries_.end()) {
                continue;
            }
            const Entry& entry = found->second;
            if (!entry.cacheWritable || entry.policy.issue() || entry.policy.requiresNewAccountSession()) {
                continue;
            }
            if (auto encoded = entry.policy.snapshot().encoded()) {
                batch.emplace(key, std::move(*encoded));
            }
        }
        std::size_t addedKeys = 0;
        std::size_t estimate = 0;
        for (const auto& [key, data] : batch) {
            if (!snapshot.values.contains(key)) {
                ++addedKeys;
            }
            estimate += 2 * data.size() + 256;
        }
        if (!fitsWithin(snapshot.keyCount, addedKeys, maximumStoreKeys) ||
            !fitsWithin(snapshot.byteCount, estimate, maximumStoreBytes)) {
            self->cloudState_ = PreferenceCloudState::quotaExceeded;
            self->synchronized_ = false;
            self->applyCloudState(PreferenceCloudState::quotaExceeded);
            if (self->onChange) {
                self->onChange();
            }
            self->scheduleRetry();
            co_return;
        }
    }
    // std::map walks the batch in ascending key order.
    for (const auto& [key, data] : batch) {
        co_await platform::yield();
        const auto self = weak.lock();
        if (!self || !self->running_ || platform::isCancelled() || self->epoch_ != epoch) {
            co_return;
        }
        if (self->accountSource_->resolve() != self->account_ || !self->synchronized_) {
            co_return;
        }
        const auto stored = snapshot.values.find(key);
        if (stored == snapshot.values.end() || stored->second != data) {
            self->cloud_->write(key, data);
        }
        if (self->epoch_ != epoch) {
            co_return;
        }
        self->pending_.erase(key);
    }
}

void PreferenceRepository::scheduleRetry() {
    if (!running_ || retry_ || !account_.isAvailable() || (pending_.empty() && !awaitingCloudRead_)) {
        return;
    }
    retry_ = platform::spawn(executor_, [weak = weak_from_this(), epoch = epoch_, wait = wait_]() {
        return retry(weak, epoch, wait);
    });
}

platform::Async<> PreferenceRepository::retry(std::weak_ptr<PreferenceRepository> weak, std::uint64_t epoch,
                                              Wait wait) {
    const auto current = [&weak, epoch]() -> std::shared_ptr<PreferenceRepository> {
        auto self = weak.lock();
        if (!self || platform::isCancelled() || !self->running_ || self->epoch_ != epoch) {
            return nullptr;
        }
        return self;
    };
    if (current()) {
        std::size_t attempt = 0;
        for (;;) {
            bool waited = true;
            try {
                co_await wait(retryDelays[attempt]);
            } catch (...) {
                waited = false;
            }
            if (!waited) {
                break;
            }
            std::optional<platform::Task<>> inFlight;
            {
                const auto self = current();
                if (!self || (self->pending_.empty() && !self->awaitingCloudRead_)) {
                    break;
                }
                self->refresh();
                inFlight = self->publication_;
            }
            if (inFlight) {
                try {
                    co_await inFlight->value();
                } catch (...) {
                }
            }
            const auto self = weak.lock();
            if (!self || self->synchronized_ || (self->pending_.empty() && !self->awaitingCloudRead_) ||
                attempt + 1 == retryDelays.size()) {
                break;
            }
            ++attempt;
        }
    }
    if (const auto self = weak.lock(); self && self->epoch_ == epoch) {
        self->retry_.reset();
    }
}

} // namespace tidewright
