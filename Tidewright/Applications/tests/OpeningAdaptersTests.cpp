#include "tidewright/applications/OpeningAdapters.hpp"
#include "tidewright/applications/OpeningMetadataReader.hpp"

#include "platform/concurrency/ManualClock.hpp"
#include "platform/concurrency/ManualExecutor.hpp"
#include "platform/concurrency/ManualSerialQueue.hpp"
#include "tidewright/windowcontrol/WindowOperationFailure.hpp"

#include <cmath>
#include <limits>
#include <string>

#include <gtest/gtest.h>

namespace tidewright {
namespace {

using platform::WindowInfo;
using platform::WindowInfoNumber;
using platform::WindowInfoValue;

DesktopFrame frameOf(double x, double y, double width, double height) {
    return DesktopFrame(DesktopPoint{Points(x), Points(y)}, WindowSize(Points(width), Points(height)));
}

WindowInfoValue number(double value) {
    return WindowInfoValue{WindowInfoNumber{value}};
}

WindowInfoValue bounds(double x, double y, double width, double height) {
    return WindowInfoValue{std::make_shared<const WindowInfo>(WindowInfo{
        {"X", number(x)}, {"Y", number(y)}, {"Width", number(width)}, {"Height", number(height)}})};
}

WindowInfo window(double id, double pid, double layer = 0) {
    return WindowInfo{{"kCGWindowNumber", number(id)},
                      {"kCGWindowOwnerPID", number(pid)},
                      {"kCGWindowLayer", number(layer)},
                      {"kCGWindowBounds", bounds(10, 20, 300, 200)},
                      {"kCGWindowIsOnscreen", WindowInfoValue{true}}};
}

WindowInfo with(WindowInfo info, const std::string& key, std::optional<WindowInfoValue> value) {
    if (value)
        info[key] = *value;
    else
        info.erase(key);
    return info;
}

TEST(OpeningInventoryParseTest, ListsRequestedWindowsInServerOrder) {
    const platform::WindowInfoList list{window(7, 42), window(3, 99), window(5, 42, 25)};
    const OpeningInventoryResult result = parseOpeningInventory(list, {42});
    ASSERT_TRUE(result.isAvailable());
    const std::vector<OpeningInventoryEntry> expected{
        {7, 42, 0, frameOf(10, 20, 300, 200), true},
        {5, 42, 25, frameOf(10, 20, 300, 200), true},
    };
    EXPECT_EQ(result.entries(), expected);
    EXPECT_EQ(result.requestedPIDs(), std::set<std::int32_t>{42});
    EXPECT_EQ(parseOpeningInventory(platform::WindowInfoList{}, {42}),
              OpeningInventoryResult::available({}, {42}));
}

TEST(OpeningInventoryParseTest, AnyMalformedEntryMakesTheWholeListUnavailable) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* name;
        WindowInfo info;
    };
    const Case cases[] = {
        // Owners are checked on every window, requested or not.
        {"unrequested zero owner", window(9, 0)},
        {"unrequested negative owner", window(9, -5)},
        {"owner missing", with(window(9, 99), "kCGWindowOwnerPID", std::nullopt)},
        {"owner a boolean", with(window(9, 99), "kCGWindowOwnerPID", WindowInfoValue{true})},
        {"owner not integral", window(9, 42.5)},
        {"owner beyond 32 bits", window(9, 2147483648.0)},
        {"number zero", window(0, 42)},
        {"number negative", window(-1, 42)},
        {"number beyond 32 bits", window(4294967296.0, 42)},
        {"number missing", with(window(9, 42), "kCGWindowNumber", std::nullopt)},
        {"number a text", with(window(9, 42), "kCGWindowNumber", WindowInfoValue{std::string("9")})},
        {"layer not integral", window(9, 42, 0.5)},
        {"layer NaN", window(9, 42, nan)},
        {"layer beyond 32 bits", window(9, 42, -2147483649.0)},
        {"layer missing", with(window(9, 42), "kCGWindowLayer", std::nullopt)},
        {"layer 0 without bounds", with(window(9, 42), "kCGWindowBounds", std::nullopt)},
        {"layer 0 with bounds not a dictionary", with(window(9, 42), "kCGWindowBounds", number(3))},
        {"layer 0 with an empty size", with(window(9, 42), "kCGWindowBounds", bounds(0, 0, 0, 10))},
        {"layer 0 with infinite bounds",
         with(window(9, 42), "kCGWindowBounds", bounds(0, 0, std::numeric_limits<double>::infinity(), 10))},
        {"layer 0 with an on-screen number", with(window(9, 42), "kCGWindowIsOnscreen", number(1))},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(parseOpeningInventory(platform::WindowInfoList{window(1, 42), c.info}, {42}),
                  OpeningInventoryResult::unavailable());
    }
    EXPECT_EQ(parseOpeningInventory(platform::WindowInfoList{window(4, 42), window(4, 42)}, {42}),
              OpeningInventoryResult::unavailable());
    EXPECT_EQ(parseOpeningInventory(std::nullopt, {42}), OpeningInventoryResult::unavailable());
}

TEST(OpeningInventoryParseTest, AWindowOffTheNormalLayerMayLackBoundsAndAnOnScreenFlag) {
    WindowInfo odd = with(window(9, 42, 25), "kCGWindowBounds", std::nullopt);
    odd["kCGWindowIsOnscreen"] = WindowInfoValue{std::string("yes")};
    const WindowInfo noFlag = with(window(8, 42), "kCGWindowIsOnscreen", std::nullopt);
    const OpeningInventoryResult result = parseOpeningInventory(platform::WindowInfoList{odd}, {42});
    ASSERT_TRUE(result.isAvailable());
    EXPECT_EQ(result.entries(), (std::vector<OpeningInventoryEntry>{{9, 42, 25, std::nullopt, false}}));

    // A missing flag on the normal layer reads as off screen.
    const OpeningInventoryResult offscreen = parseOpeningInventory(platform::WindowInfoList{noFlag}, {42});
    ASSERT_TRUE(offscreen.isAvailable());
    EXPECT_FALSE(offscreen.entries().at(0).isOnscreen);
}

TEST(OpeningInventoryParseTest, ObservedWindowsCarryTheProcessIdentityOnlyForRequestedProcesses) {
    const ProcessID process{BundleID("org.example.editor"), 42, 3};
    const ProcessID other{BundleID("org.example.viewer"), 77, 1};
    const OpeningInventoryResult result =
        parseOpeningInventory(platform::WindowInfoList{window(7, 42), window(8, 99)}, {42, 77});
    EXPECT_EQ(
        result.observedWindows(process),
        (std::vector<OpeningObservedWindow>{{WindowID{process, 7}, 0, frameOf(10, 20, 300, 200), true}}));
    EXPECT_EQ(result.observedWindows(other), std::vector<OpeningObservedWindow>{});
    EXPECT_EQ(result.observedWindows(ProcessID{BundleID("org.example.other"), 99, 1}), std::nullopt);
    EXPECT_EQ(OpeningInventoryResult::unavailable().observedWindows(process), std::nullopt);
    EXPECT_EQ(OpeningInventoryResult::available({}, {}).observedWindows(process), std::nullopt);
}

class CountingWindowServer final : public platform::WindowServer {
public:
    std::optional<platform::WindowInfoList> copyWindowInfo() override {
        ++copies;
        return platform::WindowInfoList{window(7, 42)};
    }
    int copies = 0;
};

TEST(CGOpeningInventoryTest, AnEmptyRequestNeverAsksTheServerAndAnotherReadsOnThePool) {
    platform::ManualExecutor executor;
    platform::ManualSerialQueue pool;
    auto server = std::make_shared<CountingWindowServer>();
    CGOpeningInventory inventory(server, pool);
    std::optional<OpeningInventoryResult> empty;
    std::optional<OpeningInventoryResult> full;
    const std::set<std::int32_t> none;
    const std::set<std::int32_t> one{42};
    platform::spawn(executor, [&]() -> platform::Async<> {
        empty = co_await inventory.inventory(none);
        full = co_await inventory.inventory(one);
    });
    executor.runUntilIdle();
    EXPECT_EQ(empty, OpeningInventoryResult::available({}, {}));
    EXPECT_EQ(server->copies, 0);
    ASSERT_TRUE(pool.step());
    executor.runUntilIdle();
    EXPECT_EQ(server->copies, 1);
    ASSERT_TRUE(full && full->isAvailable());
    EXPECT_EQ(full->entries().size(), 1U);
}

// Answers at once with the scripted values, after running `during` (what happens meanwhile).
class FakeTransport final : public MainWindowTransporting, public WindowPresenceTransporting {
public:
    platform::Async<OpeningWindowPresence>
    windowPresence(ProcessID, ContinuousInstant, std::shared_ptr<WindowOperationPermit> permit) override {
        ++calls;
        if (during)
            during();
        co_return permit->isActive() ? presence : OpeningWindowPresence::unknown;
    }
    platform::Async<DesktopFrame> mainWindowFrame(ProcessID, ContinuousInstant,
                                                  std::shared_ptr<WindowOperationPermit>) override {
        ++calls;
        if (during)
            during();
        if (fail)
            throw WindowOperationFailure::transport(-25204);
        co_return frame;
    }
    platform::Async<SizeCapabilities> sizeCapabilities(ProcessID, DesktopFrame, ContinuousInstant,
                                                       std::shared_ptr<WindowOperationPermit>) override {
        co_return SizeCapabilities::unknown();
    }
    platform::Async<> setFrame(ProcessID, DesktopFrame, DesktopFrame, ContinuousInstant,
                               std::shared_ptr<WindowOperationPermit>) override {
        co_return;
    }
    platform::Async<> setOrigin(ProcessID, DesktopFrame, DesktopPoint, ContinuousInstant,
                                std::shared_ptr<WindowOperationPermit>) override {
        co_return;
    }

    int calls = 0;
    bool fail = false;
    OpeningWindowPresence presence = OpeningWindowPresence::one;
    DesktopFrame frame = frameOf(0, 0, 800, 600);
    std::function<void()> during;
};

class OpeningMetadataReaderTest : public ::testing::Test {
protected:
    OpeningMetadataReaderTest() {
        facts.operationAllowed = true;
        facts.frontmost = process;
        facts.rules.emplace(process.app, OpeningAction::maximize);
    }

    OpeningWindowPresence presence() {
        std::optional<OpeningWindowPresence> answer;
        platform::spawn(executor, [&]() -> platform::Async<> {
            answer = co_await reader->windowPresence(process, clock.now() + std::chrono::seconds(1));
        });
        executor.runUntilIdle();
        return answer.value();
    }

    std::optional<DesktopFrame> mainFrame() {
        std::optional<std::optional<DesktopFrame>> answer;
        platform::spawn(executor, [&]() -> platform::Async<> {
            answer = co_await reader->mainWindowFrame(process, clock.now() + std::chrono::seconds(1));
        });
        executor.runUntilIdle();
        return answer.value();
    }

    const ProcessID process{BundleID("org.example.editor"), 42, 3};
    platform::ManualExecutor executor;
    platform::ManualClock clock{executor};
    OpeningObservationFacts facts;
    std::vector<ProcessID> known{process};
    std::shared_ptr<FakeTransport> transport = std::make_shared<FakeTransport>();
    std::shared_ptr<OpeningMetadataReader> reader = OpeningMetadataReader::create(
        transport, transport, [this] { return facts; }, [this] { return known; }, clock);
};

TEST_F(OpeningMetadataReaderTest, AnswersWhatTheTransportReadsWhileTheFactsAllow) {
    EXPECT_EQ(presence(), OpeningWindowPresence::one);
    EXPECT_EQ(mainFrame(), frameOf(0, 0, 800, 600));
    EXPECT_EQ(reader->permitsInFlight(), 0U);
}

TEST_F(OpeningMetadataReaderTest, RefusedFactsAnswerNothingWithoutCallingTheTransport) {
    struct Case {
        const char* name;
        std::function<void(OpeningObservationFacts&, std::vector<ProcessID>&)> change;
        bool presenceRefused;
    };
    const ProcessID process{BundleID("org.example.editor"), 42, 3};
    const Case cases[] = {
        {"operation not allowed", [](auto& f, auto&) { f.operationAllowed = false; }, true},
        {"no rule", [](auto& f, auto&) { f.rules.clear(); }, true},
        {"not listed", [](auto&, auto& k) { k.clear(); }, true},
        {"another incarnation listed",
         [&](auto&, auto& k) {
             k = {ProcessID{process.app, process.pid, process.incarnation + 1}};
         },
         true},
        {"not frontmost", [](auto& f, auto&) { f.frontmost.reset(); }, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        OpeningObservationFacts saved = facts;
        std::vector<ProcessID> savedKnown = known;
        c.change(facts, known);
        transport->calls = 0;
        EXPECT_EQ(mainFrame(), std::nullopt);
        EXPECT_EQ(transport->calls, 0);
        if (c.presenceRefused) {
            EXPECT_EQ(presence(), OpeningWindowPresence::unknown);
            EXPECT_EQ(transport->calls, 0);
        }
        facts = saved;
        known = savedKnown;
    }
}

TEST_F(OpeningMetadataReaderTest, WhatChangesDuringAReadMakesItAnswerNothing) {
    struct Case {
        const char* name;
        std::function<void()> during;
    };
    const Case cases[] = {
        {"facts changed",
         [this] {
             ++facts.generation;
         }},
        {"frontmost changed",
         [this] {
             facts.frontmost.reset();
         }},
        {"permits revoked",
         [this] {
             reader->revokeAllPermits();
         }},
        {"deadline passed",
         [this] {
             clock.advance(std::chrono::seconds(1));
         }},
        {"process gone",
         [this] {
             known.clear();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const OpeningObservationFacts saved = facts;
        const std::vector<ProcessID> savedKnown = known;
        transport->during = c.during;
        EXPECT_EQ(presence(), OpeningWindowPresence::unknown);
        EXPECT_EQ(reader->permitsInFlight(), 0U);
        facts = saved;
        known = savedKnown;
        EXPECT_EQ(mainFrame(), std::nullopt);
        EXPECT_EQ(reader->permitsInFlight(), 0U);
        facts = saved;
        known = savedKnown;
    }
}

TEST_F(OpeningMetadataReaderTest, ATransportFailureAnswersNoFrame) {
    transport->fail = true;
    EXPECT_EQ(mainFrame(), std::nullopt);
    EXPECT_EQ(reader->permitsInFlight(), 0U);
}

TEST_F(OpeningMetadataReaderTest, CancellingTheReadingTaskRevokesItsPermit) {
    std::optional<OpeningWindowPresence> answer;
    std::optional<platform::Task<>> task;
    transport->during = [&] {
        task->cancel();
    };
    task = platform::spawn(executor, [&]() -> platform::Async<> {
        answer = co_await reader->windowPresence(process, clock.now() + std::chrono::seconds(1));
    });
    executor.runUntilIdle();
    EXPECT_EQ(answer, OpeningWindowPresence::unknown);
    EXPECT_EQ(reader->permitsInFlight(), 0U);
}

} // namespace
} // namespace tidewright
