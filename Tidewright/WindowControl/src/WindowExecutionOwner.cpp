#include "tidewright/windowcontrol/WindowExecutionOwner.hpp"

#include <stdexcept>
#include <utility>

namespace tidewright {

std::shared_ptr<WindowExecutionOwner>
WindowExecutionOwner::make(platform::Executor& main, std::shared_ptr<WindowOperationPerforming> windows,
                           std::shared_ptr<OpeningObservationCoordinating> opening, Facts facts,
                           Authorize authorize, InvalidateMetadata invalidateMetadata, Completed completed) {
    return std::make_shared<WindowExecutionOwner>(Token{}, main, std::move(windows), std::move(opening),
                                                  std::move(facts), std::move(authorize),
                                                  std::move(invalidateMetadata), std::move(completed));
}

WindowExecutionOwner::WindowExecutionOwner(Token, platform::Executor& main,
                                           std::shared_ptr<WindowOperationPerforming> windows,
                                           std::shared_ptr<OpeningObservationCoordinating> opening,
                                           Facts facts, Authorize authorize,
                                           InvalidateMetadata invalidateMetadata, Completed completed)
    : main_(main), windows_(std::move(windows)), opening_(std::move(opening)), facts_(std::move(facts)),
      authorize_(std::move(authorize)), invalidateMetadata_(std::move(invalidateMetadata)),
      completed_(std::move(completed)) {
    if (windows_ == nullptr || opening_ == nullptr || !facts_ || !authorize_ || !invalidateMetadata_ ||
        !completed_) {
        throw std::invalid_argument("WindowExecutionOwner needs a service, a coordinator and four closures");
    }
}

WindowExecutionOwner::~WindowExecutionOwner() {
    stop();
}

std::optional<ExecutionKind> WindowExecutionOwner::executionKind() const noexcept {
    if (!execution_) {
        return std::nullopt;
    }
    return execution_->kind;
}

void WindowExecutionOwner::start(std::vector<ProcessID> processes) {
    if (running_) {
        return;
    }
    running_ = true;
    lifetime_ = fresh();
    authorization_ = fresh();
    previous_ = facts_();
    startTask_ = platform::spawn(
        main_, [weak = weak_from_this(), lifetime = lifetime_, processes = std::move(processes)] {
            return runStart(weak, lifetime, processes);
        });
}

void WindowExecutionOwner::stop() {
    running_ = false;
    lifetime_ = fresh();
    previous_.reset();
    if (startTask_) {
        startTask_->cancel();
        startTask_.reset();
    }
    if (baseline_) {
        baseline_->cancel();
        baseline_.reset();
    }
    invalidateMetadata_();
    cancelExecution();
    for (const auto& [id, task] : events_) {
        task.cancel();
    }
    events_.clear();
    eventTail_.reset();
    opening_->stop();
}

void WindowExecutionOwner::factsChanged(std::vector<ProcessID> processes) {
    if (!running_) {
        return;
    }
    const OpeningObservationFacts current = facts_();
    const std::optional<OpeningObservationFacts> old = std::exchange(previous_, current);
    // Only a change of what may run, or for which applications, makes queued launches and the
    // tracked processes stale; a new generation or frontmost process alone does not.
    const bool policyChanged =
        !old || old->operationAllowed != current.operationAllowed || old->rules != current.rules;
    if (policyChanged) {
        authorization_ = fresh();
    }
    if (!old || *old != current) {
        if (baseline_) {
            baseline_->cancel();
            baseline_.reset();
        }
        invalidateMetadata_();
        cancelExecution();
    }
    opening_->refreshFacts();
    if (policyChanged) {
        baseline_ = platform::spawn(main_, [weak = weak_from_this(), lifetime = lifetime_,
                                            startTask = startTask_, processes = std::move(processes)] {
            return runBaseline(weak, lifetime, startTask, processes);
        });
    }
}

void WindowExecutionOwner::perform(FixedShortcut shortcut) {
    if (!running_ || !facts_().operationAllowed) {
        return;
    }
    if (execution_) {
        if (execution_->kind == ExecutionKind::manual) {
            return;
        }
        cancelExecution();
        invalidateMetadata_();
    }
    startExecution(ExecutionKind::manual, shortcut);
}

void WindowExecutionOwner::performAutomatic(OpeningObservationProposal proposal) {
    if (!running_ || execution_) {
        return;
    }
    if (!opening_->claim(proposal)) {
        return;
    }
    startExecution(ExecutionKind::automatic, std::move(proposal));
}

void WindowExecutionOwner::receive(ApplicationLifecycle event, ContinuousInstant at) {
    if (!running_) {
        return;
    }
    const Stamp eventID = fresh();
    platform::Task<> task = platform::spawn(
        main_, [weak = weak_from_this(), startTask = startTask_, predecessor = eventTail_, eventID,
                lifetime = lifetime_, authorization = authorization_, event = std::move(event), at] {
            return runEvent(weak, startTask, predecessor, eventID, lifetime, authorization, event, at);
        });
    events_.emplace(eventID, task);
    eventTail_ = task;
}

void WindowExecutionOwner::cancelExecution() {
    if (execution_) {
        execution_->task.cancel();
        execution_.reset();
    }
    // Also when nothing was in flight: a request of this owner's may still be pending in the service.
    windows_->cancel();
}

void WindowExecutionOwner::startExecution(ExecutionKind kind, Work work) {
    Capture capture{weak_from_this(), fresh(), lifetime_, facts_()};
    // An automatic action waits until every lifecycle event received before its claim reached the
    // coordinator; a hot key waits for nothing.
    std::optional<platform::Task<>> first;
    if (kind == ExecutionKind::automatic) {
        first = eventTail_;
    }
    const Stamp id = capture.id;
    std::optional<ProcessID> process = capture.facts.frontmost;
    platform::Task<> task =
        platform::spawn(main_, [capture = std::move(capture), first = std::move(first),
                                work = std::move(work)] { return runExecution(capture, first, work); });
    // The body starts on a later turn and requires this record, so it is stored before it runs.
    execution_ = Execution{id, kind, std::move(process), std::move(task)};
}

void WindowExecutionOwner::finish(Stamp id) {
    if (execution_ && execution_->id == id) {
        execution_.reset();
    }
}

bool WindowExecutionOwner::isCurrent(const Capture& capture) const {
    return running_ && lifetime_ == capture.lifetime && execution_ && execution_->id == capture.id &&
           !platform::isCancelled() && facts_() == capture.facts && capture.facts.operationAllowed;
}

std::shared_ptr<OpeningObservationCoordinating>
WindowExecutionOwner::coordinatorIfCurrent(const std::weak_ptr<WindowExecutionOwner>& weak, Stamp lifetime) {
    const std::shared_ptr<WindowExecutionOwner> self = weak.lock();
    if (self == nullptr || !self->running_ || self->lifetime_ != lifetime || platform::isCancelled()) {
        return nullptr;
    }
    return self->opening_;
}

platform::Async<> WindowExecutionOwner::runStart(std::weak_ptr<WindowExecutionOwner> weak, Stamp lifetime,
                                                 std::vector<ProcessID> processes) {
    const std::shared_ptr<OpeningObservationCoordinating> opening = coordinatorIfCurrent(weak, lifetime);
    if (opening == nullptr) {
        co_return;
    }
    try {
        co_await opening->start(std::move(processes));
    } catch (...) {
        // The coordinator ends quietly by contract; nothing may leave the task either way.
    }
}

platform::Async<> WindowExecutionOwner::runBaseline(std::weak_ptr<WindowExecutionOwner> weak, Stamp lifetime,
                                                    std::optional<platform::Task<>> startTask,
                                                    std::vector<ProcessID> processes) {
    if (startTask) {
        try {
            co_await startTask->value();
        } catch (...) {
        }
    }
    const std::shared_ptr<OpeningObservationCoordinating> opening = coordinatorIfCurrent(weak, lifetime);
    if (opening == nullptr) {
        co_return;
    }
    try {
        co_await opening->track(std::move(processes));
    } catch (...) {
    }
}

platform::Async<> WindowExecutionOwner::runEvent(std::weak_ptr<WindowExecutionOwner> weak,
                                                 std::optional<platform::Task<>> startTask,
                                                 std::optional<platform::Task<>> predecessor, Stamp eventID,
                                                 Stamp lifetime, Stamp authorization,
                                                 ApplicationLifecycle event, ContinuousInstant at) {
    // Events reach the coordinator strictly one after another, after its start.
    if (startTask) {
        try {
            co_await startTask->value();
        } catch (...) {
        }
    }
    if (predecessor) {
        try {
            co_await predecessor->value();
        } catch (...) {
        }
    }
    startTask.reset();
    predecessor.reset();

    std::shared_ptr<OpeningObservationCoordinating> opening;
    bool asEvent = false;
    {
        const std::shared_ptr<WindowExecutionOwner> self = weak.lock();
        if (self == nullptr) {
            co_return;
        }
        if (!self->running_ || self->lifetime_ != lifetime || platform::isCancelled()) {
            self->events_.erase(eventID);
            co_return;
        }
        const bool leaving = event.kind == ApplicationLifecycle::Case::deactivated ||
                             event.kind == ApplicationLifecycle::Case::terminated;
        if (leaving) {
            if (self->execution_ && self->execution_->kind == ExecutionKind::automatic &&
                self->execution_->process == event.process) {
                self->cancelExecution();
                self->invalidateMetadata_();
            } else if (self->facts_().frontmost == event.process) {
                self->invalidateMetadata_();
            }
        }
        // A launch or activation received before the rules or the permission to act last changed is
        // only tracked: the opportunity it would open was decided under the old facts.
        asEvent = leaving || self->authorization_ == authorization;
        opening = self->opening_;
    }
    try {
        if (asEvent) {
            co_await opening->receive(event, at);
        } else {
            std::vector<ProcessID> only{event.process};
            co_await opening->track(std::move(only));
        }
    } catch (...) {
    }
    if (const std::shared_ptr<WindowExecutionOwner> self = weak.lock()) {
        self->events_.erase(eventID);
    }
}

platform::Async<> WindowExecutionOwner::runExecution(Capture capture, std::optional<platform::Task<>> first,
                                                     Work work) {
    if (first) {
        try {
            co_await first->value();
        } catch (...) {
        }
        first.reset();
    }
    platform::Executor* main = nullptr;
    std::shared_ptr<WindowOperationPerforming> windows;
    {
        const std::shared_ptr<WindowExecutionOwner> self = capture.owner.lock();
        if (self == nullptr) {
            co_return;
        }
        if (!self->isCurrent(capture)) {
            self->finish(capture.id);
            co_return;
        }
        main = &self->main_;
        windows = self->windows_;
    }

    // Runs beside the work, so the permission refresh overlaps the window reads.
    const platform::Task<bool> authorization =
        platform::spawn(*main, [weak = capture.owner] { return runAuthorization(weak); });
    const WindowOperationPerforming::Authorize gated = [capture, authorization] {
        return gate(capture, authorization);
    };

    std::optional<WindowOperationOutcome> outcome;
    try {
        if (const auto* shortcut = std::get_if<FixedShortcut>(&work)) {
            outcome = co_await windows->perform(*shortcut, gated);
        } else {
            const auto& proposal = std::get<OpeningObservationProposal>(work);
            const WindowOperationPerforming::Observe observer =
                [weak = capture.owner, proposal](ContinuousInstant deadline, DesktopFrame frame) {
                    return observe(weak, proposal, deadline, frame);
                };
            outcome = co_await windows->performCorrelated(proposal, gated, observer);
        }
    } catch (...) {
        // The service answers with outcomes, never errors; one that throws reports nothing.
    }

    // Even a cancelled execution waits for its authorisation before it ends.
    bool granted = false;
    try {
        granted = co_await authorization.value();
    } catch (...) {
    }
    const std::shared_ptr<WindowExecutionOwner> self = capture.owner.lock();
    if (self != nullptr && outcome && granted && self->isCurrent(capture)) {
        self->completed_(*outcome);
    }
    authorization.cancel();
    if (self != nullptr) {
        self->finish(capture.id);
    }
}

platform::Async<bool> WindowExecutionOwner::runAuthorization(std::weak_ptr<WindowExecutionOwner> weak) {
    Authorize authorize;
    {
        const std::shared_ptr<WindowExecutionOwner> self = weak.lock();
        if (self == nullptr) {
            co_return false;
        }
        // A copy in this frame, so a coroutine lambda's captures outlive the await.
        authorize = self->authorize_;
    }
    try {
        co_return co_await authorize();
    } catch (...) {
        co_return false;
    }
}

platform::Async<bool> WindowExecutionOwner::gate(Capture capture, platform::Task<bool> authorization) {
    bool granted = false;
    try {
        granted = co_await authorization.value();
    } catch (...) {
    }
    if (!granted) {
        co_return false;
    }
    const std::shared_ptr<WindowExecutionOwner> self = capture.owner.lock();
    co_return self != nullptr && self->isCurrent(capture);
}

platform::Async<bool> WindowExecutionOwner::observe(std::weak_ptr<WindowExecutionOwner> weak,
                                                    OpeningObservationProposal proposal,
                                                    ContinuousInstant deadline, DesktopFrame frame) {
    std::shared_ptr<OpeningObservationCoordinating> opening;
    {
        const std::shared_ptr<WindowExecutionOwner> self = weak.lock();
        if (self == nullptr) {
            co_return false;
        }
        opening = self->opening_;
    }
    try {
        co_return co_await opening->complete(std::move(proposal), deadline, frame);
    } catch (...) {
        co_return false;
    }
}

} // namespace tidewright
