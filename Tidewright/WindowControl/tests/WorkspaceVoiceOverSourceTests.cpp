// The screen-reader source over a scripted platform status: change reports hop to the main
// executor and are dropped once the source stopped, restarted or went away.

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>

#include "platform/concurrency/ManualExecutor.hpp"
#include "tidewright/windowcontrol/WorkspaceVoiceOverSource.hpp"

namespace tidewright {
namespace {

class ScriptedStatus final : public platform::ScreenReaderStatus {
public:
    bool isVoiceOverEnabled() const override { return enabled; }
    bool isSwitchControlEnabled() const override { return false; }

    std::unique_ptr<platform::ScreenReaderObservation>
    observeVoiceOverEnabled(std::function<void()> handler) override {
        const int id = nextId++;
        handlers[id] = std::move(handler);
        return std::make_unique<Observation>(*this, id);
    }

    // Reports to every live observer, as the platform does on a change.
    void set(bool value) {
        enabled = value;
        const auto current = handlers;
        for (const auto& [id, handler] : current) {
            handler();
        }
    }

    bool enabled = false;
    std::map<int, std::function<void()>> handlers;
    int nextId = 0;

private:
    class Observation final : public platform::ScreenReaderObservation {
    public:
        Observation(ScriptedStatus& status, int id) : status_(status), id_(id) {}
        ~Observation() override { invalidate(); }
        void invalidate() override { status_.handlers.erase(id_); }

    private:
        ScriptedStatus& status_;
        int id_;
    };
};

class WorkspaceVoiceOverSourceTest : public ::testing::Test {
protected:
    WorkspaceVoiceOverSourceTest() {
        source = WorkspaceVoiceOverSource::make(status, executor);
        source->onChange = [this] {
            ++changes;
        };
    }

    ScriptedStatus status;
    platform::ManualExecutor executor;
    std::shared_ptr<WorkspaceVoiceOverSource> source;
    int changes = 0;
};

TEST_F(WorkspaceVoiceOverSourceTest, ReadsThePlatformAndReportsOnALaterTurn) {
    source->start();
    status.set(true);
    EXPECT_TRUE(source->isEnabled());
    EXPECT_EQ(changes, 0); // never inside the platform's report
    executor.runUntilIdle();
    EXPECT_EQ(changes, 1);
}

TEST_F(WorkspaceVoiceOverSourceTest, StartingTwiceObservesOnce) {
    source->start();
    source->start();
    EXPECT_EQ(status.handlers.size(), 1u);
    status.set(true);
    executor.runUntilIdle();
    EXPECT_EQ(changes, 1);
}

TEST_F(WorkspaceVoiceOverSourceTest, NothingIsReportedBeforeStartOrAfterStop) {
    status.set(true);
    executor.runUntilIdle();
    EXPECT_EQ(changes, 0);

    source->start();
    source->stop();
    EXPECT_TRUE(status.handlers.empty());
    status.set(false);
    executor.runUntilIdle();
    EXPECT_EQ(changes, 0);
}

TEST_F(WorkspaceVoiceOverSourceTest, AReportOnItsWayWhenStoppedIsDropped) {
    struct Case {
        const char* name;
        std::function<void()> meanwhile;
    };
    const Case cases[] = {
        {"stopped",
         [&] {
             source->stop();
         }},
        // A report of the earlier observation must not count for the new one.
        {"restarted",
         [&] {
             source->stop(), source->start();
         }},
        {"destroyed",
         [&] {
             source.reset();
         }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        source = WorkspaceVoiceOverSource::make(status, executor);
        source->onChange = [this] {
            ++changes;
        };
        changes = 0;
        source->start();
        status.set(!status.enabled);
        c.meanwhile();
        executor.runUntilIdle();
        EXPECT_EQ(changes, 0);
        source.reset();
    }
}

} // namespace
} // namespace tidewright
