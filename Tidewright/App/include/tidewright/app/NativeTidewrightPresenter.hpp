#pragma once
// Opens the model's windows through the kit's window kinds: the welcome and the preferences, one
// window of each, built on first use with its host as content and brought to the front when shown
// again.

#include "tidewright/app/TidewrightWindowPresenting.hpp"

namespace tidewright {

// Main thread only. REQUIRES: the kit's windows are installed (corbel::KitWindows::install).
class NativeTidewrightPresenter final : public TidewrightWindowPresenting {
public:
    // Titled "Tidewright"; closing the window calls the model's welcomeClosed().
    void presentWelcome(TidewrightAppModel& model) override;
    // Closing the window calls the model's cancelPreferencesRequests().
    void presentPreferences(TidewrightAppModel& model, const QString& title) override;
};

} // namespace tidewright
