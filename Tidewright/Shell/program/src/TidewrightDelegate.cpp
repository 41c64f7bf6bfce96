#include "tidewright/shell/TidewrightDelegate.hpp"

namespace tidewright {

TidewrightDelegate::TidewrightDelegate(Environment environment) : environment_(std::move(environment)) {
    if (environment_.snapshotRequested) {
        return;
    }
    try {
        model_ = environment_.buildModel();
    } catch (...) {
        // The launch reports the failure with its alert; the error itself says nothing more useful.
        model_.reset();
    }
}

TidewrightDelegate::~TidewrightDelegate() = default;

void TidewrightDelegate::applicationDidFinishLaunching() {
    if (environment_.snapshotLaunch && environment_.snapshotLaunch()) {
        return;
    }
    if (model_) {
        model_->start();
        if (corbel::UpdateNotifier* checker =
                environment_.updateChecker ? environment_.updateChecker() : nullptr) {
            checker->checkIfDue();
        }
        return;
    }
    if (environment_.showFailureAlert) {
        environment_.showFailureAlert();
    }
    if (environment_.terminate) {
        environment_.terminate();
    }
}

void TidewrightDelegate::applicationDidBecomeActive() {
    if (!model_ || !model_->running()) {
        return;
    }
    model_->permissionService().refresh();
    model_->preferenceStore().refresh();
    model_->openAtLogin().refresh();
}

void TidewrightDelegate::applicationWillTerminate() {
    if (model_) {
        model_->stop();
    }
}

void TidewrightDelegate::showPreferencesCommand() {
    if (model_ && model_->running()) {
        model_->showPreferences();
    }
}

} // namespace tidewright
