// Inline notices, notice cards and key caps: what they show, how they read to accessibility tools,
// how they grow, and how they look in both schemes.

#include "corbel/ui/InlineNotice.hpp"

#include "KitViewTesting.hpp"
#include "corbel/ui/AccessibilityTextSize.hpp"
#include "corbel/ui/BrandPalette.hpp"
#include "corbel/ui/KeyCaps.hpp"
#include "corbel/ui/KitButton.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/NoticeCard.hpp"
#include "corbel/ui/SymbolView.hpp"
#include "corbel/ui/TextLabel.hpp"

#include <QAccessible>
#include <QVBoxLayout>

#include <gtest/gtest.h>

namespace corbel {
namespace {

using namespace Qt::Literals::StringLiterals;

const QString longMessage = u"Another application already uses Control-Option-Left. Choose which one keeps "
                            u"the shortcut, or turn the other application's shortcut off in its settings."_s;

TEST(InlineNoticeTest, EachKindShowsItsSymbolAndTint) {
    struct Case {
        NoticeKind kind;
        QString symbol;
        bool warning;
    };
    for (const Case& c :
         {Case{NoticeKind::warning, u"exclamationmark.triangle"_s, true},
          Case{NoticeKind::waiting, u"clock"_s, false}, Case{NoticeKind::info, u"info.circle"_s, false}}) {
        for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
            QWidget host;
            paintAsWindow(host, scheme);
            auto* notice =
                new InlineNotice({.kind = c.kind, .text = u"Waiting for permission"_s}, nullptr, &host);
            const std::vector<SymbolView*> symbols = descendantsOf<SymbolView>(*notice);
            ASSERT_EQ(symbols.size(), 1u);
            EXPECT_EQ(symbols[0]->props().name, c.symbol);
            EXPECT_EQ(symbols[0]->props().color,
                      c.warning ? BrandPalette::warning(scheme) : BrandPalette::support(scheme));
            EXPECT_EQ(symbols[0]->sizeHint().width(), 20);
        }
    }
}

TEST(InlineNoticeTest, ASchemeChangeRecoloursNoticesAndCards) {
    QWidget host;
    paintAsWindow(host, ColorScheme::light);
    auto* notice =
        new InlineNotice({.kind = NoticeKind::warning, .text = u"Permission needed"_s}, nullptr, &host);
    auto* card = new NoticeCard({u"exclamationmark.triangle.fill"_s, u"Title"_s, u"Message"_s}, {}, &host);
    paintAsWindow(host, ColorScheme::dark);
    EXPECT_EQ(descendantsOf<SymbolView>(*notice).front()->props().color,
              BrandPalette::warning(ColorScheme::dark));
    EXPECT_EQ(descendantsOf<SymbolView>(*card).front()->props().color,
              BrandPalette::warning(ColorScheme::dark));
    EXPECT_EQ(descendantsOf<TextLabel>(*card).back()->props().color,
              BrandPalette::support(ColorScheme::dark));
}

TEST(InlineNoticeTest, ReadsAsOneElementUnlessItHasATrailingControl) {
    InlineNotice plain({.kind = NoticeKind::info, .text = u"Shortcuts work in every application."_s});
    QAccessibleInterface* one = QAccessible::queryAccessibleInterface(&plain);
    EXPECT_EQ(one->childCount(), 0);
    EXPECT_EQ(one->text(QAccessible::Name), u"Shortcuts work in every application."_s);

    auto* button = new KitButton({.title = u"Open Settings"_s});
    InlineNotice withButton({.kind = NoticeKind::warning, .text = u"Permission needed"_s}, button);
    QAccessibleInterface* container = QAccessible::queryAccessibleInterface(&withButton);
    ASSERT_EQ(container->childCount(), 2) << "the text and the button; the symbol is hidden";
    EXPECT_EQ(container->child(0)->text(QAccessible::Name), u"Permission needed"_s);
    EXPECT_EQ(container->child(1)->object(), button);
    EXPECT_EQ(container->child(1)->role(), QAccessible::Button);
}

TEST(InlineNoticeTest, ALongTextWrapsAndTheNoticeGrows) {
    InlineNotice notice({.kind = NoticeKind::warning, .text = longMessage});
    InlineNotice shortNotice({.kind = NoticeKind::warning, .text = u"Short"_s});
    const int oneLine = shortNotice.heightForWidth(360);
    EXPECT_EQ(oneLine,
              12 + static_cast<int>(std::ceil(QFontMetricsF(roleFont(CorbelFont::support)).lineSpacing())) +
                  12);
    EXPECT_GT(notice.heightForWidth(360), 3 * (oneLine - 24) + 24 - 1);
    testing::renderOffscreen(notice, QSize(360, notice.heightForWidth(360)));
    const TextLabel* text = descendantsOf<TextLabel>(notice).front();
    QString shown;
    for (const QString& line : text->linesAt(text->width()).texts) {
        shown += (shown.isEmpty() ? QString() : u" "_s) + line;
    }
    EXPECT_EQ(shown, longMessage) << "nothing truncated";
    EXPECT_EQ(text->x(), 12 + 20 + 12);
}

TEST(NoticeCardTest, WarningColourBySchemeAndWrappedMessage) {
    for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
        QWidget host;
        paintAsWindow(host, scheme);
        auto* layout = new QVBoxLayout(&host);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* card =
            new NoticeCard({u"exclamationmark.triangle.fill"_s, u"Shortcut in use"_s, longMessage},
                           {new KitButton({.title = u"Preferences"_s}), new KitButton({.title = u"Help"_s})});
        layout->addWidget(card);
        const SymbolView* symbol = descendantsOf<SymbolView>(*card).front();
        EXPECT_EQ(symbol->props().color, scheme == ColorScheme::dark
                                             ? systemColor(SystemColor::orange, scheme)
                                             : QColor::fromRgbF(184 / 255.0F, 80 / 255.0F, 0));
        for (KitButton* button : descendantsOf<KitButton>(*card)) {
            EXPECT_EQ(button->props().style, ButtonStyle::bordered);
            EXPECT_EQ(button->props().size, ControlSize::small);
        }
        const int narrow = host.heightForWidth(240);
        const int wide = host.heightForWidth(600);
        EXPECT_GT(narrow, wide + 2 * QFontMetricsF(roleFont(CorbelFont::detail)).lineSpacing() - 1);
    }
}

TEST(NoticeCardTest, AButtonNarrowerThanItsLabelGetsTheHeightOfItsLines) {
    // At the largest text size "Tastenkürzel anzeigen" is wider than the card and wraps: the card
    // must give the button both lines, not the one it asks for.
    QWidget host;
    KitEnvironment::of(host).setTextSizeFactor(largestTextSizeFactor);
    auto* layout = new QVBoxLayout(&host);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* button = new KitButton({.title = u"Tastenkürzel anzeigen"_s});
    layout->addWidget(new NoticeCard({u"exclamationmark.triangle.fill"_s, u"Belegt"_s, u"Kurz."_s}, {button}));
    const int width = 300;
    host.setFixedWidth(width); // as the panel is
    testing::renderOffscreen(host, QSize(width, host.heightForWidth(width)));
    ASSERT_LT(button->width(), button->sizeHint().width());
    EXPECT_GT(button->height(), button->sizeHint().height()) << "wrapped onto a second line";
    EXPECT_EQ(button->height(), button->heightForWidth(button->width()));
}

TEST(KeyCapsTest, SizesAndSpokenNames) {
    KeyCaps three({{u"⌃"_s, u"⌥"_s, u"C"_s}});
    const std::vector<QRectF> caps = three.capRects();
    ASSERT_EQ(caps.size(), 3u);
    for (const QRectF& cap : caps) {
        EXPECT_EQ(cap.size(), QSizeF(20, 20)) << "square caps";
    }
    EXPECT_EQ(caps[1].left() - caps[0].right(), 4);
    EXPECT_EQ(three.sizeHint(), QSize(68, 20));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&three)->text(QAccessible::Name), u"⌃ ⌥ C"_s);
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&three)->childCount(), 0);

    // A word gets 8 pixels on each side; equal keys stay distinct caps.
    KeyCaps word({{u"Space"_s, u"⌃"_s, u"⌃"_s}});
    const qreal text = QFontMetricsF(roleFont(CorbelFont::keyCap)).horizontalAdvance(u"Space"_s);
    EXPECT_EQ(word.capRects()[0].width(), std::ceil(text) + 16);
    EXPECT_EQ(word.capRects().size(), 3u);

    KeyCaps none({});
    EXPECT_TRUE(none.capRects().empty());
    EXPECT_EQ(none.sizeHint(), QSize(0, 0));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(&none)->text(QAccessible::Name), QString());
}

class NoticesLook : public ::testing::TestWithParam<ColorScheme> {};

TEST_P(NoticesLook, NoticesInAWindow) {
    const ColorScheme scheme = GetParam();
    QWidget window;
    paintAsWindow(window, scheme);
    auto* column = new QVBoxLayout(&window);
    column->setContentsMargins(16, 16, 16, 16);
    column->setSpacing(12);
    column->addWidget(
        new InlineNotice({NoticeKind::warning, u"Tidewright needs permission to move windows."_s},
                         new KitButton({.title = u"Open Settings"_s, .size = ControlSize::small})));
    column->addWidget(new InlineNotice({NoticeKind::waiting, u"Waiting for the window manager…"_s}));
    column->addWidget(new InlineNotice({NoticeKind::info, longMessage}));
    column->addWidget(new NoticeCard(
        {u"exclamationmark.triangle.fill"_s, u"Q&A <b>x</b> uses Control-Option-C"_s, longMessage},
        {new KitButton({.title = u"Preferences"_s}), new KitButton({.title = u"Not now"_s})}));
    column->addStretch();
    const int width = 368;
    EXPECT_TRUE(kitGoldens().matches(
        QStringLiteral("notices-") + QLatin1String(schemeName(scheme)),
        testing::renderRoundedOffscreen(window, QSize(width, window.heightForWidth(width)), 16)));
}

TEST_P(NoticesLook, KeyCapsRows) {
    const ColorScheme scheme = GetParam();
    QWidget window;
    paintAsWindow(window, scheme);
    auto* column = new QVBoxLayout(&window);
    column->setContentsMargins(12, 12, 12, 12);
    column->setSpacing(8);
    for (const QStringList& keys : {QStringList{u"⌃"_s, u"⌥"_s, u"←"_s}, QStringList{u"⌃"_s, u"⌥"_s, u"→"_s},
                                    QStringList{u"⌃"_s, u"⌥"_s, u"↑"_s}, QStringList{u"⌃"_s, u"⌥"_s, u"D"_s},
                                    QStringList{u"⌃"_s, u"⌥"_s, u"↓"_s}, QStringList{u"⌘"_s, u","_s},
                                    QStringList{u"Space"_s, u"Return"_s}}) {
        column->addWidget(new KeyCaps({keys}), 0, Qt::AlignLeft);
    }
    EXPECT_TRUE(kitGoldens().matches(QStringLiteral("key-caps-") + QLatin1String(schemeName(scheme)),
                                     testing::renderOffscreen(window, window.sizeHint())));
}

INSTANTIATE_TEST_SUITE_P(Schemes, NoticesLook, ::testing::Values(ColorScheme::light, ColorScheme::dark));

} // namespace
} // namespace corbel
