#pragma once
// Decides when a window action may run and runs at most one at a time: a hot-key press (manual) takes
// priority over an opening rule's proposal (automatic). Also the opening coordinator's gateway: it
// starts and stops it, queues every lifecycle event to it in arrival order and tells it when the
// facts change.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <unordered_map>
#include <variant>
#include <vector>

#include "platform/concurrency/Executor.hpp"
#include "platform/concurrency/Task.hpp"
#include "tidewright/core/FixedShortcut.hpp"
#include "tidewright/core/Identities.hpp"
#include "tidewright/openingfacts/ApplicationLifecycle.hpp"
#include "tidewright/openingfacts/OpeningObservationCoordinating.hpp"
#include "tidewright/openingfacts/OpeningObservationFacts.hpp"
#include "tidewright/openingfacts/OpeningObservationProposal.hpp"
#include "tidewright/windowcontrol/ContinuousInstant.hpp"
#include "tidewright/windowcontrol/WindowExecutionDriving.hpp"
#include "tidewright/windowcontrol/WindowOperationOutcome.hpp"
#include "tidewright/windowcontrol/WindowOperationPerforming.hpp"

namespace tidewright {

enum class ExecutionKind {
    manual,
    automatic,
};

// Lives on the main thread. Its tasks hold it weakly, so it is always owned by a shared_ptr; a task
// that resumes after it went, or after a later start or stop, does nothing. No call blocks or throws.
class WindowExecutionOwner final : public WindowExecutionDriving,
                                   public std::enable_shared_from_this<WindowExecutionOwner> {
public:
    // The app model's present facts. REQUIRES: does not throw.
    using Facts = std::function<OpeningObservationFacts()>;
    // The app model's authorisation of one action (a permission refresh); false refuses it.
    using Authorize = std::function<platform::Async<bool>()>;
    // Makes every outstanding opening metadata read fail. REQUIRES: does not throw.
    using InvalidateMetadata = std::function<void()>;
    // Told the outcome of an action that stayed current and was authorised.
    using Completed = std::function<void(const WindowOperationOutcome&)>;

    // REQUIRES: main is the main executor and outlives the owner's tasks; every argument is set
    // (std::invalid_argument otherwise).
    static std::shared_ptr<WindowExecutionOwner>
    make(platform::Executor& main, std::shared_ptr<WindowOperationPerforming> windows,
         std::shared_ptr<OpeningObservationCoordinating> opening, Facts facts, Authorize authorize,
         InvalidateMetadata invalidateMetadata, Completed completed);
    // Stops first, so nothing it started outlives it.
    ~WindowExecutionOwner() override;
    WindowExecutionOwner(const WindowExecutionOwner&) = delete;
    WindowExecutionOwner& operator=(const WindowExecutionOwner&) = delete;

    // Nothing when already running. REQUIRES: processes sorted by pid, then incarnation.
    void start(std::vector<ProcessID> processes) override;
    void stop() override;
    // After each reconcile and when the frontmost application changes; nothing when not running.
    void factsChanged(std::vector<ProcessID> processes) override;
    // A hot-key press: dropped while a manual action runs, cancels an automatic one.
    void perform(FixedShortcut shortcut) override;
    // The coordinator's proposal: acted on only when nothing runs and the claim succeeds.
    void performAutomatic(OpeningObservationProposal proposal);
    // A lifecycle event with the continuous-clock instant at which the app model received it.
    void receive(ApplicationLifecycle event, ContinuousInstant at) override;

    bool isRunning() const noexcept { return running_; }
    // The kind of the action in flight, if any.
    std::optional<ExecutionKind> executionKind() const noexcept;

private:
    struct Token {};
    // What an execution runs: a hot key's shortcut, or a claimed proposal.
    using Work = std::variant<FixedShortcut, OpeningObservationProposal>;
    // The identifiers that tell one execution, lifetime or event apart from the next.
    using Stamp = std::uint64_t;

    struct Execution {
        Stamp id;
        ExecutionKind kind;
        // The frontmost process when the execution started.
        std::optional<ProcessID> process;
        platform::Task<> task;
    };

    // What an execution's task keeps to test whether it is still wanted.
    struct Capture {
        std::weak_ptr<WindowExecutionOwner> owner;
        Stamp id;
        Stamp lifetime;
        OpeningObservationFacts facts;
    };

public:
    WindowExecutionOwner(Token, platform::Executor& main, std::shared_ptr<WindowOperationPerforming> windows,
                         std::shared_ptr<OpeningObservationCoordinating> opening, Facts facts,
                         Authorize authorize, InvalidateMetadata invalidateMetadata, Completed completed);

private:
    Stamp fresh() noexcept { return ++lastStamp_; }
    void cancelExecution();
    void startExecution(ExecutionKind kind, Work work);
    void finish(Stamp id);
    // REQUIRES: called inside the execution's own task.
    bool isCurrent(const Capture& capture) const;

    // The coordinator, while the owner exists and runs in lifetime and the current task is not
    // cancelled; else null.
    static std::shared_ptr<OpeningObservationCoordinating>
    coordinatorIfCurrent(const std::weak_ptr<WindowExecutionOwner>& weak, Stamp lifetime);
    static platform::Async<> runStart(std::weak_ptr<WindowExecutionOwner> weak, Stamp lifetime,
                                      std::vector<ProcessID> processes);
    static platform::Async<> runBaseline(std::weak_ptr<WindowExecutionOwner> weak, Stamp lifetime,
                                         std::optional<platform::Task<>> startTask,
                                         std::vector<ProcessID> processes);
    static platform::Async<> runEvent(std::weak_ptr<WindowExecutionOwner> weak,
                                      std::optional<platform::Task<>> startTask,
                                      std::optional<platform::Task<>> predecessor, Stamp eventID,
                                      Stamp lifetime, Stamp authorization, ApplicationLifecycle event,
                                      ContinuousInstant at);
    static platform::Async<> runExecution(Capture capture, std::optional<platform::Task<>> first, Work work);
    static platform::Async<bool> runAuthorization(std::weak_ptr<WindowExecutionOwner> weak);
    static platform::Async<bool> gate(Capture capture, platform::Task<bool> authorization);
    static platform::Async<bool> observe(std::weak_ptr<WindowExecutionOwner> weak,
                                         OpeningObservationProposal proposal, ContinuousInstant deadline,
                                         DesktopFrame frame);

    platform::Executor& main_;
    std::shared_ptr<WindowOperationPerforming> windows_;
    std::shared_ptr<OpeningObservationCoordinating> opening_;
    Facts facts_;
    Authorize authorize_;
    InvalidateMetadata invalidateMetadata_;
    Completed completed_;

    std::optional<Execution> execution_;
    std::optional<platform::Task<>> startTask_;
    std::optional<platform::Task<>> baseline_;
    std::unordered_map<Stamp, platform::Task<>> events_;
    std::optional<platform::Task<>> eventTail_;
    std::optional<OpeningObservationFacts> previous_;
    bool running_ = false;
    Stamp lifetime_ = 0;
    Stamp authorization_ = 0;
    Stamp lastStamp_ = 0;
};

} // namespace tidewright
