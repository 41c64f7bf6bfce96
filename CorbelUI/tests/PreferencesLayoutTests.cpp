// The preferences window's chrome and its one- and two-column layouts: their geometry, their tint,
// the pane list, and when focus rings may show.

#include "corbel/ui/PreferencesLayout.hpp"

#include "KitViewTesting.hpp"
#include "PreferencesTesting.hpp"
#include "corbel/ui/AppIcon.hpp"
#include "corbel/ui/KitButton.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/KitSwitch.hpp"
#include "corbel/ui/PreferencesChoiceMenu.hpp"
#include "corbel/ui/PreferencesPaneLayout.hpp"
#include "corbel/ui/PreferencesRows.hpp"
#include "corbel/ui/SymbolView.hpp"
#include "corbel/ui/TextLabel.hpp"

#include <QAccessible>
#include <QApplication>
#include <QKeyEvent>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

namespace corbel {
namespace {

using namespace Qt::Literals::StringLiterals;

CorbelBrand brand() {
    return CorbelBrand(u"Tidewright"_s, QColor::fromRgbF(36 / 255.0F, 92 / 255.0F, 242 / 255.0F),
                       CorbelBrand::Connection::offline, QColor::fromRgbF(107 / 255.0F, 152 / 255.0F, 1),
                       std::nullopt);
}

// A platform that records the monitors asked of it.
class RecordingMonitors : public LocalKeyDownMonitoring {
public:
    std::shared_ptr<void> addLocalMonitor(KeyDownHandler handler) override {
        ++added;
        handler_ = std::move(handler);
        return std::make_shared<int>(added);
    }
    void removeMonitor(const std::shared_ptr<void>&) override {
        ++removed;
        handler_ = nullptr;
    }
    bool installed() const { return static_cast<bool>(handler_); }
    KeyDelivery press() {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
        return handler_(key);
    }

    int added = 0;
    int removed = 0;

private:
    KeyDownHandler handler_;
};

TEST(PreferencesChromeTest, PadsTheContentAndTintsWithTheAccentOfTheScheme) {
    for (const ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
        QWidget window;
        paintAsWindow(window, scheme);
        auto* content = new Block({100, 70});
        auto* chrome = new PreferencesChrome(brand(), 560, content, &window);
        chrome->resize(chrome->sizeHint());
        layOutAll(*chrome);
        EXPECT_EQ(chrome->size(), QSize(560, 48 + 70 + 32));
        EXPECT_EQ(content->geometry(), QRect(32, 48, 560 - 64, 70)) << "the content takes the width less 64";
        // Light has no accent of its own, so the brand colour; dark its own accent.
        EXPECT_EQ(tintOf(chrome->palette()), brand().accent(scheme));
        EXPECT_EQ(tintOf(content->palette()),
                  scheme == ColorScheme::dark ? *brand().darkAccent() : brand().color());
        EXPECT_EQ(content->palette().color(QPalette::Window), window.palette().color(QPalette::Window))
            << "only the tint is the chrome's own";
        EXPECT_EQ(QAccessible::queryAccessibleInterface(chrome)->childCount(), 1)
            << "the background is not read";
    }
    // The tint follows a change of scheme.
    QWidget window;
    paintAsWindow(window, ColorScheme::light);
    auto* chrome = new PreferencesChrome(brand(), 560, new Block({10, 10}), &window);
    paintAsWindow(window, ColorScheme::dark);
    EXPECT_EQ(tintOf(chrome->content().palette()), *brand().darkAccent());
    EXPECT_EQ(schemeOf(chrome->content().palette()), ColorScheme::dark);
    // A chrome that is the window itself keeps the scheme set on it.
    PreferencesChrome own(brand(), 560, new Block({10, 10}));
    paintAsWindow(own, ColorScheme::dark);
    EXPECT_EQ(schemeOf(own.palette()), ColorScheme::dark);
    EXPECT_EQ(tintOf(own.palette()), *brand().darkAccent());
}

TEST(PreferencesChromeTest, MonitorsKeysOnlyWhileShownAndActiveAndStartsOverOnReturn) {
    RecordingMonitors keys;
    QWidget other;
    other.resize(100, 100);
    auto window = std::make_unique<PreferencesChrome>(brand(), 560, new Block({10, 10}), nullptr, &keys);
    EXPECT_FALSE(KitEnvironment::values(window->content()).keyboardUsed);

    other.show();
    QApplication::setActiveWindow(&other);
    window->show();
    EXPECT_EQ(keys.added, 0) << "shown but not active: no monitor";

    QApplication::setActiveWindow(window.get());
    ASSERT_TRUE(keys.installed());
    EXPECT_FALSE(window->session().keyboardUsed);
    EXPECT_EQ(keys.press(), KeyDelivery::deliver) << "the press goes on as it came";
    EXPECT_TRUE(window->session().keyboardUsed);
    EXPECT_TRUE(KitEnvironment::values(window->content()).keyboardUsed);
    keys.press();
    EXPECT_EQ(keys.added, 1);

    QApplication::setActiveWindow(&other);
    EXPECT_FALSE(keys.installed()) << "left: no monitor";
    EXPECT_TRUE(window->session().keyboardUsed) << "kept until the window is active again";
    QApplication::setActiveWindow(window.get());
    EXPECT_FALSE(window->session().keyboardUsed) << "back: rings wait for the next key press";
    EXPECT_FALSE(KitEnvironment::values(window->content()).keyboardUsed);
    EXPECT_EQ(keys.added, 2);

    window->hide();
    EXPECT_FALSE(keys.installed());
    window.reset();
    EXPECT_EQ(keys.added, keys.removed) << "nothing left installed";
}

// A mouse-only user never sees a ring; one key press in the active window shows it around the
// focused control; leaving the window and coming back hides it until the next key press.
TEST(PreferencesChromeTest, RingsShowAfterAKeyPressInTheActiveWindowOnly) {
    auto* toggle = new PreferencesToggleRow({.title = u"Enabled"_s});
    auto window = std::make_unique<PreferencesLayout>(
        brand(), u"Tidewright"_s, std::vector<QWidget*>{new PreferencesGroup({u"General"_s}, {toggle})});
    paintAsWindow(*window, ColorScheme::light);
    window->resize(window->sizeHint());
    window->show();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    layOutAll(*window);
    const BrandFocusRing* ring = descendantsOf<BrandFocusRing>(toggle->row()).front();
    KitSwitch& control = toggle->toggle();

    QTest::mouseClick(window->windowHandle(), Qt::LeftButton, {}, rectIn(control, *window).center());
    control.setFocus(); // offscreen clicks give no focus to a widget that asks for it by tab
    EXPECT_FALSE(ring->props().isOn) << "focus alone draws nothing";

    QTest::keyClick(window->windowHandle(), Qt::Key_Shift);
    EXPECT_FALSE(ring->props().isOn) << "a modifier alone is no key press";
    QTest::keyClick(window->windowHandle(), Qt::Key_Right);
    EXPECT_TRUE(window->session().keyboardUsed);
    EXPECT_TRUE(ring->props().isOn);

    QWidget other;
    other.show();
    other.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&other));
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    EXPECT_TRUE(control.hasFocus());
    EXPECT_FALSE(ring->props().isOn) << "back in the window: no ring until a key is pressed";
    QTest::keyClick(window->windowHandle(), Qt::Key_Left);
    EXPECT_TRUE(ring->props().isOn);
}

TEST(PreferencesLayoutTest, OneColumnOf496UnderTheIconAndTitleIn560) {
    auto* first = new Block({496, 120});
    auto* second = new Block({496, 80});
    QWidget window;
    paintAsWindow(window, ColorScheme::light);
    auto* layout = new PreferencesLayout(brand(), u"Tidewright"_s, {first, second}, &window);
    layout->resize(layout->sizeHint());
    layOutAll(*layout);
    EXPECT_EQ(layout->width(), 560);
    EXPECT_EQ(rectIn(layout->column(), *layout), QRect(32, 48, 496, layout->column().height()));
    const QRect header = rectIn(layout->header(), *layout);
    EXPECT_EQ(header.topLeft(), QPoint(32, 48));
    EXPECT_EQ(header.height(), 48) << "as high as the icon";
    const AppIcon* icon = descendantsOf<AppIcon>(layout->header()).front();
    EXPECT_EQ(rectIn(*icon, *layout), QRect(32, 48, 48, 48));
    const TextLabel* title = descendantsOf<TextLabel>(layout->header()).front();
    EXPECT_EQ(rectIn(*title, *layout).left(), 32 + 48 + 12);
    EXPECT_EQ(title->props().role, CorbelFont::title);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(const_cast<TextLabel*>(title))->role(),
              QAccessible::Heading);
    EXPECT_EQ(rectIn(*first, *layout).top(), header.bottom() + 1 + 32);
    EXPECT_EQ(rectIn(*second, *layout).top(), rectIn(*first, *layout).bottom() + 1 + 32);
    EXPECT_EQ(layout->height(), rectIn(*second, *layout).bottom() + 1 + 32);
}

TEST(PreferencesLayoutTest, ALongTitleWrapsAndTheHeaderGrows) {
    const QString title = u"Tidewright preferences for windows, rules, shortcuts and permissions"_s;
    QWidget window;
    auto* layout = new PreferencesLayout(brand(), title, {}, &window);
    layout->resize(layout->sizeHint());
    layOutAll(*layout);
    const TextLabel* label = descendantsOf<TextLabel>(layout->header()).front();
    EXPECT_GT(label->linesAt(label->width()).texts.size(), 1u);
    EXPECT_GT(layout->header().height(), 48);
}

enum class Pane { general, rules, shortcuts, about };

std::vector<PreferencesPane<Pane>> panes() {
    return {
        {Pane::general, u"General"_s, u"info.circle"_s, u"Settings"_s, std::nullopt},
        {Pane::rules, u"Opening rules"_s, u"rectangle.center.inset.filled"_s, std::nullopt, std::nullopt},
        {Pane::shortcuts, u"Shortcuts"_s, u"clock"_s, u"Keys"_s, QColor(Qt::magenta)},
    };
}

TEST(PreferencesPaneLayoutTest, ColumnsOf176And496In768WithTheChosenPane) {
    std::vector<Pane> built;
    QWidget window;
    paintAsWindow(window, ColorScheme::light);
    auto* layout = new PreferencesPaneLayout<Pane>(
        brand(), panes(), Pane::shortcuts,
        [&](const Pane& pane) {
            built.push_back(pane);
            return new Block({496, 100});
        },
        &window);
    layout->resize(layout->sizeHint());
    layOutAll(*layout);
    EXPECT_EQ(layout->width(), 768);
    const preferences::PaneList& list = layout->paneList();
    EXPECT_EQ(rectIn(list, *layout).left(), 32);
    EXPECT_EQ(list.width(), 176);
    EXPECT_EQ(rectIn(list, *layout).top(), 48 + 48 + 32) << "under the icon";
    ASSERT_NE(layout->paneContent(), nullptr);
    EXPECT_EQ(rectIn(*layout->paneContent(), *layout).left(), 32 + 176 + 32);
    EXPECT_EQ(layout->paneContent()->width(), 496);
    EXPECT_EQ(layout->headerTitle().props().text, u"Shortcuts"_s);
    EXPECT_EQ(built, std::vector<Pane>{Pane::shortcuts});

    // Rows: 40 high, headings only where a section is set, 4 apart.
    ASSERT_EQ(list.rows().size(), 3u);
    const std::vector<bool> sections{true, false, true};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(list.rows()[i]->height(), 40);
        EXPECT_EQ(list.sections()[i]->parentWidget()->isVisibleTo(layout), sections[i]) << i;
    }
    EXPECT_EQ(list.rows()[2]->y(), list.sections()[2]->parentWidget()->geometry().bottom() + 1 + 4);
    EXPECT_EQ(list.rows()[1]->y(), list.rows()[0]->geometry().bottom() + 1 + 4);
    EXPECT_EQ(list.sections()[0]->props().color,
              systemColor(SystemColor::secondaryLabel, ColorScheme::light));

    // The chosen row: semibold and read as selected; a pane's own tint holds when chosen.
    const preferences::PaneRow& chosen = *list.rows()[2];
    EXPECT_TRUE(chosen.isSelected());
    EXPECT_EQ(chosen.title().props().role, CorbelFont::textSemibold);
    EXPECT_EQ(chosen.symbol().props().color, QColor(Qt::magenta));
    EXPECT_TRUE(QAccessible::queryAccessibleInterface(list.rows()[2])->state().selected);
    EXPECT_FALSE(QAccessible::queryAccessibleInterface(list.rows()[0])->state().selected);
    EXPECT_EQ(list.rows()[0]->title().props().role, CorbelFont::text);
    EXPECT_EQ(list.rows()[0]->symbol().props().color, tintOf(layout->palette()))
        << "the accent when not chosen";
    EXPECT_EQ(QAccessible::queryAccessibleInterface(list.rows()[0])->text(QAccessible::Name), u"General"_s);

    // A change of scheme recolours headings and symbols.
    paintAsWindow(window, ColorScheme::dark);
    EXPECT_EQ(list.sections()[0]->props().color, systemColor(SystemColor::secondaryLabel, ColorScheme::dark));
    EXPECT_EQ(list.rows()[0]->symbol().props().color, *brand().darkAccent());
}

TEST(PreferencesPaneLayoutTest, PicksAreReportedAndTheOwnersSelectionIsShown) {
    std::vector<Pane> built;
    QWidget window;
    auto* layout = new PreferencesPaneLayout<Pane>(
        brand(), panes(), Pane::general,
        [&](const Pane& pane) {
            built.push_back(pane);
            return new Block({496, 100});
        },
        &window);
    layOutAll(window);
    // The owner answers a pick at once, from inside the row's press.
    layout->setOnSelect([&](const Pane& pane) { layout->setSelection(pane); });
    preferences::PaneRow* rules = layout->paneList().rows()[1];
    rules->resize(176, 40);
    QTest::mouseClick(rules, Qt::LeftButton, {}, QPoint(1, 1));
    EXPECT_EQ(layout->selection(), Pane::general) << "a cut corner takes no click";
    QTest::mouseClick(rules, Qt::LeftButton);
    EXPECT_EQ(layout->selection(), Pane::rules);
    EXPECT_TRUE(layout->paneList().rows()[1]->isSelected());
    EXPECT_FALSE(layout->paneList().rows()[0]->isSelected());
    EXPECT_EQ(layout->headerTitle().props().text, u"Opening rules"_s);
    QTest::keyClick(layout->paneList().rows()[2], Qt::Key_Space);
    EXPECT_EQ(layout->selection(), Pane::shortcuts);
    EXPECT_EQ(built, (std::vector<Pane>{Pane::general, Pane::rules, Pane::shortcuts}));

    // A selection that names no pane: no title, nothing chosen, and the content still built for it.
    layout->setSelection(Pane::about);
    EXPECT_EQ(layout->headerTitle().props().text, QString());
    EXPECT_EQ(built.back(), Pane::about);
    for (const preferences::PaneRow* row : layout->paneList().rows()) {
        EXPECT_FALSE(row->isSelected());
    }
    // Setting the same selection again keeps the content.
    QWidget* content = layout->paneContent();
    layout->setSelection(Pane::about);
    EXPECT_EQ(layout->paneContent(), content);
}

// Two groups as a preferences screen shows them: switches, a menu, a value, statuses and a note.
std::vector<QWidget*> twoGroups() {
    auto* menu = new PreferencesChoiceMenu<int>(
        u"Rule"_s, 1, {0, 1}, [](const int& value) { return value == 0 ? u"Maximize"_s : u"Centre"_s; });
    auto* general = new PreferencesGroup(
        {u"General"_s},
        {new PreferencesToggleRow(
             {.title = u"Enabled"_s, .note = u"Shortcuts and opening rules work"_s, .isOn = true}),
         new PreferencesRow({.title = u"Q&A Notes <b>x</b>"_s}, menu),
         new PreferencesValueRow({.title = u"Version"_s, .value = u"1.2.10"_s})});
    auto* permissions = new PreferencesGroup(
        {u"Permissions"_s},
        {new PreferencesStatusRow({.status = PreferencesStatus::good, .title = u"Accessibility allowed"_s}),
         new PreferencesStatusRow({.status = PreferencesStatus::warning,
                                   .title = u"Window control is not allowed yet"_s,
                                   .detail = u"Allow it so that the shortcuts can move windows."_s,
                                   .hasAction = true},
                                  new KitButton({.title = u"Open Settings"_s})),
         new PreferencesStatusRow(
             {.status = PreferencesStatus::waiting, .title = u"Waiting for the desktop"_s}),
         new PreferencesNote({u"Nothing leaves this machine."_s})});
    return {general, permissions};
}

class PreferencesLook : public ::testing::TestWithParam<ColorScheme> {};

TEST_P(PreferencesLook, OneColumnScaffold) {
    const ColorScheme scheme = GetParam();
    PreferencesLayout layout(brand(), u"Tidewright"_s, twoGroups());
    paintAsWindow(layout, scheme);
    const QSize size = layout.sizeHint();
    layout.resize(size);
    layOutAll(layout);
    EXPECT_EQ(size.width(), 560);
    EXPECT_TRUE(kitGoldens().matches(u"prefs-scaffold-"_s + QLatin1String(schemeName(scheme)),
                                     testing::renderOffscreen(layout, size)));
}

TEST_P(PreferencesLook, PaneScaffold) {
    const ColorScheme scheme = GetParam();
    PreferencesPaneLayout<Pane> layout(brand(), panes(), Pane::general, [](const Pane&) {
        auto* column = new QWidget;
        auto* stack = new QVBoxLayout(column);
        stack->setContentsMargins(0, 0, 0, 0);
        stack->setSpacing(32);
        for (QWidget* group : twoGroups()) {
            stack->addWidget(group);
        }
        return column;
    });
    paintAsWindow(layout, scheme);
    const QSize size = layout.sizeHint();
    layout.resize(size);
    layOutAll(layout);
    EXPECT_EQ(size.width(), 768);
    EXPECT_TRUE(kitGoldens().matches(u"prefs-panes-"_s + QLatin1String(schemeName(scheme)),
                                     testing::renderOffscreen(layout, size)));
}

INSTANTIATE_TEST_SUITE_P(Schemes, PreferencesLook, ::testing::Values(ColorScheme::light, ColorScheme::dark));

} // namespace
} // namespace corbel
