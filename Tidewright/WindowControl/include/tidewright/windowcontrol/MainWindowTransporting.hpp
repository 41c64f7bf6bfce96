#pragma once
// How the window operation service reaches the main window of another application: read its frame
// and size capabilities, write a whole frame or an origin, each under a deadline and a permit.

#include <memory>

#include "platform/concurrency/Task.hpp"
#include "tidewright/core/Geometry.hpp"
#include "tidewright/core/Identities.hpp"
#include "tidewright/core/WindowPlacement.hpp"
#include "tidewright/windowcontrol/ContinuousInstant.hpp"
#include "tidewright/windowcontrol/WindowOperationPermit.hpp"

namespace tidewright {

// Every operation is awaited in a task on the main executor and resumes there; it throws only
// WindowOperationFailure. The permit is checked before every platform step, so revoking it stops an
// operation at its next step, or before its first when it is still waiting for its turn.
// REQUIRES: permit is set.
class MainWindowTransporting {
public:
    virtual ~MainWindowTransporting() = default;

    virtual platform::Async<DesktopFrame> mainWindowFrame(ProcessID process, ContinuousInstant deadline,
                                                          std::shared_ptr<WindowOperationPermit> permit) = 0;

    // frame is the one the caller read; a window that moved since answers unknown.
    virtual platform::Async<SizeCapabilities>
    sizeCapabilities(ProcessID process, DesktopFrame frame, ContinuousInstant deadline,
                     std::shared_ptr<WindowOperationPermit> permit) = 0;

    // Writes target only while the window still has the expected frame exactly.
    virtual platform::Async<> setFrame(ProcessID process, DesktopFrame expected, DesktopFrame target,
                                       ContinuousInstant deadline,
                                       std::shared_ptr<WindowOperationPermit> permit) = 0;

    // Moves the window to target only while it still has the expected frame exactly.
    virtual platform::Async<> setOrigin(ProcessID process, DesktopFrame expected, DesktopPoint target,
                                        ContinuousInstant deadline,
                                        std::shared_ptr<WindowOperationPermit> permit) = 0;
};

} // namespace tidewright
