#pragma once
// Carries out one window action on another application's main window, from the request to the
// outcome: start a request, arm a permit and a deadline, read the frame and the screens, plan, write,
// read back and, when the window took another size, refine and move once more. Before every step it
// re-checks that nothing has made the request stale.

#include <functional>
#include <memory>
#include <optional>
#include <variant>

#include "platform/concurrency/Task.hpp"
#include "platform/screens/ScreenReading.hpp"
#include "tidewright/core/FixedShortcut.hpp"
#include "tidewright/core/RequestPolicy.hpp"
#include "tidewright/openingfacts/OpeningObservationProposal.hpp"
#include "tidewright/windowcontrol/ContinuousInstant.hpp"
#include "tidewright/windowcontrol/MainWindowTransporting.hpp"
#include "tidewright/windowcontrol/WindowOperationFacts.hpp"
#include "tidewright/windowcontrol/WindowOperationOutcome.hpp"
#include "tidewright/windowcontrol/WindowOperationPermit.hpp"

namespace tidewright {

// Lives on the main thread, like everything it calls back. Runs hold the service weakly, so it is
// always owned by a shared_ptr; a run that resumes after the service went ends as invalidated.
class MainWindowService final : public std::enable_shared_from_this<MainWindowService> {
public:
    // The present truth, read at the start and at every re-check. REQUIRES: does not throw.
    using Facts = std::function<WindowOperationFacts()>;
    // The continuous clock's current instant. REQUIRES: does not throw.
    using Now = std::function<ContinuousInstant()>;
    // Awaited once, right before the first write; false refuses the write.
    using Authorize = std::function<platform::Async<bool>()>;
    // Told the request's deadline and every frame the operation reads; false stops the operation.
    using Observe = std::function<platform::Async<bool>(ContinuousInstant deadline, DesktopFrame frame)>;

    // The longest a run may take, unless a caller's deadline comes sooner.
    static constexpr ContinuousDuration runTime = std::chrono::seconds(2);

    // REQUIRES: every argument is set (std::invalid_argument otherwise).
    static std::shared_ptr<MainWindowService> make(std::shared_ptr<MainWindowTransporting> transport,
                                                   std::shared_ptr<const platform::ScreenReading> screens, Facts facts,
                                                   Now now);

    // The manual action of a hot key on the frontmost process's current main window. authorize is
    // kept until the run ends. REQUIRES: awaited in a task on the main executor; authorize is set.
    platform::Async<WindowOperationOutcome> perform(FixedShortcut shortcut, Authorize authorize);

    // The automatic action of an opening rule on exactly the proposed window, while it still has the
    // proposed frame, the generation is unchanged and the proposal has not expired. REQUIRES: as for
    // perform; observe is set.
    platform::Async<WindowOperationOutcome> performCorrelated(OpeningObservationProposal proposal,
                                                              Authorize authorize, Observe observe);

    // Revokes the permit of the latest request (if held), drops it and clears the pending request.
    void cancel();

    // The request in flight, if any; for tests and diagnostics.
    const std::optional<WindowRequest>& pendingRequest() const noexcept { return requests_.pending(); }

private:
    struct Token {};
    class Run;

public:
    MainWindowService(Token, std::shared_ptr<MainWindowTransporting> transport,
                      std::shared_ptr<const platform::ScreenReading> screens, Facts facts, Now now);

private:
    // A hot key's shortcut, or an opening rule's proposal.
    using Entry = std::variant<FixedShortcut, OpeningObservationProposal>;

    static platform::Async<WindowOperationOutcome> run(std::weak_ptr<MainWindowService> service, Entry entry,
                                                       Authorize authorize, Observe observe);
    // The start conditions and the start of a request: the outcome when the run ends before its
    // steps, else the started run.
    std::variant<WindowOperationOutcome, Run> begin(const Entry& entry);
    static platform::Async<WindowOperationOutcome> steps(const Run& run, const Authorize& authorize,
                                                         const Observe& observe);

    std::shared_ptr<MainWindowTransporting> transport_;
    std::shared_ptr<const platform::ScreenReading> screens_;
    Facts facts_;
    Now now_;
    RequestPolicy requests_{0};
    // The permit of the latest started request. Each run keeps its own as well and revokes only that
    // one, so a late run never stops the run that replaced it.
    std::shared_ptr<WindowOperationPermit> permit_;
};

} // namespace tidewright
