#include "tidewright/core/FocusPolicy.hpp"

#include <gtest/gtest.h>

namespace tidewright {
namespace {

const ProcessID a{BundleID("com.example.alpha"), 100, 1};
const ProcessID aRelaunched{BundleID("com.example.alpha"), 100, 2};
const ProcessID b{BundleID("com.example.beta"), 200, 1};

TEST(FocusPolicy, ReceiveSequence) {
    struct Step {
        FocusEvent event;
        FocusDecision decision;
        std::optional<ProcessID> observedAfter;
    };
    const Step steps[] = {
        {FocusEvent::activated(a), FocusDecision::invalidate, a},
        {FocusEvent::activated(a), FocusDecision::unchanged, a},
        {FocusEvent::deactivated(b), FocusDecision::unchanged, a},
        {FocusEvent::terminated(b), FocusDecision::unchanged, a},
        {FocusEvent::activated(aRelaunched), FocusDecision::invalidate, aRelaunched},
        {FocusEvent::deactivated(a), FocusDecision::unchanged, aRelaunched},
        {FocusEvent::activated(b), FocusDecision::invalidate, b},
        {FocusEvent::deactivated(b), FocusDecision::invalidate, std::nullopt},
        {FocusEvent::terminated(b), FocusDecision::unchanged, std::nullopt},
        {FocusEvent::activated(a), FocusDecision::invalidate, a},
        {FocusEvent::terminated(a), FocusDecision::invalidate, std::nullopt},
    };
    FocusPolicy policy;
    for (std::size_t i = 0; i < std::size(steps); ++i) {
        EXPECT_EQ(policy.receive(steps[i].event), steps[i].decision) << "step " << i;
        EXPECT_EQ(policy.observedFocus(), steps[i].observedAfter) << "step " << i;
    }
}

TEST(FocusPolicy, StartsFromTheGivenFocus) {
    FocusPolicy policy(b);
    EXPECT_EQ(policy.receive(FocusEvent::activated(b)), FocusDecision::unchanged);
    EXPECT_EQ(policy.receive(FocusEvent::terminated(b)), FocusDecision::invalidate);
}

} // namespace
} // namespace tidewright
