#pragma once
// A scripted desktop behind the opening coordinator's three reads and its window-created signal,
// on the manual clock: windows per process, what presence and the main-window read answer, and
// how long each read takes.

#include <algorithm>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <stop_token>
#include <vector>

#include "platform/concurrency/Clock.hpp"
#include "platform/concurrency/Continuation.hpp"
#include "platform/concurrency/ManualClock.hpp"
#include "tidewright/applications/OpeningAdapters.hpp"
#include "tidewright/windowcontrol/OpeningWindowSignaling.hpp"

namespace tidewright::testing {

inline DesktopFrame frameOf(double x, double y, double width, double height) {
    return DesktopFrame(DesktopPoint{Points(x), Points(y)}, WindowSize(Points(width), Points(height)));
}

struct FakeWindow {
    std::uint64_t token;
    std::int32_t pid;
    DesktopFrame frame;
    std::int32_t layer = 0;
    bool onscreen = true;
};

class FakeOpeningDesktop final : public OpeningInventoryReading,
                                 public OpeningPresenceReading,
                                 public OpeningMainReading,
                                 public OpeningWindowSignaling,
                                 public std::enable_shared_from_this<FakeOpeningDesktop> {
public:
    explicit FakeOpeningDesktop(platform::ManualClock& clock) : clock_(clock) {}

    // In the window server's order.
    std::vector<FakeWindow> windows;
    // When set, every inventory answers unavailable.
    bool inventoryUnavailable = false;
    // Answers that replace what the windows say, when set.
    std::optional<OpeningWindowPresence> presenceAnswer;
    std::optional<std::optional<DesktopFrame>> mainAnswer;
    // How long each kind of read takes on the manual clock.
    ContinuousDuration inventoryDelay{0};
    ContinuousDuration presenceDelay{0};
    ContinuousDuration mainDelay{0};

    std::vector<ContinuousInstant> presenceReads;
    std::vector<ContinuousInstant> presenceDeadlines;
    std::vector<ContinuousInstant> inventoryReads;
    std::vector<ContinuousInstant> mainReads;
    std::vector<std::pair<ContinuousInstant, ContinuousDuration>> waits;
    int cancels = 0;

    // The window-created signal fires for pid at this instant; a wait that starts later sees it.
    void createWindowAt(std::int32_t pid, ContinuousInstant at) {
        std::weak_ptr<FakeOpeningDesktop> weak = weak_from_this();
        clock_.startTimer(at, [weak, pid] {
            if (auto self = weak.lock()) {
                self->windowCreated(pid);
            }
        });
    }
    void windowCreated(std::int32_t pid) {
        if (waiter_ && waiter_->pid == pid) {
            finish(true);
        } else {
            created_.insert(pid);
        }
    }

    void remove(std::uint64_t token) {
        std::erase_if(windows, [&](const FakeWindow& window) { return window.token == token; });
    }
    FakeWindow& window(std::uint64_t token) {
        return *std::find_if(windows.begin(), windows.end(),
                             [&](const FakeWindow& window) { return window.token == token; });
    }

    platform::Async<OpeningInventoryResult> inventory(std::set<std::int32_t> pids) override {
        inventoryReads.push_back(clock_.now());
        co_await pause(inventoryDelay);
        if (inventoryUnavailable) {
            co_return OpeningInventoryResult::unavailable();
        }
        std::vector<OpeningInventoryEntry> entries;
        for (const FakeWindow& window : windows) {
            if (pids.contains(window.pid)) {
                entries.push_back({window.token, window.pid, window.layer, window.frame, window.onscreen});
            }
        }
        co_return OpeningInventoryResult::available(std::move(entries), std::move(pids));
    }

    platform::Async<OpeningWindowPresence> windowPresence(ProcessID process,
                                                          ContinuousInstant deadline) override {
        presenceReads.push_back(clock_.now());
        presenceDeadlines.push_back(deadline);
        co_await pause(presenceDelay);
        if (presenceAnswer) {
            co_return *presenceAnswer;
        }
        switch (visibleOf(process.pid).size()) {
        case 0:
            co_return OpeningWindowPresence::none;
        case 1:
            co_return OpeningWindowPresence::one;
        default:
            co_return OpeningWindowPresence::several;
        }
    }

    platform::Async<std::optional<DesktopFrame>> mainWindowFrame(ProcessID process,
                                                                 ContinuousInstant) override {
        mainReads.push_back(clock_.now());
        co_await pause(mainDelay);
        if (mainAnswer) {
            co_return *mainAnswer;
        }
        const auto visible = visibleOf(process.pid);
        if (visible.empty()) {
            co_return std::nullopt;
        }
        co_return visible.front().frame;
    }

    platform::Async<bool> wait(std::int32_t pid, ContinuousDuration limit) override {
        waits.push_back({clock_.now(), limit});
        if (created_.erase(pid) != 0) {
            co_return true;
        }
        finish(false);
        if (platform::isCancelled()) {
            co_return false;
        }
        std::weak_ptr<FakeOpeningDesktop> weak = weak_from_this();
        auto onCancel = [weak] {
            if (auto self = weak.lock()) {
                self->finish(false);
            }
        };
        std::stop_callback<decltype(onCancel)> cancellation(platform::currentStopToken(), onCancel);
        // Named: a capturing lambda made inside the await is destroyed twice by this compiler.
        auto setup = [this, weak, pid, limit](platform::Continuation<bool> continuation) {
            waiter_ = Waiter{pid, continuation, clock_.startTimer(clock_.now() + limit, [weak] {
                                 if (auto self = weak.lock()) {
                                     self->finish(false);
                                 }
                             })};
        };
        co_return co_await platform::withContinuation<bool>("fake window-created wait", setup);
    }

    void cancel() override {
        ++cancels;
        created_.clear();
        finish(false);
    }

private:
    std::vector<FakeWindow> visibleOf(std::int32_t pid) const {
        std::vector<FakeWindow> visible;
        for (const FakeWindow& window : windows) {
            if (window.pid == pid && window.layer == 0 && window.onscreen) {
                visible.push_back(window);
            }
        }
        return visible;
    }

    // A read that takes time; a cancelled task's read still answers, as the adapters do.
    platform::Async<> pause(ContinuousDuration delay) {
        if (delay <= ContinuousDuration::zero()) {
            co_return;
        }
        try {
            co_await platform::sleepFor(clock_, delay);
        } catch (const platform::CancellationError&) {
        }
    }

    void finish(bool value) {
        if (!waiter_) {
            return;
        }
        Waiter waiter = std::move(*waiter_);
        waiter_.reset();
        clock_.cancelTimer(waiter.limit);
        waiter.continuation.resume(value);
    }

    struct Waiter {
        std::int32_t pid;
        platform::Continuation<bool> continuation;
        platform::Clock::TimerID limit;
    };

    platform::ManualClock& clock_;
    std::set<std::int32_t> created_;
    std::optional<Waiter> waiter_;
};

} // namespace tidewright::testing
