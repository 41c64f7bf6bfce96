// The kit's text view and baseline rows: wrapping, line limits, shrinking, first baselines, and
// texts shown exactly as given.

#include "corbel/ui/TextLabel.hpp"

#include "KitViewTesting.hpp"
#include "corbel/ui/AccessibilityTextSize.hpp"
#include "corbel/ui/FirstBaseline.hpp"
#include "corbel/ui/KeyCaps.hpp"
#include "corbel/ui/KitButton.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/KitMenuButton.hpp"
#include "corbel/ui/SymbolView.hpp"
#include "corbel/ui/WordWrapping.hpp"

#include <QAccessible>
#include <QFontMetricsF>
#include <QMenu>

#include <gtest/gtest.h>

namespace corbel {
namespace {

using namespace Qt::Literals::StringLiterals;

const QString longText = QStringLiteral(
    "Tidewright needs permission to move the windows of other applications before its shortcuts work.");

TEST(TextLabelTest, WrapsToTheWidthItIsGivenAndGrowsInHeight) {
    TextLabel label({.text = longText, .role = CorbelFont::support});
    const int oneLine = label.heightForWidth(4000);
    const int narrow = label.heightForWidth(120);
    const QFontMetricsF metrics(roleFont(CorbelFont::support));
    EXPECT_EQ(oneLine, std::ceil(metrics.lineSpacing()));
    EXPECT_GT(narrow, 3 * oneLine);
    EXPECT_EQ(label.sizeHint().width(), std::ceil(metrics.horizontalAdvance(longText)));
    // Every word is kept: the lines put together give the text back.
    EXPECT_EQ(label.linesAt(120).texts.size() * std::ceil(metrics.lineSpacing()) >= narrow - 1, true);
    QString joined;
    for (const QString& line : label.linesAt(120).texts) {
        joined += (joined.isEmpty() ? QString() : QStringLiteral(" ")) + line;
    }
    EXPECT_EQ(joined, longText);
    // Line breaks in the text start new lines.
    TextLabel paragraphs({.text = QStringLiteral("one\ntwo\n\nfour"), .role = CorbelFont::support});
    EXPECT_EQ(paragraphs.linesAt(4000).texts, (std::vector<QString>{u"one"_s, u"two"_s, u""_s, u"four"_s}));
}

TEST(TextLabelTest, ALineLimitElidesTheLastLineShown) {
    struct Case {
        int limit;
        int width;
    };
    for (const Case c : {Case{1, 200}, Case{2, 160}, Case{3, 90}}) {
        TextLabel label({.text = longText, .role = CorbelFont::support, .lineLimit = c.limit});
        const TextLabel::Lines lines = label.linesAt(c.width);
        ASSERT_EQ(lines.texts.size(), static_cast<std::size_t>(c.limit)) << c.limit;
        EXPECT_TRUE(lines.texts.back().endsWith(QChar(0x2026))) << lines.texts.back().toStdString();
        EXPECT_LE(QFontMetricsF(lines.font).horizontalAdvance(lines.texts.back()), c.width);
        EXPECT_EQ(label.heightForWidth(c.width), std::ceil(c.limit * lines.lineSpacing));
    }
    // A text that fits is not elided.
    TextLabel fits({.text = QStringLiteral("Short"), .role = CorbelFont::support, .lineLimit = 1});
    EXPECT_EQ(fits.linesAt(200).texts, std::vector<QString>{u"Short"_s});
}

TEST(TextLabelTest, ShrinksToFitBeforeEliding) {
    const QString text = QStringLiteral("Maximum height");
    const int full = roleFont(CorbelFont::title).pixelSize();
    const qreal fullWidth = QFontMetricsF(roleFont(CorbelFont::title)).horizontalAdvance(text);
    // Room for 80 % of the text's width: shrinking to 0.7 fits it whole, 0.9 does not and elides.
    const int width = static_cast<int>(fullWidth * 0.8);
    TextLabel shrinks({.text = text, .role = CorbelFont::title, .lineLimit = 1, .minimumScaleFactor = 0.7});
    const TextLabel::Lines shrunk = shrinks.linesAt(width);
    EXPECT_LT(shrunk.font.pixelSize(), full);
    EXPECT_GE(shrunk.font.pixelSize(), std::ceil(full * 0.7));
    EXPECT_EQ(shrunk.texts, std::vector<QString>{text});

    TextLabel limited({.text = text, .role = CorbelFont::title, .lineLimit = 1, .minimumScaleFactor = 0.9});
    const TextLabel::Lines elided = limited.linesAt(width);
    EXPECT_EQ(elided.font.pixelSize(), static_cast<int>(std::ceil(full * 0.9)));
    EXPECT_TRUE(elided.texts.front().endsWith(QChar(0x2026)));
    // With room enough the full size stays.
    EXPECT_EQ(shrinks.linesAt(4000).font.pixelSize(), full);
}

// The lines put back together, a space between two lines unless the first ends in a hyphen: the
// text itself when no line was split or cut.
QString rejoined(const std::vector<QString>& lines) {
    QString text;
    for (const QString& line : lines) {
        if (!text.isEmpty() && !text.endsWith(QLatin1Char('-'))) {
            text += QLatin1Char(' ');
        }
        text += line;
    }
    return text;
}

TEST(TextLabelTest, TextBreaksBetweenWordsOnlyAndShrinksJustEnoughForItsWidestWord) {
    const QString overLong = u"Donaudampfschifffahrtsgesellschaftskapitänswitwe"_s;
    struct Case {
        const char* name;
        QString text;
        CorbelFont role;
        double textSize;
        int width;
        std::vector<QString> lines; // empty: only the last line, elided, is checked
        bool shrinks;
    };
    const Case cases[] = {
        // A row title at the largest size beside its keys: "Hälfte" alone is wider than the line.
        {"compound beside keys", u"Linke Hälfte"_s, CorbelFont::detail, largestTextSizeFactor, 90,
         {u"Linke"_s, u"Hälfte"_s}, true},
        // A window title breaks after its hyphen, and "Einstellungen" fits the column whole.
        {"hyphenated title", u"Tidewright-Einstellungen"_s, CorbelFont::title, largestTextSizeFactor, 436,
         {u"Tidewright-"_s, u"Einstellungen"_s}, true},
        // A word too wide even at the floor is cut short on its own line, never split.
        {"single over-long word", overLong, CorbelFont::support, 1, 120, {}, true},
        // At the standard sizes ordinary text wraps as it always did, in its own size.
        {"normal text", u"Move windows with the keyboard"_s, CorbelFont::support, 1, 150,
         {u"Move windows with"_s, u"the keyboard"_s}, false},
        {"normal German", u"Linke Hälfte"_s, CorbelFont::detail, 1, 200, {u"Linke Hälfte"_s}, false},
    };
    for (const Case& c : cases) {
        QWidget host;
        KitEnvironment::of(host).setTextSizeFactor(c.textSize);
        TextLabel label({.text = c.text, .role = c.role}, &host);
        const TextLabel::Lines lines = label.linesAt(c.width);
        const int full = roleFont(c.role, c.textSize).pixelSize();
        const QFontMetricsF metrics(lines.font);
        for (const QString& line : lines.texts) {
            EXPECT_LE(metrics.horizontalAdvance(line), c.width) << c.name << ": " << line.toStdString();
        }
        if (c.lines.empty()) {
            ASSERT_EQ(lines.texts.size(), 1u) << c.name;
            EXPECT_EQ(lines.font.pixelSize(), wordFitFloor(c.role)) << c.name;
            EXPECT_TRUE(lines.texts.front().endsWith(QChar(0x2026))) << c.name;
            EXPECT_TRUE(c.text.startsWith(lines.texts.front().chopped(1))) << c.name;
        } else {
            EXPECT_EQ(lines.texts, c.lines) << c.name;
            EXPECT_EQ(rejoined(lines.texts), c.text) << c.name;
        }
        if (!c.shrinks) {
            EXPECT_EQ(lines.font.pixelSize(), full) << c.name;
            continue;
        }
        EXPECT_LT(lines.font.pixelSize(), full) << c.name;
        EXPECT_GE(lines.font.pixelSize(), wordFitFloor(c.role)) << c.name;
        if (!c.lines.empty()) {
            // Just enough: one pixel larger and the widest word would not fit.
            QFont larger = lines.font;
            larger.setPixelSize(lines.font.pixelSize() + 1);
            EXPECT_GT(widestWordWidth(c.text, larger), c.width) << c.name;
        }
    }
}

TEST(TextLabelTest, FollowsTheEnvironmentsTextSize) {
    QWidget host;
    TextLabel label({.text = QStringLiteral("Text"), .role = CorbelFont::support}, &host);
    const int normal = label.sizeHint().height();
    KitEnvironment::of(host).setTextSizeFactor(2);
    EXPECT_EQ(label.linesAt(400).font.pixelSize(), 2 * roleFont(CorbelFont::support).pixelSize());
    EXPECT_GT(label.sizeHint().height(), normal * 1.8);
}

TEST(BaselineRowTest, FirstBaselinesMeetWhateverTheirFonts) {
    QWidget host;
    auto* row = new BaselineRow(8, &host);
    auto* symbol = new SymbolView({.name = u"clock"_s, .role = CorbelFont::support, .frameWidth = 20}, &host);
    auto* big = new TextLabel({.text = u"Title"_s, .role = CorbelFont::title}, &host);
    auto* small = new TextLabel({.text = longText, .role = CorbelFont::detail}, &host);
    auto* caps = new KeyCaps({{u"⌃"_s, u"C"_s}}, &host);
    row->addWidget(symbol);
    row->addWidget(big);
    row->addWidget(small);
    row->addStretch();
    row->addWidget(caps);
    testing::renderOffscreen(host, QSize(400, host.heightForWidth(400)));

    const auto baseline = [](QWidget* widget) {
        return widget->y() + firstBaselineOf(*widget, widget->width(), widget->height());
    };
    EXPECT_NEAR(baseline(symbol), baseline(big), 1);
    EXPECT_NEAR(baseline(small), baseline(big), 1);
    EXPECT_NEAR(baseline(caps), baseline(big), 1);
    // The wrapping text narrows to what is left; the caps sit at the trailing edge.
    EXPECT_EQ(caps->geometry().right(), 399);
    EXPECT_EQ(small->x(), big->geometry().right() + 1 + 8);
    // The stretch between them has nothing left to take, but is spaced like any item.
    EXPECT_EQ(small->geometry().right() + 1 + 8 + 8, caps->x());
    EXPECT_GT(small->height(), big->height());
    EXPECT_EQ(host.heightForWidth(400), std::max(big->geometry().bottom(), small->geometry().bottom()) + 1);
}

TEST(PlainTextTest, AnApplicationNamedLikeMarkupShowsAsWritten) {
    const QString name = QStringLiteral("Q&A <b>x</b>");
    TextLabel label({.text = name, .role = CorbelFont::support});
    EXPECT_EQ(label.linesAt(4000).texts, std::vector<QString>{name});
    EXPECT_EQ(label.sizeHint().width(),
              std::ceil(QFontMetricsF(roleFont(CorbelFont::support)).horizontalAdvance(name)));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&label)->text(QAccessible::Name), name);

    KitButton button({.title = name});
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&button)->text(QAccessible::Name), name);
    KitButton ampersandOnly({.title = u"QA <b>x</b>"_s});
    EXPECT_GT(button.sizeHint().width(), ampersandOnly.sizeHint().width()); // the "&" is drawn

    // A menu shows each option as written: the action text escapes the "&".
    KitMenuButton menuButton({.title = name, .options = {name, u"Other"_s}, .selected = 0});
    menuButton.openMenu();
    ASSERT_NE(menuButton.menu(), nullptr);
    EXPECT_EQ(menuButton.menu()->actions().front()->text(), u"Q&&A <b>x</b>"_s);
    EXPECT_EQ(menuButton.menu()->actions().front()->iconText(), name);
    menuButton.menu()->close();
}

} // namespace
} // namespace corbel
