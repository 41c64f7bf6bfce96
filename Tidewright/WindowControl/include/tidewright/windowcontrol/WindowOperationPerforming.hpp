#pragma once
// What the window execution owner needs of the window operation service: run a manual or an
// automatic action to its outcome, and cancel the latest one. The live one forwards to
// MainWindowService; tests put a scripted one in its place.

#include <memory>

#include "platform/concurrency/Task.hpp"
#include "tidewright/core/FixedShortcut.hpp"
#include "tidewright/openingfacts/OpeningObservationProposal.hpp"
#include "tidewright/windowcontrol/MainWindowService.hpp"
#include "tidewright/windowcontrol/WindowOperationOutcome.hpp"

namespace tidewright {

// REQUIRES: used on the main thread; every Async is awaited in a task on the main executor.
class WindowOperationPerforming {
public:
    using Authorize = MainWindowService::Authorize;
    using Observe = MainWindowService::Observe;

    virtual ~WindowOperationPerforming() = default;

    // The hot key's action on the frontmost process's main window; authorize is awaited once, right
    // before the first write.
    virtual platform::Async<WindowOperationOutcome> perform(FixedShortcut shortcut, Authorize authorize) = 0;
    // The opening rule's action on exactly the proposed window; observe is told every frame read.
    virtual platform::Async<WindowOperationOutcome>
    performCorrelated(OpeningObservationProposal proposal, Authorize authorize, Observe observe) = 0;
    // Revokes the latest request's permit and clears the pending request, whether or not one runs.
    virtual void cancel() = 0;
};

class MainWindowServicePerformer final : public WindowOperationPerforming {
public:
    // REQUIRES: service is set.
    explicit MainWindowServicePerformer(std::shared_ptr<MainWindowService> service);

    platform::Async<WindowOperationOutcome> perform(FixedShortcut shortcut, Authorize authorize) override;
    platform::Async<WindowOperationOutcome> performCorrelated(OpeningObservationProposal proposal,
                                                              Authorize authorize, Observe observe) override;
    void cancel() override;

private:
    std::shared_ptr<MainWindowService> service_;
};

} // namespace tidewright
