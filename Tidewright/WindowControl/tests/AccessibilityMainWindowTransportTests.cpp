#include "tidewright/windowcontrol/AccessibilityMainWindowTransport.hpp"
#include "tidewright/windowcontrol/LiveAccessibilityCalls.hpp"

#include "platform/accessibility/AccessibilityNames.hpp"
#include "platform/accessibility/ScriptedAccessibilityBackend.hpp"
#include "platform/concurrency/ManualExecutor.hpp"
#include "platform/concurrency/ManualSerialQueue.hpp"

#include "FakeAccessibilityCalls.hpp"
#include "ScriptedWindows.hpp"
#include "WindowControlTestSupport.hpp"

#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace tidewright {
namespace {

namespace ax = platform::ax;
using platform::AXError;
using std::chrono::milliseconds;
using std::chrono::seconds;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using F = WindowOperationFailure;
using Log = std::vector<std::string>;

template <class A>
struct AsyncValue;
template <class T>
struct AsyncValue<platform::Async<T>> {
    using type = T;
};

std::string describe(const DesktopFrame& frame) {
    std::ostringstream text;
    text << "frame(" << frame.minX() << ", " << frame.minY() << ", " << frame.size().width().value() << ", "
         << frame.size().height().value() << ")";
    return text.str();
}

std::string describe(const SizeCapabilities& capabilities) {
    switch (capabilities.kind()) {
    case SizeCapabilities::Kind::resizable:
        return "resizable";
    case SizeCapabilities::Kind::fixed:
        return "fixed " +
               describe(DesktopFrame(DesktopPoint{Points(0), Points(0)}, *capabilities.fixedSize()));
    case SizeCapabilities::Kind::unknown:
        return "unknown";
    }
    return "?";
}

std::string describe(OpeningWindowPresence presence) {
    switch (presence) {
    case OpeningWindowPresence::none:
        return "none";
    case OpeningWindowPresence::one:
        return "one";
    case OpeningWindowPresence::several:
        return "several";
    case OpeningWindowPresence::unknown:
        return "unknown";
    }
    return "?";
}

const DesktopFrame windowFrame = frameOf(10, 20, 800, 600);
const DesktopFrame targetFrame = frameOf(0, 0, 960, 1080);

// The transport over the live call layer on a scripted platform, with a queue, an executor and an
// instant that the test moves by hand. Table rows build one each.
class TransportWorld {
public:
    using Transport = AccessibilityMainWindowTransport<LiveAccessibilityCalls>;

    TransportWorld() {
        backend->setApplicationName(42, "app");
        backend->setValue("app", ax::frontmostAttribute, true);
        backend->setValue("app", ax::mainWindowAttribute, backend->element("window"));
        backend->setValue("app", ax::enhancedUserInterfaceAttribute, true);
        scriptStandardWindow(*backend, "window", windowFrame);
        backend->setSettable("window", ax::sizeAttribute, true);
        backend->setApplicationName(43, "other");
        backend->setValue("other", ax::windowsAttribute,
                          platform::AXElementArray{backend->element("w1"), backend->element("w2")});
    }

    // Spawns operation (a callable returning Async<T>) as a task that logs its value or failure under
    // name.
    template <class Operation>
    platform::Task<> record(std::string name, Operation operation) {
        return platform::spawn(executor, [this, name, operation]() -> platform::Async<> {
            using T = typename AsyncValue<std::invoke_result_t<const Operation&>>::type;
            try {
                if constexpr (std::is_void_v<T>) {
                    co_await operation();
                    results.push_back(name + " done");
                } else {
                    results.push_back(name + " " + describe(co_await operation()));
                }
            } catch (const WindowOperationFailure& failure) {
                results.push_back(name + " failed " + caseName(failure.kind()));
            }
        });
    }

    platform::Task<> readFrame(std::string name = "frame") {
        return record(std::move(name),
                      [this] { return transport.mainWindowFrame(process, deadline, permit); });
    }
    platform::Task<> readPresence(ProcessID of) {
        return record("presence", [this, of] { return transport.windowPresence(of, deadline, permit); });
    }

    // Runs the executor and the queue until both are idle.
    void settle() {
        do {
            executor.runUntilIdle();
        } while (queue->step());
    }

    // The platform writes, in order.
    Log writes() const {
        Log lines;
        for (const std::string& call : backend->calls()) {
            if (call.rfind("set ", 0) == 0) {
                lines.push_back(call);
            }
        }
        return lines;
    }

    platform::ManualExecutor executor;
    std::shared_ptr<platform::ManualSerialQueue> queue = std::make_shared<platform::ManualSerialQueue>();
    std::shared_ptr<platform::ScriptedAccessibilityBackend> backend =
        std::make_shared<platform::ScriptedAccessibilityBackend>();
    ContinuousInstant now{seconds(100)};
    bool assistiveTechnology = false;
    int probes = 0;
    Transport transport{LiveAccessibilityCalls(backend),
                        [this] {
                            ++probes;
                            return assistiveTechnology;
                        },
                        queue,
                        [this] {
                            return now;
                        }};
    ProcessID process{BundleID("org.example.Editor"), 42, 7};
    ProcessID other{BundleID("org.example.Viewer"), 43, 1};
    ContinuousInstant deadline = now + milliseconds(1500);
    std::shared_ptr<WindowOperationPermit> permit = std::make_shared<WindowOperationPermit>();
    Log results;
};

class AccessibilityMainWindowTransportTests : public ::testing::Test, public TransportWorld {};

TEST_F(AccessibilityMainWindowTransportTests, ReadsAndWritesTheMainWindowOnlyOnTheQueue) {
    readFrame("before");
    record("capabilities",
           [this] { return transport.sizeCapabilities(process, windowFrame, deadline, permit); });
    record("setFrame",
           [this] { return transport.setFrame(process, windowFrame, targetFrame, deadline, permit); });
    readFrame("after frame");
    record("setOrigin", [this] {
        return transport.setOrigin(process, targetFrame, DesktopPoint{Points(5), Points(6)}, deadline,
                                   permit);
    });
    readFrame("after origin");
    executor.runUntilIdle();
    // Every caller waits; nothing touched the platform on the main thread.
    EXPECT_EQ(queue->pendingJobs(), 6u);
    EXPECT_THAT(backend->calls(), IsEmpty());
    EXPECT_THAT(results, IsEmpty());

    settle();
    EXPECT_THAT(results, ElementsAre("before frame(10, 20, 800, 600)", "capabilities unknown",
                                     "setFrame done", "after frame frame(0, 0, 960, 1080)", "setOrigin done",
                                     "after origin frame(5, 6, 960, 1080)"));
    EXPECT_EQ(backend->messagingTimeout("systemWide"), 1.5F);
}

TEST_F(AccessibilityMainWindowTransportTests,
       RunsOperationsOneAtATimeInOrderAndResumesCallersOnlyOnTheExecutor) {
    readFrame();
    readPresence(other);
    executor.runUntilIdle();
    ASSERT_EQ(queue->pendingJobs(), 2u);

    ASSERT_TRUE(queue->step());
    const Log firstCalls = backend->calls();
    EXPECT_THAT(firstCalls, ::testing::Contains("application 42"));
    EXPECT_THAT(firstCalls, ::testing::Not(::testing::Contains("application 43")));
    EXPECT_THAT(results, IsEmpty()); // the queue resumes nobody inline
    EXPECT_EQ(executor.pendingJobs(), 1u);

    ASSERT_TRUE(queue->step());
    EXPECT_EQ(backend->calls().back(), "count other AXWindows");
    EXPECT_THAT(results, IsEmpty());
    executor.runUntilIdle();
    EXPECT_THAT(results, ElementsAre("frame frame(10, 20, 800, 600)", "presence several"));
}

TEST_F(AccessibilityMainWindowTransportTests, PassesEveryFailureOfTheWorkThroughUnchanged) {
    struct Row {
        const char* name;
        std::function<void(TransportWorld&)> arrange;
        const char* result;
        bool touchesThePlatform;
    };
    const std::vector<Row> rows{
        {"window gone",
         [](auto& t) { t.backend->setError("window", ax::positionAttribute, AXError::invalidUIElement); },
         "frame failed noUniqueEligibleWindow", true},
        {"no answer",
         [](auto& t) { t.backend->setError("window", ax::positionAttribute, AXError::cannotComplete); },
         "frame failed transport", true},
        {"not trusted", [](auto& t) { t.backend->setTrusted(false); }, "frame failed invalidated", true},
        // An operation whose request ended while it waited for its turn does no platform work.
        {"revoked while waiting", [](auto& t) { t.permit->revoke(); }, "frame failed invalidated", false},
        {"deadline passed while waiting", [](auto& t) { t.now = t.deadline; },
         "frame failed deadlineExceeded", false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TransportWorld world;
        world.readFrame();
        world.executor.runUntilIdle();
        row.arrange(world);
        world.settle();
        EXPECT_THAT(world.results, ElementsAre(row.result));
        EXPECT_EQ(!world.backend->calls().empty(), row.touchesThePlatform);
    }
}

TEST_F(AccessibilityMainWindowTransportTests, TheCodeOfAFailureReachesTheCaller) {
    backend->setError("window", ax::positionAttribute, AXError::cannotComplete);
    std::optional<F> failure;
    platform::spawn(executor, [&]() -> platform::Async<> {
        try {
            co_await transport.mainWindowFrame(process, deadline, permit);
        } catch (const F& caught) {
            failure = caught;
        }
    });
    settle();
    EXPECT_EQ(failure, F::transport(platform::rawCode(AXError::cannotComplete)));
}

TEST_F(AccessibilityMainWindowTransportTests, AMainWindowReadDoesNotRevokeThePermitWhenItsTaskIsCancelled) {
    // The window operation service revokes the permit itself, around its whole request.
    platform::Task<> read = readFrame();
    executor.runUntilIdle();
    read.cancel();
    settle();
    EXPECT_TRUE(permit->isActive());
    EXPECT_THAT(results, ElementsAre("frame frame(10, 20, 800, 600)"));
}

TEST_F(AccessibilityMainWindowTransportTests, AWriteRestoresTheEnhancedInterfaceOnlyWhereThePolicySaysSo) {
    struct Row {
        const char* app;
        bool assistiveTechnology;
        bool restored;
    };
    const std::vector<Row> rows{
        {"org.example.Editor", false, true},      {"com.google.Chrome", false, false},
        {"com.google.Chrome", true, true},        {"com.google.Chrome.canary", false, false},
        {"com.google.ChromeCanary", false, true},
    };
    for (const bool origin : {false, true}) {
        for (const Row& row : rows) {
            SCOPED_TRACE(std::string(row.app) + (origin ? " setOrigin" : " setFrame") +
                         (row.assistiveTechnology ? " with assistive technology" : ""));
            TransportWorld t;
            t.assistiveTechnology = row.assistiveTechnology;
            t.process.app = BundleID(row.app);
            if (origin) {
                t.record("write", [&t] {
                    return t.transport.setOrigin(t.process, windowFrame, DesktopPoint{Points(1), Points(2)},
                                                 t.deadline, t.permit);
                });
            } else {
                t.record("write", [&t] {
                    return t.transport.setFrame(t.process, windowFrame, targetFrame, t.deadline, t.permit);
                });
            }
            t.settle();
            EXPECT_THAT(t.results, ElementsAre("write done"));
            EXPECT_EQ(t.writes().front(), "set app AXEnhancedUserInterface false");
            EXPECT_EQ(t.writes().back() == "set app AXEnhancedUserInterface true", row.restored);
        }
    }
}

TEST_F(AccessibilityMainWindowTransportTests, AsksForAssistiveTechnologyOncePerWriteBeforeTheWorkIsQueued) {
    process.app = BundleID("com.google.Chrome");
    readFrame();
    record("capabilities",
           [this] { return transport.sizeCapabilities(process, windowFrame, deadline, permit); });
    readPresence(process);
    executor.runUntilIdle();
    EXPECT_EQ(probes, 0); // reads never ask

    record("write",
           [this] { return transport.setFrame(process, windowFrame, targetFrame, deadline, permit); });
    executor.runUntilIdle();
    EXPECT_EQ(probes, 1);
    // What counts is the answer when the write was queued, not when it runs.
    assistiveTechnology = true;
    settle();
    EXPECT_EQ(probes, 1);
    EXPECT_EQ(writes().back(), "set window AXSize size(960, 1080)");
}

TEST_F(AccessibilityMainWindowTransportTests, APresenceReadCountsTheWindowsAndAnswersUnknownOnAnyFailure) {
    struct Row {
        const char* name;
        std::function<void(TransportWorld&)> arrange;
        const char* answer;
    };
    const std::vector<Row> rows{
        {"two windows", [](auto&) {}, "several"},
        {"one window", [](auto& t) { t.backend->setCount("other", ax::windowsAttribute, 1); }, "one"},
        {"no window", [](auto& t) { t.backend->setCount("other", ax::windowsAttribute, 0); }, "none"},
        {"a negative count", [](auto& t) { t.backend->setCount("other", ax::windowsAttribute, -1); },
         "unknown"},
        {"a failed count",
         [](auto& t) { t.backend->setError("other", ax::windowsAttribute, AXError::cannotComplete); },
         "unknown"},
        {"not trusted", [](auto& t) { t.backend->setTrusted(false); }, "unknown"},
        {"no process number", [](auto& t) { t.other.pid = 0; }, "unknown"},
        {"no permit", [](auto& t) { t.permit = nullptr; }, "unknown"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        TransportWorld world;
        row.arrange(world);
        world.readPresence(world.other);
        world.settle();
        EXPECT_THAT(world.results, ElementsAre(std::string("presence ") + row.answer));
    }
}

TEST_F(AccessibilityMainWindowTransportTests, CancellingAPresenceReadRevokesThePermitAndAnswersUnknown) {
    for (const bool afterTheWork : {false, true}) {
        SCOPED_TRACE(afterTheWork ? "cancelled after the work, before the caller resumed"
                                  : "cancelled while waiting");
        permit = std::make_shared<WindowOperationPermit>();
        results.clear();
        backend->clearCalls();
        platform::Task<> read = readPresence(other);
        executor.runUntilIdle();
        if (afterTheWork) {
            ASSERT_TRUE(queue->step());
            EXPECT_EQ(backend->calls().back(), "count other AXWindows");
        }
        read.cancel();
        EXPECT_FALSE(permit->isActive());
        settle();
        EXPECT_THAT(results, ElementsAre("presence unknown"));
        if (!afterTheWork) {
            EXPECT_THAT(backend->calls(), IsEmpty());
        }
    }
}

TEST_F(AccessibilityMainWindowTransportTests, APresenceAnsweredOnlyAfterItsDeadlineIsUnknown) {
    struct Row {
        milliseconds lateBy;
        const char* answer;
    };
    for (const Row& row : {Row{milliseconds(-1), "several"}, Row{milliseconds(0), "unknown"},
                           Row{milliseconds(1), "unknown"}}) {
        SCOPED_TRACE(row.lateBy.count());
        now = deadline - milliseconds(1500);
        results.clear();
        readPresence(other);
        executor.runUntilIdle();
        ASSERT_TRUE(queue->step()); // the work itself is well in time
        now = deadline + row.lateBy;
        executor.runUntilIdle();
        EXPECT_THAT(results, ElementsAre(std::string("presence ") + row.answer));
        EXPECT_TRUE(permit->isActive());
    }
}

TEST_F(AccessibilityMainWindowTransportTests, APresenceReadLetsGoOfThePermitOnceItHasAnswered) {
    // The opening adapters read on with the same permit, so a later cancellation is theirs to handle.
    std::optional<platform::Continuation<>> held;
    platform::Task<> reader = platform::spawn(executor, [&]() -> platform::Async<> {
        results.push_back(describe(co_await transport.windowPresence(other, deadline, permit)));
        co_await platform::withContinuation<>(
            "held", [&](platform::Continuation<> continuation) { held = continuation; });
    });
    settle();
    ASSERT_THAT(results, ElementsAre("several"));
    reader.cancel();
    EXPECT_TRUE(permit->isActive());
    held->resume();
    executor.runUntilIdle();
}

TEST(AccessibilityMainWindowTransportFaultTests,
     AnUnexpectedErrorOfTheWorkReachesTheCallerAsAMalformedResponse) {
    platform::ManualExecutor executor;
    auto queue = std::make_shared<platform::ManualSerialQueue>();
    auto script = std::make_shared<FakeScript>();
    script->applications[42] = "app";
    bool broken = true;
    script->afterCall = [&](const std::string& call) {
        if (broken && call == "application 42") {
            throw std::runtime_error("out of handles");
        }
    };
    script->answers[{"app", AccessibilityAttribute::windows}] = std::int64_t{1};
    const ContinuousInstant now{seconds(100)};
    AccessibilityMainWindowTransport<FakeAccessibilityCalls> transport(
        FakeAccessibilityCalls(script), [] { return false; }, queue, [now] { return now; });
    const ProcessID process{BundleID("org.example.Editor"), 42, 1};
    auto permit = std::make_shared<WindowOperationPermit>();

    Log results;
    platform::spawn(executor, [&]() -> platform::Async<> {
        try {
            co_await transport.mainWindowFrame(process, now + seconds(1), permit);
        } catch (const F& failure) {
            results.push_back(caseName(failure.kind()));
        }
        results.push_back(describe(co_await transport.windowPresence(process, now + seconds(1), permit)));
        broken = false;
        results.push_back(describe(co_await transport.windowPresence(process, now + seconds(1), permit)));
    });
    do {
        executor.runUntilIdle();
    } while (queue->step());
    EXPECT_THAT(results, ElementsAre("malformedResponse", "unknown", "one"));
}

} // namespace
} // namespace tidewright
