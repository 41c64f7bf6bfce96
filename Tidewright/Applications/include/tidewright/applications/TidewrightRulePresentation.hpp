#pragma once
// One row of the opening-rules list: an application with a usable rule, its name and icon.

#include <QIcon>
#include <QString>

#include <optional>

#include "tidewright/core/Identities.hpp"
#include "tidewright/core/OpeningAction.hpp"

namespace tidewright {

struct TidewrightRulePresentation {
    // The rule's own identifier, never the installed bundle's.
    BundleID id;
    QString name;
    OpeningAction action;
    std::optional<QIcon> icon;

    // Icons compare as objects, as LocalApplication's do.
    bool operator==(const TidewrightRulePresentation& other) const {
        return id == other.id && name == other.name && action == other.action &&
               icon.has_value() == other.icon.has_value() &&
               (!icon || icon->cacheKey() == other.icon->cacheKey());
    }
};

// The order of the list: names by the localized standard comparison, equal names by identifier.
bool ruleOrder(const TidewrightRulePresentation& a, const TidewrightRulePresentation& b);

} // namespace tidewright
