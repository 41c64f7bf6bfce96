#pragma once
// One running application offered for a new opening rule.

#include <QString>

#include "tidewright/core/Identities.hpp"

namespace tidewright {

struct TidewrightOpenAppPresentation {
    BundleID id;
    QString name;

    bool operator==(const TidewrightOpenAppPresentation&) const = default;
};

} // namespace tidewright
