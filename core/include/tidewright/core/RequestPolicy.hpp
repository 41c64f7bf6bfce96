#pragma once
// At most one window request in flight, each with a fresh ordinal, dropped as soon as it no longer
// matches the world. A plain value: no locks, no clock.

#include "tidewright/core/FixedShortcut.hpp"
#include "tidewright/core/Geometry.hpp"
#include "tidewright/core/Identities.hpp"
#include "tidewright/core/OpeningAction.hpp"
#include "tidewright/core/WindowAction.hpp"

#include <cstdint>
#include <optional>
#include <utility>
#include <variant>

namespace tidewright {

// Why a window is to be moved: a hot key, or an opening rule of one opening cycle.
struct ActionOrigin {
    struct Manual {
        FixedShortcut shortcut;
        bool operator==(const Manual&) const = default;
    };
    struct Automatic {
        OpeningCycleID cycle;
        OpeningAction action;
        bool operator==(const Automatic&) const = default;
    };

    std::variant<Manual, Automatic> value;

    static ActionOrigin manual(FixedShortcut shortcut) { return {Manual{shortcut}}; }
    static ActionOrigin automatic(OpeningCycleID cycle, OpeningAction action) {
        return {Automatic{std::move(cycle), action}};
    }

    WindowAction action() const noexcept;

    bool operator==(const ActionOrigin&) const = default;
};

// Which window a request is for. Targets of different cases are never equal, even for one process.
struct RequestTarget {
    // Whatever window is the process's main window when the request runs.
    struct CurrentMain {
        ProcessID process;
        bool operator==(const CurrentMain&) const = default;
    };
    struct Identified {
        WindowID window;
        bool operator==(const Identified&) const = default;
    };
    // The main window, which must be the correlated candidate and still have the expected frame.
    struct CorrelatedMain {
        WindowID candidateID;
        DesktopFrame expectedFrame;
        OpeningCycleID cycle;
        bool operator==(const CorrelatedMain&) const = default;
    };

    std::variant<CurrentMain, Identified, CorrelatedMain> value;

    static RequestTarget currentMain(ProcessID process) { return {CurrentMain{std::move(process)}}; }
    static RequestTarget identified(WindowID window) { return {Identified{std::move(window)}}; }
    static RequestTarget correlatedMain(WindowID candidateID, DesktopFrame expectedFrame,
                                        OpeningCycleID cycle) {
        return {CorrelatedMain{std::move(candidateID), expectedFrame, std::move(cycle)}};
    }

    const ProcessID& process() const noexcept;

    bool operator==(const RequestTarget&) const = default;
};

struct WindowRequest {
    RequestID id;
    RequestTarget target;
    ActionOrigin origin;

    bool operator==(const WindowRequest&) const = default;
};

// The answer to a begin. `request` is present exactly for started and alreadyPending.
struct RequestStart {
    enum class Case {
        started,
        alreadyPending, // nothing new was started
        blocked,        // operation not allowed, or the target does not fit the origin
        identityExhausted,
    };

    Case kind;
    std::optional<WindowRequest> request;

    static RequestStart started(WindowRequest request) { return {Case::started, std::move(request)}; }
    static RequestStart alreadyPending(WindowRequest request) {
        return {Case::alreadyPending, std::move(request)};
    }
    static RequestStart blocked() { return {Case::blocked, std::nullopt}; }
    static RequestStart identityExhausted() { return {Case::identityExhausted, std::nullopt}; }

    bool operator==(const RequestStart&) const = default;
};

// Owned by the window operation service on the main thread; every call mutates the owner's copy.
// Ordinals only grow, by one per started request, and are never reused.
class RequestPolicy {
public:
    explicit RequestPolicy(std::uint64_t lastOrdinal) noexcept : lastOrdinal_(lastOrdinal) {}

    // Starts a request, replacing (superseding) any other pending one, unless refused.
    RequestStart begin(const RequestTarget& target, const ActionOrigin& origin, bool operationAllowed);

    // True while `request` is the pending one, operation is allowed and the caller still sees the
    // same target. A request that is not the pending one answers false and disturbs nothing; any
    // other false drops the pending request.
    bool accepts(const WindowRequest& request, const std::optional<RequestTarget>& currentTarget,
                 bool operationAllowed);

    // Answers as accepts; a true answer also ends the request.
    bool finish(const WindowRequest& request, const std::optional<RequestTarget>& currentTarget,
                bool operationAllowed);

    void invalidate() noexcept { pending_.reset(); }

    const std::optional<WindowRequest>& pending() const noexcept { return pending_; }
    std::uint64_t lastOrdinal() const noexcept { return lastOrdinal_; }

private:
    std::optional<WindowRequest> pending_;
    std::uint64_t lastOrdinal_;
};

} // namespace tidewright
