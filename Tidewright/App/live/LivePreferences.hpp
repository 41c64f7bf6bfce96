#pragma once
// The preference repository over the user defaults and the synced folder, and the opening rules
// model over it, as the app model drives them. Apart from the rest of the composition root because
// the synced folder's headers cannot share a translation unit with the observation primitive's (both
// define platform::Subscription).

#include <filesystem>
#include <memory>

#include "platform/concurrency/Clock.hpp"
#include "platform/concurrency/Executor.hpp"
#include "platform/defaults/UserDefaults.hpp"
#include "tidewright/app/AppServices.hpp"
#include "tidewright/applications/ApplicationCatalogReading.hpp"

namespace tidewright {

// REQUIRES: main is the main executor; main and clock outlive the repository.
std::shared_ptr<PreferenceRepositoryDriving> livePreferences(std::shared_ptr<platform::UserDefaults> defaults,
                                                             const std::filesystem::path& syncedFolder,
                                                             platform::Executor& main,
                                                             platform::Clock& clock);

// The opening rules over the repository that preferences drives, and the catalog.
// REQUIRES: preferences was made by livePreferences(); main outlives the rules.
std::shared_ptr<OpeningRulesDriving> liveOpeningRules(const PreferenceRepositoryDriving& preferences,
                                                      std::shared_ptr<ApplicationCatalogReading> catalog,
                                                      platform::Executor& main);

} // namespace tidewright
