#include "tidewright/core/OpeningPolicy.hpp"

#include <algorithm>

namespace tidewright {

bool OpeningPolicy::begin(const OpeningCycleID& cycle, OpeningEvidence evidence, OpeningAction action) {
    if (cycle.process != process_) {
        return false;
    }
    // Equal to latest is refused too: a used-up or dropped cycle never opens again.
    if (latest_ && cycle.ordinal <= *latest_) {
        return false;
    }
    if (evidence != OpeningEvidence::launch && evidence != OpeningEvidence::activationFromNoWindows) {
        return false;
    }
    latest_ = cycle.ordinal;
    opportunity_ = OpeningOpportunity{cycle, action};
    return true;
}

OpeningDecision OpeningPolicy::evaluate(const OpeningCycleID& cycle,
                                        const std::vector<OpeningCandidate>& candidates,
                                        bool enumerationComplete, bool operationAllowed) {
    if (!opportunity_ || opportunity_->cycle != cycle) {
        // An evaluation for another cycle leaves the open opportunity alone.
        return OpeningDecision::rejected(OpeningRejection::noOpportunity);
    }
    if (!operationAllowed) {
        opportunity_.reset();
        return OpeningDecision::rejected(OpeningRejection::invalidated);
    }
    if (!enumerationComplete) {
        opportunity_.reset();
        return OpeningDecision::rejected(OpeningRejection::ambiguous);
    }
    if (candidates.empty()) {
        return OpeningDecision::wait();
    }
    // The first complete, non-empty evaluation uses the opportunity up, whatever it answers.
    const OpeningAction action = opportunity_->action;
    opportunity_.reset();
    const bool foreign = std::any_of(candidates.begin(), candidates.end(),
                                     [this](const OpeningCandidate& c) { return c.id.process != process_; });
    if (foreign) {
        return OpeningDecision::rejected(OpeningRejection::wrongProcess);
    }
    if (candidates.size() > 1) {
        return OpeningDecision::rejected(OpeningRejection::ambiguous);
    }
    if (!candidates.front().isEligible()) {
        return OpeningDecision::rejected(OpeningRejection::notEligible);
    }
    return OpeningDecision::apply(candidates.front().id, action, cycle);
}

} // namespace tidewright
