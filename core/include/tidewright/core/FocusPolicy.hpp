#pragma once
// Which process is frontmost as the workspace notices tell it, and when a change of focus must
// invalidate work that depends on the frontmost process.

#include "tidewright/core/Identities.hpp"

#include <optional>
#include <utility>

namespace tidewright {

// Every case carries the process it happened to.
struct FocusEvent {
    enum class Case {
        activated,
        deactivated,
        terminated,
    };

    Case kind;
    ProcessID process;

    static FocusEvent activated(ProcessID process) { return {Case::activated, std::move(process)}; }
    static FocusEvent deactivated(ProcessID process) { return {Case::deactivated, std::move(process)}; }
    static FocusEvent terminated(ProcessID process) { return {Case::terminated, std::move(process)}; }

    bool operator==(const FocusEvent&) const = default;
};

enum class FocusDecision {
    unchanged,
    invalidate,
};

// A value owned by the application catalog on the main thread.
class FocusPolicy {
public:
    explicit FocusPolicy(std::optional<ProcessID> observedFocus = std::nullopt)
        : observedFocus_(std::move(observedFocus)) {}

    FocusDecision receive(const FocusEvent& event);

    // The process last seen activated and not since deactivated or terminated.
    const std::optional<ProcessID>& observedFocus() const noexcept { return observedFocus_; }

private:
    std::optional<ProcessID> observedFocus_;
};

} // namespace tidewright
