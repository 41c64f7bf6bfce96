#include "LivePreferences.hpp"

#include <utility>

#include "platform/cloud/CloudFolder.hpp"
#include "tidewright/applications/OpeningRules.hpp"
#include "tidewright/preferences/PreferenceRepository.hpp"

namespace tidewright {

namespace {

class LivePreferences final : public PreferenceRepositoryDriving {
public:
    explicit LivePreferences(std::shared_ptr<PreferenceRepository> repository)
        : repository_(std::move(repository)) {}
    PreferenceSummary summary() const override { return repository_->summary(); }
    void start() override { repository_->start(); }
    void refresh() override { repository_->refresh(); }
    void stop() override { repository_->stop(); }
    void setOnChange(std::function<void()> onChange) override { repository_->onChange = std::move(onChange); }

    const std::shared_ptr<PreferenceRepository>& repository() const { return repository_; }

private:
    std::shared_ptr<PreferenceRepository> repository_;
};

class LiveOpeningRules final : public OpeningRulesDriving {
public:
    explicit LiveOpeningRules(std::shared_ptr<OpeningRules> rules) : rules_(std::move(rules)) {}
    void start() override { rules_->start(); }
    void stop() override { rules_->stop(); }
    void apply(const std::map<BundleID, OpeningAction>& usableRules) override { rules_->apply(usableRules); }
    void refresh() override { rules_->refresh(); }
    void cancelChooser() override { rules_->cancelChooser(); }

private:
    std::shared_ptr<OpeningRules> rules_;
};

} // namespace

std::shared_ptr<PreferenceRepositoryDriving> livePreferences(std::shared_ptr<platform::UserDefaults> defaults,
                                                             const std::filesystem::path& syncedFolder,
                                                             platform::Executor& main,
                                                             platform::Clock& clock) {
    return std::make_shared<LivePreferences>(PreferenceRepository::live(
        std::move(defaults), platform::CloudFolder::open(syncedFolder, main), main, clock));
}

std::shared_ptr<OpeningRulesDriving> liveOpeningRules(const PreferenceRepositoryDriving& preferences,
                                                      std::shared_ptr<ApplicationCatalogReading> catalog,
                                                      platform::Executor& main) {
    const auto& live = dynamic_cast<const LivePreferences&>(preferences);
    return std::make_shared<LiveOpeningRules>(
        OpeningRules::create(live.repository(), std::move(catalog), main));
}

} // namespace tidewright
