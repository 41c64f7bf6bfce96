// Setting and action rows, the open-at-login row over a real autostart entry, and the choice menu:
// how they lay out when short of room, what they write, and how they read to accessibility tools.

#include "corbel/ui/Rows.hpp"

#include "KitViewTesting.hpp"
#include "LoginItemTesting.hpp"
#include "corbel/ui/ChoiceMenu.hpp"
#include "corbel/ui/KitButton.hpp"
#include "corbel/ui/KitSwitch.hpp"
#include "corbel/ui/SymbolView.hpp"
#include "corbel/ui/TextLabel.hpp"

#include <QAccessible>
#include <QActionGroup>
#include <QMenu>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace corbel {
namespace {

using namespace Qt::Literals::StringLiterals;

const QString longTitle = u"Keep the window where it was when the application opens it again"_s;

// A row of each kind around the same trailing switch.
struct RowCase {
    const char* name;
    std::function<QWidget*(const QString& title, QWidget* trailing)> make;
};

const std::vector<RowCase> rowCases{
    {"setting",
     [](const QString& title, QWidget* trailing) -> QWidget* {
         return new SettingRow({.title = title, .symbol = u"power"_s}, trailing);
     }},
    {"action",
     [](const QString& title, QWidget* trailing) -> QWidget* {
         return new ActionRow({.title = title, .symbol = u"power"_s, .color = QColor(Qt::red)}, trailing);
     }},
};

TEST(RowTest, ALongTitleIsElidedToOneLineAndTheControlStaysWholeAtTheTrailingEdge) {
    for (const RowCase& c : rowCases) {
        SCOPED_TRACE(c.name);
        auto* control = new KitSwitch({.size = ControlSize::small});
        std::unique_ptr<QWidget> row(c.make(longTitle, control));
        const int width = 240;
        testing::renderOffscreen(*row, QSize(width, row->sizeHint().height()));

        EXPECT_EQ(control->geometry().right(), width - 1);
        EXPECT_EQ(control->size(), control->sizeHint());
        const TextLabel* title = descendantsOf<TextLabel>(*row).front();
        const TextLabel::Lines lines = title->linesAt(title->width());
        ASSERT_EQ(lines.texts.size(), 1u);
        EXPECT_TRUE(lines.texts.front().endsWith(u"…"_s)) << lines.texts.front().toStdString();
        // At least the spacer's 8 and the two gaps around it between the title and the control.
        EXPECT_GE(control->x() - title->geometry().right() - 1, 24);

        const SymbolView* symbol = descendantsOf<SymbolView>(*row).front();
        EXPECT_EQ(symbol->x(), 0);
        EXPECT_EQ(symbol->width(), 20);
        EXPECT_EQ(title->x(), 28);
        EXPECT_EQ(row->sizeHint().height(), 32) << "a one-line row is 32 high";
    }
}

TEST(RowTest, AShortTitleKeepsItsWidthAndATallControlMakesTheRowTaller) {
    for (const RowCase& c : rowCases) {
        SCOPED_TRACE(c.name);
        auto* control = new KitButton({.title = u"Change"_s, .size = ControlSize::large});
        std::unique_ptr<QWidget> row(c.make(u"Mode"_s, control));
        const int height = std::max(32, control->sizeHint().height());
        EXPECT_EQ(row->sizeHint().height(), height);
        testing::renderOffscreen(*row, QSize(300, height));
        const TextLabel* title = descendantsOf<TextLabel>(*row).front();
        EXPECT_EQ(title->linesAt(title->width()).texts, std::vector<QString>{u"Mode"_s});
        EXPECT_EQ(control->geometry().right(), 299);
        // Centred vertically.
        EXPECT_NEAR(title->geometry().center().y(), control->geometry().center().y(), 1);
    }
}

TEST(RowTest, TheSymbolIsDecorationInTheRowsColour) {
    for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
        QWidget host;
        paintAsWindow(host, scheme);
        auto* setting =
            new SettingRow({.title = u"Sync"_s, .symbol = u"gearshape"_s}, new KitSwitch({}), &host);
        auto* action = new ActionRow({.title = u"Quit"_s, .symbol = u"power"_s, .color = QColor(Qt::red)},
                                     new KitButton({.title = u"Quit"_s}), &host);
        EXPECT_EQ(descendantsOf<SymbolView>(*setting).front()->props().color,
                  systemColor(SystemColor::secondaryLabel, scheme));
        EXPECT_EQ(descendantsOf<SymbolView>(*action).front()->props().color, QColor(Qt::red));
        for (QWidget* row : {static_cast<QWidget*>(setting), static_cast<QWidget*>(action)}) {
            EXPECT_FALSE(accessiblyVisible(*descendantsOf<SymbolView>(*row).front()));
        }
        QAccessibleInterface* access = QAccessible::queryAccessibleInterface(setting);
        ASSERT_EQ(access->childCount(), 2) << "the title and the switch";
        EXPECT_EQ(access->child(0)->text(QAccessible::Name), u"Sync"_s);
        EXPECT_EQ(access->child(1)->role(), QAccessible::CheckBox);
    }
}

class OpenAtLoginRowTest : public ::testing::Test, protected TemporaryLogin {
protected:
    void SetUp() override { LoginItem::install(backend()); }
    void TearDown() override { LoginItem::reset(); }

    static void click(KitSwitch& control) {
        control.resize(control.sizeHint());
        QTest::mouseClick(&control, Qt::LeftButton);
    }
};

TEST_F(OpenAtLoginRowTest, TheSwitchRegistersAndShowsTheStateReadBack) {
    OpenAtLoginRow row({.color = QColor(Qt::green)});
    KitSwitch& control = row.loginSwitch();
    const SettingRow* setting = descendantsOf<SettingRow>(row).front();
    EXPECT_EQ(setting->props(), (SettingRow::Props{u"Open at Login"_s, u"arrow.up.forward.app"_s}));
    EXPECT_EQ(control.props(), (KitSwitch::Props{.isOn = false,
                                                 .size = ControlSize::small,
                                                 .tint = QColor(Qt::green),
                                                 .title = u"Open at Login"_s}));

    click(control);
    EXPECT_FALSE(control.props().isOn) << "it moves only once the entry is written and read back";
    settle();
    EXPECT_TRUE(control.props().isOn);
    EXPECT_TRUE(QFileInfo::exists(entryPath()));

    click(control);
    settle();
    EXPECT_FALSE(control.props().isOn);
    EXPECT_FALSE(QFileInfo::exists(entryPath()));

    // A change made elsewhere shows at the item's next refresh.
    entry()->registerItem();
    LoginItem::shared().refresh();
    EXPECT_TRUE(control.props().isOn);
}

TEST_F(OpenAtLoginRowTest, ARefusedRegistrationLeavesTheSwitchOffAndIsLoggedOnce) {
    OpenAtLoginRow row;
    blockAutostartFolder();
    LogCapture log;
    click(row.loginSwitch());
    settle();
    EXPECT_FALSE(row.loginSwitch().props().isOn);
    ASSERT_EQ(LogCapture::lines().size(), 1u);
    EXPECT_EQ(LogCapture::lines().front().type, QtCriticalMsg);
    EXPECT_EQ(LogCapture::lines().front().category, u"app.corbelthane.tidewright.login"_s);
}

TEST_F(OpenAtLoginRowTest, ARowOutlivingTheSharedItemIgnoresItsSwitch) {
    OpenAtLoginRow row;
    LoginItem::reset();
    click(row.loginSwitch());
    settle();
    EXPECT_FALSE(QFileInfo::exists(entryPath()));
    EXPECT_FALSE(row.loginSwitch().props().isOn);
}

enum class Placement {
    maximize,
    centre,
    leave,
};

QString placementName(const Placement& placement) {
    switch (placement) {
    case Placement::maximize:
        return u"Maximize"_s;
    case Placement::centre:
        return u"Centre"_s;
    case Placement::leave:
        break;
    }
    return u"Leave"_s;
}

// The texts of the menu's entries and which of them are checked.
std::pair<QStringList, std::vector<bool>> entries(KitMenuButton& menu) {
    menu.openMenu();
    QStringList texts;
    std::vector<bool> checked;
    for (QAction* action : menu.menu()->actions()) {
        texts.push_back(action->text());
        checked.push_back(action->isChecked());
    }
    menu.menu()->close();
    return {texts, checked};
}

TEST(ChoiceMenuTest, ShowsTheSelectionAndChecksExactlyItsEntry) {
    ChoiceMenu<Placement> menu(
        {Placement::centre, {Placement::maximize, Placement::centre, Placement::leave}}, placementName);
    EXPECT_EQ(menu.KitMenuButton::props().title, u"Centre"_s);
    EXPECT_EQ(entries(menu), std::make_pair(QStringList{u"Maximize"_s, u"Centre"_s, u"Leave"_s},
                                            std::vector<bool>{false, true, false}));
    menu.openMenu();
    EXPECT_TRUE(menu.menu()->actions().front()->actionGroup()->isExclusive());
    menu.menu()->close();

    // A selection outside the options still names itself and checks nothing.
    menu.setProps({Placement::leave, {Placement::maximize, Placement::centre}});
    EXPECT_EQ(menu.KitMenuButton::props().title, u"Leave"_s);
    EXPECT_EQ(entries(menu).second, (std::vector<bool>{false, false}));

    // The kit's menu look: small and exactly as large as its label.
    EXPECT_EQ(menu.KitMenuButton::props().size, ControlSize::small);
    EXPECT_EQ(menu.sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
    EXPECT_EQ(menu.sizePolicy().verticalPolicy(), QSizePolicy::Fixed);
}

TEST(ChoiceMenuTest, ChoosingAnEntryWritesThatOptionThroughTheBinding) {
    // Two options that read alike: the entry is identified by its value, not its text.
    auto label = [](const int& minutes) {
        return minutes < 60 ? u"Soon"_s : u"Later"_s;
    };
    ChoiceMenu<int> menu({5, {5, 10, 90}}, label);
    std::vector<int> written;
    menu.setOnChange([&](const int& value) {
        written.push_back(value);
        menu.setProps({value, menu.props().options});
    });
    for (int index : {1, 2, 0}) {
        menu.openMenu();
        menu.menu()->actions().at(index)->trigger();
        menu.menu()->close();
    }
    EXPECT_EQ(written, (std::vector<int>{10, 90, 5}));
    EXPECT_EQ(menu.props().selection, 5);
    EXPECT_EQ(entries(menu).second, (std::vector<bool>{true, false, false}));
}

TEST(ChoiceMenuTest, TextsAreShownAsTheyAre) {
    ChoiceMenu<QString> menu({u"Q&A"_s, {u"Q&A"_s, u"<b>x</b>"_s}}, [](const QString& text) { return text; });
    EXPECT_EQ(menu.KitMenuButton::props().title, u"Q&A"_s);
    EXPECT_EQ(entries(menu).first, (QStringList{u"Q&&A"_s, u"<b>x</b>"_s}));
}

} // namespace
} // namespace corbel
