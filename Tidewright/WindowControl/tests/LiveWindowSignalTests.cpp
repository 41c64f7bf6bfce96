#include "tidewright/windowcontrol/AccessibilityWindowSignal.hpp"

#include "platform/accessibility/x11/X11AccessibilityObservers.hpp"
#include "platform/concurrency/ManualClock.hpp"
#include "platform/concurrency/ManualExecutor.hpp"
#include "platform/concurrency/ManualSerialQueue.hpp"
#include "platform/testing/X11TestWorld.hpp"

#include <gtest/gtest.h>

namespace tidewright {
namespace {

using platform::testing::X11TestWorld;
using std::chrono::seconds;

TEST(LiveWindowSignalTest, AWaitForAClientAnswersTrueWhenItOpensAWindow) {
    X11TestWorld world;
    auto client = world.startClient();
    platform::ManualExecutor executor;
    platform::ManualClock clock{executor};
    platform::ManualSerialQueue pool; // the registration runs when the test steps it
    auto observers = std::make_shared<platform::X11AccessibilityObservers>(world.display(), executor);
    auto signal = AccessibilityWindowSignal::create(observers, executor, pool, clock);

    std::optional<bool> answer;
    platform::spawn(
        executor, [&]() -> platform::Async<> { answer = co_await signal->wait(client->pid(), seconds(1)); });
    executor.runUntilIdle();
    ASSERT_TRUE(pool.step());
    executor.runUntilIdle();
    client->open("title=new w=300 h=200");
    ASSERT_TRUE(executor.runUntil([&] { return answer.has_value(); }, std::chrono::seconds(5)));
    EXPECT_EQ(answer, true);
    signal->cancel();
    executor.runUntilIdle();
}

TEST(LiveWindowSignalTest, AnObserverReportsOnlyNewWindowsOfItsProcessOnceEach) {
    X11TestWorld world;
    auto client = world.startClient();
    auto other = world.startClient();
    client->open("title=before w=300 h=200");
    platform::ManualExecutor executor;
    platform::X11AccessibilityObservers observers(world.display(), executor);
    int reports = 0;
    std::shared_ptr<platform::AXObserver> observer;
    ASSERT_EQ(observers.createObserver(
                  client->pid(), [&](const platform::AXObserver&, std::string_view) { ++reports; }, observer),
              platform::AXError::success);
    const platform::AXUIElement application = observers.createApplication(client->pid());
    observers.setMessagingTimeout(application, 0.25F);
    ASSERT_EQ(observer->addNotification(application, platform::windowCreatedNotification),
              platform::AXError::success);
    observer->attach();

    // The other client's window and the window from before come first; only ours is reported.
    other->open("title=theirs w=300 h=200");
    client->open("title=ours w=300 h=200");
    ASSERT_TRUE(executor.runUntil([&] { return reports >= 1; }, std::chrono::seconds(5)));
    client->open("title=ours-again w=300 h=200");
    ASSERT_TRUE(executor.runUntil([&] { return reports >= 2; }, std::chrono::seconds(5)));
    EXPECT_EQ(reports, 2);

    observer->detach();
    client->open("title=after w=300 h=200");
    executor.runUntilIdle();
    EXPECT_EQ(reports, 2);
}

} // namespace
} // namespace tidewright
