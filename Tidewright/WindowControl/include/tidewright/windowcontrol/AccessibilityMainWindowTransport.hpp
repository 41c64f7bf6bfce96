#pragma once
// The only way the system reaches other applications' windows: each operation runs its blocking
// platform work as window events on one serial queue, while the awaiting task stays suspended on the
// main executor, so the main thread never waits for another application.

#include <functional>
#include <memory>
#include <stdexcept>
#include <stop_token>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <variant>

#include "platform/concurrency/Continuation.hpp"
#include "platform/concurrency/ContinuousClock.hpp"
#include "platform/concurrency/LiveSerialQueue.hpp"
#include "platform/concurrency/WorkQueue.hpp"
#include "tidewright/core/EnhancedInterfacePolicy.hpp"
#include "tidewright/windowcontrol/AccessibilityWindowEvents.hpp"
#include "tidewright/windowcontrol/LiveAccessibilityCalls.hpp"
#include "tidewright/windowcontrol/MainWindowTransporting.hpp"
#include "tidewright/windowcontrol/WindowPresenceTransporting.hpp"

namespace tidewright {

// The label of the transport's serial queue; its worker thread is called "accessibility".
inline constexpr std::string_view accessibilityQueueLabel = "app.corbelthane.tidewright.accessibility";

// Lives on the main thread; nothing of it changes after construction. Operations run on the queue
// one at a time in the order they were awaited. The jobs hold copies of what they use, never the
// transport, so the transport may go while one waits.
template <AccessibilityCalls Calls>
class AccessibilityMainWindowTransport final : public MainWindowTransporting,
                                               public WindowPresenceTransporting {
public:
    using Events = AccessibilityWindowEvents<Calls>;
    using Now = typename Events::Now;
    // Whether assistive technology that needs the enhanced interface runs now; asked on the main
    // thread before every write. REQUIRES: does not throw.
    using AssistiveTechnologyRunning = std::function<bool()>;

    // The live transport: a serial queue of its own labelled accessibilityQueueLabel, and the
    // continuous clock.
    AccessibilityMainWindowTransport(Calls calls, AssistiveTechnologyRunning assistiveTechnologyRunning)
        : AccessibilityMainWindowTransport(
              std::move(calls), std::move(assistiveTechnologyRunning),
              std::make_shared<platform::LiveSerialQueue>(std::string(accessibilityQueueLabel)),
              [] { return platform::ContinuousClock::now(); }) {}

    // REQUIRES: every argument is set (std::invalid_argument otherwise); queue runs one job at a
    // time in submission order and resumes nothing inline.
    AccessibilityMainWindowTransport(Calls calls, AssistiveTechnologyRunning assistiveTechnologyRunning,
                                     std::shared_ptr<platform::SerialQueue> queue, Now now)
        : calls_(std::move(calls)), assistiveTechnologyRunning_(std::move(assistiveTechnologyRunning)),
          queue_(std::move(queue)), now_(std::move(now)) {
        if (!assistiveTechnologyRunning_ || queue_ == nullptr || !now_) {
            throw std::invalid_argument(
                "AccessibilityMainWindowTransport needs a probe, a queue and a clock");
        }
    }

    platform::Async<DesktopFrame> mainWindowFrame(ProcessID process, ContinuousInstant deadline,
                                                  std::shared_ptr<WindowOperationPermit> permit) override {
        // Reads never consult the restore flag.
        return run(deadline, std::move(permit), true,
                   [pid = process.pid](const Events& events) { return events.mainWindowFrame(pid); });
    }

    platform::Async<SizeCapabilities>
    sizeCapabilities(ProcessID process, DesktopFrame frame, ContinuousInstant deadline,
                     std::shared_ptr<WindowOperationPermit> permit) override {
        return run(deadline, std::move(permit), true, [pid = process.pid, frame](const Events& events) {
            return events.sizeCapabilities(pid, frame);
        });
    }

    platform::Async<> setFrame(ProcessID process, DesktopFrame expected, DesktopFrame target,
                               ContinuousInstant deadline,
                               std::shared_ptr<WindowOperationPermit> permit) override {
        return write(process.app, deadline, std::move(permit),
                     [pid = process.pid, expected, target](const Events& events) {
                         events.setFrame(pid, expected, target);
                     });
    }

    platform::Async<> setOrigin(ProcessID process, DesktopFrame expected, DesktopPoint target,
                                ContinuousInstant deadline,
                                std::shared_ptr<WindowOperationPermit> permit) override {
        return write(process.app, deadline, std::move(permit),
                     [pid = process.pid, expected, target](const Events& events) {
                         events.setOrigin(pid, expected, target);
                     });
    }

    platform::Async<OpeningWindowPresence>
    windowPresence(ProcessID process, ContinuousInstant deadline,
                   std::shared_ptr<WindowOperationPermit> permit) override {
        if (permit == nullptr) {
            co_return OpeningWindowPresence::unknown;
        }
        OpeningWindowPresence presence = OpeningWindowPresence::unknown;
        {
            // Only while the read is under way: the caller may use the same permit afterwards.
            const std::stop_callback<RevokePermit> revokeOnCancel(platform::currentStopToken(),
                                                                  RevokePermit{permit});
            presence = co_await platform::withContinuation<OpeningWindowPresence>(
                "windowPresence(process:deadline:permit:)",
                [&](platform::Continuation<OpeningWindowPresence> continuation) {
                    queue_->submit(
                        [calls = calls_, now = now_, pid = process.pid, deadline, permit, continuation] {
                            OpeningWindowPresence answer = OpeningWindowPresence::unknown;
                            try {
                                answer = Events(calls, deadline, permit, true, now).presence(pid);
                            } catch (...) {
                                // A presence read reports every failure as unknown.
                            }
                            continuation.resume(answer);
                        });
                });
        }
        try {
            permit->check(deadline, now_());
        } catch (const WindowOperationFailure&) {
            co_return OpeningWindowPresence::unknown;
        }
        co_return presence;
    }

private:
    struct RevokePermit {
        std::shared_ptr<WindowOperationPermit> permit;
        void operator()() const noexcept { permit->revoke(); }
    };

    // Asks for assistive technology when awaited, on the main thread, before the work is queued.
    template <class Operation>
    platform::Async<> write(BundleID app, ContinuousInstant deadline,
                            std::shared_ptr<WindowOperationPermit> permit, Operation operation) {
        const bool restores = EnhancedInterfacePolicy::restoresAfterMove(app, assistiveTechnologyRunning_());
        co_await run(deadline, std::move(permit), restores, std::move(operation));
    }

    // Suspends the caller, runs operation on the queue over window events of its own, and resumes
    // the caller with the value or the failure. Nothing is checked after the resume: the caller's
    // own cancellation handler revokes the permit, and a revoked permit stops the work on the queue.
    template <class Operation>
    auto run(ContinuousInstant deadline, std::shared_ptr<WindowOperationPermit> permit, bool restores,
             Operation operation) -> platform::Async<std::invoke_result_t<Operation&, const Events&>> {
        using Value = std::invoke_result_t<Operation&, const Events&>;
        co_return co_await platform::withContinuation<Value>(
            "run(deadline:permit:restores:_:)", [&](platform::Continuation<Value> continuation) {
                queue_->submit(
                    [calls = calls_, now = now_, deadline, permit, restores, operation, continuation] {
                        using Stored = std::conditional_t<std::is_void_v<Value>, std::monostate, Value>;
                        std::variant<WindowOperationFailure, Stored> result =
                            WindowOperationFailure::malformedResponse();
                        try {
                            const Events events(calls, deadline, permit, restores, now);
                            if constexpr (std::is_void_v<Value>) {
                                operation(events);
                                result.template emplace<1>();
                            } else {
                                result.template emplace<1>(operation(events));
                            }
                        } catch (const WindowOperationFailure& failure) {
                            result = failure;
                        } catch (...) {
                            // Nothing else may cross to the caller, nor end the worker.
                            result = WindowOperationFailure::malformedResponse();
                        }
                        if (const auto* failure = std::get_if<0>(&result)) {
                            continuation.resumeThrowing(*failure);
                        } else if constexpr (std::is_void_v<Value>) {
                            continuation.resume();
                        } else {
                            continuation.resume(std::move(std::get<1>(result)));
                        }
                    });
            });
    }

    Calls calls_;
    AssistiveTechnologyRunning assistiveTechnologyRunning_;
    std::shared_ptr<platform::SerialQueue> queue_;
    Now now_;
};

extern template class AccessibilityMainWindowTransport<LiveAccessibilityCalls>;

} // namespace tidewright
