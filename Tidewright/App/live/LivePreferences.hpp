#pragma once
// The preference repository over the user defaults and the synced folder, as the app model drives
// it. Apart from the rest of the composition root because the synced folder's headers cannot share
// a translation unit with the observation primitive's (both define platform::Subscription).

#include <filesystem>
#include <memory>

#include "platform/concurrency/Clock.hpp"
#include "platform/concurrency/Executor.hpp"
#include "platform/defaults/UserDefaults.hpp"
#include "tidewright/app/AppServices.hpp"

namespace tidewright {

// REQUIRES: main is the main executor; main and clock outlive the repository.
std::shared_ptr<PreferenceRepositoryDriving> livePreferences(std::shared_ptr<platform::UserDefaults> defaults,
                                                             const std::filesystem::path& syncedFolder,
                                                             platform::Executor& main,
                                                             platform::Clock& clock);

} // namespace tidewright
