#include "GeometryTestSupport.hpp"
#include "tidewright/core/RequestPolicy.hpp"

#include <gtest/gtest.h>
#include <limits>

namespace tidewright {
namespace {

const ProcessID app{BundleID("com.example.editor"), 300, 1};
const ProcessID relaunched{BundleID("com.example.editor"), 300, 2};
const WindowID window{app, 11};
const WindowID relaunchedWindow{relaunched, 11};
const OpeningCycleID cycle{app, 4};
const OpeningCycleID laterCycle{app, 5};
const DesktopFrame expected = frame(10, 20, 800, 600);

const auto left = ActionOrigin::manual(FixedShortcut::left);
const auto right = ActionOrigin::manual(FixedShortcut::right);
const auto maximizeRule = ActionOrigin::automatic(cycle, OpeningAction::maximize);
const auto centerRule = ActionOrigin::automatic(cycle, OpeningAction::center);
const auto correlated = RequestTarget::correlatedMain(window, expected, cycle);
const auto mainOfApp = RequestTarget::currentMain(app);
const auto identified = RequestTarget::identified(window);

WindowRequest request(std::uint64_t ordinal, RequestTarget target, ActionOrigin origin) {
    return {RequestID{ordinal}, std::move(target), std::move(origin)};
}

TEST(RequestPolicy, ActionAndProcess) {
    EXPECT_EQ(ActionOrigin::manual(FixedShortcut::d).action(), WindowAction::nearlyMaximize);
    EXPECT_EQ(maximizeRule.action(), WindowAction::maximize);
    EXPECT_EQ(centerRule.action(), WindowAction::center);
    EXPECT_EQ(RequestTarget::currentMain(relaunched).process(), relaunched);
    EXPECT_EQ(RequestTarget::identified(relaunchedWindow).process(), relaunched);
    EXPECT_EQ(RequestTarget::correlatedMain(relaunchedWindow, expected, cycle).process(), relaunched);
    // Same process, different cases.
    EXPECT_NE(mainOfApp, identified);
}

TEST(RequestPolicy, Begin) {
    constexpr auto max = std::numeric_limits<std::uint64_t>::max();
    struct Begun {
        RequestTarget target;
        ActionOrigin origin;
    };
    struct Case {
        const char* name;
        std::uint64_t lastOrdinal;
        std::optional<Begun> before; // begun first, from lastOrdinal
        RequestTarget target;
        ActionOrigin origin;
        bool operationAllowed;
        RequestStart answer;
        std::optional<WindowRequest> pendingAfter;
        std::uint64_t lastOrdinalAfter;
    };
    const auto started = [](WindowRequest r) {
        return RequestStart::started(r);
    };
    const Case cases[] = {
        {"first request",
         0,
         {},
         mainOfApp,
         left,
         true,
         started(request(1, mainOfApp, left)),
         request(1, mainOfApp, left),
         1},
        {"same begin again", 0, Begun{mainOfApp, left}, mainOfApp, left, true,
         RequestStart::alreadyPending(request(1, mainOfApp, left)), request(1, mainOfApp, left), 1},
        {"other hot key supersedes", 0, Begun{mainOfApp, left}, mainOfApp, right, true,
         started(request(2, mainOfApp, right)), request(2, mainOfApp, right), 2},
        {"other target supersedes", 0, Begun{mainOfApp, left}, identified, left, true,
         started(request(2, identified, left)), request(2, identified, left), 2},
        {"not allowed clears",
         0,
         Begun{mainOfApp, left},
         mainOfApp,
         left,
         false,
         RequestStart::blocked(),
         {},
         1},
        {"manual on correlated",
         0,
         Begun{mainOfApp, left},
         correlated,
         left,
         true,
         RequestStart::blocked(),
         {},
         1},
        {"automatic on current mainOfApp",
         0,
         {},
         mainOfApp,
         maximizeRule,
         true,
         RequestStart::blocked(),
         {},
         0},
        {"automatic on another incarnation's window",
         0,
         {},
         RequestTarget::identified(relaunchedWindow),
         maximizeRule,
         true,
         RequestStart::blocked(),
         {},
         0},
        {"automatic on its own process's window",
         0,
         {},
         identified,
         maximizeRule,
         true,
         started(request(1, identified, maximizeRule)),
         request(1, identified, maximizeRule),
         1},
        {"correlated for another cycle",
         0,
         {},
         RequestTarget::correlatedMain(window, expected, laterCycle),
         maximizeRule,
         true,
         RequestStart::blocked(),
         {},
         0},
        {"correlated candidate of another process",
         0,
         {},
         RequestTarget::correlatedMain(relaunchedWindow, expected, cycle),
         maximizeRule,
         true,
         RequestStart::blocked(),
         {},
         0},
        {"correlated",
         0,
         {},
         correlated,
         maximizeRule,
         true,
         started(request(1, correlated, maximizeRule)),
         request(1, correlated, maximizeRule),
         1},
        {"other opening action supersedes", 0, Begun{correlated, maximizeRule}, correlated, centerRule, true,
         started(request(2, correlated, centerRule)), request(2, correlated, centerRule), 2},
        {"expected frame moved by half a point", 0, Begun{correlated, maximizeRule},
         RequestTarget::correlatedMain(window, frame(10, 20, 800.5, 600), cycle), maximizeRule, true,
         started(request(2, RequestTarget::correlatedMain(window, frame(10, 20, 800.5, 600), cycle),
                         maximizeRule)),
         request(2, RequestTarget::correlatedMain(window, frame(10, 20, 800.5, 600), cycle), maximizeRule),
         2},
        {"exhausted", max, {}, mainOfApp, left, true, RequestStart::identityExhausted(), {}, max},
        {"not allowed at the last ordinal",
         max,
         {},
         mainOfApp,
         left,
         false,
         RequestStart::blocked(),
         {},
         max},
        {"misfit at the last ordinal",
         max,
         {},
         mainOfApp,
         maximizeRule,
         true,
         RequestStart::blocked(),
         {},
         max},
        {"last ordinal pending, same begin", max - 1, Begun{mainOfApp, left}, mainOfApp, left, true,
         RequestStart::alreadyPending(request(max, mainOfApp, left)), request(max, mainOfApp, left), max},
        {"last ordinal pending, another begin",
         max - 1,
         Begun{mainOfApp, left},
         mainOfApp,
         right,
         true,
         RequestStart::identityExhausted(),
         {},
         max},
    };
    for (const auto& row : cases) {
        RequestPolicy policy(row.lastOrdinal);
        if (row.before) {
            ASSERT_EQ(policy.begin(row.before->target, row.before->origin, true).kind,
                      RequestStart::Case::started)
                << row.name;
        }
        EXPECT_EQ(policy.begin(row.target, row.origin, row.operationAllowed), row.answer) << row.name;
        EXPECT_EQ(policy.pending(), row.pendingAfter) << row.name;
        EXPECT_EQ(policy.lastOrdinal(), row.lastOrdinalAfter) << row.name;
    }
}

TEST(RequestPolicy, AcceptsAndFinish) {
    // Ordinal 1 was superseded by the pending ordinal 2.
    const WindowRequest superseded = request(1, correlated, centerRule);
    const WindowRequest current = request(2, correlated, maximizeRule);
    struct Case {
        const char* name;
        WindowRequest request;
        std::optional<RequestTarget> currentTarget;
        bool operationAllowed;
        bool answer;
        bool stillPendingAfterAccepts;
    };
    const Case cases[] = {
        {"still holds", current, correlated, true, true, true},
        {"target gone", current, std::nullopt, true, false, false},
        {"target of another case", current, mainOfApp, true, false, false},
        {"target of another process", current,
         RequestTarget::correlatedMain(relaunchedWindow, expected, cycle), true, false, false},
        {"frame moved by half a point", current,
         RequestTarget::correlatedMain(window, frame(10, 20, 800.5, 600), cycle), true, false, false},
        {"not allowed", current, correlated, false, false, false},
        {"superseded", superseded, correlated, true, false, true},
        {"superseded, not allowed", superseded, correlated, false, false, true},
        {"superseded, target gone", superseded, std::nullopt, true, false, true},
    };
    for (bool finishing : {false, true}) {
        for (const auto& row : cases) {
            RequestPolicy policy(0);
            ASSERT_EQ(policy.begin(correlated, centerRule, true).kind, RequestStart::Case::started);
            ASSERT_EQ(policy.begin(correlated, maximizeRule, true), RequestStart::started(current));
            const bool answer = finishing
                                    ? policy.finish(row.request, row.currentTarget, row.operationAllowed)
                                    : policy.accepts(row.request, row.currentTarget, row.operationAllowed);
            EXPECT_EQ(answer, row.answer) << row.name << (finishing ? " (finish)" : " (accepts)");
            // Finish ends the request it accepts; a superseded one disturbs nothing either way.
            const bool stillPending = row.stillPendingAfterAccepts && !(finishing && row.answer);
            EXPECT_EQ(policy.pending(), stillPending ? std::optional(current) : std::nullopt)
                << row.name << (finishing ? " (finish)" : " (accepts)");
            EXPECT_EQ(policy.lastOrdinal(), 2u);
        }
    }
}

TEST(RequestPolicy, OrdinalsAreNeverReused) {
    RequestPolicy policy(0);
    const auto first = policy.begin(mainOfApp, left, true);
    ASSERT_EQ(first, RequestStart::started(request(1, mainOfApp, left)));
    policy.invalidate();
    EXPECT_EQ(policy.pending(), std::nullopt);
    EXPECT_FALSE(policy.accepts(*first.request, mainOfApp, true));
    EXPECT_EQ(policy.begin(mainOfApp, left, false), RequestStart::blocked());
    // The same begin after a drop starts afresh with the next ordinal.
    EXPECT_EQ(policy.begin(mainOfApp, left, true), RequestStart::started(request(2, mainOfApp, left)));
    EXPECT_TRUE(policy.finish(request(2, mainOfApp, left), mainOfApp, true));
    EXPECT_EQ(policy.begin(mainOfApp, left, true), RequestStart::started(request(3, mainOfApp, left)));
}

} // namespace
} // namespace tidewright
