#pragma once
// The per-process decision core of the opening rules: an opportunity opens for a new cycle on a
// launch or an activation from no windows, and is used up by the first complete evaluation.

#include "tidewright/core/Identities.hpp"
#include "tidewright/core/OpeningAction.hpp"
#include "tidewright/core/OpeningCandidate.hpp"

#include <cstdint>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

namespace tidewright {

enum class OpeningRejection {
    noOpportunity, // none open, or not for the evaluated cycle
    wrongProcess,
    ambiguous, // incomplete enumeration, or more than one candidate
    notEligible,
    invalidated, // operation is no longer allowed
};

// apply, wait, or rejected with a reason; equal when the case and every payload field are equal.
struct OpeningDecision {
    struct Rejected {
        OpeningRejection reason;
        bool operator==(const Rejected&) const = default;
    };
    struct Apply {
        WindowID window;
        OpeningAction action;
        OpeningCycleID cycle;
        bool operator==(const Apply&) const = default;
    };
    struct Wait {
        bool operator==(const Wait&) const = default;
    };

    std::variant<Rejected, Apply, Wait> value;

    static OpeningDecision rejected(OpeningRejection reason) { return {Rejected{reason}}; }
    static OpeningDecision apply(WindowID window, OpeningAction action, OpeningCycleID cycle) {
        return {Apply{std::move(window), action, std::move(cycle)}};
    }
    static OpeningDecision wait() { return {Wait{}}; }

    bool operator==(const OpeningDecision&) const = default;
};

// The cycle whose first new window is awaited, and the action to apply to it.
struct OpeningOpportunity {
    OpeningCycleID cycle;
    OpeningAction action;

    bool operator==(const OpeningOpportunity&) const = default;
};

// A value kept in the coordinator's per-process state on the main thread. Never fails: every
// refusal is an answer, and a refusal changes nothing but what its step says.
// Invariant: an open opportunity belongs to `process` and its ordinal is `latest`.
class OpeningPolicy {
public:
    explicit OpeningPolicy(ProcessID process) : process_(std::move(process)) {}

    // True when an opportunity opened for `cycle`; false, and nothing changed, when refused.
    bool begin(const OpeningCycleID& cycle, OpeningEvidence evidence, OpeningAction action);

    OpeningDecision evaluate(const OpeningCycleID& cycle, const std::vector<OpeningCandidate>& candidates,
                             bool enumerationComplete, bool operationAllowed);

    // Drops the open opportunity; `latest` stays, so the cycle cannot be begun again.
    void invalidate() noexcept { opportunity_.reset(); }

    const ProcessID& process() const noexcept { return process_; }
    // The ordinal of the newest accepted cycle; never decreases.
    std::optional<std::uint64_t> latest() const noexcept { return latest_; }
    const std::optional<OpeningOpportunity>& opportunity() const noexcept { return opportunity_; }

    bool operator==(const OpeningPolicy&) const = default;

private:
    ProcessID process_;
    std::optional<std::uint64_t> latest_;
    std::optional<OpeningOpportunity> opportunity_;
};

} // namespace tidewright
