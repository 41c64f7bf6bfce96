#pragma once
// The model behind the opening-rules page: the usable rules with each application's name and
// icon, and the running applications a rule can be added for. It owns no rules: every change goes
// to the preference repository as an edit, and comes back through apply().

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/concurrency/Executor.hpp"
#include "platform/concurrency/Task.hpp"
#include "platform/observation/Observable.hpp"
#include "tidewright/applications/ApplicationCatalogReading.hpp"
#include "tidewright/applications/OpeningRulesDriving.hpp"
#include "tidewright/applications/TidewrightOpenAppPresentation.hpp"
#include "tidewright/applications/TidewrightRulePresentation.hpp"
#include "tidewright/preferences/PreferenceRepository.hpp"

namespace tidewright {

// Main thread only. Always owned by a shared_ptr, since its chooser task holds it weakly.
class OpeningRules final : public OpeningRulesDriving, public std::enable_shared_from_this<OpeningRules> {
public:
    // Both lists empty until the first apply(); the usable rules are the repository's current
    // ones. Not running.
    // REQUIRES: executor is the main executor (or a test's) and outlives the model.
    static std::shared_ptr<OpeningRules> create(std::shared_ptr<PreferenceRepository> preferences,
                                                std::shared_ptr<ApplicationCatalogReading> catalog,
                                                platform::Executor& executor);
    OpeningRules(const OpeningRules&) = delete;
    OpeningRules& operator=(const OpeningRules&) = delete;

    // The running applications, in the catalog's order.
    const std::vector<TidewrightOpenAppPresentation>& openApps() const noexcept override { return openApps_; }
    // The usable rules in ruleOrder.
    const std::vector<TidewrightRulePresentation>& rules() const noexcept override { return rules_; }
    platform::Subscription observeLists(std::function<void()> observer) override;
    // Called after each rebuild of the list, changed or not: a rebuild is one mutation.
    std::function<void()> onOpenAppsChange;
    std::function<void()> onRulesChange;

    void start() override { running_ = true; }
    // Cancels a pending chooser.
    void stop() override;
    // Cancels a pending chooser; the running state stays.
    void cancelChooser() override;

    // Stores the usable rules and rebuilds both lists.
    void apply(std::map<BundleID, OpeningAction> usableRules) override;
    // Rebuilds both lists from the catalog and the usable rules last handed in.
    void refresh() override;

    // A centre rule for the application, unless it has a usable rule already or a notice about
    // its rule other than an unavailable account.
    void addRule(const BundleID& app) override;
    void setAction(const BundleID& app, OpeningAction action) override;
    void removeRule(const BundleID& app) override;
    // Lets the user choose applications and adds a rule for each as addRule() does; only while
    // running, and only one chooser at a time.
    void presentChooser() override;

    bool isRunning() const noexcept { return running_; }
    bool hasChooser() const noexcept { return chooser_.has_value(); }
    const std::map<BundleID, OpeningAction>& usableRules() const noexcept { return usableRules_; }
    const std::shared_ptr<PreferenceRepository>& preferences() const noexcept { return preferences_; }

private:
    OpeningRules(std::shared_ptr<PreferenceRepository> preferences,
                 std::shared_ptr<ApplicationCatalogReading> catalog, platform::Executor& executor);

    static platform::Async<> choose(std::weak_ptr<OpeningRules> weak);

    std::shared_ptr<PreferenceRepository> preferences_;
    std::shared_ptr<ApplicationCatalogReading> catalog_;
    platform::Executor& executor_;
    std::vector<TidewrightOpenAppPresentation> openApps_;
    std::vector<TidewrightRulePresentation> rules_;
    std::map<BundleID, OpeningAction> usableRules_;
    std::optional<platform::Task<>> chooser_;
    // Notified after each rebuild of either list.
    platform::Observable<std::uint64_t> rebuilds_{0};
    bool running_ = false;
};

} // namespace tidewright
