// Cards, the privacy line and the application icon: how they take the room they are offered, their
// colours in both schemes, and what accessibility tools see of them.

#include "corbel/ui/Cards.hpp"

#include "KitViewTesting.hpp"
#include "corbel/ui/AppIcon.hpp"
#include "corbel/ui/BrandPalette.hpp"
#include "corbel/ui/ChoiceMenu.hpp"
#include "corbel/ui/KitButton.hpp"
#include "corbel/ui/KitSwitch.hpp"
#include "corbel/ui/PreferencesFields.hpp"
#include "corbel/ui/PrivacyLine.hpp"
#include "corbel/ui/Rows.hpp"
#include "corbel/ui/SymbolView.hpp"
#include "corbel/ui/TextLabel.hpp"

#include <QAccessible>
#include <QApplication>
#include <QIcon>
#include <QLineEdit>
#include <QPainter>
#include <QPixmap>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <memory>

namespace corbel {
namespace {

using namespace Qt::Literals::StringLiterals;

const QString longStatement = u"Tidewright collects no data. It checks for updates on the maker's web site, "
                              u"and nothing else leaves this computer."_s;

std::unique_ptr<Card> makeCard(Card::Fill fill, qreal spacing, std::vector<QWidget*> content) {
    if (fill == Card::Fill::panel) {
        return std::make_unique<PanelCard>(CardProps{spacing}, std::move(content));
    }
    return std::make_unique<GlassCard>(CardProps{spacing}, std::move(content));
}

TEST(CardTest, StretchesToTheWidthOfferedWithNarrowContentAtTheLeadingEdge) {
    for (Card::Fill fill : {Card::Fill::panel, Card::Fill::glass}) {
        SCOPED_TRACE(fill == Card::Fill::panel ? "panel" : "glass");
        auto* icon = new AppIcon({.size = 20});
        auto* row = new SettingRow({.title = u"Sync"_s, .symbol = u"gearshape"_s}, nullptr);
        auto* text = new TextLabel({.text = u"Short"_s});
        std::unique_ptr<Card> card = makeCard(fill, 10, {icon, row, text});
        EXPECT_EQ(card->sizePolicy().horizontalPolicy(), QSizePolicy::Expanding);

        QWidget host;
        auto* column = new QVBoxLayout(&host);
        column->setContentsMargins(0, 0, 0, 0);
        column->addWidget(card.release(), 0, Qt::AlignTop);
        column->addStretch();
        testing::renderOffscreen(host, QSize(300, 200));
        const Card* shown = descendantsOf<Card>(host).front();
        EXPECT_EQ(shown->width(), 300);

        EXPECT_EQ(icon->geometry(), QRect(12, 12, 20, 20));
        EXPECT_EQ(row->geometry(), QRect(12, 42, 276, 32)) << "a row takes the full inner width";
        EXPECT_EQ(text->x(), 12);
        EXPECT_EQ(text->width(), text->sizeHint().width());
        EXPECT_EQ(text->y(), 84);
        EXPECT_EQ(shown->height(), text->geometry().bottom() + 1 + 12);
    }
}

TEST(CardTest, SpacingFollowsThePropsAndAWrappingTextMakesTheCardTaller) {
    auto* first = new TextLabel({.text = u"One"_s});
    auto* second = new TextLabel({.text = longStatement});
    PanelCard card({.spacing = 4}, {first, second});
    const int wide = card.heightForWidth(1000);
    card.setProps({.spacing = 20});
    EXPECT_EQ(card.heightForWidth(1000), wide + 16);
    EXPECT_GT(card.heightForWidth(200), card.heightForWidth(1000));
}

TEST(CardTest, FillsPanelWithTheCardColourAndGlassWithGlass) {
    for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
        for (Card::Fill fill : {Card::Fill::panel, Card::Fill::glass}) {
            std::unique_ptr<Card> card = makeCard(fill, 0, {});
            paintAsWindow(*card, scheme);
            card->setAutoFillBackground(false);
            const QImage image = testing::renderOffscreen(*card, QSize(100, 60), 1);
            const QColor expected = fill == Card::Fill::panel ? BrandPalette::card(scheme)
                                                              : systemColor(SystemColor::glass, scheme);
            const QColor centre = image.pixelColor(50, 30);
            EXPECT_NEAR(centre.alphaF(), expected.alphaF(), 0.01);
            EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0) << "rounded corners";
        }
    }
}

TEST(PrivacyLineTest, WrapsBelowTheFirstLineWithTheSymbolOnItsBaselineBothGreen) {
    for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
        QWidget host;
        paintAsWindow(host, scheme);
        auto* line = new PrivacyLine({.text = longStatement, .symbol = u"hand.raised"_s}, &host);
        auto* column = new QVBoxLayout(&host);
        column->setContentsMargins(0, 0, 0, 0);
        column->addWidget(line);
        const int width = 240;
        testing::renderOffscreen(host, QSize(width, host.heightForWidth(width)));

        const SymbolView* symbol = descendantsOf<SymbolView>(*line).front();
        const TextLabel* text = descendantsOf<TextLabel>(*line).front();
        EXPECT_GT(text->linesAt(text->width()).texts.size(), 1u);
        EXPECT_EQ(line->height(), text->heightForWidth(text->width())) << "every line shows";
        EXPECT_NEAR(symbol->y() + symbol->firstBaseline(symbol->width()),
                    text->y() + text->firstBaseline(text->width()), 1);
        EXPECT_EQ(symbol->width(), 20);
        EXPECT_EQ(text->x(), 28);
        EXPECT_EQ(symbol->props().color, PrivacyGreen::color(scheme));
        EXPECT_EQ(text->props().color, PrivacyGreen::color(scheme));
    }
}

TEST(PrivacyLineTest, FollowsASchemeChangeAndReadsAsItsText) {
    QWidget host;
    paintAsWindow(host, ColorScheme::light);
    auto* line = new PrivacyLine({.text = u"No data collected"_s, .symbol = u"hand.raised"_s}, &host);
    paintAsWindow(host, ColorScheme::dark);
    EXPECT_EQ(descendantsOf<TextLabel>(*line).front()->props().color, PrivacyGreen::color(ColorScheme::dark));

    line->setProps({.text = u"<b>Q&A</b>"_s, .symbol = u"network.slash"_s});
    EXPECT_EQ(descendantsOf<SymbolView>(*line).front()->props().name, u"network.slash"_s);
    QAccessibleInterface* access = QAccessible::queryAccessibleInterface(line);
    EXPECT_EQ(access->text(QAccessible::Name), u"<b>Q&A</b>"_s);
    EXPECT_EQ(access->childCount(), 0);
}

class AppIconTest : public ::testing::Test {
protected:
    void TearDown() override { QApplication::setWindowIcon(QIcon()); }
};

TEST_F(AppIconTest, StretchesTheApplicationsIconToItsSquare) {
    // A 16 × 8 icon, red on the left and blue on the right: stretched, not fitted.
    QPixmap pixmap(16, 8);
    pixmap.fill(Qt::red);
    {
        QPainter painter(&pixmap);
        painter.fillRect(8, 0, 8, 8, Qt::blue);
    }
    QApplication::setWindowIcon(QIcon(pixmap));
    AppIcon icon({.size = 40});
    EXPECT_EQ(icon.sizeHint(), QSize(40, 40));
    const QImage image = testing::renderOffscreen(icon, QSize(40, 40), 2);
    EXPECT_EQ(image.pixelColor(2, 2), QColor(Qt::red)) << "no margin above a wide icon";
    EXPECT_EQ(image.pixelColor(77, 77), QColor(Qt::blue));
    EXPECT_FALSE(accessiblyVisible(icon));

    icon.setProps({.size = 88});
    EXPECT_EQ(icon.sizeHint(), QSize(88, 88));
}

TEST_F(AppIconTest, WithoutAnIconItDrawsATileInTheTint) {
    QApplication::setWindowIcon(QIcon());
    AppIcon icon({.size = 40});
    paintAsWindow(icon, ColorScheme::light);
    icon.setAutoFillBackground(false);
    const QImage image = testing::renderOffscreen(icon, QSize(40, 40), 1);
    EXPECT_EQ(image.pixelColor(0, 0).alpha(), 0);
    EXPECT_EQ(image.pixelColor(3, 20), tintOf(icon.palette()));
}

class CardsLook : public ::testing::TestWithParam<ColorScheme> {};

TEST_P(CardsLook, CardsWithRowsAFieldAndThePrivacyLine) {
    const ColorScheme scheme = GetParam();
    QWidget window;
    paintAsWindow(window, scheme);
    auto* column = new QVBoxLayout(&window);
    column->setContentsMargins(16, 16, 16, 16);
    column->setSpacing(12);

    auto* quit = new KitButton({.title = u"Quit"_s, .size = ControlSize::small});
    preferencesDestructiveLabel(*quit);
    column->addWidget(new PanelCard(
        {.spacing = 0},
        {new SettingRow({.title = u"Open at Login"_s, .symbol = u"arrow.up.forward.app"_s},
                        new KitSwitch({.isOn = true, .size = ControlSize::small})),
         new SettingRow({.title = u"When Q&A <b>x</b> opens a window, put it in the middle of the screen"_s,
                         .symbol = u"rectangle.center.inset.filled"_s},
                        new ChoiceMenu<QString>({u"Centre"_s, {u"Maximize"_s, u"Centre"_s}},
                                                [](const QString& text) { return text; })),
         new ActionRow({.title = u"Quit Tidewright"_s,
                        .symbol = u"power"_s,
                        .color = systemColor(SystemColor::red, scheme)},
                       quit)}));

    auto* field = new QLineEdit(u"Q&A <b>x</b>"_s);
    auto* empty = new QLineEdit;
    empty->setPlaceholderText(u"Application name"_s);
    column->addWidget(new GlassCard(
        {.spacing = 8}, {new AppIcon({.size = 40}), preferencesFieldStyle(field), panelFieldStyle(empty)}));
    column->addWidget(new PrivacyLine({.text = longStatement, .symbol = u"hand.raised"_s}));
    column->addStretch();

    const int width = 368;
    EXPECT_TRUE(kitGoldens().matches(
        QStringLiteral("card-rows-") + QLatin1String(schemeName(scheme)),
        testing::renderRoundedOffscreen(window, QSize(width, window.heightForWidth(width)), 16)));
}

INSTANTIATE_TEST_SUITE_P(Schemes, CardsLook, ::testing::Values(ColorScheme::light, ColorScheme::dark));

} // namespace
} // namespace corbel
