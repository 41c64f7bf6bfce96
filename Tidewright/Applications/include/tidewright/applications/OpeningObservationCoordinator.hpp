#pragma once
// Decides when an application with an opening rule has just opened its first new window. It keeps
// one state per tracked process: the windows already seen (so a window that was open before an
// opportunity began never counts as new), the open opportunity, and while that process is in front
// a worker that looks for the one new window, confirms it against the main window and offers it to
// the execution owner as a proposal. Every read goes through the opening adapters and the
// window-created signal; every decision through the pure opening policy, ledger and correlation.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "platform/concurrency/Clock.hpp"
#include "platform/concurrency/Executor.hpp"
#include "platform/concurrency/Task.hpp"
#include "tidewright/applications/OpeningAdapters.hpp"
#include "tidewright/core/OpeningCandidate.hpp"
#include "tidewright/core/OpeningObservationLedger.hpp"
#include "tidewright/core/OpeningPolicy.hpp"
#include "tidewright/openingfacts/ApplicationLifecycle.hpp"
#include "tidewright/openingfacts/OpeningObservationCoordinating.hpp"
#include "tidewright/openingfacts/OpeningObservationFacts.hpp"
#include "tidewright/openingfacts/OpeningObservationProposal.hpp"
#include "tidewright/windowcontrol/ContinuousInstant.hpp"
#include "tidewright/windowcontrol/OpeningWindowSignaling.hpp"

namespace tidewright {

// Lives on the main executor, like every closure it is given and every read it awaits. Tasks hold it
// weakly, so it is always owned by a shared_ptr; work that resumes after it went is dropped.
class OpeningObservationCoordinator final
    : public OpeningObservationCoordinating,
      public std::enable_shared_from_this<OpeningObservationCoordinator> {
public:
    // The app model's present facts, asked again every time a decision needs them.
    using Facts = std::function<OpeningObservationFacts()>;
    using CandidateHandler = std::function<void(const OpeningObservationProposal&)>;
    // Tells apart lifetimes, states and versions; never reused within one coordinator.
    using Token = std::uint64_t;

    static constexpr ContinuousDuration opportunityLength = std::chrono::seconds(10);
    static constexpr ContinuousDuration readLimit = std::chrono::seconds(2);
    static constexpr ContinuousDuration signalWait = std::chrono::seconds(1);
    static constexpr ContinuousDuration pollPause = std::chrono::milliseconds(100);
    static constexpr ContinuousDuration settlePause = std::chrono::milliseconds(150);

    struct Opportunity {
        OpeningCycleID cycle;
        OpeningAction action;
        // The event's instant plus the opportunity length.
        ContinuousInstant deadline;
    };

    struct ProcessState {
        Token identity;
        OpeningObservationLedger ledger;
        OpeningPolicy policy;
        std::optional<Opportunity> opportunity;
        // The window the current pass took, and the inventory delta it came from.
        std::optional<WindowID> candidate;
        std::optional<OpeningInventoryDelta> pendingObservation;
        // The ordinal of the last opportunity opened; 0 before the first.
        std::uint64_t ordinal = 0;
        // Renewed by every change that must make outstanding leases and passes stale.
        Token version;
    };

    // What a baseline read must still find unchanged for its result to set the baseline.
    struct BaselineLease {
        ProcessID process;
        Token owner;
        Token stateOwner;
        Token version;
        std::uint64_t generation;
        std::optional<OpeningAction> action;
    };

    struct Active {
        ProcessID process;
        std::uint64_t generation;
    };

    // signal may be null: the worker then polls; the worker's pauses are sleeps on clock with no
    // tolerance. REQUIRES: executor is the main executor; executor and clock outlive the coordinator
    // and its tasks; no closure throws.
    static std::shared_ptr<OpeningObservationCoordinator>
    create(std::shared_ptr<OpeningInventoryReading> inventory, std::shared_ptr<OpeningMainReading> main,
           std::shared_ptr<OpeningPresenceReading> presence, Facts facts, platform::Clock& clock,
           std::shared_ptr<OpeningWindowSignaling> signal, platform::Executor& executor);

    ~OpeningObservationCoordinator() override;
    OpeningObservationCoordinator(const OpeningObservationCoordinator&) = delete;
    OpeningObservationCoordinator& operator=(const OpeningObservationCoordinator&) = delete;

    // processes sorted by pid then incarnation. Takes the first baseline of every one with a rule.
    platform::Async<> start(std::vector<ProcessID> processes) override;
    void stop() override;
    // Makes sure every running process with a rule has a state and a baseline.
    platform::Async<> track(std::vector<ProcessID> processes) override;
    // at: the continuous-clock instant at which the event happened.
    platform::Async<> receive(ApplicationLifecycle event, ContinuousInstant at) override;
    // Drops whatever the present facts no longer allow.
    void refreshFacts() override;

    // True once for the stored proposal while it is still acceptable.
    bool claim(const OpeningObservationProposal& proposal) override;
    // True when the claimed proposal's window is still the process's one new window and the
    // inventory shows it at observed; otherwise the proposal is dropped. Reads end by the sooner of
    // deadline and the proposal's expiry.
    platform::Async<bool> complete(OpeningObservationProposal proposal, ContinuousInstant deadline,
                                   DesktopFrame observed) override;
    // Whether a proposal may still be acted on under the present facts.
    bool accepts(const OpeningObservationProposal& proposal) const;

    // Where a published proposal goes; set by whoever wires the coordinator to the execution owner.
    CandidateHandler onCandidate;

    bool running() const noexcept { return running_; }
    std::uint64_t serial() const noexcept { return serial_; }
    const std::optional<OpeningObservationProposal>& proposal() const noexcept { return proposal_; }
    bool claimed() const noexcept { return claimed_; }
    const std::optional<Active>& active() const noexcept { return active_; }
    bool hasWorker() const noexcept { return worker_.has_value(); }
    // Null when the process is not tracked.
    const ProcessState* state(const ProcessID& process) const;

private:
    OpeningObservationCoordinator(std::shared_ptr<OpeningInventoryReading> inventory,
                                  std::shared_ptr<OpeningMainReading> main,
                                  std::shared_ptr<OpeningPresenceReading> presence, Facts facts,
                                  platform::Clock& clock, std::shared_ptr<OpeningWindowSignaling> signal,
                                  platform::Executor& executor);

    Token mint() noexcept { return ++lastToken_; }
    ProcessState newState(const ProcessID& process);
    ProcessState* stateOf(const ProcessID& process);
    std::optional<OpeningAction> ruleOf(const ProcessID& process) const;

    void storeState(std::optional<ProcessState> state, const ProcessID& process);
    void openOpportunity(const ProcessID& process, OpeningEvidence evidence, ContinuousInstant at);
    void clearOpportunity(const ProcessID& process);
    void startWorker(const ProcessID& process);
    void reset();
    std::optional<BaselineLease> makeLease(const ProcessID& process);
    bool leaseIsValid(const BaselineLease& lease) const;
    platform::Async<> beginBaseline(ProcessID process);
    void applyBaseline(const OpeningInventoryResult& inventory, OpeningWindowPresence presence,
                       const BaselineLease& lease);
    void rememberWindows(const OpeningInventoryResult& inventory, const ProcessID& process, Token owner,
                         std::optional<Token> stateOwner);

    static platform::Async<> runWorker(std::weak_ptr<OpeningObservationCoordinator> weak, ProcessID process,
                                       std::uint64_t serial);
    // Leaves the worker's state behind only when no reset came since it started.
    void exitWorker(const ProcessID& process, std::uint64_t serial);
    bool isCurrent(const ProcessID& process, std::uint64_t serial) const;
    // True when the worker must stop; false to wait and look again.
    platform::Async<bool> observeRound(ProcessID process, std::uint64_t serial);
    // Reads presence again within the pass: false when the pass must end (not current, too late,
    // or not exactly one window, which also makes the baseline unknown).
    platform::Async<bool> stillShowsOne(ProcessID process, std::uint64_t serial,
                                        ContinuousInstant passDeadline);
    void publish(OpeningObservationProposal proposal);
    // complete's re-check after each of its reads.
    bool completionHolds(const OpeningObservationProposal& proposal, std::uint64_t serial,
                         ContinuousInstant readDeadline) const;

    std::shared_ptr<OpeningInventoryReading> inventory_;
    std::shared_ptr<OpeningMainReading> main_;
    std::shared_ptr<OpeningPresenceReading> presence_;
    Facts facts_;
    platform::Clock& clock_;
    std::shared_ptr<OpeningWindowSignaling> signal_;
    platform::Executor& executor_;

    std::unordered_map<ProcessID, ProcessState> states_;
    std::optional<platform::Task<>> worker_;
    std::optional<Active> active_;
    std::uint64_t serial_ = 0;
    Token lastToken_ = 0;
    Token owner_;
    bool running_ = false;
    std::optional<OpeningObservationProposal> proposal_;
    bool claimed_ = false;
};

} // namespace tidewright
