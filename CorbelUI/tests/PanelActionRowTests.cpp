// Panel action rows and shortcut keys: highlight, hover, clicks, accessibility, widths, frame
// reports, and how they look in both schemes.

#include "corbel/ui/PanelActionRow.hpp"

#include "KitViewTesting.hpp"
#include "corbel/ui/AccessibilityTextSize.hpp"
#include "corbel/ui/BrandPalette.hpp"
#include "corbel/ui/KeyCaps.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/PanelShortcutKeys.hpp"
#include "corbel/ui/SymbolView.hpp"
#include "corbel/ui/TextLabel.hpp"

#include <QAccessible>
#include <QEnterEvent>
#include <QGraphicsOpacityEffect>
#include <QTest>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace corbel {
namespace {

using namespace Qt::Literals::StringLiterals;

const CorbelBrand brand(u"Tidewright"_s, QColor(36, 92, 242), CorbelBrand::Connection::offline,
                        QColor(107, 152, 255), std::nullopt);
const QStringList controlOptionC{u"⌃"_s, u"⌥"_s, u"C"_s};

PanelActionRow::Props rowProps(QString title = u"Centre"_s) {
    return {.title = std::move(title), .symbol = u"rectangle.center.inset.filled"_s, .brand = brand};
}

PanelShortcutKeys::Props keyProps(QStringList keys = controlOptionC) {
    return {.keys = std::move(keys), .brand = brand};
}

QColor withAlpha(QColor color, float alpha) {
    color.setAlphaF(color.alphaF() * alpha);
    return color;
}

void sendEnter(QWidget& widget) {
    QEnterEvent enter(QPointF(4, 4), QPointF(4, 4), QPointF(4, 4));
    QCoreApplication::sendEvent(&widget, &enter);
}

void sendLeave(QWidget& widget) {
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&widget, &leave);
}

TEST(PanelActionRowTest, HighlightFollowsHoverSuggestionAndDisabling) {
    const QColor hoverFill = withAlpha(systemColor(SystemColor::label, ColorScheme::light), 0.08F);
    const QColor suggestedFill = withAlpha(brand.color(), 0.16F);
    const QColor none = Qt::transparent;
    struct Case {
        const char* name;
        bool action;
        std::optional<bool> hovered;
        bool pointerOver;
        bool suggested;
        bool disabled;
        QColor expected;
    };
    for (const Case& c : {
             Case{"idle", true, std::nullopt, false, false, false, none},
             Case{"pointer over", true, std::nullopt, true, false, false, hoverFill},
             Case{"imposed hover without the pointer", true, true, false, false, false, hoverFill},
             Case{"imposed no hover under the pointer", true, false, true, false, false, none},
             Case{"hover wins over suggestion", true, true, false, true, false, hoverFill},
             Case{"suggested", true, std::nullopt, false, true, false, suggestedFill},
             Case{"disabled and suggested", true, std::nullopt, false, true, true, none},
             Case{"disabled and hovered", true, true, false, false, true, none},
             Case{"display-only and suggested", false, true, true, true, false, none},
         }) {
        QWidget host;
        paintAsWindow(host, ColorScheme::light);
        PanelActionRow::Props props = rowProps();
        props.hovered = c.hovered;
        props.isSuggested = c.suggested;
        props.isDisabled = c.disabled;
        auto* row = new PanelActionRow(props, new PanelShortcutKeys(keyProps()), &host);
        if (c.action) {
            row->setPerform([] {});
        }
        if (c.pointerOver) {
            sendEnter(row->actionWidget());
        }
        EXPECT_EQ(row->highlightColor(), c.expected) << c.name;
    }
}

TEST(PanelActionRowTest, HoverComesAndGoesWithThePointerOnlyOnAButton) {
    PanelActionRow row(rowProps(), nullptr);
    row.setPerform([] {});
    sendEnter(row.actionWidget());
    EXPECT_TRUE(row.isHovered());
    sendLeave(row.actionWidget());
    EXPECT_FALSE(row.isHovered());

    PanelActionRow label(rowProps(), nullptr);
    sendEnter(label.actionWidget());
    EXPECT_FALSE(label.isHovered()) << "a display-only row tracks nothing";
}

TEST(PanelActionRowTest, ClicksRunTheActionUnlessDisabledOrDisplayOnly) {
    struct Case {
        bool action;
        bool disabled;
        int expectedRuns;
    };
    for (const Case& c : {Case{true, false, 1}, Case{true, true, 0}, Case{false, false, 0}}) {
        PanelActionRow::Props props = rowProps();
        props.isDisabled = c.disabled;
        PanelActionRow row(props, new PanelShortcutKeys(keyProps()));
        int runs = 0;
        if (c.action) {
            row.setPerform([&] { ++runs; });
        }
        testing::renderOffscreen(row, QSize(336, row.heightForWidth(336)));
        QTest::mouseClick(&row.actionWidget(), Qt::LeftButton);
        EXPECT_EQ(runs, c.expectedRuns) << c.action << c.disabled;
        EXPECT_EQ(row.actionWidget().isEnabled(), !(c.action && c.disabled));
        EXPECT_EQ(row.actionWidget().focusPolicy(), c.action ? Qt::StrongFocus : Qt::NoFocus);
    }
}

TEST(PanelActionRowTest, AccessibilityOfButtonAndLabel) {
    PanelActionRow plain(rowProps(), new PanelShortcutKeys(keyProps()));
    plain.setPerform([] {});
    QAccessibleInterface* button = QAccessible::queryAccessibleInterface(&plain.actionWidget());
    EXPECT_EQ(button->role(), QAccessible::Button);
    EXPECT_EQ(button->text(QAccessible::Name), u"Centre"_s);
    EXPECT_EQ(button->text(QAccessible::Value), QString()) << "no value: an empty one";
    EXPECT_EQ(button->text(QAccessible::Description), QString()) << "no hint: an empty one";
    EXPECT_EQ(button->childCount(), 0);

    PanelActionRow::Props described = rowProps();
    described.value = u"On"_s;
    described.hint = u"Centres the frontmost window"_s;
    described.badge = u"12"_s;
    PanelActionRow full(described, nullptr);
    full.setPerform([] {});
    QAccessibleInterface* fullButton = QAccessible::queryAccessibleInterface(&full.actionWidget());
    EXPECT_EQ(fullButton->text(QAccessible::Value), u"On"_s);
    EXPECT_EQ(fullButton->text(QAccessible::Description), u"Centres the frontmost window"_s);
    EXPECT_EQ(fullButton->text(QAccessible::Name), u"Centre 12"_s);

    // Display-only: a label without value or hint; the row lists it and the keys.
    PanelActionRow label(described, new PanelShortcutKeys(keyProps()));
    QAccessibleInterface* row = QAccessible::queryAccessibleInterface(&label);
    ASSERT_EQ(row->childCount(), 2);
    EXPECT_EQ(row->child(0)->role(), QAccessible::StaticText);
    EXPECT_EQ(row->child(0)->text(QAccessible::Value), QString());
    EXPECT_EQ(row->child(0)->text(QAccessible::Description), QString());
    EXPECT_EQ(row->child(1)->text(QAccessible::Name), u"⌃ ⌥ C"_s);
}

TEST(PanelActionRowTest, ALongTitleIsCutToTwoLinesAndTheKeysKeepTheirWidth) {
    const QString longTitle = u"Move the frontmost window to the left half of its screen and keep its height "
                              u"exactly as the screen's usable area allows it"_s;
    PanelShortcutKeys::Props conflict = keyProps();
    conflict.hasConflict = true;
    auto* keys = new PanelShortcutKeys(conflict);
    PanelActionRow row(rowProps(longTitle), keys);
    row.setPerform([] {});
    const int width = 260;
    const int height = row.heightForWidth(width);
    testing::renderOffscreen(row, QSize(width, height));
    const TextLabel* title = descendantsOf<TextLabel>(row).front();
    EXPECT_EQ(title->linesAt(title->width()).texts.size(), 2u);
    EXPECT_EQ(keys->width(), 100);
    EXPECT_EQ(keys->geometry().right() + 1, width) << "the keys sit at the trailing edge";
    EXPECT_EQ(row.actionWidget().geometry().right() + 1 + 12, keys->x()) << "12 between fill and keys";
    const qreal line = QFontMetricsF(roleFont(CorbelFont::detail)).lineSpacing();
    EXPECT_LE(height, 8 + static_cast<int>(std::ceil(2 * line)) + 8 + 1);

    PanelActionRow shortRow(rowProps(), new PanelShortcutKeys(keyProps()));
    EXPECT_EQ(shortRow.heightForWidth(336), 36) << "at least 36 high";
}

TEST(PanelActionRowTest, AtTheAccessibilitySizesTheKeysGoUnderTheTitle) {
    struct Case {
        double textSize;
        bool stacked;
    };
    for (const Case c : {Case{1, false}, Case{accessibilityTextSizeFactor - 0.01, false},
                         Case{accessibilityTextSizeFactor, true}, Case{largestTextSizeFactor, true}}) {
        QWidget host;
        KitEnvironment::of(host).setTextSizeFactor(c.textSize);
        auto* keys = new PanelShortcutKeys(keyProps());
        auto* row = new PanelActionRow(rowProps(u"Linke Hälfte"_s), keys, &host);
        auto* column = new QVBoxLayout(&host);
        column->setContentsMargins(0, 0, 0, 0);
        column->addWidget(row);
        const int width = 336;
        testing::renderOffscreen(host, QSize(width, host.heightForWidth(width)));
        const QRect action = row->actionWidget().geometry();
        const TextLabel* title = descendantsOf<TextLabel>(*row).front();
        EXPECT_EQ(keys->geometry().right() + 1, width) << c.textSize << ": the keys keep the trailing edge";
        EXPECT_EQ(keys->width(), keys->sizeHint().width()) << c.textSize;
        if (c.stacked) {
            EXPECT_EQ(action.width(), width) << c.textSize << ": the title has the row's width";
            EXPECT_EQ(keys->y(), action.bottom() + 1 + 4) << c.textSize;
        } else {
            EXPECT_EQ(action.right() + 1 + 12, keys->x()) << c.textSize;
            EXPECT_NEAR(keys->geometry().center().y(), action.center().y(), 1) << c.textSize;
        }
        // Either way the title keeps its words whole.
        EXPECT_EQ(title->linesAt(title->width()).texts, std::vector<QString>{u"Linke Hälfte"_s}) << c.textSize;
    }
}

TEST(PanelActionRowTest, ReportsEachPartsFrameOnceAndAgainOnlyWhenItChanges) {
    PanelActionRow row(rowProps(), new PanelShortcutKeys(keyProps()));
    std::vector<std::pair<PanelActionRowPart, QRectF>> reports;
    row.setOnLayout([&](PanelActionRowPart part, QRectF frame) { reports.emplace_back(part, frame); });
    EXPECT_TRUE(reports.empty()) << "nothing before the first layout";

    row.show();
    row.resize(336, 36);
    QCoreApplication::sendPostedEvents();
    ASSERT_EQ(reports.size(), 4u);
    std::map<PanelActionRowPart, QRectF> frames(reports.begin(), reports.end());
    EXPECT_EQ(frames[PanelActionRowPart::action], QRectF(0, 0, 336 - 12 - 84, 36));
    EXPECT_EQ(frames[PanelActionRowPart::icon].left(), 8);
    EXPECT_EQ(frames[PanelActionRowPart::icon].width(), 20);
    EXPECT_EQ(frames[PanelActionRowPart::text].left(), 8 + 20 + 12);
    EXPECT_EQ(frames[PanelActionRowPart::text].right(), 336 - 12 - 84 - 8);
    EXPECT_EQ(frames[PanelActionRowPart::shortcut], QRectF(336 - 84, 0, 84, 36));

    reports.clear();
    row.move(40, 40);
    row.resize(336, 36);
    QCoreApplication::sendPostedEvents();
    EXPECT_TRUE(reports.empty()) << "relative to the row: moving it changes nothing";

    row.resize(300, 36);
    QCoreApplication::sendPostedEvents();
    std::map<PanelActionRowPart, QRectF> changed(reports.begin(), reports.end());
    EXPECT_EQ(changed.size(), 3u);
    EXPECT_FALSE(changed.contains(PanelActionRowPart::icon)) << "the icon stayed where it was";
    EXPECT_EQ(changed[PanelActionRowPart::shortcut].left(), 300 - 84);
}

TEST(PanelShortcutKeysTest, StatesShowTheirIndicatorColourAndWidth) {
    struct Case {
        const char* name;
        bool editing;
        bool conflict;
        QString indicator;
        bool warning;
        int width;
    };
    // Three one-character keys: 8 + (12 + 4 when there is an indicator) + (3 × 20 + 2 × 4) + 8.
    for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
        for (const Case& c :
             {Case{"idle", false, false, QString(), false, 84},
              Case{"editing", true, false, u"pencil"_s, false, 100},
              Case{"conflict", false, true, u"exclamationmark.circle"_s, true, 100},
              Case{"conflict while editing", true, true, u"exclamationmark.circle"_s, true, 100}}) {
            QWidget host;
            paintAsWindow(host, scheme);
            PanelShortcutKeys::Props props = keyProps();
            props.isEditing = c.editing;
            props.hasConflict = c.conflict;
            auto* keys = new PanelShortcutKeys(props, &host);
            const QColor highlight = c.warning ? BrandPalette::warning(scheme) : brand.accent(scheme);
            EXPECT_EQ(keys->highlightColor(), highlight) << c.name;
            EXPECT_EQ(keys->sizeHint(), QSize(c.width, 36)) << c.name;
            const SymbolView* indicator = descendantsOf<SymbolView>(*keys).front();
            EXPECT_EQ(!indicator->isHidden(), !c.indicator.isEmpty()) << c.name;
            if (!c.indicator.isEmpty()) {
                EXPECT_EQ(indicator->props().name, c.indicator) << c.name;
                EXPECT_EQ(indicator->props().color, highlight) << c.name;
            }
            // The field is filled and bordered only while editing or in conflict.
            const QImage image = testing::renderOffscreen(*keys, keys->sizeHint());
            const QColor inside = image.pixelColor(6, 36);
            const QColor edge = image.pixelColor(0, 36);
            EXPECT_EQ(inside.alpha() > 0, c.editing || c.conflict) << c.name;
            EXPECT_EQ(edge.alpha() > inside.alpha(), c.editing || c.conflict) << c.name << ": the border";
        }
    }
}

TEST(PanelShortcutKeysTest, ReadOnlyKeysReadAsTheirTextsAndFadeWhenDisabled) {
    PanelShortcutKeys keys(keyProps());
    QAccessibleInterface* element = QAccessible::queryAccessibleInterface(&keys);
    EXPECT_EQ(element->role(), QAccessible::StaticText);
    EXPECT_EQ(element->text(QAccessible::Name), u"⌃ ⌥ C"_s);
    EXPECT_EQ(element->childCount(), 0);
    EXPECT_EQ(keys.focusPolicy(), Qt::NoFocus);
    EXPECT_EQ(keys.graphicsEffect(), nullptr);

    PanelShortcutKeys::Props placeholder = keyProps();
    placeholder.placeholder = u"Not set"_s;
    placeholder.isDisabled = true;
    keys.setProps(placeholder);
    EXPECT_EQ(element->text(QAccessible::Name), u"Not set"_s);
    EXPECT_TRUE(descendantsOf<KeyCaps>(keys).front()->isHidden());
    EXPECT_FALSE(descendantsOf<TextLabel>(keys).front()->isHidden());
    auto* faded = dynamic_cast<QGraphicsOpacityEffect*>(keys.graphicsEffect());
    ASSERT_NE(faded, nullptr);
    EXPECT_EQ(faded->opacity(), 0.5);
    EXPECT_TRUE(keys.isEnabled()) << "read-only keys fade; they are not a disabled control";
}

TEST(PanelShortcutKeysTest, AnEditorMakesTheKeysAButton) {
    PanelShortcutKeys::Props props = keyProps();
    props.editor = PanelShortcutKeys::Props::Editor{u"Centre shortcut"_s, u"Records a new shortcut"_s,
                                                    u"Q&A <b>edit</b>"_s};
    PanelShortcutKeys keys(props);
    int edits = 0;
    keys.setOnEdit([&] { ++edits; });
    QAccessibleInterface* element = QAccessible::queryAccessibleInterface(&keys);
    EXPECT_EQ(element->role(), QAccessible::Button);
    EXPECT_EQ(element->text(QAccessible::Name), u"Centre shortcut"_s);
    EXPECT_EQ(element->text(QAccessible::Value), u"⌃ ⌥ C"_s);
    EXPECT_EQ(element->text(QAccessible::Description), u"Records a new shortcut"_s);
    EXPECT_TRUE(keys.toolTip().contains(u"Q&amp;A &lt;b&gt;edit&lt;/b&gt;"_s)) << "the help shows as written";
    EXPECT_EQ(keys.focusPolicy(), Qt::StrongFocus);

    testing::renderOffscreen(keys, keys.sizeHint());
    QTest::mouseClick(&keys, Qt::LeftButton);
    QTest::keyClick(&keys, Qt::Key_Space);
    EXPECT_EQ(edits, 2);

    props.isDisabled = true;
    keys.setProps(props);
    EXPECT_FALSE(keys.isEnabled());
    EXPECT_EQ(keys.graphicsEffect(), nullptr) << "a disabled button, not faded keys";
    QTest::mouseClick(&keys, Qt::LeftButton);
    EXPECT_EQ(edits, 2);
}

class PanelActionRowLook : public ::testing::TestWithParam<ColorScheme> {};

TEST_P(PanelActionRowLook, RowsInEachState) {
    const ColorScheme scheme = GetParam();
    QWidget window;
    paintAsWindow(window, scheme);
    auto* column = new QVBoxLayout(&window);
    column->setContentsMargins(16, 16, 16, 16);
    column->setSpacing(4);
    const auto add = [&](PanelActionRow::Props row, PanelShortcutKeys::Props keys, bool action) {
        auto* widget = new PanelActionRow(std::move(row), new PanelShortcutKeys(std::move(keys)));
        if (action) {
            widget->setPerform([] {});
        }
        column->addWidget(widget);
    };
    PanelActionRow::Props hovered = rowProps(u"Left half"_s);
    hovered.symbol = u"rectangle.lefthalf.inset.filled"_s;
    hovered.hovered = true;
    add(hovered, keyProps({u"⌃"_s, u"⌥"_s, u"←"_s}), true);
    PanelActionRow::Props suggested = rowProps(u"Right half"_s);
    suggested.symbol = u"rectangle.righthalf.inset.filled"_s;
    suggested.isSuggested = true;
    suggested.badge = u"10"_s;
    PanelShortcutKeys::Props editing = keyProps({u"⌃"_s, u"⌥"_s, u"→"_s});
    editing.isEditing = true;
    add(suggested, editing, true);
    PanelShortcutKeys::Props conflict = keyProps();
    conflict.hasConflict = true;
    add(rowProps(u"Centre <b>Q&A</b>, a title long enough to need a second line"_s), conflict, false);
    PanelActionRow::Props disabled = rowProps(u"Maximize"_s);
    disabled.symbol = u"arrow.up.left.and.arrow.down.right"_s;
    disabled.isDisabled = true;
    disabled.isSuggested = true;
    PanelShortcutKeys::Props placeholder = keyProps({});
    placeholder.placeholder = u"Not set"_s;
    placeholder.isDisabled = true;
    add(disabled, placeholder, true);
    const int width = 368;
    EXPECT_TRUE(
        kitGoldens().matches(u"action-rows-"_s + QLatin1String(schemeName(scheme)),
                             testing::renderOffscreen(window, QSize(width, window.heightForWidth(width)))));
}

INSTANTIATE_TEST_SUITE_P(Schemes, PanelActionRowLook,
                         ::testing::Values(ColorScheme::light, ColorScheme::dark));

} // namespace
} // namespace corbel
