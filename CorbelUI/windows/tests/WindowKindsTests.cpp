#include "corbel/ui/WindowKinds.hpp"

#include "FakeDesktop.hpp"
#include "platform/concurrency/ManualExecutor.hpp"

#include <QApplication>
#include <QLabel>

#include <gtest/gtest.h>

#include <stdexcept>

namespace corbel {
namespace {

using testing::FakePointer;
using testing::FakeScreens;
using testing::screen;

class WindowKindsTest : public ::testing::Test {
protected:
    WindowKindsTest() {
        screens->list = {screen(1, {0, 0, 1920, 1080}, {0, 32, 1920, 1048}),
                         screen(2, {1920, 0, 1280, 1024}, {1920, 0, 1280, 1024})};
        pointer->mouse = {100, 100};
        KitWindows::install({&executor, screens, pointer});
    }
    ~WindowKindsTest() override { KitWindows::reset(); }

    // A builder that counts its calls and names its content.
    ContentBuilder labelled(const QString& text) {
        return [this, text] {
            ++builds;
            return std::make_unique<QLabel>(text);
        };
    }

    QRect frameOf(QWidget& window) const { return window.frameGeometry(); }

    platform::ManualExecutor executor;
    std::shared_ptr<FakeScreens> screens = std::make_shared<FakeScreens>();
    std::shared_ptr<FakePointer> pointer = std::make_shared<FakePointer>();
    int builds = 0;
};

TEST_F(WindowKindsTest, ClosingAKindThatWasNeverShownBuildsNothing) {
    PreferencesWindow::close();
    WelcomeStepsWindow::close();
    WelcomeWindow::close();
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
}

TEST_F(WindowKindsTest, EachKindHasOneWindowAndAShowOfAVisibleWindowOnlyBringsItForward) {
    FixedNativeWindow& preferences =
        PreferencesWindow::show(QStringLiteral("Settings"), false, {}, labelled({}));
    FixedNativeWindow& steps = WelcomeStepsWindow::show(QStringLiteral("Welcome"), {}, labelled({}));
    EXPECT_NE(&preferences, &steps);
    EXPECT_EQ(steps.width(), 560);

    preferences.move(QPoint(40, 50));
    const QRect placed = frameOf(preferences);
    pointer->mouse = {2500, 500}; // would centre on the second screen if it placed the window again
    FixedNativeWindow& again = PreferencesWindow::show(QStringLiteral("Other"), true, {}, labelled({}));
    EXPECT_EQ(&again, &preferences);
    EXPECT_EQ(frameOf(again), placed); // neither moved nor grown to 768
    EXPECT_EQ(again.windowTitle(), QStringLiteral("Settings"));
    EXPECT_EQ(builds, 2);
    EXPECT_EQ(QApplication::topLevelWidgets().size(), 2);
}

TEST_F(WindowKindsTest, ThePreferencesWidthDependsOnPanesAtTheFirstBuild) {
    FixedNativeWindow& window =
        PreferencesWindow::prepare(QStringLiteral("Settings"), true, {}, labelled({}));
    EXPECT_EQ(window.width(), 768);
    EXPECT_FALSE(window.isVisible());
}

TEST_F(WindowKindsTest, TheLatestCloseCallbackRunsWhenTheKindCloses) {
    std::vector<int> closed;
    WelcomeStepsWindow::show(
        QStringLiteral("Welcome"), [&closed] { closed.push_back(1); }, labelled({}));
    WelcomeStepsWindow::prepare(
        QStringLiteral("Welcome"), [&closed] { closed.push_back(2); }, labelled({}));
    WelcomeStepsWindow::close();
    EXPECT_EQ(closed, std::vector<int>{2});
    EXPECT_FALSE(KitWindows::require().welcomeSteps().window()->isVisible());
}

TEST_F(WindowKindsTest, ResetDeletesEveryWindowAndUseWithoutServicesIsRefused) {
    PreferencesWindow::show(QStringLiteral("Settings"), false, {}, labelled({}));
    WelcomeWindow::show(QStringLiteral("Hello"), labelled(QStringLiteral("Hello")));
    KitWindows::reset();
    EXPECT_EQ(KitWindows::current(), nullptr);
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
    EXPECT_THROW(PreferencesWindow::show(QStringLiteral("Settings"), false, {}, labelled({})),
                 std::logic_error);
    EXPECT_NO_THROW(PreferencesWindow::close());
}

TEST_F(WindowKindsTest, TheWelcomeWindowTakesItsContentSizeAndIsBuiltOnce) {
    pointer->mouse = {2500, 500};
    QWidget& window = WelcomeWindow::show(QStringLiteral("Hello"), labelled(QStringLiteral("Hello there")));
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.windowTitle(), QStringLiteral("Hello"));
    EXPECT_EQ(window.size(), window.sizeHint());
    // Centred on the second screen's visible frame.
    EXPECT_LE(std::abs(window.frameGeometry().center().x() - 2560), 1);

    WelcomeWindow::close();
    EXPECT_FALSE(window.isVisible());
    QWidget& again = WelcomeWindow::show(QStringLiteral("Other"), labelled(QStringLiteral("Other")));
    EXPECT_EQ(&again, &window);
    EXPECT_EQ(builds, 1);
}

} // namespace
} // namespace corbel
