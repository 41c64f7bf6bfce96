#pragma once
// The notices the panel shows, built from the decision and the model's issues, and what a notice's
// button asks the app model to do.

#include "tidewright/core/AppPolicy.hpp"
#include "tidewright/views/TidewrightCopy.hpp"
#include "tidewright/views/TidewrightIssue.hpp"

#include <QString>

#include <optional>
#include <vector>

namespace tidewright {

enum class TidewrightPresentationAction {
    permissions,    // show the welcome, which asks for the permission
    preferences,    // show the preferences window
    shortcutHelp,   // show the preferences window, whose shortcuts group lists the conflicts
    systemSettings, // open the desktop's settings
};

// One notice card. It has a button exactly when it has an action. The state notice and the issue
// notice about preferences share the id "preferences"; a host that keys by id must tell them apart
// by position (the state notice always comes first).
struct TidewrightNotice {
    QString id;
    TidewrightCopy title;
    TidewrightCopy message;
    std::optional<TidewrightCopy> button;
    std::optional<TidewrightPresentationAction> action;

    bool operator==(const TidewrightNotice&) const = default;
};

// At most one notice for the functioning state, then one per issue in the issues' order. Pure.
std::vector<TidewrightNotice> makeNotices(const FunctioningState& state, const ShortcutSet& conflicting,
                                          const std::vector<TidewrightIssue>& issues);

} // namespace tidewright
