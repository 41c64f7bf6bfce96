#pragma once
// The app model over fakes, with summaries made from real preference policies.

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "FakeAppServices.hpp"
#include "PreferenceTestSupport.hpp"
#include "platform/concurrency/ManualClock.hpp"
#include "platform/concurrency/ManualExecutor.hpp"
#include "tidewright/app/TidewrightAppModel.hpp"

namespace tidewright::fakes {

using namespace tidewright::testing_support;

inline PreferenceSummary switchSummary(bool on, std::map<BundleID, OpeningAction> rules = {}) {
    std::map<BundleID, PreferencePolicy> policies;
    std::uint64_t counter = 1;
    for (const auto& [id, action] : rules) {
        policies.emplace(
            id, PreferencePolicy(payload(std::nullopt, {rule(id.rawValue().c_str(), counter++, action)}),
                                 PreferenceFragment::rule(id)));
    }
    return PreferenceSummary(PreferencePolicy(payload(onOff(on, 1)), PreferenceFragment::enabled()), policies,
                             {});
}

// The on/off value was stored by a newer version: it cannot be used.
inline PreferenceSummary unavailableSummary() {
    return PreferenceSummary(PreferencePolicy(withVersion(2)), {}, {});
}

// The switch on, with the notices of rule keys whose application cannot be told.
inline PreferenceSummary summaryWithNotices(const std::vector<PreferenceIssue>& issues) {
    return PreferenceSummary(PreferencePolicy(payload(onOff(true, 1)), PreferenceFragment::enabled()), {},
                             issues);
}

inline ProcessID process(const char* app, std::int32_t pid, std::uint64_t incarnation = 1) {
    return ProcessID{BundleID(app), pid, incarnation};
}

struct Harness {
    // liveReads: the permission service reads in tasks that the test answers. login: open at
    // login in place of the fake.
    explicit Harness(PreferenceSummary summary = switchSummary(true), bool liveReads = false,
                     std::shared_ptr<WelcomeHistoryStoring> history = nullptr,
                     std::shared_ptr<OpenAtLoginDriving> login = nullptr)
        : liveReads(liveReads), preferences(std::make_shared<FakePreferences>(log, std::move(summary))),
          permissions(std::make_shared<FakePermissions>(log, liveReads ? &executor : nullptr)),
          hotkeys(std::make_shared<FakeHotkeys>(log)), catalog(std::make_shared<FakeCatalog>(log)),
          openingRules(std::make_shared<FakeOpeningRules>(log)),
          openAtLogin(std::make_shared<FakeOpenAtLogin>(log)),
          trustNotices(std::make_shared<FakeTrustNotices>(log)),
          settings(std::make_shared<FakeSettings>(log)), presenter(std::make_shared<RecordingPresenter>()) {
        if (history) {
            welcomeHistory = std::move(history);
        } else {
            memoryHistory = std::make_shared<MemoryWelcomeHistory>();
            welcomeHistory = memoryHistory;
        }
        TidewrightAppModel::Services services;
        services.preferences = preferences;
        services.permissions = permissions;
        services.hotkeys = hotkeys;
        services.catalog = catalog;
        services.openingRules = openingRules;
        services.openAtLogin = login ? std::move(login) : std::shared_ptr<OpenAtLoginDriving>(openAtLogin);
        services.welcomeHistory = welcomeHistory;
        services.trustNotices = trustNotices;
        services.settings = settings;
        services.windowPresenter = presenter;
        services.execution = [this](WindowExecutionHooks hooks) {
            ++executionsBuilt;
            auto built = std::make_shared<FakeExecution>(log, std::move(hooks));
            execution = built.get();
            return built;
        };
        services.clock = &clock;
        model = TidewrightAppModel::make(std::move(services));
    }

    ~Harness() {
        model.reset();
        // Reads still waiting are let go before the fakes.
        executor.runUntilIdle();
    }

    // Starts the model and completes its first permission read with state.
    void startWith(PermissionState state) {
        model->start();
        if (liveReads) {
            executor.runUntilIdle();
            permissions->answer(state == PermissionState::granted);
            executor.runUntilIdle();
        } else {
            permissions->complete(state);
        }
    }

    // The log from index from on.
    std::vector<std::string> logSince(std::size_t from) const {
        return {log.begin() + static_cast<std::ptrdiff_t>(from), log.end()};
    }

    platform::ManualExecutor executor;
    CallLog log;
    bool liveReads;
    platform::ContinuousInstant now{std::chrono::seconds(40)};
    // Stands at now: the model stamps lifecycle events with its instant.
    platform::ManualClock clock{executor, now};
    std::shared_ptr<FakePreferences> preferences;
    std::shared_ptr<FakePermissions> permissions;
    std::shared_ptr<FakeHotkeys> hotkeys;
    std::shared_ptr<FakeCatalog> catalog;
    std::shared_ptr<FakeOpeningRules> openingRules;
    std::shared_ptr<FakeOpenAtLogin> openAtLogin;
    std::shared_ptr<FakeTrustNotices> trustNotices;
    std::shared_ptr<FakeSettings> settings;
    std::shared_ptr<RecordingPresenter> presenter;
    std::shared_ptr<MemoryWelcomeHistory> memoryHistory;
    std::shared_ptr<WelcomeHistoryStoring> welcomeHistory;
    FakeExecution* execution = nullptr;
    int executionsBuilt = 0;
    std::shared_ptr<TidewrightAppModel> model;
};

} // namespace tidewright::fakes
