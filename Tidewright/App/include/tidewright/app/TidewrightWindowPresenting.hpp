#pragma once
// How the app model opens its welcome window; the views give the native one, tests record.

namespace tidewright {

class TidewrightAppModel;

class TidewrightWindowPresenting {
public:
    virtual ~TidewrightWindowPresenting() = default;
    // Shows the welcome window for model, whose welcomeClosed() it calls when the window closes.
    virtual void presentWelcome(TidewrightAppModel& model) = 0;
};

} // namespace tidewright
