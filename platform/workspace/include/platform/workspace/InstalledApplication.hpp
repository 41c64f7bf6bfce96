#pragma once
// An installed application: a desktop entry that the user may see.

#include <QString>

#include <optional>

#include "tidewright/core/Identities.hpp"

namespace platform {

struct InstalledApplication {
    QString desktopId;
    // Nothing when the id gives no valid bundle identifier.
    std::optional<tidewright::BundleID> bundleIdentifier;
    QString name;
    QString iconKey; // the entry's Icon key

    bool operator==(const InstalledApplication&) const = default;
};

} // namespace platform
