#include "tidewright/applications/OpeningObservationCoordinator.hpp"

#include <algorithm>
#include <limits>
#include <set>
#include <unordered_set>

#include "tidewright/core/OpeningCorrelation.hpp"

namespace tidewright {

namespace {

std::set<std::int32_t> pidsOf(const ProcessID& process) {
    return {process.pid};
}

// The rule of a process always comes from one fresh reading of the facts.
std::optional<OpeningAction> ruleIn(const OpeningObservationFacts& facts, const ProcessID& process) {
    auto it = facts.rules.find(process.app);
    if (it == facts.rules.end()) {
        return std::nullopt;
    }
    return it->second;
}

} // namespace

std::shared_ptr<OpeningObservationCoordinator> OpeningObservationCoordinator::create(
    std::shared_ptr<OpeningInventoryReading> inventory, std::shared_ptr<OpeningMainReading> main,
    std::shared_ptr<OpeningPresenceReading> presence, Facts facts, platform::Clock& clock,
    std::shared_ptr<OpeningWindowSignaling> signal, platform::Executor& executor) {
    return std::shared_ptr<OpeningObservationCoordinator>(
        new OpeningObservationCoordinator(std::move(inventory), std::move(main), std::move(presence),
                                          std::move(facts), clock, std::move(signal), executor));
}

OpeningObservationCoordinator::OpeningObservationCoordinator(
    std::shared_ptr<OpeningInventoryReading> inventory, std::shared_ptr<OpeningMainReading> main,
    std::shared_ptr<OpeningPresenceReading> presence, Facts facts, platform::Clock& clock,
    std::shared_ptr<OpeningWindowSignaling> signal, platform::Executor& executor)
    : inventory_(std::move(inventory)), main_(std::move(main)), presence_(std::move(presence)),
      facts_(std::move(facts)), clock_(clock), signal_(std::move(signal)),
      executor_(executor), owner_(mint()) {}

OpeningObservationCoordinator::~OpeningObservationCoordinator() {
    if (worker_) {
        worker_->cancel();
    }
}

const OpeningObservationCoordinator::ProcessState*
OpeningObservationCoordinator::state(const ProcessID& process) const {
    auto it = states_.find(process);
    return it == states_.end() ? nullptr : &it->second;
}

OpeningObservationCoordinator::ProcessState*
OpeningObservationCoordinator::stateOf(const ProcessID& process) {
    auto it = states_.find(process);
    return it == states_.end() ? nullptr : &it->second;
}

OpeningObservationCoordinator::ProcessState
OpeningObservationCoordinator::newState(const ProcessID& process) {
    return ProcessState{mint(),
                        OpeningObservationLedger(process),
                        OpeningPolicy(process),
                        std::nullopt,
                        std::nullopt,
                        std::nullopt,
                        0,
                        mint()};
}

std::optional<OpeningAction> OpeningObservationCoordinator::ruleOf(const ProcessID& process) const {
    return ruleIn(facts_(), process);
}

// ---- Life, tracking and lifecycle events ----

platform::Async<> OpeningObservationCoordinator::start(std::vector<ProcessID> processes) {
    if (running_ || platform::isCancelled()) {
        co_return;
    }
    const std::weak_ptr<OpeningObservationCoordinator> weak = weak_from_this();
    running_ = true;
    ++serial_;
    owner_ = mint();
    for (const ProcessID& process : processes) {
        if (ruleOf(process)) {
            storeState(newState(process), process);
        }
    }
    std::vector<BaselineLease> leases;
    for (const auto& [process, state] : states_) {
        if (auto lease = makeLease(process)) {
            leases.push_back(std::move(*lease));
        }
    }
    const ContinuousInstant deadline = clock_.now() + readLimit;
    std::set<std::int32_t> pids;
    for (const BaselineLease& lease : leases) {
        pids.insert(lease.process.pid);
    }
    // An empty set asks the window server nothing.
    OpeningInventoryResult inventory = OpeningInventoryResult::available({}, {});
    if (!pids.empty()) {
        auto reader = inventory_;
        inventory = co_await reader->inventory(std::move(pids));
        if (weak.expired()) {
            co_return;
        }
    }
    for (const BaselineLease& lease : leases) {
        OpeningWindowPresence presence = OpeningWindowPresence::unknown;
        if (leaseIsValid(lease) && clock_.now() < deadline) {
            auto reader = presence_;
            const OpeningWindowPresence answer = co_await reader->windowPresence(lease.process, deadline);
            if (weak.expired()) {
                co_return;
            }
            if (clock_.now() < deadline) {
                presence = answer;
            }
        }
        applyBaseline(inventory, presence, lease);
    }
}

void OpeningObservationCoordinator::stop() {
    running_ = false;
    owner_ = mint();
    reset();
    states_.clear();
}

platform::Async<> OpeningObservationCoordinator::track(std::vector<ProcessID> processes) {
    if (!running_ || platform::isCancelled()) {
        co_return;
    }
    const std::weak_ptr<OpeningObservationCoordinator> weak = weak_from_this();
    const Token owner = owner_;
    refreshFacts();
    for (const ProcessID& process : processes) {
        if (weak.expired() || !running_ || owner_ != owner || platform::isCancelled()) {
            co_return;
        }
        if (!ruleOf(process)) {
            continue;
        }
        if (!stateOf(process)) {
            storeState(newState(process), process);
        }
        if (!stateOf(process)->opportunity) {
            co_await beginBaseline(process);
        }
    }
}

platform::Async<> OpeningObservationCoordinator::receive(ApplicationLifecycle event, ContinuousInstant at) {
    if (!running_) {
        co_return;
    }
    refreshFacts();
    const ProcessID& process = event.process;
    switch (event.kind) {
    case ApplicationLifecycle::Case::launched: {
        if (stateOf(process)) {
            co_return;
        }
        // An earlier incarnation on the same pid is gone for good.
        std::erase_if(states_, [&](const auto& entry) { return entry.first.pid == process.pid; });
        if (!ruleOf(process)) {
            co_return;
        }
        storeState(newState(process), process);
        openOpportunity(process, OpeningEvidence::launch, at);
        if (facts_().frontmost == process) {
            startWorker(process);
        } else if (!stateOf(process)->opportunity) {
            co_await beginBaseline(process);
        }
        // With an opportunity the worker starts when the process is activated.
        co_return;
    }
    case ApplicationLifecycle::Case::activated: {
        if (!ruleOf(process)) {
            co_return;
        }
        ProcessState* state = stateOf(process);
        if (!state) {
            storeState(newState(process), process);
            co_await beginBaseline(process);
            co_return;
        }
        if (state->opportunity) {
            startWorker(process);
            co_return;
        }
        if (state->ledger.baseline() == OpeningBaseline::noWindows) {
            openOpportunity(process, OpeningEvidence::activationFromNoWindows, at);
        }
        if (stateOf(process)->opportunity) {
            startWorker(process);
        } else {
            co_await beginBaseline(process);
        }
        co_return;
    }
    case ApplicationLifecycle::Case::deactivated:
        if (active_ && active_->process == process) {
            reset();
        }
        clearOpportunity(process);
        if (ruleOf(process)) {
            co_await beginBaseline(process);
        }
        co_return;
    case ApplicationLifecycle::Case::terminated:
        if (active_ && active_->process == process) {
            reset();
        }
        storeState(std::nullopt, process);
        co_return;
    }
}

void OpeningObservationCoordinator::refreshFacts() {
    const OpeningObservationFacts facts = facts_();
    if (active_ && (facts.generation != active_->generation || facts.frontmost != active_->process)) {
        clearOpportunity(active_->process);
        reset();
    }
    std::vector<ProcessID> processes;
    processes.reserve(states_.size());
    for (const auto& [process, state] : states_) {
        processes.push_back(process);
    }
    for (const ProcessID& process : processes) {
        const ProcessState* state = stateOf(process);
        if (!state) {
            continue;
        }
        const std::optional<OpeningAction> rule = ruleIn(facts, process);
        if (!facts.operationAllowed || !rule) {
            // Also without an opportunity: the new version makes any outstanding lease stale.
            clearOpportunity(process);
        } else if (state->opportunity &&
                   (state->opportunity->action != *rule || !(state->opportunity->deadline > clock_.now()))) {
            clearOpportunity(process);
        }
    }
    if (!facts.operationAllowed) {
        reset();
    }
    if (proposal_ && !accepts(*proposal_)) {
        proposal_.reset();
    }
}

// ---- States, opportunities and the worker's start ----

void OpeningObservationCoordinator::storeState(std::optional<ProcessState> state, const ProcessID& process) {
    if (state) {
        states_.insert_or_assign(process, std::move(*state));
    } else {
        states_.erase(process);
    }
}

void OpeningObservationCoordinator::openOpportunity(const ProcessID& process, OpeningEvidence evidence,
                                                    ContinuousInstant at) {
    const ContinuousInstant deadline = at + opportunityLength;
    if (!(clock_.now() < deadline)) {
        return;
    }
    const OpeningObservationFacts facts = facts_();
    if (!facts.operationAllowed) {
        return;
    }
    const std::optional<OpeningAction> action = ruleIn(facts, process);
    if (!action) {
        return;
    }
    const ProcessState* state = stateOf(process);
    if (!state || state->ordinal == std::numeric_limits<std::uint64_t>::max()) {
        return;
    }
    // A refused begin leaves neither the ordinal nor the policy changed.
    ProcessState copy = *state;
    ++copy.ordinal;
    const OpeningCycleID cycle{process, copy.ordinal};
    if (!copy.policy.begin(cycle, evidence, *action)) {
        return;
    }
    copy.opportunity = Opportunity{cycle, *action, deadline};
    copy.candidate.reset();
    copy.pendingObservation.reset();
    copy.version = mint();
    storeState(std::move(copy), process);
}

void OpeningObservationCoordinator::clearOpportunity(const ProcessID& process) {
    ProcessState* state = stateOf(process);
    if (!state) {
        return;
    }
    state->opportunity.reset();
    state->policy.invalidate();
    state->candidate.reset();
    state->pendingObservation.reset();
    state->version = mint();
}

void OpeningObservationCoordinator::reset() {
    ++serial_;
    if (worker_) {
        worker_->cancel();
        worker_.reset();
    }
    active_.reset();
    proposal_.reset();
    claimed_ = false;
    if (signal_) {
        signal_->cancel();
    }
}

void OpeningObservationCoordinator::startWorker(const ProcessID& process) {
    if (active_ && active_->process == process) {
        return;
    }
    const ProcessState* state = stateOf(process);
    if (!state || !state->opportunity || !(clock_.now() < state->opportunity->deadline)) {
        return;
    }
    const OpeningObservationFacts facts = facts_();
    if (!facts.operationAllowed || facts.frontmost != process) {
        return;
    }
    if (active_) {
        clearOpportunity(active_->process);
    }
    reset();
    stateOf(process)->version = mint();
    active_ = Active{process, facts_().generation};
    std::weak_ptr<OpeningObservationCoordinator> weak = weak_from_this();
    const std::uint64_t serial = serial_;
    worker_ =
        platform::spawn(executor_, [weak, process, serial] { return runWorker(weak, process, serial); });
}

// ---- Baselines ----

std::optional<OpeningObservationCoordinator::BaselineLease>
OpeningObservationCoordinator::makeLease(const ProcessID& process) {
    ProcessState* state = stateOf(process);
    if (!state) {
        return std::nullopt;
    }
    state->version = mint();
    const OpeningObservationFacts facts = facts_();
    return BaselineLease{process,        owner_,           state->identity,
                         state->version, facts.generation, ruleIn(facts, process)};
}

bool OpeningObservationCoordinator::leaseIsValid(const BaselineLease& lease) const {
    if (!running_ || platform::isCancelled() || owner_ != lease.owner) {
        return false;
    }
    const ProcessState* current = state(lease.process);
    if (!current || current->identity != lease.stateOwner || current->version != lease.version) {
        return false;
    }
    const OpeningObservationFacts facts = facts_();
    return facts.generation == lease.generation && ruleIn(facts, lease.process) == lease.action;
}

platform::Async<> OpeningObservationCoordinator::beginBaseline(ProcessID process) {
    if (!running_ || platform::isCancelled()) {
        co_return;
    }
    const std::weak_ptr<OpeningObservationCoordinator> weak = weak_from_this();
    const std::optional<BaselineLease> lease = makeLease(process);
    if (!lease) {
        co_return;
    }
    const ContinuousInstant deadline = clock_.now() + readLimit;
    auto inventoryReader = inventory_;
    const OpeningInventoryResult inventory = co_await inventoryReader->inventory(pidsOf(process));
    if (weak.expired()) {
        co_return;
    }
    OpeningWindowPresence presence = OpeningWindowPresence::unknown;
    if (leaseIsValid(*lease) && clock_.now() < deadline) {
        auto presenceReader = presence_;
        const OpeningWindowPresence answer = co_await presenceReader->windowPresence(process, deadline);
        if (weak.expired()) {
            co_return;
        }
        if (clock_.now() < deadline) {
            presence = answer;
        }
    }
    applyBaseline(inventory, presence, *lease);
}

void OpeningObservationCoordinator::applyBaseline(const OpeningInventoryResult& inventory,
                                                  OpeningWindowPresence presence,
                                                  const BaselineLease& lease) {
    if (!leaseIsValid(lease)) {
        // Too late to set the baseline, but the windows were there: they are not new.
        rememberWindows(inventory, lease.process, lease.owner, lease.stateOwner);
        return;
    }
    ProcessState* state = stateOf(lease.process);
    (void)state->ledger.observe(inventory.observedWindows(lease.process), presence);
    state->version = mint();
}

void OpeningObservationCoordinator::rememberWindows(const OpeningInventoryResult& inventory,
                                                    const ProcessID& process, Token owner,
                                                    std::optional<Token> stateOwner) {
    if (!running_ || owner != owner_) {
        return;
    }
    ProcessState* state = stateOf(process);
    if (!state || (stateOwner && *stateOwner != state->identity)) {
        return;
    }
    const auto windows = inventory.observedWindows(process);
    if (!windows || !state->ledger.rememberIdentities(windows)) {
        return;
    }
    std::unordered_set<WindowID> ids;
    for (const OpeningObservedWindow& window : *windows) {
        ids.insert(window.id);
    }
    if (state->pendingObservation) {
        for (const WindowID& id : ids) {
            state->pendingObservation->notPreviouslyObserved.erase(id);
        }
    }
    if (state->candidate && ids.contains(*state->candidate)) {
        clearOpportunity(process);
    }
    if (proposal_ && proposal_->candidateID.process == process && ids.contains(proposal_->candidateID)) {
        proposal_.reset();
        claimed_ = false;
    }
}

// ---- The worker ----

bool OpeningObservationCoordinator::isCurrent(const ProcessID& process, std::uint64_t serial) const {
    if (!running_ || platform::isCancelled() || serial_ != serial || !active_ ||
        active_->process != process) {
        return false;
    }
    const ProcessState* current = state(process);
    if (!current || !current->opportunity) {
        return false;
    }
    const OpeningObservationFacts facts = facts_();
    if (!facts.operationAllowed || facts.frontmost != process || facts.generation != active_->generation ||
        ruleIn(facts, process) != current->opportunity->action) {
        return false;
    }
    return clock_.now() < current->opportunity->deadline;
}

platform::Async<> OpeningObservationCoordinator::runWorker(std::weak_ptr<OpeningObservationCoordinator> weak,
                                                           ProcessID process, std::uint64_t serial) {
    // The coordinator is held only between awaits, never across one.
    while (true) {
        auto self = weak.lock();
        if (!self) {
            co_return;
        }
        if (!self->isCurrent(process, serial) || platform::isCancelled()) {
            self->exitWorker(process, serial);
            co_return;
        }
        // The first pass runs at once; every later one after a wait.
        auto round = self->observeRound(process, serial);
        self.reset();
        const bool stop = co_await std::move(round);

        self = weak.lock();
        if (!self) {
            co_return;
        }
        if (stop || !self->isCurrent(process, serial) || platform::isCancelled()) {
            self->exitWorker(process, serial);
            co_return;
        }
        std::shared_ptr<OpeningWindowSignaling> signal = self->signal_;
        platform::Clock& clock = self->clock_;
        self.reset();
        bool interrupted = false;
        try {
            if (signal) {
                const bool created = co_await signal->wait(process.pid, signalWait);
                if (created) {
                    co_await platform::sleepFor(clock, settlePause);
                }
                platform::checkCancellation();
            } else {
                co_await platform::sleepFor(clock, pollPause);
            }
        } catch (...) {
            interrupted = true;
        }
        if (interrupted) {
            if ((self = weak.lock())) {
                self->exitWorker(process, serial);
            }
            co_return;
        }
    }
}

void OpeningObservationCoordinator::exitWorker(const ProcessID& process, std::uint64_t serial) {
    if (serial_ != serial) {
        return; // a reset already cleaned up, and a newer worker may run
    }
    if (signal_) {
        signal_->cancel();
    }
    clearOpportunity(process);
    active_.reset();
    worker_.reset();
}

platform::Async<bool> OpeningObservationCoordinator::observeRound(ProcessID process, std::uint64_t serial) {
    if (!isCurrent(process, serial)) {
        co_return true;
    }
    const std::weak_ptr<OpeningObservationCoordinator> weak = weak_from_this();
    const ContinuousInstant passDeadline =
        std::min(clock_.now() + readLimit, stateOf(process)->opportunity->deadline);
    const Token owner = owner_;
    const Token identity = stateOf(process)->identity;
    auto passed = [&] {
        return !(clock_.now() < passDeadline);
    };
    auto presenceReader = presence_;
    auto mainReader = main_;
    auto inventoryReader = inventory_;

    const OpeningWindowPresence presence = co_await presenceReader->windowPresence(process, passDeadline);
    if (weak.expired() || !isCurrent(process, serial) || passed()) {
        co_return true;
    }
    if (presence == OpeningWindowPresence::none) {
        co_return false; // no window yet
    }
    if (presence != OpeningWindowPresence::one) {
        stateOf(process)->ledger.invalidateBaseline();
        co_return true;
    }

    const OpeningInventoryResult first = co_await inventoryReader->inventory(pidsOf(process));
    if (weak.expired()) {
        co_return true;
    }
    if (!isCurrent(process, serial) || passed()) {
        rememberWindows(first, process, owner, identity);
        co_return true;
    }
    ProcessState* state = stateOf(process);
    std::optional<OpeningInventoryDelta> delta =
        state->ledger.observe(first.observedWindows(process), OpeningWindowPresence::one);
    if (!delta) {
        co_return true;
    }
    const std::optional<OpeningObservedWindow> candidate = OpeningCorrelation::firstCandidate(*delta);
    if (!candidate) {
        co_return true;
    }
    state->pendingObservation = std::move(delta);
    state->candidate = candidate->id;
    bool geometryRetry = false;

    while (true) {
        const std::optional<DesktopFrame> frame = co_await mainReader->mainWindowFrame(process, passDeadline);
        if (weak.expired() || !frame || !isCurrent(process, serial) || passed()) {
            co_return true;
        }
        if (!geometryRetry) {
            const bool goOn = co_await stillShowsOne(process, serial, passDeadline);
            if (!goOn) {
                co_return true;
            }
        }

        // Read in a task of its own; the task touches nothing of the coordinator.
        auto read = platform::spawn(executor_, [inventoryReader, pid = process.pid] {
            return inventoryReader->inventory(std::set<std::int32_t>{pid});
        });
        const OpeningInventoryResult second = co_await read.value();
        if (weak.expired()) {
            co_return true;
        }
        if (!isCurrent(process, serial) || passed()) {
            rememberWindows(second, process, owner, identity);
            co_return true;
        }
        state = stateOf(process);
        const std::optional<OpeningInventoryDelta> secondDelta =
            state->ledger.observe(second.observedWindows(process), OpeningWindowPresence::one);
        if (!secondDelta) {
            co_return true;
        }
        switch (OpeningCorrelation::confirm(candidate->id, secondDelta->windows, OpeningWindowPresence::one,
                                            *frame)) {
        case OpeningCorrelationResult::rejected:
            co_return true;
        case OpeningCorrelationResult::waitingForGeometry: {
            geometryRetry = true;
            const bool goOn = co_await stillShowsOne(process, serial, passDeadline);
            if (!goOn) {
                co_return true;
            }
            continue;
        }
        case OpeningCorrelationResult::matched: {
            state = stateOf(process);
            const Opportunity opportunity = *state->opportunity;
            const OpeningCandidate offered{
                candidate->id, WindowKind::standard, WindowProvenance::notPreviouslyObserved,
                FirstWindowEvidence::firstUniqueObservation, ModalEvidence::nonModal};
            const OpeningDecision decision = state->policy.evaluate(opportunity.cycle, {offered}, true, true);
            if (decision != OpeningDecision::apply(candidate->id, opportunity.action, opportunity.cycle)) {
                co_return true;
            }
            publish(OpeningObservationProposal{candidate->id, *frame, opportunity.cycle, opportunity.action,
                                               facts_().generation, opportunity.deadline});
            co_return true;
        }
        }
        co_return true;
    }
}

platform::Async<bool> OpeningObservationCoordinator::stillShowsOne(ProcessID process, std::uint64_t serial,
                                                                   ContinuousInstant passDeadline) {
    const std::weak_ptr<OpeningObservationCoordinator> weak = weak_from_this();
    auto reader = presence_;
    const OpeningWindowPresence presence = co_await reader->windowPresence(process, passDeadline);
    if (weak.expired() || !isCurrent(process, serial) || !(clock_.now() < passDeadline)) {
        co_return false;
    }
    if (presence != OpeningWindowPresence::one) {
        stateOf(process)->ledger.invalidateBaseline();
        co_return false;
    }
    co_return true;
}

void OpeningObservationCoordinator::publish(OpeningObservationProposal proposal) {
    proposal_ = proposal;
    claimed_ = false;
    if (onCandidate) {
        // A copy: the handler may replace itself.
        CandidateHandler handler = onCandidate;
        handler(proposal);
    }
}

// ---- Proposals ----

bool OpeningObservationCoordinator::accepts(const OpeningObservationProposal& proposal) const {
    if (!running_) {
        return false;
    }
    const OpeningObservationFacts facts = facts_();
    return facts.operationAllowed && facts.frontmost == proposal.candidateID.process &&
           facts.generation == proposal.generation &&
           ruleIn(facts, proposal.candidateID.process) == proposal.action && clock_.now() < proposal.expiresAt;
}

bool OpeningObservationCoordinator::claim(const OpeningObservationProposal& proposal) {
    if (claimed_ || !proposal_ || !(*proposal_ == proposal) || !accepts(proposal)) {
        return false;
    }
    claimed_ = true;
    return true;
}

bool OpeningObservationCoordinator::completionHolds(const OpeningObservationProposal& proposal,
                                                    std::uint64_t serial,
                                                    ContinuousInstant readDeadline) const {
    return !platform::isCancelled() && serial_ == serial && running_ && claimed_ && proposal_ &&
           *proposal_ == proposal && accepts(proposal) && clock_.now() < readDeadline;
}

platform::Async<bool> OpeningObservationCoordinator::complete(OpeningObservationProposal proposal,
                                                              ContinuousInstant deadline,
                                                              DesktopFrame observed) {
    const ContinuousInstant readDeadline = std::min(proposal.expiresAt, deadline);
    if (!completionHolds(proposal, serial_, readDeadline)) {
        co_return false;
    }
    const std::weak_ptr<OpeningObservationCoordinator> weak = weak_from_this();
    const std::uint64_t serial = serial_;
    const Token owner = owner_;
    const ProcessID process = proposal.candidateID.process;
    std::optional<Token> identity;
    if (const ProcessState* current = state(process)) {
        identity = current->identity;
    }

    auto presenceReader = presence_;
    const OpeningWindowPresence presence = co_await presenceReader->windowPresence(process, readDeadline);
    if (weak.expired() || !completionHolds(proposal, serial, readDeadline)) {
        co_return false;
    }
    if (presence != OpeningWindowPresence::one) {
        if (ProcessState* current = stateOf(process)) {
            current->ledger.invalidateBaseline();
        }
        proposal_.reset();
        co_return false;
    }

    auto inventoryReader = inventory_;
    const OpeningInventoryResult inventory = co_await inventoryReader->inventory(pidsOf(process));
    if (weak.expired()) {
        co_return false;
    }
    if (!completionHolds(proposal, serial, readDeadline)) {
        rememberWindows(inventory, process, owner, identity);
        co_return false;
    }
    ProcessState* current = stateOf(process);
    const std::optional<OpeningInventoryDelta> delta =
        current ? current->ledger.observe(inventory.observedWindows(process), OpeningWindowPresence::one)
                : std::nullopt;
    if (!delta) {
        proposal_.reset();
        co_return false;
    }
    current->version = mint();
    if (OpeningCorrelation::confirm(proposal.candidateID, delta->windows, OpeningWindowPresence::one,
                                    observed) == OpeningCorrelationResult::matched) {
        co_return true;
    }
    proposal_.reset();
    co_return false;
}

} // namespace tidewright
