#pragma once
// The window execution owner, with the opening machinery behind it, as the app model drives it.

#include <vector>

#include "platform/concurrency/ContinuousClock.hpp"
#include "tidewright/core/FixedShortcut.hpp"
#include "tidewright/core/Identities.hpp"
#include "tidewright/openingfacts/ApplicationLifecycle.hpp"

namespace tidewright {

// Main thread only.
class WindowExecutionDriving {
public:
    virtual ~WindowExecutionDriving() = default;
    // processes: sorted by pid, then incarnation. Does nothing while running.
    virtual void start(std::vector<ProcessID> processes) = 0;
    virtual void stop() = 0;
    // Re-reads the facts; ignored while stopped.
    virtual void factsChanged(std::vector<ProcessID> processes) = 0;
    virtual void perform(FixedShortcut shortcut) = 0;
    // Ignored while stopped.
    virtual void receive(ApplicationLifecycle event, platform::ContinuousInstant at) = 0;
};

} // namespace tidewright
