// The kit's controls: switch, button and menu button sizes, what input does to them, and their
// looks in both schemes.

#include "KitViewTesting.hpp"
#include "corbel/ui/KitButton.hpp"
#include "corbel/ui/KitMenuButton.hpp"
#include "corbel/ui/KitSwitch.hpp"

#include <QAccessible>
#include <QActionGroup>
#include <QGridLayout>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

namespace corbel {
namespace {

using namespace Qt::Literals::StringLiterals;

TEST(KitSwitchTest, SizesAndInput) {
    struct Case {
        ControlSize size;
        QSize track;
    };
    for (const Case c : {Case{ControlSize::small, {32, 18}}, Case{ControlSize::regular, {38, 22}},
                         Case{ControlSize::large, {46, 26}}}) {
        KitSwitch control({.isOn = false, .size = c.size});
        EXPECT_EQ(control.sizeHint(), c.track);
    }

    KitSwitch control({.isOn = false, .title = u"Open at Login"_s});
    control.resize(control.sizeHint());
    std::vector<bool> asked;
    control.setOnToggle([&](bool on) { asked.push_back(on); });
    QTest::mouseClick(&control, Qt::LeftButton);
    QTest::keyClick(&control, Qt::Key_Space);
    // The owner decides: until it sets the props, the switch asks for the same change again.
    EXPECT_EQ(asked, (std::vector<bool>{true, true}));
    control.setProps({.isOn = true, .title = u"Open at Login"_s});
    QTest::mouseClick(&control, Qt::LeftButton);
    EXPECT_EQ(asked.back(), false);
    // A press that ends outside is no click.
    QTest::mousePress(&control, Qt::LeftButton, {}, QPoint(4, 4));
    QTest::mouseRelease(&control, Qt::LeftButton, {}, QPoint(60, 4));
    EXPECT_EQ(asked.size(), 3u);

    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&control);
    EXPECT_EQ(accessible->text(QAccessible::Name), u"Open at Login"_s);
    EXPECT_TRUE(accessible->state().checkable);
    EXPECT_TRUE(accessible->state().checked);
}

TEST(KitButtonTest, HeightsBySizeAndClicks) {
    struct Case {
        ControlSize size;
        int height;
    };
    for (const Case c : {Case{ControlSize::small, 22}, Case{ControlSize::regular, 26},
                         Case{ControlSize::large, 30}, Case{ControlSize::extraLarge, 36}}) {
        for (ButtonStyle style : {ButtonStyle::bordered, ButtonStyle::glass, ButtonStyle::glassProminent}) {
            KitButton button({.title = u"Not now"_s, .style = style, .size = c.size});
            EXPECT_EQ(button.sizeHint().height(), c.height);
            EXPECT_GT(button.sizeHint().width(), 2 * controlMetrics(c.size).horizontalPadding);
        }
    }
    // A plain button is its label alone.
    KitButton plain({.title = u"Quit"_s, .style = ButtonStyle::plain});
    EXPECT_LT(plain.sizeHint().height(), 26);

    KitButton button({.title = u"Download"_s});
    button.resize(button.sizeHint());
    int runs = 0;
    button.setAction([&] { ++runs; });
    QTest::mouseClick(&button, Qt::LeftButton);
    QTest::keyClick(&button, Qt::Key_Space);
    QTest::keyClick(&button, Qt::Key_Return);
    QTest::keyClick(&button, Qt::Key_A);
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(2, 2));
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(-20, 2));
    EXPECT_EQ(runs, 3);
    EXPECT_EQ(button.ringShape(), RingShape::roundedRectangle(7));
    EXPECT_EQ(KitButton({.style = ButtonStyle::glassProminent}).ringShape(), RingShape::capsule());
}

TEST(KitButtonTest, GivenLessWidthTheLabelWrapsAndTheButtonGrows) {
    KitButton button({.title = u"Choose applications to open"_s, .style = ButtonStyle::bordered,
                      .size = ControlSize::large});
    KitMenuButton menu({.title = u"Add a running application"_s, .size = ControlSize::large,
                        .style = ButtonStyle::bordered});
    for (QWidget* control : std::vector<QWidget*>{&button, &menu}) {
        const QSize hint = control->sizeHint();
        EXPECT_TRUE(control->hasHeightForWidth());
        EXPECT_EQ(control->heightForWidth(hint.width()), hint.height()) << "one line where it fits";
        EXPECT_EQ(control->heightForWidth(hint.width() + 50), hint.height());
        EXPECT_GT(control->heightForWidth(hint.width() / 2), hint.height()) << "wrapped, never cut";
    }
    EXPECT_EQ(buttonLabelLines(button.font(), u"Choose applications"_s, 1000).size(), 1);
    const QFont font = roleFont(CorbelFont::support, 1);
    const QStringList lines = buttonLabelLines(font, u"Choose applications"_s, 100);
    EXPECT_EQ(lines, (QStringList{u"Choose"_s, u"applications"_s})) << "between words";
}

TEST(KitMenuButtonTest, EntriesAfterTheOptionsAndRoomForOtherTitles) {
    KitMenuButton menu({.title = u"Center"_s,
                        .options = {u"Maximize"_s, u"Center"_s},
                        .selected = 1,
                        .entries = {{.kind = KitMenuEntry::Kind::divider},
                                    {.kind = KitMenuEntry::Kind::text, .text = u"Nothing to add"_s},
                                    {.kind = KitMenuEntry::Kind::button, .id = u"off"_s, .text = u"Off"_s,
                                     .enabled = false},
                                    {.kind = KitMenuEntry::Kind::button, .id = u"remove"_s, .text = u"R&D"_s}}});
    std::vector<QString> heard;
    menu.setOnEntry([&](const QString& id) { heard.push_back(id); });
    const int narrow = menu.sizeHint().width();
    KitMenuButton::Props roomy = menu.props();
    roomy.titleRoom = {u"Maximize"_s, u"Center"_s};
    menu.setProps(roomy);
    EXPECT_GT(menu.sizeHint().width(), narrow) << "as wide as its widest title";

    menu.openMenu();
    const QList<QAction*> actions = menu.menu()->actions();
    ASSERT_EQ(actions.size(), 6);
    EXPECT_TRUE(actions[2]->isSeparator());
    EXPECT_FALSE(actions[3]->isEnabled()) << "a text only informs";
    EXPECT_FALSE(actions[4]->isEnabled());
    EXPECT_EQ(actions[5]->text(), u"R&&D"_s);
    for (QAction* action : actions) {
        action->trigger();
    }
    EXPECT_EQ(heard, std::vector<QString>{u"remove"_s}) << "only an enabled button speaks";
}

TEST(KitMenuButtonTest, OffersExclusiveOptionsAndReportsTheChoice) {
    KitMenuButton button(
        {.title = u"Centre"_s, .options = {u"Maximize"_s, u"Centre"_s, u"Off"_s}, .selected = 1});
    button.resize(button.sizeHint());
    std::vector<int> chosen;
    button.setOnSelect([&](int index) { chosen.push_back(index); });
    QTest::mouseClick(&button, Qt::LeftButton);
    QMenu* menu = button.menu();
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_FALSE(actions[0]->isChecked());
    EXPECT_TRUE(actions[1]->isChecked());
    ASSERT_NE(actions[0]->actionGroup(), nullptr);
    EXPECT_TRUE(actions[0]->actionGroup()->isExclusive());
    actions[2]->trigger();
    EXPECT_EQ(chosen, std::vector<int>{2});
    EXPECT_TRUE(actions[2]->isChecked());
    EXPECT_FALSE(actions[1]->isChecked());
    menu->close();

    // A selection outside the options checks nothing and still shows its title.
    KitMenuButton stray({.title = u"Unknown"_s, .options = {u"Maximize"_s, u"Centre"_s}, .selected = -1});
    stray.openMenu();
    for (QAction* action : stray.menu()->actions()) {
        EXPECT_FALSE(action->isChecked());
    }
    stray.menu()->close();
    EXPECT_GT(stray.sizeHint().width(), KitMenuButton({.title = u"Off"_s}).sizeHint().width());
}

class ControlsLook : public ::testing::TestWithParam<ColorScheme> {};

TEST_P(ControlsLook, Gallery) {
    const ColorScheme scheme = GetParam();
    QWidget host;
    paintAsWindow(host, scheme);
    auto* grid = new QGridLayout(&host);
    grid->setContentsMargins(12, 12, 12, 12);
    grid->setHorizontalSpacing(12);
    grid->setVerticalSpacing(10);
    int row = 0;
    for (ControlSize size :
         {ControlSize::small, ControlSize::regular, ControlSize::large, ControlSize::extraLarge}) {
        int column = 0;
        for (ButtonStyle style :
             {ButtonStyle::plain, ButtonStyle::bordered, ButtonStyle::glass, ButtonStyle::glassProminent}) {
            grid->addWidget(new KitButton({.title = u"Get Started"_s, .style = style, .size = size}), row,
                            column++, Qt::AlignLeft | Qt::AlignVCenter);
        }
        if (size != ControlSize::extraLarge) {
            grid->addWidget(new KitSwitch({.isOn = true, .size = size}), row, column++,
                            Qt::AlignLeft | Qt::AlignVCenter);
            grid->addWidget(new KitSwitch({.isOn = false, .size = size}), row, column++,
                            Qt::AlignLeft | Qt::AlignVCenter);
        }
        ++row;
    }
    grid->addWidget(
        new KitButton({.title = u"Preferences"_s, .symbol = u"gearshape"_s, .style = ButtonStyle::bordered}),
        row, 0, 1, 2, Qt::AlignLeft);
    grid->addWidget(new KitMenuButton({.title = u"Maximize"_s, .options = {u"Maximize"_s}, .selected = 0}),
                    row, 2, 1, 2, Qt::AlignLeft);
    auto* disabled = new KitButton({.title = u"Disabled"_s, .style = ButtonStyle::glassProminent});
    disabled->setEnabled(false);
    grid->addWidget(disabled, row, 4, 1, 2, Qt::AlignLeft);
    const QSize size = host.sizeHint();
    EXPECT_TRUE(kitGoldens().matches(QStringLiteral("controls-") + QLatin1String(schemeName(scheme)),
                                     testing::renderOffscreen(host, size)));
}

INSTANTIATE_TEST_SUITE_P(Schemes, ControlsLook, ::testing::Values(ColorScheme::light, ColorScheme::dark));

} // namespace
} // namespace corbel
