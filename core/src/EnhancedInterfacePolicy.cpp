#include "tidewright/core/EnhancedInterfacePolicy.hpp"

#include <algorithm>

namespace tidewright {

namespace {

// A subordinate bundle ("com.google.Chrome.helper") belongs to its browser; a longer name that
// merely starts with the same letters ("com.google.ChromeX") does not.
bool isUnder(std::string_view app, std::string_view entry) noexcept {
    return app == entry || (app.size() > entry.size() && app.starts_with(entry) && app[entry.size()] == '.');
}

} // namespace

bool EnhancedInterfacePolicy::restoresAfterMove(const BundleID& app,
                                                bool assistiveTechnologyRunning) noexcept {
    if (assistiveTechnologyRunning) {
        return true;
    }
    const std::string_view text = app.rawValue();
    return std::none_of(browsers.begin(), browsers.end(),
                        [text](std::string_view entry) { return isUnder(text, entry); });
}

} // namespace tidewright
