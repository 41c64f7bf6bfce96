#pragma once
// The application's delegate: builds the app model once, starts it when launching finishes,
// refreshes it when the application becomes active and stops it when the application ends. Every
// other subsystem is reached through the model it holds.
//
// Main thread only, destruction too. The desktop's moments reach it through the program's main():
// the first turn of the event loop, the application becoming active, and aboutToQuit.

#include "corbel/updates/UpdateNotifier.hpp"
#include "tidewright/app/TidewrightAppModel.hpp"

#include <functional>
#include <memory>

namespace tidewright {

class TidewrightDelegate {
public:
    struct Environment {
        // Whether snapshot mode was asked for on the command line.
        bool snapshotRequested = false;
        // The composition root; may throw, which leaves the delegate without a model.
        std::function<std::shared_ptr<TidewrightAppModel>()> buildModel;
        // Snapshot mode's launch step: true when it took the launch.
        std::function<bool()> snapshotLaunch;
        // The process's shared update checker; absent in snapshot mode.
        std::function<corbel::UpdateNotifier*()> updateChecker;
        // Shows the start-up failure alert and returns once it is dismissed.
        std::function<void()> showFailureAlert;
        // Asks the application to end.
        std::function<void()> terminate;
    };

    // Builds the model unless snapshot mode is requested; a failed build leaves it absent.
    explicit TidewrightDelegate(Environment environment);
    ~TidewrightDelegate();
    TidewrightDelegate(const TidewrightDelegate&) = delete;
    TidewrightDelegate& operator=(const TidewrightDelegate&) = delete;

    void applicationDidFinishLaunching();
    void applicationDidBecomeActive();
    void applicationWillTerminate();
    // The settings command: opens the preferences only while the model runs.
    void showPreferencesCommand();

    const std::shared_ptr<TidewrightAppModel>& model() const noexcept { return model_; }

private:
    Environment environment_;
    std::shared_ptr<TidewrightAppModel> model_;
};

} // namespace tidewright
