// The focus ring and the keyboard-use monitor, in a real window under the offscreen platform.

#include "corbel/ui/BrandFocus.hpp"

#include "KitViewTesting.hpp"
#include "corbel/ui/BrandPalette.hpp"
#include "corbel/ui/KeyboardUseMonitor.hpp"
#include "corbel/ui/KitButton.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/KitSwitch.hpp"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QShortcut>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <memory>

namespace corbel {
namespace {

using namespace Qt::Literals::StringLiterals;

// Counts the key presses it receives while it has focus.
class KeyTarget : public QWidget {
public:
    explicit KeyTarget(QWidget* parent) : QWidget(parent) {
        setFocusPolicy(Qt::StrongFocus);
        setGeometry(200, 10, 40, 20);
    }
    std::vector<int> keys;

protected:
    void keyPressEvent(QKeyEvent* event) override { keys.push_back(event->key()); }
};

// A window as a chrome builds one: a keyboard-use monitor that marks the window's session and
// writes it into the window's environment, and two ringed controls.
class FocusWindow : public ::testing::Test {
protected:
    void SetUp() override {
        window = std::make_unique<QWidget>();
        window->resize(320, 120);
        paintAsWindow(*window, ColorScheme::light);
        button = new KitButton({.title = u"Download"_s}, window.get());
        button->setGeometry(QRect(QPoint(20, 20), button->sizeHint()));
        button->setAction([this] { ++buttonRuns; });
        toggle = new KitSwitch({.isOn = true}, window.get());
        toggle->setGeometry(QRect(QPoint(20, 70), toggle->sizeHint()));
        target = new KeyTarget(window.get());
        buttonRing = &attachFocusRing(*button, button->ringShape());
        switchRing = &attachFocusRing(*toggle, KitSwitch::ringShape());
        monitor.start([this](QEvent&) {
            ++keyDowns;
            session.keyboardUsed = true;
            KitEnvironment::of(*window).setKeyboardUsed(session.keyboardUsed);
            return drop ? KeyDelivery::drop : KeyDelivery::deliver;
        });
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    }
    void TearDown() override { monitor.stop(); }

    void click(QWidget* widget, QPoint at = {}) {
        const QPoint local = at.isNull() ? widget->rect().center() : at;
        QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, widget->mapTo(window.get(), local));
    }
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QTest::keyClick(window->windowHandle(), key, modifiers);
    }

    std::unique_ptr<QWidget> window;
    KitButton* button = nullptr;
    KitSwitch* toggle = nullptr;
    KeyTarget* target = nullptr;
    BrandFocusRing* buttonRing = nullptr;
    BrandFocusRing* switchRing = nullptr;
    BrandFocusSession session;
    KeyboardUseMonitor monitor;
    int keyDowns = 0;
    int buttonRuns = 0;
    bool drop = false;
};

TEST_F(FocusWindow, TheRingShowsOnlyForTheFocusedControlAfterTheKeyboardWasUsed) {
    click(button);
    EXPECT_TRUE(button->hasFocus());
    EXPECT_FALSE(buttonRing->props().isOn) << "a mouse user sees no ring";
    EXPECT_FALSE(buttonRing->isVisible());

    press(Qt::Key_Tab);
    EXPECT_TRUE(session.keyboardUsed);
    EXPECT_TRUE(toggle->hasFocus());
    EXPECT_TRUE(switchRing->props().isOn);
    EXPECT_TRUE(switchRing->isVisible());
    EXPECT_FALSE(buttonRing->props().isOn);

    // A click moves focus and the ring with it; it does not hide rings.
    click(button);
    EXPECT_TRUE(buttonRing->props().isOn);
    EXPECT_TRUE(buttonRing->isVisible());
    EXPECT_FALSE(switchRing->props().isOn);
    EXPECT_EQ(buttonRuns, 2) << "the click inside the ringed control reached it";

    // Focus elsewhere: no ring.
    target->setFocus();
    EXPECT_FALSE(buttonRing->props().isOn);
    EXPECT_FALSE(switchRing->props().isOn);
}

TEST_F(FocusWindow, TheRingLiesFourPixelsOutsideTheControlAndIsNotAnnounced) {
    KitEnvironment::of(*window).setKeyboardUsed(true);
    button->setFocus();
    ASSERT_TRUE(buttonRing->props().isOn);
    const QRectF ring = buttonRing->ringRect().translated(buttonRing->pos());
    EXPECT_EQ(ring, QRectF(button->geometry()).adjusted(-4, -4, 4, 4));
    // It follows the control.
    button->move(40, 24);
    EXPECT_EQ(buttonRing->ringRect().translated(buttonRing->pos()),
              QRectF(button->geometry()).adjusted(-4, -4, 4, 4));
    // A click on the ring's band, outside the control, does not land on the ring.
    EXPECT_EQ(window->childAt(button->geometry().topLeft() - QPoint(3, 3)), nullptr);

    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(window.get());
    for (int i = 0; i < accessible->childCount(); ++i) {
        EXPECT_NE(accessible->child(i)->object(), buttonRing);
        EXPECT_NE(accessible->child(i)->object(), switchRing);
    }
    EXPECT_EQ(accessible->childCount(), 3);
}

TEST_F(FocusWindow, AKeyPressTheMonitorSeesStillReachesTheFocusedControl) {
    target->setFocus();
    press(Qt::Key_A);
    EXPECT_EQ(keyDowns, 1);
    EXPECT_EQ(target->keys, std::vector<int>{Qt::Key_A});

    // Modifier keys alone and clicks are not key-downs, though the control still gets them.
    press(Qt::Key_Shift);
    press(Qt::Key_Control);
    click(button);
    EXPECT_EQ(keyDowns, 1);
    EXPECT_EQ(target->keys, (std::vector<int>{Qt::Key_A, Qt::Key_Shift, Qt::Key_Control}));

    drop = true;
    target->setFocus();
    target->keys.clear();
    press(Qt::Key_B);
    EXPECT_EQ(keyDowns, 2);
    EXPECT_TRUE(target->keys.empty()) << "a dropped press goes no further";

    monitor.stop();
    press(Qt::Key_C);
    EXPECT_EQ(keyDowns, 2);
    EXPECT_EQ(target->keys, std::vector<int>{Qt::Key_C});
}

TEST_F(FocusWindow, AShortcutCountsAsKeyboardUseOnce) {
    QShortcut shortcut(QKeySequence(Qt::ControlModifier | Qt::Key_Comma), window.get());
    int activations = 0;
    QObject::connect(&shortcut, &QShortcut::activated, [&] { ++activations; });
    target->setFocus();
    press(Qt::Key_Comma, Qt::ControlModifier);
    EXPECT_EQ(activations, 1);
    EXPECT_EQ(keyDowns, 1);
    EXPECT_TRUE(KitEnvironment::values(*button).keyboardUsed);
}

class RingColour : public ::testing::TestWithParam<ColorScheme> {};

TEST_P(RingColour, IsTheNeutralFocusColourNotTheTint) {
    const ColorScheme scheme = GetParam();
    QWidget host;
    host.setPalette(kitPalette(scheme, false, QColor(36, 92, 242)));
    host.setAutoFillBackground(true);
    auto* button = new KitButton({.title = u"Download"_s, .style = ButtonStyle::glassProminent}, &host);
    button->setGeometry(QRect(QPoint(12, 12), button->sizeHint()));
    auto* toggle = new KitSwitch({.isOn = true, .size = ControlSize::large}, &host);
    toggle->setGeometry(QRect(QPoint(button->geometry().right() + 20, 12), toggle->sizeHint()));
    KitEnvironment::of(host).setKeyboardUsed(true);
    new BrandFocusRing(*button, {.isOn = true, .shape = button->ringShape()});
    new BrandFocusRing(*toggle, {.isOn = true, .shape = KitSwitch::ringShape()});
    const QSize size(toggle->geometry().right() + 13, 12 + button->height() + 12);
    const QImage image = testing::renderOffscreen(host, size, 2).convertToFormat(QImage::Format_ARGB32);

    // Mid-way down the left edge, the ring's 1-pixel stroke 4 pixels out: two device pixels.
    const int y = (button->y() + button->height() / 2) * 2;
    const QColor ring = image.pixelColor((button->x() - 4) * 2, y);
    const QColor ground = image.pixelColor((button->x() - 8) * 2, y);
    const QColor expected = BrandPalette::focusRing(scheme);
    EXPECT_NE(ring, ground);
    EXPECT_LE(std::abs(ring.red() - ring.blue()), 2) << "no tint in the ring";
    EXPECT_LE(std::abs(ring.red() - ring.green()), 2);
    // The stroke over the ground: focus colour at its opacity.
    const double alpha = expected.alphaF();
    const int red = static_cast<int>(std::lround(expected.red() * alpha + ground.red() * (1 - alpha)));
    EXPECT_NEAR(ring.red(), red, 24);
    EXPECT_TRUE(
        kitGoldens().matches(QStringLiteral("focus-rings-") + QLatin1String(schemeName(scheme)), image));
}

INSTANTIATE_TEST_SUITE_P(Schemes, RingColour, ::testing::Values(ColorScheme::light, ColorScheme::dark));

// A platform that counts what is asked of it.
class CountingMonitors : public LocalKeyDownMonitoring {
public:
    std::shared_ptr<void> addLocalMonitor(KeyDownHandler handler) override {
        ++added;
        handlers.push_back(std::move(handler));
        return answer ? std::make_shared<int>(added) : nullptr;
    }
    void removeMonitor(const std::shared_ptr<void>& handle) override {
        ++removed;
        lastRemoved = handle;
    }
    int added = 0;
    int removed = 0;
    bool answer = true;
    std::shared_ptr<void> lastRemoved;
    std::vector<KeyDownHandler> handlers;
};

TEST(KeyboardUseMonitorTest, InstallsAtMostOneMonitorAndRemovesWhatItInstalled) {
    CountingMonitors platform;
    KeyboardUseMonitor monitor(platform);
    monitor.stop();
    EXPECT_EQ(platform.removed, 0) << "stop without start touches nothing";

    int first = 0;
    int second = 0;
    monitor.start([&](QEvent&) {
        ++first;
        return KeyDelivery::deliver;
    });
    monitor.start([&](QEvent&) {
        ++second;
        return KeyDelivery::deliver;
    });
    EXPECT_EQ(platform.added, 1);
    EXPECT_TRUE(monitor.isMonitoring());
    QKeyEvent key(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
    platform.handlers.front()(key);
    EXPECT_EQ(first, 1) << "the first handler stays in force";
    EXPECT_EQ(second, 0);

    monitor.stop();
    monitor.stop();
    EXPECT_EQ(platform.removed, 1);
    EXPECT_EQ(*std::static_pointer_cast<int>(platform.lastRemoved), 1);
    EXPECT_FALSE(monitor.isMonitoring());
    monitor.start([](QEvent&) { return KeyDelivery::deliver; });
    EXPECT_EQ(platform.added, 2);

    // A platform that installs nothing leaves the monitor idle.
    CountingMonitors refusing;
    refusing.answer = false;
    KeyboardUseMonitor idle(refusing);
    idle.start([](QEvent&) { return KeyDelivery::deliver; });
    EXPECT_FALSE(idle.isMonitoring());
    idle.stop();
    EXPECT_EQ(refusing.removed, 0);
}

} // namespace
} // namespace corbel
