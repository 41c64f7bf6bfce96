#pragma once
// The synced preferences as the app model drives them: the summary it reconciles from, the
// repository's start, stop and refresh, the user's edits, and the hook that says the summary may
// have changed.

#include <functional>

#include "tidewright/core/PreferencePolicy.hpp"
#include "tidewright/core/PreferenceSummary.hpp"

namespace tidewright {

// Main thread only; the hook is called on the main thread.
class PreferenceRepositoryDriving {
public:
    virtual ~PreferenceRepositoryDriving() = default;
    // Computed afresh on each read.
    virtual PreferenceSummary summary() const = 0;
    // Does nothing while running.
    virtual void start() = 0;
    // Re-reads the synced store; a change arrives through onChange.
    virtual void refresh() = 0;
    virtual void stop() = 0;
    // A user's edit; ignored while stopped.
    virtual void apply(const PreferenceEdit& edit) = 0;

    // Called after every change that can alter summary().
    std::function<void()> onChange;
};

} // namespace tidewright
