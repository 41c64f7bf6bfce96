#include "tidewright/windowcontrol/MainWindowService.hpp"

#include <stdexcept>
#include <stop_token>
#include <utility>
#include <variant>

#include "tidewright/core/WindowPlacement.hpp"

namespace tidewright {

namespace {

struct RevokePermit {
    std::shared_ptr<WindowOperationPermit> permit;
    void operator()() const noexcept { permit->revoke(); }
};

} // namespace

// What one started run holds: its own request, permit and deadline. Everything it asks of the
// service goes through a fresh lock of the weak reference.
class MainWindowService::Run {
public:
    std::weak_ptr<MainWindowService> service;
    std::shared_ptr<MainWindowTransporting> transport;
    std::shared_ptr<const platform::ScreenReading> screens;
    WindowOperationFacts startFacts;
    WindowRequest request;
    std::shared_ptr<WindowOperationPermit> permit;
    ContinuousInstant deadline;

    const ProcessID& process() const noexcept { return request.target.process(); }

    const RequestTarget::CorrelatedMain* correlated() const noexcept {
        return std::get_if<RequestTarget::CorrelatedMain>(&request.target.value);
    }

    // The re-check between steps. Throws WindowOperationFailure: invalidated when the facts, the
    // request policy or the service no longer hold this request, else the permit's own failure. A
    // stale run revokes only its own permit: the field may already hold the permit of the run that
    // replaced it.
    void validate() const {
        const std::shared_ptr<MainWindowService> self = service.lock();
        if (self != nullptr) {
            const WindowOperationFacts facts = self->facts_();
            if (facts.generation == startFacts.generation &&
                self->requests_.accepts(request, currentTarget(facts), facts.operationAllowed)) {
                permit->check(deadline, self->now_());
                return;
            }
            if (self->requests_.pending() == request) {
                self->requests_.invalidate();
            }
        }
        permit->revoke();
        throw WindowOperationFailure::invalidated();
    }

    // observe answered false.
    [[noreturn]] void refuse() const {
        permit->revoke();
        throw WindowOperationFailure::invalidated();
    }

    // Ends the request while it is still the pending one; the permit is dropped, not revoked.
    void finish() const {
        const std::shared_ptr<MainWindowService> self = service.lock();
        if (self != nullptr && self->requests_.pending() == request) {
            self->requests_.invalidate();
            self->permit_.reset();
        }
    }

private:
    std::optional<RequestTarget> currentTarget(const WindowOperationFacts& facts) const {
        if (std::holds_alternative<RequestTarget::CurrentMain>(request.target.value)) {
            if (!facts.process) {
                return std::nullopt;
            }
            return RequestTarget::currentMain(*facts.process);
        }
        if (const auto* target = correlated()) {
            if (facts.process == target->candidateID.process) {
                return request.target;
            }
        }
        return std::nullopt;
    }
};

std::shared_ptr<MainWindowService> MainWindowService::make(std::shared_ptr<MainWindowTransporting> transport,
                                                           std::shared_ptr<const platform::ScreenReading> screens,
                                                           Facts facts, Now now) {
    return std::make_shared<MainWindowService>(Token{}, std::move(transport), std::move(screens),
                                               std::move(facts), std::move(now));
}

MainWindowService::MainWindowService(Token, std::shared_ptr<MainWindowTransporting> transport,
                                     std::shared_ptr<const platform::ScreenReading> screens, Facts facts, Now now)
    : transport_(std::move(transport)), screens_(std::move(screens)), facts_(std::move(facts)),
      now_(std::move(now)) {
    if (transport_ == nullptr || screens_ == nullptr || !facts_ || !now_) {
        throw std::invalid_argument("MainWindowService needs a transport, screens, facts and a clock");
    }
}

void MainWindowService::cancel() {
    if (permit_ != nullptr) {
        permit_->revoke();
        permit_.reset();
    }
    requests_.invalidate();
}

platform::Async<WindowOperationOutcome> MainWindowService::perform(FixedShortcut shortcut,
                                                                   Authorize authorize) {
    return run(weak_from_this(), Entry{shortcut}, std::move(authorize), {});
}

platform::Async<WindowOperationOutcome>
MainWindowService::performCorrelated(OpeningObservationProposal proposal, Authorize authorize,
                                     Observe observe) {
    return run(weak_from_this(), Entry{std::move(proposal)}, std::move(authorize), std::move(observe));
}

std::variant<WindowOperationOutcome, MainWindowService::Run> MainWindowService::begin(const Entry& entry) {
    const WindowOperationFacts facts = facts_();
    std::optional<RequestTarget> target;
    std::optional<ActionOrigin> origin;
    std::optional<ContinuousInstant> callerDeadline;
    if (const auto* shortcut = std::get_if<FixedShortcut>(&entry)) {
        if (facts.operationAllowed && facts.process) {
            target = RequestTarget::currentMain(*facts.process);
            origin = ActionOrigin::manual(*shortcut);
        }
    } else {
        const auto& proposal = std::get<OpeningObservationProposal>(entry);
        if (facts.operationAllowed && facts.process == proposal.candidateID.process &&
            facts.generation == proposal.generation && now_() < proposal.expiresAt) {
            target =
                RequestTarget::correlatedMain(proposal.candidateID, proposal.expectedFrame, proposal.cycle);
            origin = ActionOrigin::automatic(proposal.cycle, proposal.action);
            callerDeadline = proposal.expiresAt;
        }
    }
    if (!target) {
        cancel();
        return WindowOperationOutcome::blocked();
    }

    const RequestStart start = requests_.begin(*target, *origin, true);
    switch (start.kind) {
    case RequestStart::Case::alreadyPending:
        return WindowOperationOutcome::alreadyPending();
    case RequestStart::Case::blocked:
    case RequestStart::Case::identityExhausted:
        return WindowOperationOutcome::blocked();
    case RequestStart::Case::started:
        break;
    }

    // The old permit goes before the new one exists.
    if (permit_ != nullptr) {
        permit_->revoke();
    }
    permit_ = std::make_shared<WindowOperationPermit>();

    ContinuousInstant deadline = now_() + runTime;
    if (callerDeadline && !(deadline < *callerDeadline)) {
        deadline = *callerDeadline;
    }
    return Run{weak_from_this(), transport_, screens_, facts, *start.request, permit_, deadline};
}

platform::Async<WindowOperationOutcome> MainWindowService::run(std::weak_ptr<MainWindowService> service,
                                                               Entry entry, Authorize authorize,
                                                               Observe observe) {
    std::optional<Run> started;
    {
        const std::shared_ptr<MainWindowService> self = service.lock();
        if (self == nullptr) {
            co_return WindowOperationOutcome::blocked();
        }
        auto begun = self->begin(entry);
        if (const auto* outcome = std::get_if<WindowOperationOutcome>(&begun)) {
            co_return *outcome;
        }
        started.emplace(std::move(std::get<Run>(begun)));
    }
    // Cancelling the caller's task stops the platform work at its next permit check.
    const std::stop_callback<RevokePermit> revokeOnCancel(platform::currentStopToken(),
                                                          RevokePermit{started->permit});

    const WindowOperationOutcome outcome = co_await steps(*started, authorize, observe);
    started->finish();
    co_return outcome;
}

platform::Async<WindowOperationOutcome> MainWindowService::steps(const Run& run, const Authorize& authorize,
                                                                 const Observe& observe) {
    MainWindowTransporting& transport = *run.transport;
    const ProcessID& process = run.process();
    // From the first write on, whatever stops the run leaves the window unconfirmed, not failed;
    // nothing is rolled back.
    bool wrote = false;
    const auto report = [&](const DesktopFrame& frame) -> platform::Async<> {
        if (observe) {
            if (!co_await observe(run.deadline, frame)) {
                run.refuse();
            }
            run.validate();
        }
    };
    try {
        run.validate();
        const DesktopFrame frame = co_await transport.mainWindowFrame(process, run.deadline, run.permit);
        run.validate();
        if (const auto* correlated = run.correlated();
            correlated != nullptr && frame != correlated->expectedFrame) {
            throw WindowOperationFailure::invalidated();
        }
        const WindowAction action = run.request.origin.action();
        const std::vector<ScreenGeometry> screens = run.screens->screens();
        SizeCapabilities capabilities = SizeCapabilities::unknown();
        if (WindowPlacement::needsSizeCapabilities(action, frame, screens)) {
            capabilities = co_await transport.sizeCapabilities(process, frame, run.deadline, run.permit);
        }
        run.validate();
        const PlacementPlan plan = WindowPlacement::plan(action, frame, screens, capabilities,
                                                         PlacementOriginAlignment::wholePoints);
        const DesktopFrame planned = plan.requested.frame;
        co_await report(frame);
        run.validate();
        if (!co_await authorize()) {
            co_return WindowOperationOutcome::blocked();
        }
        run.validate();

        wrote = true;
        co_await transport.setFrame(process, frame, planned, run.deadline, run.permit);
        run.validate();
        const DesktopFrame readBack = co_await transport.mainWindowFrame(process, run.deadline, run.permit);
        run.validate();
        co_await report(readBack);
        if (readBack == planned) {
            co_return WindowOperationOutcome::observed(readBack);
        }
        if (readBack.size() == planned.size()) {
            co_return WindowOperationOutcome::unconfirmed();
        }
        const DesktopFrame refined = plan.refined(readBack.size()).frame;
        if (refined == readBack) {
            co_return WindowOperationOutcome::observed(readBack);
        }
        run.validate();
        co_await transport.setOrigin(process, readBack, refined.origin(), run.deadline, run.permit);
        run.validate();
        const DesktopFrame readBack2 = co_await transport.mainWindowFrame(process, run.deadline, run.permit);
        run.validate();
        co_await report(readBack2);
        if (readBack2 == refined) {
            co_return WindowOperationOutcome::observed(readBack2);
        }
        co_return WindowOperationOutcome::unconfirmed();
    } catch (const WindowOperationFailure& failure) {
        if (failure == WindowOperationFailure::invalidated()) {
            co_return WindowOperationOutcome::invalidated();
        }
        co_return wrote ? WindowOperationOutcome::unconfirmed() : WindowOperationOutcome::failed(failure);
    } catch (const GeometryError& error) {
        co_return wrote ? WindowOperationOutcome::unconfirmed()
                        : WindowOperationOutcome::failed(WindowOperationFailure::geometry(error));
    } catch (...) {
        co_return wrote ? WindowOperationOutcome::unconfirmed()
                        : WindowOperationOutcome::failed(WindowOperationFailure::malformedResponse());
    }
}

} // namespace tidewright
