#include "corbel/updates/UpdateSchedule.hpp"

#include <gtest/gtest.h>

#include <cfloat>
#include <limits>

namespace corbel {
namespace {

using UpdateSchedule::Answered;
using UpdateSchedule::Failed;
using UpdateSchedule::Never;

Date date(double seconds) {
    return *Date::fromSecondsSince1970(seconds);
}

constexpr double lastCheck = 1'800'000'000;

struct DueCase {
    const char* name;
    UpdateSchedule::Last last;
    double now;
    bool due;
};

void PrintTo(const DueCase& c, std::ostream* os) {
    *os << c.name;
}

class ScheduleDue : public testing::TestWithParam<DueCase> {};

TEST_P(ScheduleDue, FollowsTheQuietPeriod) {
    EXPECT_EQ(UpdateSchedule::isDue(GetParam().last, date(GetParam().now)), GetParam().due);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScheduleDue,
    testing::Values(DueCase{"neverChecked", Never{}, lastCheck, true},
                    DueCase{"answeredJustNow", Answered{date(lastCheck)}, lastCheck, false},
                    DueCase{"answeredOneSecondBeforeTheEnd", Answered{date(lastCheck)}, lastCheck + 1'295'999,
                            false},
                    DueCase{"answeredFifteenDaysAgo", Answered{date(lastCheck)}, lastCheck + 1'296'000, true},
                    DueCase{"answeredAndTheClockWentBack", Answered{date(lastCheck)}, lastCheck - 1, true},
                    DueCase{"failedOneSecondBeforeTheEnd", Failed{date(lastCheck)}, lastCheck + 3'599, false},
                    DueCase{"failedAnHourAgo", Failed{date(lastCheck)}, lastCheck + 3'600, true},
                    DueCase{"failedAndTheClockWentBack", Failed{date(lastCheck)}, lastCheck - 0.5, true},
                    // A stored date far in the future is a clock that went back: due at once, no overflow.
                    DueCase{"answeredAtTheLargestDate", Answered{date(DBL_MAX)}, lastCheck, true},
                    DueCase{"failedFarInTheFuture", Failed{date(1e300)}, lastCheck, true},
                    DueCase{"answeredAtTheSmallestDate", Answered{date(-DBL_MAX)}, lastCheck, true},
                    DueCase{"nowAtTheLargestDate", Answered{date(DBL_MAX)}, DBL_MAX, false}));

TEST(Date, RefusesValuesThatAreNotFinite) {
    EXPECT_FALSE(Date::fromSecondsSince1970(std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(Date::fromSecondsSince1970(-std::numeric_limits<double>::infinity()));
    EXPECT_FALSE(Date::fromSecondsSince1970(std::numeric_limits<double>::quiet_NaN()));
    EXPECT_TRUE(Date::fromSecondsSince1970(DBL_MAX));
    EXPECT_EQ(Date::fromSystemClock(std::chrono::system_clock::time_point(std::chrono::milliseconds(1500)))
                  .secondsSince1970(),
              1.5);
}

} // namespace
} // namespace corbel
