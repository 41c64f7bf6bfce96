#pragma once
// One installation of the application's preferences for tests and benchmarks: its own defaults
// file and its own object over a synced folder that other installations share, with the live
// repository over both, driven by a test's executor and clock.

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "platform/cloud/CloudFolder.hpp"
#include "platform/concurrency/ManualClock.hpp"
#include "platform/concurrency/ManualExecutor.hpp"
#include "platform/defaults/UserDefaults.hpp"
#include "tidewright/preferences/PreferenceRepository.hpp"

namespace tidewright::testing {

struct PreferenceInstallation {
    // Opens the folder (watched by hand) and the defaults, and builds and starts a repository.
    PreferenceInstallation(const std::filesystem::path& folder, const std::filesystem::path& defaultsFile,
                           platform::ManualExecutor& executor, platform::ManualClock& clock)
        : executor(executor), clock(clock),
          defaults(std::make_shared<platform::UserDefaults>(defaultsFile, executor)),
          folder(platform::CloudFolder::open(folder, executor, platform::CloudFolder::Watching::manually)) {
        restart();
    }
    ~PreferenceInstallation() {
        if (repository) {
            repository->stop();
        }
    }
    PreferenceInstallation(const PreferenceInstallation&) = delete;
    PreferenceInstallation& operator=(const PreferenceInstallation&) = delete;

    // A new repository over the same defaults and folder, as after the application restarted.
    void restart() {
        if (repository) {
            repository->stop();
        }
        repository = PreferenceRepository::live(defaults, folder, executor, clock);
        repository->onChange = [this] {
            ++changes;
        };
        repository->start();
    }

    // Reads what the folder's watch has seen and runs the notices it posted.
    void deliver() {
        folder->processPendingEvents();
        executor.runUntilIdle();
    }

    platform::ManualExecutor& executor;
    platform::ManualClock& clock;
    std::shared_ptr<platform::UserDefaults> defaults;
    std::shared_ptr<platform::CloudFolder> folder;
    std::shared_ptr<PreferenceRepository> repository;
    int changes = 0;
};

// Writes the synced folder's account file, as the user's sync tool does on sign-in.
inline void writeAccountFile(const std::filesystem::path& folder, const std::string& content) {
    const auto path = folder / std::string(platform::CloudFolder::accountFileName);
    const auto temporary = folder / ".account.tmp";
    {
        std::ofstream output(temporary, std::ios::binary);
        output << content;
    }
    std::filesystem::rename(temporary, path);
}

} // namespace tidewright::testing
