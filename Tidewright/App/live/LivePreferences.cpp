#include "LivePreferences.hpp"

#include <utility>

#include "platform/cloud/CloudFolder.hpp"
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

private:
    std::shared_ptr<PreferenceRepository> repository_;
};

} // namespace

std::shared_ptr<PreferenceRepositoryDriving> livePreferences(std::shared_ptr<platform::UserDefaults> defaults,
                                                             const std::filesystem::path& syncedFolder,
                                                             platform::Executor& main,
                                                             platform::Clock& clock) {
    return std::make_shared<LivePreferences>(PreferenceRepository::live(
        std::move(defaults), platform::CloudFolder::open(syncedFolder, main), main, clock));
}

} // namespace tidewright
