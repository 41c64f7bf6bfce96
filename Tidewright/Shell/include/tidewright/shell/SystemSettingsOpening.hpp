#pragma once
// Sends the user to the desktop's settings application: finds it by its bundle identifier, checks
// that what was found is that application, and starts it. The app model drives it through
// SystemSettingsOpening.

#include <QUrl>

#include <functional>
#include <optional>

#include "tidewright/core/Identities.hpp"

namespace platform {
class DesktopSettings;
}

namespace tidewright {

// Main thread only.
class SystemSettingsOpening {
public:
    virtual ~SystemSettingsOpening() = default;
    // True when the launch was started.
    virtual bool open() = 0;
    // Its identity, which the workspace reports in its lifecycle events; none when the desktop has
    // no settings application that we know.
    virtual std::optional<BundleID> application() const = 0;
};

struct SystemSettingsApplication {
    QUrl url;
    // Read back from what is at url; nothing when that cannot be read or names none.
    std::optional<BundleID> bundleID;
};

// Main thread only.
class SystemSettingsOpener final : public SystemSettingsOpening {
public:
    using Resolve = std::function<std::optional<SystemSettingsApplication>()>;
    using Launch = std::function<bool(const QUrl&)>;

    // identifier: the settings application's bundle identifier, which what resolve finds must
    // carry. REQUIRES: resolve and launch are set.
    SystemSettingsOpener(BundleID identifier, Resolve resolve, Launch launch);

    // The opener over the desktop's settings entry. REQUIRES: settings outlives the opener.
    static SystemSettingsOpener live(const platform::DesktopSettings& settings);

    // False when the current task is cancelled, nothing is found, what is found is not a file or
    // not the settings application, or the launch is refused.
    bool open() override;

    const BundleID& identifier() const { return identifier_; }
    std::optional<BundleID> application() const override { return identifier_; }

private:
    BundleID identifier_;
    Resolve resolve_;
    Launch launch_;
};

} // namespace tidewright
