#include "GeometryTestSupport.hpp"
#include "tidewright/core/OpeningObservationLedger.hpp"

#include <gtest/gtest.h>

namespace tidewright {
namespace {

using Windows = std::vector<OpeningObservedWindow>;
using Identities = std::unordered_set<WindowID>;
using enum OpeningWindowPresence;

const ProcessID app{BundleID("com.example.editor"), 300, 1};
const ProcessID relaunched{BundleID("com.example.editor"), 300, 2};

OpeningObservedWindow window(std::uint64_t token, const ProcessID& process = app) {
    return {WindowID{process, token}, 0, frame(0, 0, 400, 300), true};
}

WindowID id(std::uint64_t token) {
    return WindowID{app, token};
}

TEST(OpeningObservationLedger, Observe) {
    struct Case {
        const char* name;
        OpeningBaseline baselineBefore;
        std::optional<Windows> windows;
        OpeningWindowPresence presence;
        bool answered;
        Identities notPreviouslyObserved;
        OpeningBaseline baselineAfter;
        Identities knownAfter;
    };
    // Every row starts from a ledger that already knows window 1.
    const Case cases[] = {
        {"no inventory",
         OpeningBaseline::noWindows,
         std::nullopt,
         none,
         false,
         {},
         OpeningBaseline::unknown,
         {id(1)}},
        {"two windows, one new",
         OpeningBaseline::unknown,
         Windows{window(1), window(2)},
         several,
         true,
         {id(2)},
         OpeningBaseline::hasWindows,
         {id(1), id(2)}},
        {"another incarnation's window refuses the whole list",
         OpeningBaseline::hasWindows,
         Windows{window(2), window(3, relaunched)},
         several,
         false,
         {},
         OpeningBaseline::unknown,
         {id(1)}},
        {"a window twice",
         OpeningBaseline::hasWindows,
         Windows{window(2), window(2)},
         several,
         false,
         {},
         OpeningBaseline::unknown,
         {id(1)}},
        {"empty list, no windows",
         OpeningBaseline::unknown,
         Windows{},
         none,
         true,
         {},
         OpeningBaseline::noWindows,
         {id(1)}},
        {"empty list, presence one",
         OpeningBaseline::noWindows,
         Windows{},
         one,
         true,
         {},
         OpeningBaseline::hasWindows,
         {id(1)}},
        {"presence unknown",
         OpeningBaseline::hasWindows,
         Windows{window(2)},
         unknown,
         true,
         {id(2)},
         OpeningBaseline::unknown,
         {id(1), id(2)}},
        {"presence none although listed",
         OpeningBaseline::hasWindows,
         Windows{window(2)},
         none,
         true,
         {id(2)},
         OpeningBaseline::noWindows,
         {id(1), id(2)}},
    };
    for (const auto& row : cases) {
        OpeningObservationLedger ledger(app);
        ASSERT_TRUE(ledger.rememberIdentities(Windows{window(1)}));
        ledger.setBaseline(row.baselineBefore);
        const auto delta = ledger.observe(row.windows, row.presence);
        ASSERT_EQ(delta.has_value(), row.answered) << row.name;
        if (delta) {
            EXPECT_EQ(*delta, (OpeningInventoryDelta{*row.windows, row.notPreviouslyObserved, row.presence}))
                << row.name;
        }
        EXPECT_EQ(ledger.baseline(), row.baselineAfter) << row.name;
        EXPECT_EQ(ledger.known(), row.knownAfter) << row.name;
    }
}

TEST(OpeningObservationLedger, AWindowSeenBeforeIsNeverNewAgain) {
    OpeningObservationLedger ledger(app);
    EXPECT_EQ(ledger.baseline(), OpeningBaseline::unknown);
    EXPECT_TRUE(ledger.known().empty());

    EXPECT_EQ(ledger.observe(Windows{window(1), window(2)}, several)->notPreviouslyObserved,
              (Identities{id(1), id(2)}));
    EXPECT_EQ(ledger.observe(Windows{window(1), window(2)}, several)->notPreviouslyObserved, Identities{});
    // Gone for a while and back: still not new.
    EXPECT_EQ(ledger.observe(Windows{}, none)->notPreviouslyObserved, Identities{});
    EXPECT_EQ(ledger.observe(Windows{window(2), window(3)}, several)->notPreviouslyObserved,
              Identities{id(3)});
    ASSERT_TRUE(ledger.rememberIdentities(Windows{window(4)}));
    EXPECT_EQ(ledger.observe(Windows{window(4)}, one)->notPreviouslyObserved, Identities{});
    // Losing the baseline, or a refused inventory, forgets no identity.
    ledger.invalidateBaseline();
    EXPECT_EQ(ledger.observe(std::nullopt, unknown), std::nullopt);
    EXPECT_EQ(ledger.observe(Windows{window(1), window(5, relaunched)}, several), std::nullopt);
    EXPECT_EQ(ledger.observe(Windows{window(1), window(4)}, several)->notPreviouslyObserved, Identities{});
    EXPECT_EQ(ledger.known(), (Identities{id(1), id(2), id(3), id(4)}));
}

TEST(OpeningObservationLedger, RememberIdentitiesNeverTouchesTheBaseline) {
    struct Case {
        const char* name;
        std::optional<Windows> windows;
        bool answer;
        Identities knownAfter;
    };
    const Case cases[] = {
        {"no inventory", std::nullopt, false, {}},
        {"another process", Windows{window(1), window(2, relaunched)}, false, {}},
        {"a window twice", Windows{window(1), window(1)}, false, {}},
        {"empty", Windows{}, true, {}},
        {"two windows", Windows{window(1), window(2)}, true, {id(1), id(2)}},
    };
    for (const auto& row : cases) {
        OpeningObservationLedger ledger(app);
        ledger.setBaseline(OpeningBaseline::noWindows);
        EXPECT_EQ(ledger.rememberIdentities(row.windows), row.answer) << row.name;
        EXPECT_EQ(ledger.known(), row.knownAfter) << row.name;
        EXPECT_EQ(ledger.baseline(), OpeningBaseline::noWindows) << row.name;
    }
    OpeningObservationLedger ledger(app);
    ledger.setBaseline(OpeningBaseline::hasWindows);
    ledger.invalidateBaseline();
    EXPECT_EQ(ledger.baseline(), OpeningBaseline::unknown);
}

} // namespace
} // namespace tidewright
