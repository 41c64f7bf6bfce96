// Preferences rows, the choice menu and the preferences control styles: their measures, how they
// arrange at the accessibility text sizes, how they read to accessibility tools, and their colours.

#include "corbel/ui/PreferencesRows.hpp"

#include "KitViewTesting.hpp"
#include "LoginItemTesting.hpp"
#include "PreferencesTesting.hpp"
#include "corbel/ui/BrandPalette.hpp"
#include "corbel/ui/KitButton.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/KitSwitch.hpp"
#include "corbel/ui/PreferencesChoiceMenu.hpp"
#include "corbel/ui/PreferencesLoginRow.hpp"
#include "corbel/ui/PreferencesStyles.hpp"
#include "corbel/ui/SymbolView.hpp"
#include "corbel/ui/TextLabel.hpp"

#include <QAccessible>
#include <QMenu>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace corbel {
namespace {

using namespace Qt::Literals::StringLiterals;

// Lays `view` out at `width` in a host as a window would and returns the host.
std::unique_ptr<QWidget> hosted(QWidget* view, int width, ColorScheme scheme = ColorScheme::light) {
    auto host = std::make_unique<QWidget>();
    paintAsWindow(*host, scheme);
    auto* layout = new QVBoxLayout(host.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view);
    layout->addStretch();
    host->resize(width, 600);
    layOutAll(*host);
    return host;
}

// Every element a tool can reach under `widget`, depth first, by name.
void collectReadable(QAccessibleInterface* accessible, QStringList& names) {
    for (int i = 0; i < accessible->childCount(); ++i) {
        QAccessibleInterface* child = accessible->child(i);
        if (const QString name = child->text(QAccessible::Name); !name.isEmpty()) {
            names.append(name);
        }
        collectReadable(child, names);
    }
}

QStringList readable(QWidget& widget) {
    QStringList names;
    collectReadable(QAccessible::queryAccessibleInterface(&widget), names);
    return names;
}

TEST(PreferencesRowTest, PaddingByNoteAndAMinimumHeight) {
    struct Case {
        const char* name;
        QString title;
        std::optional<QString> note;
        QSize control;
        int height;
        int controlTop;
    };
    const int line = static_cast<int>(std::ceil(QFontMetricsF(roleFont(CorbelFont::support)).lineSpacing()));
    const Case cases[] = {
        {"tall control, no note: 4 above and below", u"Enabled"_s, std::nullopt, {40, 50}, 58, 4},
        {"tall control with a note: 8", u"Enabled"_s, u"Moves windows"_s, {40, 60}, 76, 8},
        {"small control: at least 44, centred", u"Enabled"_s, std::nullopt, {40, 20}, 44, 12},
        {"empty title: still 44", QString(), std::nullopt, {10, 10}, 44, 17},
        {"a note taller than the control decides",
         u"Enabled"_s,
         u"Moves windows"_s,
         {40, 10},
         8 + 2 * line + 4 + 8,
         (8 + 2 * line + 4 + 8 - 10) / 2},
    };
    for (const Case& c : cases) {
        auto* row = new PreferencesRow({.title = c.title, .note = c.note}, new Block(c.control));
        auto host = hosted(row, 496);
        EXPECT_EQ(row->heightForWidth(496), c.height) << c.name;
        EXPECT_EQ(row->height(), c.height) << c.name;
        EXPECT_EQ(row->control().geometry(), QRect(QPoint(496 - c.control.width(), c.controlTop), c.control))
            << c.name;
    }
}

TEST(PreferencesRowTest, StacksTheControlUnderItsLabelsAtAccessibilitySizes) {
    struct Case {
        double factor;
        bool stacked;
    };
    for (const Case c :
         {Case{1, false}, Case{23.0 / 17, false}, Case{28.0 / 17, true}, Case{53.0 / 17, true}}) {
        auto* row = new PreferencesRow({.title = u"Opening rules"_s, .note = u"Maximize or centre"_s},
                                       new Block({60, 30}));
        auto host = hosted(row, 496);
        KitEnvironment::of(*host).setTextSizeFactor(c.factor);
        layOutAll(*host);
        EXPECT_EQ(row->isStacked(), c.stacked) << c.factor;
        const auto labels = descendantsOf<TextLabel>(*row);
        const QRect title = labels.front()->geometry().translated(labels.front()->parentWidget()->pos());
        const QRect note = labels.back()->geometry().translated(labels.back()->parentWidget()->pos());
        const QRect control = row->control().geometry();
        EXPECT_EQ(control.right(), 495) << "at the trailing edge";
        if (c.stacked) {
            EXPECT_EQ(control.top(), note.bottom() + 1 + 8) << c.factor;
            EXPECT_EQ(title.left(), 0);
            EXPECT_EQ(title.width(), 496) << "the labels take the whole width";
        } else {
            EXPECT_EQ(control.left(), note.right() + 1 + 12) << c.factor;
            EXPECT_EQ(title.top(), 8);
        }
    }
}

TEST(PreferencesRowTest, ANamedControlIsReadWithTheNoteAsItsHintAndTheTextsOnce) {
    for (const bool named : {true, false}) {
        auto* control = new KitSwitch({.title = u"Launch at start"_s});
        PreferencesRow row(
            {.title = u"Launch at start"_s, .note = u"Starts with the desktop"_s, .controlIsNamed = named},
            control);
        QAccessibleInterface* toggle = QAccessible::queryAccessibleInterface(control);
        if (named) {
            EXPECT_EQ(readable(row), (QStringList{u"Launch at start"_s}));
            EXPECT_EQ(toggle->text(QAccessible::Description), u"Starts with the desktop"_s);
        } else {
            EXPECT_EQ(readable(row), (QStringList{u"Launch at start"_s, u"Starts with the desktop"_s,
                                                  u"Launch at start"_s}));
            EXPECT_EQ(toggle->text(QAccessible::Description), QString());
        }
    }
    // A named control without a note has no hint, and a note taken away takes the hint with it.
    auto* control = new KitSwitch({.title = u"Sync"_s});
    PreferencesRow row({.title = u"Sync"_s, .note = u"Across machines"_s, .controlIsNamed = true}, control);
    row.setProps({.title = u"Sync"_s, .controlIsNamed = true});
    EXPECT_EQ(QAccessible::queryAccessibleInterface(control)->text(QAccessible::Description), QString());
    EXPECT_EQ(control->props().size, ControlSize::large);
}

TEST(PreferencesToggleRowTest, TheSwitchIsNamedByTheTitleAndAsksTheOwner) {
    PreferencesToggleRow row({.title = u"Enabled"_s, .note = u"Shortcuts and rules work"_s, .isOn = false});
    KitSwitch& toggle = row.toggle();
    EXPECT_EQ(toggle.props().title, u"Enabled"_s);
    EXPECT_EQ(toggle.props().size, ControlSize::large);
    EXPECT_EQ(readable(row), (QStringList{u"Enabled"_s}));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&toggle)->text(QAccessible::Description),
              u"Shortcuts and rules work"_s);

    std::vector<bool> asked;
    row.setOnToggle([&](bool on) { asked.push_back(on); });
    toggle.resize(toggle.sizeHint());
    QTest::mouseClick(&toggle, Qt::LeftButton);
    EXPECT_EQ(asked, std::vector<bool>{true});
    EXPECT_FALSE(toggle.props().isOn) << "the owner decides";
    row.setProps({.title = u"Enabled"_s, .note = u"Shortcuts and rules work"_s, .isOn = true});
    EXPECT_TRUE(toggle.props().isOn);
    EXPECT_EQ(row.row().props().note, u"Shortcuts and rules work"_s);
    EXPECT_EQ(descendantsOf<BrandFocusRing>(row).size(), 1u) << "one ring, in the switch's row";
}

TEST(PreferencesStatusRowTest, SymbolAndColourByStatusInBothSchemes) {
    struct Case {
        PreferencesStatus status;
        QString symbol;
    };
    for (const Case& c : {Case{PreferencesStatus::good, u"checkmark.circle"_s},
                          Case{PreferencesStatus::info, u"info.circle"_s},
                          Case{PreferencesStatus::warning, u"exclamationmark.triangle"_s},
                          Case{PreferencesStatus::waiting, u"clock"_s}}) {
        QWidget host;
        paintAsWindow(host, ColorScheme::light);
        auto* row =
            new PreferencesStatusRow({.status = c.status, .title = u"Accessibility"_s}, nullptr, &host);
        for (const ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
            // The scheme switches under the row, as when the desktop's appearance changes.
            paintAsWindow(host, scheme);
            const QColor expected = c.status == PreferencesStatus::good      ? tintOf(host.palette())
                                    : c.status == PreferencesStatus::warning ? BrandPalette::warning(scheme)
                                                                             : BrandPalette::support(scheme);
            EXPECT_EQ(row->symbol().props().name, c.symbol);
            EXPECT_EQ(row->symbol().props().color, expected) << c.symbol.toStdString();
            EXPECT_EQ(row->symbol().sizeHint().width(), 20);
        }
    }
    QWidget host;
    paintAsWindow(host, ColorScheme::dark);
    auto* warning =
        new PreferencesStatusRow({.status = PreferencesStatus::warning, .title = u"x"_s}, nullptr, &host);
    EXPECT_EQ(warning->symbol().props().color, systemColor(SystemColor::orange, ColorScheme::dark));
    paintAsWindow(host, ColorScheme::light);
    EXPECT_EQ(warning->symbol().props().color, QColor::fromRgbF(184 / 255.0F, 80 / 255.0F, 0));
}

TEST(PreferencesStatusRowTest, ActionOnlyWhenAskedAndTitleWeightByDetail) {
    struct Case {
        std::optional<QString> detail;
        bool hasAction;
        CorbelFont titleRole;
    };
    for (const Case& c : {Case{std::nullopt, false, CorbelFont::support},
                          Case{u"Needed to move windows"_s, true, CorbelFont::supportSemibold},
                          Case{u"Needed to move windows"_s, false, CorbelFont::supportSemibold}}) {
        auto* button = new KitButton({.title = u"Open Settings"_s});
        auto* row = new PreferencesStatusRow({.status = PreferencesStatus::warning,
                                              .title = u"Not allowed yet"_s,
                                              .detail = c.detail,
                                              .hasAction = c.hasAction},
                                             button);
        auto host = hosted(row, 496);
        host->show();
        EXPECT_EQ(button->isVisible(), c.hasAction);
        EXPECT_EQ(descendantsOf<TextLabel>(*row).front()->props().role, c.titleRole);
        EXPECT_EQ(button->props().style, ButtonStyle::bordered);
        EXPECT_EQ(button->props().size, ControlSize::large);
        const auto texts = descendantsOf<TextLabel>(*row);
        const QPoint textsTop = texts.front()->mapTo(row, QPoint());
        EXPECT_EQ(textsTop, QPoint(20 + 12, 12)) << "after the symbol column, padded 12";
        if (c.hasAction) {
            const QWidget* lastText = c.detail ? texts.back() : texts.front();
            const int textsBottom = lastText->mapTo(row, QPoint(0, lastText->height())).y();
            EXPECT_EQ(button->mapTo(row, QPoint()).y(), textsBottom + 4 + 8);
            EXPECT_EQ(row->height(), button->mapTo(row, QPoint(0, button->height())).y() + 12);
        }
        // The texts read as one element; the button on its own; the symbol not at all.
        QStringList expected{c.detail ? u"Not allowed yet, Needed to move windows"_s : u"Not allowed yet"_s};
        if (c.hasAction) {
            expected.append(u"Open Settings"_s);
        }
        EXPECT_EQ(readable(*row), expected);
    }
}

TEST(PreferencesValueRowTest, TitleAndValueOnOneBaselineReadAsOne) {
    auto* row = new PreferencesValueRow({.title = u"Version"_s, .value = u"1.2.10"_s});
    auto host = hosted(row, 496);
    EXPECT_EQ(row->height(), 32);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(row)->text(QAccessible::Name), u"Version, 1.2.10"_s);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(row)->childCount(), 0);
    const TextLabel* title = descendantsOf<TextLabel>(*row).front();
    EXPECT_EQ(title->props().color, BrandPalette::support(ColorScheme::light));
    // Equal-width digits: "1.1.11" and "8.8.88" take the same room, at the trailing edge.
    QWidget* value = nullptr;
    for (QWidget* child : row->findChildren<QWidget*>()) {
        if (child != title && dynamic_cast<FirstBaselineView*>(child) != nullptr) {
            value = child;
        }
    }
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->mapTo(row, QPoint(value->width(), 0)).x(), 496);
    const int width = value->sizeHint().width();
    row->setProps({.title = u"Version"_s, .value = u"8.8.88"_s});
    EXPECT_EQ(value->sizeHint().width(), width);
    EXPECT_EQ(title->mapTo(row, QPoint(0, static_cast<int>(title->firstBaseline(title->width())))).y(),
              value
                  ->mapTo(row, QPoint(0, static_cast<int>(
                                             dynamic_cast<FirstBaselineView*>(value)->firstBaseline(0))))
                  .y());
}

TEST(PreferencesBlocksTest, GroupNoteAndGapMeasures) {
    auto* row = new PreferencesRow({.title = u"Enabled"_s}, new Block({40, 50}));
    auto* note = new PreferencesNote({.text = u"Rules apply to the first window."_s});
    auto* gap = new PreferencesGap;
    auto* group = new PreferencesGroup({.title = u"General"_s}, {row, note, gap});
    auto host = hosted(group, 496);

    const TextLabel* heading = descendantsOf<TextLabel>(*group).front();
    EXPECT_EQ(heading->props().role, CorbelFont::textSemibold);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(const_cast<TextLabel*>(heading))->role(),
              QAccessible::Heading);
    const QRect card = group->card().geometry();
    EXPECT_EQ(card.top(), heading->height() + 8);
    EXPECT_EQ(card.width(), 496) << "the card takes the whole width";
    EXPECT_EQ(row->geometry(), QRect(16, 8, 496 - 32, 58));
    EXPECT_EQ(note->y(), 8 + 58);
    const TextLabel* noteText = descendantsOf<TextLabel>(*note).front();
    EXPECT_EQ(note->height(), noteText->height() + 8) << "8 below the note";
    EXPECT_EQ(noteText->props().color, BrandPalette::support(ColorScheme::light));
    EXPECT_EQ(gap->geometry(), QRect(16, note->geometry().bottom() + 1, 496 - 32, 16));
    EXPECT_EQ(card.height(), 8 + 58 + note->height() + 16 + 8);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(note)->text(QAccessible::Name),
              u"Rules apply to the first window."_s);
    EXPECT_EQ(readable(*group),
              (QStringList{u"General"_s, u"Enabled"_s, u"Rules apply to the first window."_s}));
}

TEST(PreferencesChoiceMenuTest, ShowsAndReadsTheSelectionEvenWhenNotAnOption) {
    enum class Action { maximize, center, leave };
    const auto label = [](const Action& action) {
        switch (action) {
        case Action::maximize:
            return u"Maximize"_s;
        case Action::center:
            return u"Centre"_s;
        case Action::leave:
            break;
        }
        return u"Leave as is"_s;
    };
    PreferencesChoiceMenu<Action> menu(u"First window"_s, Action::leave, {Action::maximize, Action::center},
                                       label);
    EXPECT_EQ(menu.props().title, u"Leave as is"_s);
    EXPECT_EQ(menu.props().selected, -1);
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(&menu);
    EXPECT_EQ(accessible->text(QAccessible::Name), u"First window"_s);
    EXPECT_EQ(accessible->text(QAccessible::Value), u"Leave as is"_s);
    EXPECT_EQ(menu.props().style, ButtonStyle::bordered);
    EXPECT_EQ(menu.props().size, ControlSize::large);

    std::vector<Action> chosen;
    menu.setOnChoose([&](const Action& action) { chosen.push_back(action); });
    menu.openMenu();
    ASSERT_NE(menu.menu(), nullptr);
    const QList<QAction*> entries = menu.menu()->actions();
    ASSERT_EQ(entries.size(), 2);
    EXPECT_EQ(entries[1]->text(), u"Centre"_s);
    entries[1]->trigger();
    EXPECT_EQ(chosen, std::vector<Action>{Action::center});
    menu.setSelection(Action::center);
    EXPECT_EQ(menu.props().selected, 1);
    EXPECT_EQ(accessible->text(QAccessible::Value), u"Centre"_s);
    menu.menu()->close();
}

TEST(PreferencesStylesTest, OneRingPerControlEvenWhenStyledBeforeItIsPlaced) {
    auto* button = new KitButton({.title = u"Open Settings"_s, .style = ButtonStyle::glass});
    preferencesButtonStyle(*button);
    preferencesButtonStyle(*button);
    EXPECT_EQ(button->props().style, ButtonStyle::bordered);
    EXPECT_EQ(button->props().role, CorbelFont::support);
    QWidget window;
    paintAsWindow(window, ColorScheme::light);
    button->setParent(&window);
    EXPECT_EQ(descendantsOf<BrandFocusRing>(window).size(), 1u);
    const BrandFocusRing& ring = *descendantsOf<BrandFocusRing>(window).front();
    EXPECT_EQ(ring.props().shape, RingShape::capsule());

    // Focus alone draws nothing; with the keyboard used it does.
    window.show();
    QApplication::setActiveWindow(&window);
    button->setFocus();
    EXPECT_FALSE(ring.props().isOn);
    KitEnvironment::of(window).setKeyboardUsed(true);
    EXPECT_TRUE(ring.props().isOn);
}

class PreferencesLoginRowTest : public ::testing::Test, protected TemporaryLogin {
protected:
    void SetUp() override { LoginItem::install(backend()); }
    void TearDown() override { LoginItem::reset(); }
};

TEST_F(PreferencesLoginRowTest, TheSwitchShowsTheStateReadBackNotTheOneAskedFor) {
    PreferencesLoginRow row;
    KitSwitch& toggle = row.row().toggle();
    EXPECT_EQ(row.row().props(), (PreferencesToggleRow::Props{.title = u"Open at Login"_s}));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&toggle)->text(QAccessible::Name), u"Open at Login"_s);
    toggle.resize(toggle.sizeHint());

    QTest::mouseClick(&toggle, Qt::LeftButton);
    EXPECT_FALSE(toggle.props().isOn) << "not before the entry is written and read back";
    settle();
    EXPECT_TRUE(toggle.props().isOn);
    EXPECT_TRUE(QFileInfo::exists(entryPath()));

    // Refused: the switch stays where the entry is.
    QTest::mouseClick(&toggle, Qt::LeftButton);
    settle();
    EXPECT_FALSE(toggle.props().isOn);
    blockAutostartFolder();
    QTest::mouseClick(&toggle, Qt::LeftButton);
    settle();
    EXPECT_FALSE(toggle.props().isOn);
}

} // namespace
} // namespace corbel
