#pragma once
// How the app model opens its windows; the hosts give the native one, tests record.

#include <QString>

namespace tidewright {

class TidewrightAppModel;

class TidewrightWindowPresenting {
public:
    virtual ~TidewrightWindowPresenting() = default;
    // Shows the welcome window for model, whose welcomeClosed() it calls when the window closes.
    virtual void presentWelcome(TidewrightAppModel& model) = 0;
    // Shows the preferences window for model under title, whose cancelPreferencesRequests() it
    // calls when the window closes.
    virtual void presentPreferences(TidewrightAppModel& model, const QString& title) = 0;
};

} // namespace tidewright
