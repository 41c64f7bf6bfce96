#include "tidewright/windowcontrol/WindowOperationFailure.hpp"
#include "tidewright/windowcontrol/WindowOperationPermit.hpp"

#include "platform/accessibility/AccessibilityTypes.hpp"

#include "WindowControlTestSupport.hpp"

#include <vector>

#include <gtest/gtest.h>

namespace tidewright {
namespace {

using platform::AXError;
using platform::rawCode;
using std::chrono::nanoseconds;

const ContinuousInstant deadline{nanoseconds(2'000'000'000)};

TEST(WindowOperationPermitTests, AnActivePermitPassesOnlyStrictlyBeforeTheDeadline) {
    const WindowOperationPermit permit;
    EXPECT_EQ(failureOf([&] { permit.check(deadline, deadline - nanoseconds(1)); }), std::nullopt);
    EXPECT_EQ(failureOf([&] { permit.check(deadline, deadline); }),
              WindowOperationFailure::deadlineExceeded());
    EXPECT_EQ(failureOf([&] { permit.check(deadline, deadline + nanoseconds(1)); }),
              WindowOperationFailure::deadlineExceeded());
}

TEST(WindowOperationPermitTests, ARevokedPermitIsInvalidatedBeforeAndAfterTheDeadline) {
    WindowOperationPermit permit;
    permit.revoke();
    permit.revoke();
    EXPECT_FALSE(permit.isActive());
    EXPECT_EQ(failureOf([&] { permit.check(deadline, deadline - nanoseconds(1)); }),
              WindowOperationFailure::invalidated());
    EXPECT_EQ(failureOf([&] { permit.check(deadline, deadline + nanoseconds(1)); }),
              WindowOperationFailure::invalidated());
}

TEST(WindowOperationFailureTests, EqualOnlyWithTheSameCaseAndPayload) {
    using F = WindowOperationFailure;
    const GeometryError nonFinite{GeometryError::Kind::nonFinitePoints};
    const GeometryError nonPositive{GeometryError::Kind::nonPositiveSize};
    // Each row differs from every other row.
    const std::vector<F> distinct{
        F::construction(rawCode(AXError::cannotComplete)),
        F::construction(rawCode(AXError::failure)),
        F::transport(rawCode(AXError::cannotComplete)),
        F::transport(rawCode(AXError::failure)),
        F::remote(rawCode(AXError::cannotComplete)),
        F::remote(rawCode(AXError::failure)),
        F::geometry(nonFinite),
        F::geometry(nonPositive),
        F::geometry(GeometryError::duplicate(ScreenID{1})),
        F::geometry(GeometryError::duplicate(ScreenID{2})),
        F::malformedResponse(),
        F::noUniqueEligibleWindow(),
        F::deadlineExceeded(),
        F::invalidated(),
    };
    for (std::size_t i = 0; i < distinct.size(); ++i) {
        for (std::size_t j = 0; j < distinct.size(); ++j) {
            EXPECT_EQ(distinct[i] == distinct[j], i == j) << "rows " << i << " and " << j;
        }
    }
    EXPECT_EQ(F::remote(-25300), F::remote(-25300));
    EXPECT_EQ(F::geometry(nonFinite), F::geometry(GeometryError{GeometryError::Kind::nonFinitePoints}));
}

TEST(WindowOperationFailureTests, ExposesItsPayload) {
    EXPECT_EQ(WindowOperationFailure::transport(rawCode(AXError::cannotComplete)).code(),
              rawCode(AXError::cannotComplete));
    EXPECT_EQ(WindowOperationFailure::transport(rawCode(AXError::cannotComplete)).geometryError(),
              std::nullopt);
    EXPECT_EQ(WindowOperationFailure::invalidated().code(), std::nullopt);
    const GeometryError error{GeometryError::Kind::nonPositiveSize};
    EXPECT_EQ(WindowOperationFailure::geometry(error).geometryError(), error);
    EXPECT_EQ(WindowOperationFailure::geometry(error).kind(), WindowOperationFailure::Case::geometry);
}

} // namespace
} // namespace tidewright
