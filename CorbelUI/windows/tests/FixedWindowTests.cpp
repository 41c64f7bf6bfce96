#include "corbel/ui/FixedWindow.hpp"

#include "FakeDesktop.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "platform/concurrency/ManualExecutor.hpp"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace corbel {
namespace {

using testing::FakePointer;
using testing::FakeScreens;
using testing::screen;

// Content whose ideal size a test sets.
class SizedContent final : public QWidget {
public:
    QSize sizeHint() const override { return ideal; }
    void setIdeal(QSize size) {
        ideal = size;
        updateGeometry();
    }
    QSize ideal{400, 300};
};

class FixedWindowTest : public ::testing::Test {
protected:
    FixedWindowTest() {
        screens->list = {
            screen(1, {0, 0, 1920, 1080}, {0, 32, 1920, 1048}),     // a panel along the top
            screen(2, {1920, 0, 1280, 1024}, {1920, 0, 1280, 700}), // a dock along the bottom
        };
        pointer->mouse = {100, 100};
    }

    std::shared_ptr<FixedWindow> make(FixedWindow::Flags flags) {
        return FixedWindow::make(flags, {&executor, screens, pointer});
    }

    // The window's outer frame in desktop coordinates.
    QRectF frameOf(const std::shared_ptr<FixedWindow>& fixed) const {
        return desktopFrameOf(*fixed->window(), *pointer);
    }

    QMargins margins(const std::shared_ptr<FixedWindow>& fixed) const {
        return fixed->window()->frameMargins();
    }

    FixedNativeWindow& show(const std::shared_ptr<FixedWindow>& fixed, std::function<void()> onClose = {},
                            ContentBuilder content = {}) {
        return fixed->show(QStringLiteral("Window"), 560, std::move(onClose), content);
    }

    // Reports a size and lets the main loop turn.
    void report(const std::shared_ptr<FixedWindow>& fixed, QSizeF size) {
        fixed->receiveSize(size);
        executor.runUntilIdle();
    }

    platform::ManualExecutor executor;
    std::shared_ptr<FakeScreens> screens = std::make_shared<FakeScreens>();
    std::shared_ptr<FakePointer> pointer = std::make_shared<FakePointer>();
};

constexpr FixedWindow::Flags anchoredTop{
    .closesWithCommandW = true, .anchorsTop = true, .scrollsContent = false};
constexpr FixedWindow::Flags centred{
    .closesWithCommandW = true, .anchorsTop = false, .scrollsContent = false};

TEST_F(FixedWindowTest, AdoptsTheReportedSizeWithTheHeightRoundedAndCapped) {
    struct Case {
        QPointF mouse;
        QSizeF reported;
        QSize content;
    };
    const Case cases[] = {
        {{100, 100}, {560, 401}, {560, 404}},
        {{100, 100}, {560, 400}, {560, 400}},
        {{100, 100}, {480.4, 1500}, {480, 984}}, // 1048 - 64 on the first screen
        {{2000, 100}, {560, 900}, {560, 636}},   // 700 - 64 on the second
    };
    for (const Case& c : cases) {
        pointer->mouse = c.mouse;
        auto fixed = make(centred);
        show(fixed);
        report(fixed, c.reported);
        EXPECT_EQ(fixed->window()->size(), c.content) << c.reported.width() << "x" << c.reported.height();
    }
}

TEST_F(FixedWindowTest, TheFrameCountsTheDecorationsAndStaysInsideTheVisibleFrame) {
    pointer->mouse = {2000, 100};
    auto fixed = make(centred);
    show(fixed);
    const QMargins m = margins(fixed);
    ASSERT_FALSE(m.isNull()) << "the offscreen platform gives windows a frame";
    report(fixed, {560, 400});
    EXPECT_EQ(frameOf(fixed).size(), QSizeF(560 + m.left() + m.right(), 400 + m.top() + m.bottom()));

    // Wider than the second screen: the frame takes its whole visible width and sits inside it.
    report(fixed, {3000, 400});
    EXPECT_EQ(frameOf(fixed).width(), 1280);
    EXPECT_EQ(frameOf(fixed).left(), 1920);
    EXPECT_EQ(fixed->window()->width(), 1280 - m.left() - m.right());
}

TEST_F(FixedWindowTest, OpensCentredOnTheScreenUnderTheMouse) {
    struct Case {
        QPointF mouse;
        QRectF visible;
    };
    const Case cases[] = {
        {{100, 100}, {0, 32, 1920, 1048}},
        {{3000, 10}, {1920, 0, 1280, 700}},
        {{5000, 5000}, {0, 32, 1920, 1048}}, // on no screen: the primary one
    };
    for (const Case& c : cases) {
        pointer->mouse = c.mouse;
        auto fixed = make(centred);
        show(fixed);
        const QRectF frame = frameOf(fixed);
        EXPECT_EQ(frame.center().x(), c.visible.center().x()) << c.mouse.x();
        EXPECT_LE(std::abs(frame.center().y() - c.visible.center().y()), 0.5) << c.mouse.x();
    }
}

TEST_F(FixedWindowTest, PlacesInQtCoordinatesShiftedByTheDesktopOrigin) {
    // The primary screen's corner sits at (300, 200) among Qt's global coordinates.
    pointer->origin = {300, 200};
    auto fixed = make(centred);
    show(fixed);
    report(fixed, {560, 400});
    const QRectF frame = frameOf(fixed);
    EXPECT_EQ(fixed->window()->frameGeometry().topLeft(), frame.topLeft().toPoint() + QPoint(300, 200));
    EXPECT_EQ(frame.center().x(), 960);
}

TEST_F(FixedWindowTest, AnAnchoredWindowKeepsItsTopEdgeAndACentredOneItsCentre) {
    for (const bool anchorsTop : {true, false}) {
        auto fixed = make(anchorsTop ? anchoredTop : centred);
        show(fixed);
        report(fixed, {560, 400});
        const QRectF before = frameOf(fixed);
        report(fixed, {560, 600});
        const QRectF after = frameOf(fixed);
        EXPECT_EQ(after.height(), before.height() + 200) << anchorsTop;
        EXPECT_EQ(after.center().x(), before.center().x()) << anchorsTop;
        if (anchorsTop) {
            EXPECT_EQ(after.top(), before.top());
        } else {
            EXPECT_EQ(after.center().y(), before.center().y());
        }
    }
}

TEST_F(FixedWindowTest, ReportsInOneTurnMakeOneResizeWithTheLastSize) {
    auto fixed = make(anchoredTop);
    show(fixed);
    const int readsBefore = screens->reads;
    fixed->receiveSize({560, 300});
    fixed->receiveSize({560, 500});
    fixed->receiveSize({600, 401});
    EXPECT_TRUE(fixed->resizePending());
    EXPECT_EQ(screens->reads, readsBefore); // nothing applied before the loop turns
    executor.runUntilIdle();
    EXPECT_FALSE(fixed->resizePending());
    EXPECT_EQ(fixed->window()->size(), QSize(600, 404));
    // One resize read the screens once; the first one re-centres and reads them once more.
    EXPECT_EQ(screens->reads, readsBefore + 2);

    // The next report starts a new resize.
    report(fixed, {600, 200});
    EXPECT_EQ(fixed->window()->size(), QSize(600, 200));
}

TEST_F(FixedWindowTest, IgnoresSizesThatAreNotFiniteAndPositive) {
    auto fixed = make(anchoredTop);
    show(fixed);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const QSizeF size : {QSizeF(0, 400), QSizeF(560, -1), QSizeF(nan, 400), QSizeF(560, inf)}) {
        fixed->receiveSize(size);
        EXPECT_FALSE(fixed->contentSize().has_value()) << size.width() << "x" << size.height();
        EXPECT_FALSE(fixed->resizePending());
    }
}

TEST_F(FixedWindowTest, AnAnchoredWindowShownBeforeItsSizeIsCentredAgainAfterItsFirstResize) {
    auto fixed = make(anchoredTop);
    show(fixed);
    EXPECT_TRUE(fixed->centersAfterResize());
    report(fixed, {560, 800});
    EXPECT_FALSE(fixed->centersAfterResize());
    // Centred on the screen, not grown downward from the first placement.
    EXPECT_LE(std::abs(frameOf(fixed).center().y() - 556), 0.5);

    // Reopened with a known size: sized first, then centred once, and the next size keeps the top.
    fixed->window()->close();
    report(fixed, {560, 400});
    pointer->mouse = {2500, 300};
    show(fixed);
    EXPECT_FALSE(fixed->centersAfterResize());
    EXPECT_EQ(frameOf(fixed).center().x(), 2560);
    EXPECT_EQ(fixed->window()->height(), 400);
    const double top = frameOf(fixed).top();
    report(fixed, {560, 500});
    EXPECT_EQ(frameOf(fixed).top(), top);
}

TEST_F(FixedWindowTest, TheCapFollowsTheWindowToAnotherScreen) {
    auto fixed = make(anchoredTop);
    show(fixed);
    report(fixed, {560, 1500});
    EXPECT_EQ(fixed->window()->height(), 984);
    // The window is dragged onto the second screen, whose usable height is 700.
    fixed->window()->move(QPoint(2000, 0));
    fixed->screenDidChange();
    EXPECT_EQ(fixed->window()->height(), 636);
}

TEST_F(FixedWindowTest, AScreenChangeThatKeepsTheSizeDoesNotMoveTheWindow) {
    auto fixed = make(anchoredTop);
    show(fixed);
    report(fixed, {560, 400});
    // Half off the first screen's top, where a window manager may briefly report it while mapping.
    fixed->window()->move(QPoint(-100, -200));
    const QRect frame = fixed->window()->frameGeometry();
    fixed->screenDidChange();
    EXPECT_EQ(fixed->window()->frameGeometry(), frame);
}

TEST_F(FixedWindowTest, WithoutScreensTheWindowKeepsItsFrame) {
    auto fixed = make(anchoredTop);
    show(fixed);
    report(fixed, {560, 400});
    const QRect frame = fixed->window()->frameGeometry();
    screens->refusal = tidewright::GeometryError{tidewright::GeometryError::Kind::noScreens};
    report(fixed, {560, 800});
    EXPECT_EQ(fixed->window()->frameGeometry(), frame);
}

TEST_F(FixedWindowTest, APendingResizeOfADroppedWindowEndsSilently) {
    auto fixed = make(anchoredTop);
    show(fixed);
    fixed->receiveSize({560, 400});
    fixed.reset();
    EXPECT_NO_FATAL_FAILURE(executor.runUntilIdle());
    EXPECT_TRUE(QApplication::topLevelWidgets().isEmpty());
}

TEST_F(FixedWindowTest, ContentReportsItsSizeThroughTheEnvironment) {
    QWidget* hosted = nullptr;
    auto fixed = make(anchoredTop);
    show(fixed, {}, [&hosted] {
        auto content = std::make_unique<QWidget>();
        hosted = content.get();
        return content;
    });
    const std::optional<FixedWindowSizeReport> sizeReport = KitEnvironment::values(*hosted).fixedWindowSize;
    ASSERT_TRUE(sizeReport.has_value());
    sizeReport->report(QSizeF(560, 333));
    executor.runUntilIdle();
    EXPECT_EQ(fixed->window()->size(), QSize(560, 336));
    EXPECT_EQ(hosted->width(), 560);
}

TEST_F(FixedWindowTest, ScrollingContentIsMeasuredAndReported) {
    SizedContent* hosted = nullptr;
    auto fixed = make({.closesWithCommandW = true, .anchorsTop = true, .scrollsContent = true});
    show(fixed, {}, [&hosted] {
        auto content = std::make_unique<SizedContent>();
        content->ideal = QSize(768, 501);
        hosted = content.get();
        return content;
    });
    executor.runUntilIdle();
    EXPECT_EQ(fixed->window()->size(), QSize(768, 504));
    // A page taller than the screen: the window stops 64 below the visible height and scrolls.
    hosted->setIdeal(QSize(768, 3000));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    executor.runUntilIdle();
    EXPECT_EQ(fixed->window()->size(), QSize(768, 984));
}

// Keyboard rules: the window must be active for its shortcuts.
class FixedWindowKeysTest : public FixedWindowTest {
protected:
    FixedNativeWindow& showActive(const std::shared_ptr<FixedWindow>& fixed, ContentBuilder content = {}) {
        FixedNativeWindow& window = show(
            fixed, [this] { ++closes; }, std::move(content));
        QApplication::setActiveWindow(&window);
        return window;
    }
    // A window whose content is a text field, with the focus in the field.
    FixedNativeWindow& showEditing(const std::shared_ptr<FixedWindow>& fixed) {
        FixedNativeWindow& window = showActive(fixed, [this] {
            auto content = std::make_unique<QWidget>();
            field = new QLineEdit(content.get());
            return content;
        });
        field->setFocus();
        return window;
    }
    int closes = 0;
    QLineEdit* field = nullptr;
};

TEST_F(FixedWindowKeysTest, ControlWClosesOnlyWithExactlyControlAndOnlyWhenAsked) {
    struct Case {
        const char* name;
        bool closesWithCommandW;
        Qt::KeyboardModifiers modifiers;
        bool closes;
    };
    const Case cases[] = {
        {"control", true, Qt::ControlModifier, true},
        {"control shift", true, Qt::ControlModifier | Qt::ShiftModifier, false},
        {"control alt", true, Qt::ControlModifier | Qt::AltModifier, false},
        {"plain w", true, Qt::NoModifier, false},
        {"not asked", false, Qt::ControlModifier, false},
    };
    for (const Case& c : cases) {
        closes = 0;
        auto fixed =
            make({.closesWithCommandW = c.closesWithCommandW, .anchorsTop = true, .scrollsContent = false});
        FixedNativeWindow& window = showActive(fixed);
        QTest::keyClick(&window, Qt::Key_W, c.modifiers);
        EXPECT_EQ(closes, c.closes ? 1 : 0) << c.name;
        EXPECT_EQ(window.isVisible(), !c.closes) << c.name;
    }
}

TEST_F(FixedWindowKeysTest, EscapeEndsAnEditFirstAndClosesNext) {
    auto fixed = make(anchoredTop);
    FixedNativeWindow& window = showEditing(fixed);
    ASSERT_TRUE(field->hasFocus());

    QTest::keyClick(field, Qt::Key_Escape);
    EXPECT_FALSE(field->hasFocus());
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(closes, 0);

    QTest::keyClick(&window, Qt::Key_Escape);
    EXPECT_FALSE(window.isVisible());
    EXPECT_EQ(closes, 1);
}

TEST_F(FixedWindowKeysTest, ControlWWhileEditingEndsTheEditAndCloses) {
    auto fixed = make(anchoredTop);
    FixedNativeWindow& window = showEditing(fixed);
    QTest::keyClick(field, Qt::Key_W, Qt::ControlModifier);
    EXPECT_FALSE(window.isVisible());
    EXPECT_FALSE(field->hasFocus());
    EXPECT_EQ(closes, 1);
}

TEST_F(FixedWindowKeysTest, ClosingHidesAndTheNextShowBringsBackTheSameWindow) {
    int builds = 0;
    auto fixed = make(anchoredTop);
    auto build = [&builds] {
        ++builds;
        return std::make_unique<QWidget>();
    };
    FixedNativeWindow& first = fixed->show(QStringLiteral("First"), 560, {}, build);
    first.close();
    int laterCloses = 0;
    FixedNativeWindow& second = fixed->show(
        QStringLiteral("Second"), 768, [&laterCloses] { ++laterCloses; }, build);
    EXPECT_EQ(&first, &second);
    EXPECT_EQ(builds, 1);
    EXPECT_EQ(second.windowTitle(), QStringLiteral("First"));
    EXPECT_EQ(second.width(), 560);
    second.close();
    EXPECT_EQ(laterCloses, 1); // the callback of the latest show
}

} // namespace
} // namespace corbel
