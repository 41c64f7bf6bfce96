#pragma once
// A main-window transport over one simulated window, for the window operation service's tests. Each
// call is recorded, lets the test change the world while it is out (onCall), checks the permit and
// does its work at once, as a queue job that already ran; the answer reaches the caller on a later
// turn of its executor, or when the test releases it while holding.

#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "platform/concurrency/Continuation.hpp"
#include "tidewright/windowcontrol/MainWindowTransporting.hpp"
#include "tidewright/windowcontrol/WindowOperationFailure.hpp"

namespace tidewright {

class FakeWindowTransport final : public MainWindowTransporting {
public:
    struct Call {
        std::string name;
        ProcessID process;
        ContinuousInstant deadline;
        std::shared_ptr<WindowOperationPermit> permit;
    };

    using Now = std::function<ContinuousInstant()>;

    FakeWindowTransport(DesktopFrame frame, Now now) : frame(frame), now_(std::move(now)) {}

    // The window as it is now.
    DesktopFrame frame;
    // What sizeCapabilities answers.
    SizeCapabilities capabilities = SizeCapabilities::unknown();
    // The size the window takes when asked for one; by default the one asked for.
    std::function<WindowSize(const WindowSize& asked)> takesSize = [](const WindowSize& asked) {
        return asked;
    };
    // Added to every origin the window is moved to: a window that does not land where it is put.
    double drift = 0;
    // A failure each call of that name throws ("mainWindowFrame", "sizeCapabilities", "setFrame",
    // "setOrigin"), after the permit check.
    std::map<std::string, WindowOperationFailure> failures;
    // Runs when a call arrives, before its work; it may change the world, the facts or the clock,
    // cancel a task, or throw (which the caller receives as the call's error).
    std::function<void(const Call&)> onCall;
    // While true, answers wait in `held` until released.
    bool holding = false;

    std::vector<Call> calls;

    std::vector<std::string> callNames() const {
        std::vector<std::string> names;
        for (const Call& call : calls) {
            names.push_back(call.name);
        }
        return names;
    }

    // Delivers the oldest held answer; false when none is held.
    bool releaseOne() {
        if (held_.empty()) {
            return false;
        }
        auto deliver = std::move(held_.front());
        held_.erase(held_.begin());
        deliver();
        return true;
    }
    std::size_t heldCount() const { return held_.size(); }

    platform::Async<DesktopFrame> mainWindowFrame(ProcessID process, ContinuousInstant deadline,
                                                  std::shared_ptr<WindowOperationPermit> permit) override {
        return answer<DesktopFrame>("mainWindowFrame", std::move(process), deadline, std::move(permit),
                                    [this] { return frame; });
    }

    platform::Async<SizeCapabilities>
    sizeCapabilities(ProcessID process, DesktopFrame frameRead, ContinuousInstant deadline,
                     std::shared_ptr<WindowOperationPermit> permit) override {
        return answer<SizeCapabilities>(
            "sizeCapabilities", std::move(process), deadline, std::move(permit),
            [this, frameRead] { return frameRead == frame ? capabilities : SizeCapabilities::unknown(); });
    }

    platform::Async<> setFrame(ProcessID process, DesktopFrame expected, DesktopFrame target,
                               ContinuousInstant deadline,
                               std::shared_ptr<WindowOperationPermit> permit) override {
        return answer<void>("setFrame", std::move(process), deadline, std::move(permit),
                            [this, expected, target] {
                                requireUnmoved(expected);
                                frame = DesktopFrame(shifted(target.origin()), takesSize(target.size()));
                            });
    }

    platform::Async<> setOrigin(ProcessID process, DesktopFrame expected, DesktopPoint target,
                                ContinuousInstant deadline,
                                std::shared_ptr<WindowOperationPermit> permit) override {
        return answer<void>("setOrigin", std::move(process), deadline, std::move(permit),
                            [this, expected, target] {
                                requireUnmoved(expected);
                                frame = DesktopFrame(shifted(target), frame.size());
                            });
    }

private:
    void requireUnmoved(const DesktopFrame& expected) const {
        if (frame != expected) {
            throw WindowOperationFailure::noUniqueEligibleWindow();
        }
    }

    DesktopPoint shifted(const DesktopPoint& point) const {
        return {Points(point.x.value() + drift), Points(point.y.value() + drift)};
    }

    template <class T, class Work>
    platform::Async<T> answer(std::string name, ProcessID process, ContinuousInstant deadline,
                              std::shared_ptr<WindowOperationPermit> permit, Work work) {
        calls.push_back({name, std::move(process), deadline, permit});
        const Call call = calls.back();
        co_return co_await platform::withContinuation<T>(name, [&](platform::Continuation<T> continuation) {
            std::function<void()> deliver;
            try {
                if (onCall) {
                    onCall(call);
                }
                permit->check(deadline, now_());
                if (auto failure = failures.find(call.name); failure != failures.end()) {
                    throw failure->second;
                }
                if constexpr (std::is_void_v<T>) {
                    work();
                    deliver = [continuation] {
                        continuation.resume();
                    };
                } else {
                    deliver = [continuation, value = work()] {
                        continuation.resume(value);
                    };
                }
            } catch (...) {
                deliver = [continuation, error = std::current_exception()] {
                    continuation.resumeThrowing(error);
                };
            }
            if (holding) {
                held_.push_back(std::move(deliver));
            } else {
                deliver();
            }
        });
    }

    Now now_;
    std::vector<std::function<void()>> held_;
};

} // namespace tidewright
