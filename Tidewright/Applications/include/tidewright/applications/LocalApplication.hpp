#pragma once
// An installed or running application as the interface lists it.

#include <QIcon>
#include <QString>

#include <optional>

#include "tidewright/core/Identities.hpp"

namespace tidewright {

struct LocalApplication {
    BundleID id;
    QString name;
    // Always absent in the running list; present for chosen and looked-up applications.
    std::optional<QIcon> icon;

    // Icons compare as objects: two copies of one icon are equal, two separately made icons of
    // the same image are not.
    bool operator==(const LocalApplication& other) const {
        return id == other.id && name == other.name && icon.has_value() == other.icon.has_value() &&
               (!icon || icon->cacheKey() == other.icon->cacheKey());
    }
};

} // namespace tidewright
