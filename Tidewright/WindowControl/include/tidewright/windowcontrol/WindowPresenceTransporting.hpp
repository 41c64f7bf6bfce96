#pragma once
// How the opening adapters learn how many windows a process shows.

#include <memory>

#include "platform/concurrency/Task.hpp"
#include "tidewright/core/Identities.hpp"
#include "tidewright/core/OpeningWindowPresence.hpp"
#include "tidewright/windowcontrol/ContinuousInstant.hpp"
#include "tidewright/windowcontrol/WindowOperationPermit.hpp"

namespace tidewright {

class WindowPresenceTransporting {
public:
    virtual ~WindowPresenceTransporting() = default;

    // Awaited in a task on the main executor; never throws. Any failure, a cancellation of the
    // awaiting task (which revokes permit) and a deadline passed while waiting answer unknown.
    // REQUIRES: permit is set.
    virtual platform::Async<OpeningWindowPresence>
    windowPresence(ProcessID process, ContinuousInstant deadline,
                   std::shared_ptr<WindowOperationPermit> permit) = 0;
};

} // namespace tidewright
