#include "tidewright/applications/OpeningRules.hpp"

#include <algorithm>

#include "platform/workspace/LocalizedStandardCompare.hpp"

namespace tidewright {

bool ruleOrder(const TidewrightRulePresentation& a, const TidewrightRulePresentation& b) {
    const auto order = platform::localizedStandardCompare(a.name, b.name);
    if (order != 0) {
        return order < 0;
    }
    return a.id.rawValue() < b.id.rawValue();
}

OpeningRules::OpeningRules(std::shared_ptr<PreferenceRepository> preferences,
                           std::shared_ptr<ApplicationCatalogReading> catalog, platform::Executor& executor)
    : preferences_(std::move(preferences)), catalog_(std::move(catalog)), executor_(executor),
      usableRules_(preferences_->summary().usableRules()) {}

std::shared_ptr<OpeningRules> OpeningRules::create(std::shared_ptr<PreferenceRepository> preferences,
                                                   std::shared_ptr<ApplicationCatalogReading> catalog,
                                                   platform::Executor& executor) {
    return std::shared_ptr<OpeningRules>(
        new OpeningRules(std::move(preferences), std::move(catalog), executor));
}

void OpeningRules::stop() {
    running_ = false;
    cancelChooser();
}

void OpeningRules::cancelChooser() {
    if (chooser_) {
        chooser_->cancel();
        chooser_.reset();
    }
}

void OpeningRules::apply(std::map<BundleID, OpeningAction> usableRules) {
    usableRules_ = std::move(usableRules);
    refresh();
}

void OpeningRules::refresh() {
    std::vector<TidewrightOpenAppPresentation> apps;
    for (const auto& application : catalog_->applications()) {
        apps.push_back(TidewrightOpenAppPresentation{application.id, application.name});
    }
    openApps_ = std::move(apps);
    if (onOpenAppsChange) {
        onOpenAppsChange();
    }

    std::vector<TidewrightRulePresentation> rows;
    for (const auto& [app, action] : usableRules_) {
        QString name = QString::fromStdString(app.rawValue());
        std::optional<QIcon> icon;
        if (auto installed = catalog_->installedApplication(app)) {
            name = installed->name;
            if (name.endsWith(QStringLiteral(".app"))) {
                name.chop(4);
            }
            icon = std::move(installed->icon);
        }
        rows.push_back(TidewrightRulePresentation{app, std::move(name), action, std::move(icon)});
    }
    std::sort(rows.begin(), rows.end(), ruleOrder);
    rules_ = std::move(rows);
    if (onRulesChange) {
        onRulesChange();
    }
    rebuilds_.notify();
}

platform::Subscription OpeningRules::observeLists(std::function<void()> observer) {
    return rebuilds_.subscribe([observer = std::move(observer)](const std::uint64_t&) { observer(); });
}

void OpeningRules::addRule(const BundleID& app) {
    const auto summary = preferences_->summary();
    if (summary.usableRules().contains(app)) {
        return;
    }
    for (const auto& notice : summary.issues()) {
        if (notice.origin == PreferenceIssueOrigin::rule(app) &&
            notice.issue != PreferenceSummaryIssue::preference(PreferenceIssue::accountUnavailable)) {
            return;
        }
    }
    preferences_->apply(PreferenceEdit::rule(app, OpeningAction::center));
}

void OpeningRules::setAction(const BundleID& app, OpeningAction action) {
    preferences_->apply(PreferenceEdit::rule(app, action));
}

void OpeningRules::removeRule(const BundleID& app) {
    preferences_->apply(PreferenceEdit::removeRule(app));
}

void OpeningRules::presentChooser() {
    if (!running_ || chooser_) {
        return;
    }
    chooser_ = platform::spawn(executor_, [weak = weak_from_this()]() { return choose(weak); });
}

platform::Async<> OpeningRules::choose(std::weak_ptr<OpeningRules> weak) {
    std::shared_ptr<ApplicationCatalogReading> catalog;
    {
        const auto self = weak.lock();
        if (!self || !self->running_ || platform::isCancelled()) {
            co_return;
        }
        // Held while the panel is shown: the catalog's chooser runs on the catalog.
        catalog = self->catalog_;
    }
    std::vector<LocalApplication> chosen;
    try {
        chosen = co_await catalog->chooseApplications();
    } catch (...) {
        // A chooser that failed chose nothing.
    }
    const auto self = weak.lock();
    if (!self || !self->running_ || platform::isCancelled()) {
        co_return;
    }
    for (const auto& application : chosen) {
        self->addRule(application.id);
    }
    self->chooser_.reset();
}

} // namespace tidewright
