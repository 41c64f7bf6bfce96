// The welcome layouts in the application's windows: the step-by-step welcome sizes its fixed
// window through its report, and the single-screen one gives its window its size.

#include <QRectF>

#include "FakeDesktop.hpp"
#include "corbel/ui/LoginItem.hpp"
#include "corbel/ui/PermissionRow.hpp"
#include "corbel/ui/TextLabel.hpp"
#include "corbel/ui/WelcomeLayout.hpp"
#include "corbel/ui/WelcomeStepsLayout.hpp"
#include "corbel/ui/WindowKinds.hpp"
#include "platform/concurrency/ManualExecutor.hpp"

#include <QCoreApplication>
#include <QScrollArea>

#include <gtest/gtest.h>

#include <cmath>

namespace corbel {
namespace {

using namespace Qt::Literals::StringLiterals;
using testing::FakePointer;
using testing::FakeScreens;
using testing::screen;

CorbelBrand tidewright() {
    return CorbelBrand(u"Tidewright"_s, QColor(36, 92, 242), CorbelBrand::Connection::offline,
                       QColor(107, 152, 255), std::nullopt);
}

WelcomeStepsLayout::Props stepProps() {
    return {.title = u"Welcome to Tidewright"_s,
            .lead = u"Move and resize windows from the keyboard."_s,
            .stepTitle = u"Allow window control"_s,
            .privacy = u"Your windows stay on this computer"_s,
            .privacySymbol = u"hand.raised"_s,
            .primary = WelcomeStepsButton(u"Continue"_s, false, nullptr)};
}

int roundedUpToFour(double height) {
    return static_cast<int>(std::ceil(height / 4) * 4);
}

class WelcomeWindowsTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoginItem::reset();
        screens->list = {screen(1, {0, 0, 1920, 1080}, {0, 32, 1920, 1048})};
        pointer->mouse = {100, 100};
        KitWindows::install({&executor, screens, pointer});
    }
    void TearDown() override {
        KitWindows::reset();
        LoginItem::reset();
    }

    ContentBuilder steps() {
        return [this] {
            auto layout = std::make_unique<WelcomeStepsLayout>(
                stepProps(), tidewright(), std::vector<QWidget*>{new TextLabel({.text = u"Grant it."_s})});
            built = layout.get();
            return layout;
        };
    }

    platform::ManualExecutor executor;
    std::shared_ptr<FakeScreens> screens = std::make_shared<FakeScreens>();
    std::shared_ptr<FakePointer> pointer = std::make_shared<FakePointer>();
    WelcomeStepsLayout* built = nullptr;
};

TEST_F(WelcomeWindowsTest, TheStepsWindowTakesTheHeightTheLayoutAsksFor) {
    FixedNativeWindow& window = WelcomeStepsWindow::prepare(u"Welcome"_s, {}, steps());
    ASSERT_NE(built, nullptr);
    executor.runUntilIdle();
    const double asked = built->sizing().stepHeight() + 112 + built->sizing().footerHeight();
    EXPECT_EQ(window.size(), QSize(560, roundedUpToFour(asked)));

    // A note grows the footer; the window follows on the next turn.
    WelcomeStepsLayout::Props noted = stepProps();
    noted.note = u"You can change this later in Preferences."_s;
    built->setProps(noted);
    executor.runUntilIdle();
    const double taller = built->sizing().stepHeight() + 112 + built->sizing().footerHeight();
    EXPECT_GT(taller, asked);
    EXPECT_EQ(window.height(), roundedUpToFour(taller));
}

TEST_F(WelcomeWindowsTest, OnAShortScreenTheStepPartScrollsAndTheFooterStaysWhole) {
    screens->list = {screen(1, {0, 0, 1024, 500}, {0, 0, 1024, 500})};
    FixedNativeWindow& window = WelcomeStepsWindow::show(u"Welcome"_s, {}, steps());
    executor.runUntilIdle();
    QCoreApplication::sendPostedEvents(); // the new size reaches the layouts
    EXPECT_EQ(window.height(), 500 - 64);
    const int footer = static_cast<int>(built->sizing().footerHeight());
    EXPECT_EQ(built->footer().height(), footer);
    EXPECT_EQ(built->footer().mapTo(&window, QPoint(0, footer)).y(), 500 - 64 - 32);
    EXPECT_LT(built->stepScroller().height(), built->sizing().stepHeight());
}

TEST_F(WelcomeWindowsTest, TheSingleScreenWelcomeWindowTakesTheLayoutsSize) {
    WelcomeLayout* layout = nullptr;
    QWidget& window = WelcomeWindow::show(u"Welcome"_s, [&] {
        auto made = std::make_unique<WelcomeLayout>(
            WelcomeLayout::Props{.title = u"Welcome to Tidewright"_s,
                                 .subtitle =
                                     u"Move and resize windows from the keyboard, and let new windows "
                                     u"open maximized or centred, each as its rule says."_s},
            tidewright(),
            std::vector<QWidget*>{new PermissionRow({.title = u"Window control"_s,
                                                     .message = u"Lets Tidewright move windows."_s,
                                                     .action = u"Allow"_s})});
        layout = made.get();
        return made;
    });
    ASSERT_NE(layout, nullptr);
    EXPECT_EQ(window.size(), QSize(480, layout->heightForWidth(480)));
    EXPECT_EQ(layout->geometry(), QRect(0, 0, 480, layout->heightForWidth(480)));
}

} // namespace
} // namespace corbel
