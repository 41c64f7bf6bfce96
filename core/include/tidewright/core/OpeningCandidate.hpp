#pragma once
// What is known of a window offered to the opening policy. In each of the four window
// enumerations only the first case can make a window eligible; any unknown makes it ineligible.

#include "tidewright/core/Identities.hpp"

namespace tidewright {

// How the application came to the front.
enum class OpeningEvidence {
    launch,
    activationFromNoWindows,
    activationOnly, // it already had windows
    unknown,
};

enum class WindowKind {
    standard,
    dialog,
    secondary,
    unknown,
};

enum class WindowProvenance {
    notPreviouslyObserved,
    existingIdentityReturning,
    unknown,
};

// Whether this is the first unique observation of a new window in the cycle.
enum class FirstWindowEvidence {
    firstUniqueObservation,
    laterObservation,
    unknown,
};

enum class ModalEvidence {
    nonModal,
    modal,
    unknown,
};

struct OpeningCandidate {
    WindowID id;
    WindowKind kind;
    WindowProvenance provenance;
    FirstWindowEvidence order;
    ModalEvidence modality;

    bool isEligible() const noexcept {
        return kind == WindowKind::standard && provenance == WindowProvenance::notPreviouslyObserved &&
               order == FirstWindowEvidence::firstUniqueObservation && modality == ModalEvidence::nonModal;
    }

    bool operator==(const OpeningCandidate&) const = default;
};

} // namespace tidewright
