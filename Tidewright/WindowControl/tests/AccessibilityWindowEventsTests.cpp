#include "tidewright/windowcontrol/AccessibilityWindowEvents.hpp"

#include "FakeAccessibilityCalls.hpp"
#include "WindowControlTestSupport.hpp"

#include <algorithm>
#include <chrono>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tidewright {
namespace {

using std::chrono::milliseconds;
using std::chrono::nanoseconds;
using std::chrono::seconds;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using ::testing::Not;
using A = AccessibilityAttribute;
using Events = AccessibilityWindowEvents<FakeAccessibilityCalls>;
using F = WindowOperationFailure;
using platform::AXError;
using platform::rawCode;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double infinity = std::numeric_limits<double>::infinity();

const DesktopFrame windowFrame = frameOf(10, 20, 800, 600);
const DesktopFrame targetFrame = frameOf(0, 25, 640, 480.5);

TEST(WindowOperationFailureTableTests, MapsEveryCodeToItsFailure) {
    const std::vector<std::pair<AXError, F>> table{
        {AXError::noValue, F::noUniqueEligibleWindow()},
        {AXError::apiDisabled, F::invalidated()},
        {AXError::attributeUnsupported, F::noUniqueEligibleWindow()},
        {AXError::cannotComplete, F::transport(rawCode(AXError::cannotComplete))},
        {AXError::invalidUIElement, F::noUniqueEligibleWindow()},
        {AXError::failure, F::remote(rawCode(AXError::failure))},
        {AXError::illegalArgument, F::remote(rawCode(AXError::illegalArgument))},
        {AXError::invalidUIElementObserver, F::remote(rawCode(AXError::invalidUIElementObserver))},
        {AXError::actionUnsupported, F::remote(rawCode(AXError::actionUnsupported))},
        {AXError::parameterizedAttributeUnsupported,
         F::remote(rawCode(AXError::parameterizedAttributeUnsupported))},
        {AXError{-25199}, F::remote(-25199)},
        {AXError{-1}, F::remote(-1)},
        {AXError{12345}, F::remote(12345)},
    };
    for (const auto& [code, failure] : table) {
        EXPECT_EQ(windowOperationFailure(AccessibilityError{code}), failure) << "code " << rawCode(code);
    }
}

// Table rows arrange the fixture through lambdas, so its members are public.
class AccessibilityWindowEventsTests : public ::testing::Test {
public:
    void SetUp() override {
        script->applications[42] = "app";
        answer("app", A::frontmost, true);
        answer("app", A::mainWindow, FakeElement{"window"});
        standardWindow("window", windowFrame);
    }

    void answer(const std::string& element, A attribute, FakeAnswer value) {
        script->answers[{element, attribute}] = std::move(value);
    }
    void unscript(const std::string& element, A attribute) { script->answers.erase({element, attribute}); }

    void standardWindow(const std::string& name, const DesktopFrame& frame) {
        answer(name, A::modal, false);
        answer(name, A::minimized, false);
        answer(name, A::role, std::string("AXWindow"));
        answer(name, A::subrole, std::string("AXStandardWindow"));
        answer(name, A::position, platform::CGPoint{frame.minX(), frame.minY()});
        answer(name, A::size, platform::CGSize{frame.size().width().value(), frame.size().height().value()});
    }

    Events events() const {
        return Events(FakeAccessibilityCalls(script), deadline, permit, restores, [this] { return now; });
    }

    // The log from the first call of the given kind on.
    std::vector<std::string> logFrom(const std::string& prefix) const {
        auto first = std::find_if(script->log.begin(), script->log.end(),
                                  [&](const std::string& line) { return line.rfind(prefix, 0) == 0; });
        return {first, script->log.end()};
    }
    std::vector<std::string> writes() const {
        std::vector<std::string> lines;
        std::copy_if(script->log.begin(), script->log.end(), std::back_inserter(lines),
                     [](const std::string& line) { return line.rfind("set", 0) == 0; });
        return lines;
    }
    // Runs action once the call with this log line has been made.
    void after(const std::string& call, std::function<void()> action) {
        script->afterCall = [call, action = std::move(action)](const std::string& line) {
            if (line == call) {
                action();
            }
        };
    }

    std::shared_ptr<FakeScript> script = std::make_shared<FakeScript>();
    std::shared_ptr<WindowOperationPermit> permit = std::make_shared<WindowOperationPermit>();
    ContinuousInstant now{seconds(100)};
    ContinuousInstant deadline = now + seconds(2);
    bool restores = true;
};

TEST_F(AccessibilityWindowEventsTests, ReadsTheMainWindowFrameInOrder) {
    EXPECT_EQ(events().mainWindowFrame(42), windowFrame);
    EXPECT_THAT(script->log,
                ElementsAre("trusted", "timeout 2", "application 42", "boolean app AXFrontmost",
                            "element app AXMainWindow", "boolean window AXModal",
                            "boolean window AXMinimized", "string window AXRole", "string window AXSubrole",
                            "point window AXPosition", "size window AXSize"));
}

TEST_F(AccessibilityWindowEventsTests, RefusesProcessNumbersBelowOneBeforeAnyCall) {
    for (const std::int32_t pid : {0, -1, std::numeric_limits<std::int32_t>::min()}) {
        EXPECT_EQ(failureOf([&] { events().mainWindowFrame(pid); }), F::noUniqueEligibleWindow()) << pid;
        EXPECT_EQ(failureOf([&] { events().setFrame(pid, windowFrame, targetFrame); }),
                  F::noUniqueEligibleWindow());
    }
    EXPECT_THAT(script->log, IsEmpty());
}

TEST_F(AccessibilityWindowEventsTests, ChecksPermitTrustAndTimeBeforeMakingTheApplicationElement) {
    struct Row {
        const char* name;
        std::function<void(AccessibilityWindowEventsTests&)> arrange;
        F failure;
        std::vector<std::string> log;
    };
    const std::vector<Row> rows{
        {"revoked", [](auto& t) { t.permit->revoke(); }, F::invalidated(), {}},
        {"revoked after the deadline",
         [](auto& t) {
             t.permit->revoke();
             t.now = t.deadline + seconds(1);
         },
         F::invalidated(),
         {}},
        {"at the deadline", [](auto& t) { t.now = t.deadline; }, F::deadlineExceeded(), {}},
        {"untrusted", [](auto& t) { t.script->trusted = false; }, F::invalidated(), {"trusted"}},
        {"no time left after the trust query",
         [](auto& t) { t.after("trusted", [&t] { t.now = t.deadline; }); },
         F::deadlineExceeded(),
         {"trusted"}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        *script = FakeScript{};
        script->applications[42] = "app";
        permit = std::make_shared<WindowOperationPermit>();
        now = ContinuousInstant{seconds(100)};
        row.arrange(*this);
        EXPECT_EQ(failureOf([&] { events().mainWindowFrame(42); }), row.failure);
        EXPECT_EQ(script->log, row.log);
    }
}

TEST_F(AccessibilityWindowEventsTests, SetsTheMessagingTimeoutToTheTimeLeftUpToTwoSeconds) {
    const std::vector<std::pair<nanoseconds, std::string>> rows{
        {seconds(5), "timeout 2"},
        {seconds(2), "timeout 2"},
        {milliseconds(1999), "timeout 1.999"},
        {milliseconds(500), "timeout 0.5"},
        {nanoseconds(1), "timeout 1e-09"},
    };
    for (const auto& [left, line] : rows) {
        script->log.clear();
        deadline = now + left;
        events().mainWindowFrame(42);
        EXPECT_THAT(script->log,
                    ElementsAre("trusted", line, "application 42", testing::_, testing::_, testing::_,
                                testing::_, testing::_, testing::_, testing::_, testing::_));
    }
}

TEST_F(AccessibilityWindowEventsTests, AcceptsOnlyAFrontmostStandardWindow) {
    struct Row {
        const char* name;
        std::function<void(AccessibilityWindowEventsTests&)> arrange;
        // The frame read, or the failure.
        std::variant<DesktopFrame, F> result;
    };
    const DesktopFrame focusedFrame = frameOf(300, 400, 500, 600);
    const auto withFocused = [focusedFrame](auto& t) {
        t.answer("app", A::focusedWindow, FakeElement{"focused"});
        t.standardWindow("focused", focusedFrame);
    };
    const std::vector<Row> rows{
        {"standard", [](auto&) {}, windowFrame},
        {"not frontmost", [](auto& t) { t.answer("app", A::frontmost, false); }, F::noUniqueEligibleWindow()},
        {"frontmost without value",
         [](auto& t) { t.answer("app", A::frontmost, FakeError{AXError::noValue}); },
         F::noUniqueEligibleWindow()},
        {"frontmost of the wrong type", [](auto& t) { t.answer("app", A::frontmost, std::string("yes")); },
         F::remote(rawCode(AXError::illegalArgument))},
        {"interface disabled",
         [](auto& t) { t.answer("app", A::frontmost, FakeError{AXError::apiDisabled}); }, F::invalidated()},
        {"main window without value, focused standard",
         [&](auto& t) {
             t.answer("app", A::mainWindow, FakeError{AXError::noValue});
             withFocused(t);
         },
         focusedFrame},
        {"main window unsupported, focused standard",
         [&](auto& t) {
             t.unscript("app", A::mainWindow);
             withFocused(t);
         },
         focusedFrame},
        {"main window gone, focused standard",
         [&](auto& t) {
             t.answer("app", A::mainWindow, FakeError{AXError::invalidUIElement});
             withFocused(t);
         },
         F::noUniqueEligibleWindow()},
        {"main window not completed, focused standard",
         [&](auto& t) {
             t.answer("app", A::mainWindow, FakeError{AXError::cannotComplete});
             withFocused(t);
         },
         F::transport(rawCode(AXError::cannotComplete))},
        {"neither main nor focused window",
         [](auto& t) { t.answer("app", A::mainWindow, FakeError{AXError::noValue}); },
         F::noUniqueEligibleWindow()},
        {"focused window not completed",
         [](auto& t) {
             t.answer("app", A::mainWindow, FakeError{AXError::noValue});
             t.answer("app", A::focusedWindow, FakeError{AXError::cannotComplete});
         },
         F::transport(rawCode(AXError::cannotComplete))},
        {"modal", [](auto& t) { t.answer("window", A::modal, true); }, F::noUniqueEligibleWindow()},
        {"minimized", [](auto& t) { t.answer("window", A::minimized, true); }, F::noUniqueEligibleWindow()},
        {"a sheet", [](auto& t) { t.answer("window", A::role, std::string("AXSheet")); },
         F::noUniqueEligibleWindow()},
        {"a dialog", [](auto& t) { t.answer("window", A::subrole, std::string("AXDialog")); },
         F::noUniqueEligibleWindow()},
        {"subrole in another case",
         [](auto& t) { t.answer("window", A::subrole, std::string("axstandardwindow")); },
         F::noUniqueEligibleWindow()},
        {"subrole without value",
         [](auto& t) { t.answer("window", A::subrole, FakeError{AXError::noValue}); },
         F::noUniqueEligibleWindow()},
        {"role not completed",
         [](auto& t) { t.answer("window", A::role, FakeError{AXError::cannotComplete}); },
         F::transport(rawCode(AXError::cannotComplete))},
        {"modal flag of the wrong type", [](auto& t) { t.answer("window", A::modal, std::int64_t{0}); },
         F::remote(rawCode(AXError::illegalArgument))},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        unscript("app", A::focusedWindow);
        row.arrange(*this);
        std::variant<DesktopFrame, F> result = F::malformedResponse();
        try {
            result = events().mainWindowFrame(42);
        } catch (const F& failure) {
            result = failure;
        }
        EXPECT_EQ(result, row.result);
    }
}

TEST_F(AccessibilityWindowEventsTests, FallsBackToTheFocusedWindowOnlyForAMissingMainWindow) {
    answer("app", A::mainWindow, FakeError{AXError::invalidUIElement});
    answer("app", A::focusedWindow, FakeElement{"window"});
    EXPECT_EQ(failureOf([&] { events().sizeCapabilities(42, windowFrame); }), F::noUniqueEligibleWindow());
    EXPECT_THAT(script->log, Not(Contains("element app AXFocusedWindow")));

    script->log.clear();
    answer("app", A::mainWindow, FakeError{AXError::attributeUnsupported});
    events().mainWindowFrame(42);
    EXPECT_THAT(logFrom("element"),
                ElementsAre("element app AXMainWindow", "element app AXFocusedWindow",
                            "boolean window AXModal", "boolean window AXMinimized", "string window AXRole",
                            "string window AXSubrole", "point window AXPosition", "size window AXSize"));
}

TEST_F(AccessibilityWindowEventsTests, ReadsAllFourTraitsBeforeJudgingAndStopsThere) {
    answer("window", A::modal, true);
    EXPECT_EQ(failureOf([&] { events().setFrame(42, windowFrame, targetFrame); }),
              F::noUniqueEligibleWindow());
    EXPECT_THAT(logFrom("boolean window"), ElementsAre("boolean window AXModal", "boolean window AXMinimized",
                                                       "string window AXRole", "string window AXSubrole"));
}

TEST_F(AccessibilityWindowEventsTests, RefusesFramesThatAreNotValidGeometry) {
    struct Row {
        const char* name;
        FakeAnswer position;
        FakeAnswer size;
        F failure;
    };
    const GeometryError nonFinite{GeometryError::Kind::nonFinitePoints};
    const GeometryError nonPositive{GeometryError::Kind::nonPositiveSize};
    const GeometryError unrepresentable{GeometryError::Kind::unrepresentableGeometry};
    using P = platform::CGPoint;
    using S = platform::CGSize;
    const std::vector<Row> rows{
        {"NaN width", P{10, 20}, S{nan, 600}, F::geometry(nonFinite)},
        {"infinite x", P{infinity, 20}, S{800, 600}, F::geometry(nonFinite)},
        {"NaN y with zero height", P{10, nan}, S{800, 0}, F::geometry(nonFinite)},
        {"zero height", P{10, 20}, S{800, 0}, F::geometry(nonPositive)},
        {"negative width", P{10, 20}, S{-800, 600}, F::geometry(nonPositive)},
        {"far edge beyond the doubles", P{1.7e308, 20}, S{1e308, 600}, F::geometry(unrepresentable)},
        {"position not completed", FakeError{AXError::cannotComplete}, S{800, 600},
         F::transport(rawCode(AXError::cannotComplete))},
        {"size without value", P{10, 20}, FakeError{AXError::noValue}, F::noUniqueEligibleWindow()},
        {"size that is a point", P{10, 20}, P{800, 600}, F::remote(rawCode(AXError::illegalArgument))},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        answer("window", A::position, row.position);
        answer("window", A::size, row.size);
        EXPECT_EQ(failureOf([&] { events().mainWindowFrame(42); }), row.failure);
    }
}

TEST_F(AccessibilityWindowEventsTests, StopsAtTheNextStepOnceThePermitIsRevokedOrTheDeadlinePasses) {
    after("boolean app AXFrontmost", [this] { permit->revoke(); });
    EXPECT_EQ(failureOf([&] { events().mainWindowFrame(42); }), F::invalidated());
    EXPECT_EQ(script->log.back(), "boolean app AXFrontmost");

    script->log.clear();
    permit = std::make_shared<WindowOperationPermit>();
    after("string window AXRole", [this] { now = deadline; });
    EXPECT_EQ(failureOf([&] { events().mainWindowFrame(42); }), F::deadlineExceeded());
    EXPECT_EQ(script->log.back(), "string window AXRole");
}

TEST_F(AccessibilityWindowEventsTests, CountsThePresenceOfWindows) {
    struct Row {
        const char* name;
        std::function<void(AccessibilityWindowEventsTests&)> arrange;
        OpeningWindowPresence presence;
    };
    const auto count = [](std::int64_t n) {
        return [n](auto& t) {
            t.answer("app", A::windows, n);
        };
    };
    const std::vector<Row> rows{
        {"no windows", count(0), OpeningWindowPresence::none},
        {"one window", count(1), OpeningWindowPresence::one},
        {"two windows", count(2), OpeningWindowPresence::several},
        {"three windows", count(3), OpeningWindowPresence::several},
        {"a negative count", count(-1), OpeningWindowPresence::unknown},
        {"not frontmost",
         [&](auto& t) {
             count(1)(t);
             t.answer("app", A::frontmost, false);
         },
         OpeningWindowPresence::one},
        {"untrusted",
         [&](auto& t) {
             count(1)(t);
             t.script->trusted = false;
         },
         OpeningWindowPresence::unknown},
        {"count not completed",
         [](auto& t) { t.answer("app", A::windows, FakeError{AXError::cannotComplete}); },
         OpeningWindowPresence::unknown},
        {"count unsupported", [](auto&) {}, OpeningWindowPresence::unknown},
        {"revoked during the count",
         [&](auto& t) {
             count(1)(t);
             t.after("count app AXWindows", [&t] { t.permit->revoke(); });
         },
         OpeningWindowPresence::unknown},
        {"deadline passed during the count",
         [&](auto& t) {
             count(1)(t);
             t.after("count app AXWindows", [&t] { t.now = t.deadline; });
         },
         OpeningWindowPresence::unknown},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        script->trusted = true;
        script->afterCall = nullptr;
        permit = std::make_shared<WindowOperationPermit>();
        now = ContinuousInstant{seconds(100)};
        unscript("app", A::windows);
        row.arrange(*this);
        EXPECT_EQ(events().presence(42), row.presence);
    }
    script->afterCall = nullptr;
    now = ContinuousInstant{seconds(100)};
    EXPECT_EQ(events().presence(0), OpeningWindowPresence::unknown);

    script->log.clear();
    answer("app", A::windows, std::int64_t{2});
    events().presence(42);
    EXPECT_THAT(script->log, ElementsAre("trusted", "timeout 2", "application 42", "count app AXWindows"));
}

TEST_F(AccessibilityWindowEventsTests, TellsAFixedSizeOnlyForAnUnmovedWindowWhoseSizeIsNotSettable) {
    struct Row {
        const char* name;
        std::optional<FakeAnswer> settable;
        DesktopFrame frameRead;
        std::variant<SizeCapabilities, F> result;
        bool asksSettable;
    };
    const std::vector<Row> rows{
        {"not settable", false, windowFrame, SizeCapabilities::fixed(windowFrame.size()), true},
        {"settable", true, windowFrame, SizeCapabilities::unknown(), true},
        {"moved since the caller read it", false, frameOf(10, 21, 800, 600), SizeCapabilities::unknown(),
         false},
        {"resized since the caller read it", false, frameOf(10, 20, 800, 600.5), SizeCapabilities::unknown(),
         false},
        {"settable without value", FakeError{AXError::noValue}, windowFrame, SizeCapabilities::unknown(),
         true},
        {"settable unsupported", std::nullopt, windowFrame, SizeCapabilities::unknown(), true},
        {"settable not completed", FakeError{AXError::cannotComplete}, windowFrame,
         F::transport(rawCode(AXError::cannotComplete)), true},
        {"settable of a gone window", FakeError{AXError::invalidUIElement}, windowFrame,
         F::noUniqueEligibleWindow(), true},
        {"settable with interface disabled", FakeError{AXError::apiDisabled}, windowFrame, F::invalidated(),
         true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        script->log.clear();
        script->settable.clear();
        if (row.settable) {
            script->settable[{"window", A::size}] = *row.settable;
        }
        std::variant<SizeCapabilities, F> result = F::malformedResponse();
        try {
            result = events().sizeCapabilities(42, row.frameRead);
        } catch (const F& failure) {
            result = failure;
        }
        EXPECT_EQ(result, row.result);
        EXPECT_EQ(script->log.back() == "settable window AXSize", row.asksSettable);
    }
}

TEST_F(AccessibilityWindowEventsTests, ChecksThePermitBeforeTheSettableTest) {
    script->settable[{"window", A::size}] = false;
    after("size window AXSize", [this] { permit->revoke(); });
    EXPECT_EQ(failureOf([&] { events().sizeCapabilities(42, windowFrame); }), F::invalidated());
    EXPECT_EQ(script->log.back(), "size window AXSize");
}

TEST_F(AccessibilityWindowEventsTests, WritesSizePositionAndSizeAgain) {
    events().setFrame(42, windowFrame, targetFrame);
    EXPECT_THAT(logFrom("size window"),
                ElementsAre("size window AXSize", "boolean app AXEnhancedUserInterface",
                            "setSize window AXSize 640x480.5", "setPoint window AXPosition 0,25",
                            "setSize window AXSize 640x480.5"));
}

TEST_F(AccessibilityWindowEventsTests, WritesOnlyTheOrigin) {
    events().setOrigin(42, windowFrame, DesktopPoint{Points(-100), Points(0.5)});
    EXPECT_THAT(logFrom("size window"),
                ElementsAre("size window AXSize", "boolean app AXEnhancedUserInterface",
                            "setPoint window AXPosition -100,0.5"));
}

TEST_F(AccessibilityWindowEventsTests, LeavesAWindowThatChangedSinceItWasReadUntouched) {
    const double tiny = 1e-9;
    const std::vector<DesktopFrame> expected{
        frameOf(10 + tiny, 20, 800, 600),
        frameOf(10, 20 - tiny, 800, 600),
        frameOf(10, 20, 800 + 1e-7, 600),
        frameOf(10, 20, 800, 599.9999),
    };
    for (const DesktopFrame& frame : expected) {
        EXPECT_EQ(failureOf([&] { events().setFrame(42, frame, targetFrame); }), F::noUniqueEligibleWindow());
        EXPECT_EQ(failureOf([&] { events().setOrigin(42, frame, targetFrame.origin()); }),
                  F::noUniqueEligibleWindow());
    }
    EXPECT_THAT(script->log, Not(Contains("boolean app AXEnhancedUserInterface")));
    EXPECT_THAT(writes(), IsEmpty());
}

TEST_F(AccessibilityWindowEventsTests, StopsWritingAtTheFirstFailureOrRevocation) {
    after("setSize window AXSize 640x480.5", [this] { permit->revoke(); });
    EXPECT_EQ(failureOf([&] { events().setFrame(42, windowFrame, targetFrame); }), F::invalidated());
    EXPECT_THAT(writes(), ElementsAre("setSize window AXSize 640x480.5"));

    script->log.clear();
    script->afterCall = nullptr;
    permit = std::make_shared<WindowOperationPermit>();
    answer("window", A::size, platform::CGSize{800, 600});
    script->writeErrors[{"window", A::position}] = AXError::cannotComplete;
    EXPECT_EQ(failureOf([&] { events().setFrame(42, windowFrame, targetFrame); }),
              F::transport(rawCode(AXError::cannotComplete)));
    EXPECT_THAT(writes(), ElementsAre("setSize window AXSize 640x480.5", "setPoint window AXPosition 0,25"));
}

TEST_F(AccessibilityWindowEventsTests, SuspendsTheEnhancedInterfaceAroundTheWrites) {
    struct Row {
        const char* name;
        std::optional<FakeAnswer> enhanced;
        bool restores;
        std::optional<AXError> switchOffError;
        std::optional<AXError> positionError;
        std::vector<std::string> writes;
        std::optional<F> failure;
    };
    const std::string off = "setBool app AXEnhancedUserInterface false";
    const std::string on = "setBool app AXEnhancedUserInterface true";
    const std::string size = "setSize window AXSize 640x480.5";
    const std::string origin = "setPoint window AXPosition 0,25";
    const std::vector<Row> rows{
        {"not reported", std::nullopt, true, {}, {}, {size, origin, size}, {}},
        {"off", false, true, {}, {}, {size, origin, size}, {}},
        {"read fails", FakeError{AXError::cannotComplete}, true, {}, {}, {size, origin, size}, {}},
        {"wrong type", std::string("on"), true, {}, {}, {size, origin, size}, {}},
        {"on and restored", true, true, {}, {}, {off, size, origin, size, on}, {}},
        {"on and left off", true, false, {}, {}, {off, size, origin, size}, {}},
        {"cannot be switched off", true, true, AXError::failure, {}, {off, size, origin, size}, {}},
        {"restored after a failed write",
         true,
         true,
         {},
         AXError::invalidUIElement,
         {off, size, origin, on},
         F::noUniqueEligibleWindow()},
        {"left off after a failed write",
         true,
         false,
         {},
         AXError::invalidUIElement,
         {off, size, origin},
         F::noUniqueEligibleWindow()},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        SetUp();
        script->log.clear();
        script->writeErrors.clear();
        unscript("app", A::enhancedUserInterface);
        if (row.enhanced) {
            answer("app", A::enhancedUserInterface, *row.enhanced);
        }
        if (row.switchOffError) {
            script->writeErrors[{"app", A::enhancedUserInterface}] = *row.switchOffError;
        }
        if (row.positionError) {
            script->writeErrors[{"window", A::position}] = *row.positionError;
        }
        restores = row.restores;
        EXPECT_EQ(failureOf([&] { events().setFrame(42, windowFrame, targetFrame); }), row.failure);
        EXPECT_EQ(writes(), row.writes);
    }
}

TEST_F(AccessibilityWindowEventsTests, IgnoresAFailedRestoreAndSkipsThePermitForIt) {
    answer("app", A::enhancedUserInterface, true);
    // The switch-off write succeeds, then every later write of the flag fails.
    after("setSize window AXSize 640x480.5", [this] {
        script->writeErrors[{"app", A::enhancedUserInterface}] = AXError::cannotComplete;
    });
    EXPECT_EQ(failureOf([&] { events().setFrame(42, windowFrame, targetFrame); }), std::nullopt);
    EXPECT_EQ(writes().back(), "setBool app AXEnhancedUserInterface true");

    // A revocation during the writes still lets the interface be switched back on.
    SetUp();
    script->log.clear();
    script->writeErrors.clear();
    answer("app", A::enhancedUserInterface, true);
    after("setPoint window AXPosition 0,25", [this] { permit->revoke(); });
    EXPECT_EQ(failureOf([&] { events().setFrame(42, windowFrame, targetFrame); }), F::invalidated());
    EXPECT_THAT(writes(),
                ElementsAre("setBool app AXEnhancedUserInterface false", "setSize window AXSize 640x480.5",
                            "setPoint window AXPosition 0,25", "setBool app AXEnhancedUserInterface true"));
}

} // namespace
} // namespace tidewright
