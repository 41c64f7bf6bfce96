#include "tidewright/shell/SystemSettingsOpening.hpp"

#include <stdexcept>

#include "platform/concurrency/Task.hpp"
#include "platform/settings/DesktopSettings.hpp"

namespace tidewright {

SystemSettingsOpener::SystemSettingsOpener(BundleID identifier, Resolve resolve, Launch launch)
    : identifier_(std::move(identifier)), resolve_(std::move(resolve)), launch_(std::move(launch)) {
    if (!resolve_ || !launch_) {
        throw std::invalid_argument("SystemSettingsOpener needs a resolve and a launch function");
    }
}

SystemSettingsOpener SystemSettingsOpener::live(const platform::DesktopSettings& settings) {
    BundleID identifier = settings.identifier();
    return SystemSettingsOpener(
        identifier,
        [&settings, identifier]() -> std::optional<SystemSettingsApplication> {
            auto found = settings.resolve(identifier);
            if (!found) {
                return std::nullopt;
            }
            return SystemSettingsApplication{QUrl::fromLocalFile(found->path), found->bundleID};
        },
        [&settings](const QUrl& url) { return settings.launch(url.toLocalFile()); });
}

bool SystemSettingsOpener::open() {
    if (platform::isCancelled()) {
        return false;
    }
    const std::optional<SystemSettingsApplication> application = resolve_();
    if (!application) {
        return false;
    }
    if (application->url.isLocalFile() && application->bundleID == identifier_ && !platform::isCancelled()) {
        return launch_(application->url);
    }
    return false;
}

} // namespace tidewright
