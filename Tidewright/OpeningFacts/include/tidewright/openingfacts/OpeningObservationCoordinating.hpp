#pragma once
// What the window execution owner needs of the opening observation coordinator: it starts and stops
// it, hands it the running processes and every lifecycle event, tells it when the facts changed, and
// claims and completes its proposals. The owner is its only caller.

#include <vector>

#include "platform/concurrency/ContinuousClock.hpp"
#include "platform/concurrency/Task.hpp"
#include "tidewright/core/Geometry.hpp"
#include "tidewright/core/Identities.hpp"
#include "tidewright/openingfacts/ApplicationLifecycle.hpp"
#include "tidewright/openingfacts/OpeningObservationProposal.hpp"

namespace tidewright {

// Every call is made on the main thread, and every Async is awaited in a task on the main executor.
// No call throws: the asynchronous ones end quietly when they are no longer current. Arguments are
// taken by value because the coroutines run after the call returns.
class OpeningObservationCoordinating {
public:
    virtual ~OpeningObservationCoordinating() = default;

    // Begins the coordinator's life and takes the first baseline of every listed process with a
    // rule. Does nothing when already running or when the awaiting task is cancelled.
    // REQUIRES: processes sorted by pid, then incarnation.
    virtual platform::Async<void> start(std::vector<ProcessID> processes) = 0;

    // Ends its life: not running, a new lifetime, the worker reset, every process state dropped.
    virtual void stop() = 0;

    // Makes sure every listed process with a rule has a state and, without an open opportunity, a
    // fresh baseline. Nothing when not running or when the awaiting task is cancelled.
    virtual platform::Async<void> track(std::vector<ProcessID> processes) = 0;

    // One lifecycle event, with the continuous-clock instant at which it was received.
    virtual platform::Async<void> receive(ApplicationLifecycle event, platform::ContinuousInstant at) = 0;

    // Re-reads the facts and drops whatever they no longer allow.
    virtual void refreshFacts() = 0;

    // True once for a proposal equal to the one last published while it is still acceptable; the
    // caller may then act on it.
    virtual bool claim(const OpeningObservationProposal& proposal) = 0;

    // Told the frame the automatic action read (with the action's deadline); true when the claimed
    // window is confirmed at exactly that frame, false to stop the action.
    virtual platform::Async<bool> complete(OpeningObservationProposal proposal,
                                           platform::ContinuousInstant deadline, DesktopFrame observed) = 0;
};

} // namespace tidewright
