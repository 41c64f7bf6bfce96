// The brand descriptor, the shared colours, the colour table and the brand background.

#include "corbel/ui/BrandBackground.hpp"
#include "corbel/ui/BrandPalette.hpp"
#include "corbel/ui/CorbelBrand.hpp"
#include "corbel/ui/KitColors.hpp"
#include "corbel/ui/QtWorkarounds.hpp"
#include "corbel/ui/testing/GoldenImages.hpp"

#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <ostream>
#include <vector>

namespace corbel {

void PrintTo(ColorScheme scheme, std::ostream* out) {
    *out << (scheme == ColorScheme::dark ? "dark" : "light");
}

namespace {

const QColor brandBlue(36, 92, 242);
const QColor darkBlue(107, 152, 255);
const QColor lightGreen(0, 160, 60);

CorbelBrand brand(QColor color, std::optional<QColor> dark = std::nullopt,
                  std::optional<QColor> light = std::nullopt,
                  CorbelBrand::Connection connection = CorbelBrand::Connection::offline) {
    return CorbelBrand(QStringLiteral("Sample"), color, connection, dark, light);
}

TEST(CorbelBrandTest, AccentFallsBackToTheColourPerScheme) {
    struct Case {
        std::optional<QColor> dark;
        std::optional<QColor> light;
        QColor inDark;
        QColor inLight;
    };
    const std::vector<Case> cases{
        {std::nullopt, std::nullopt, brandBlue, brandBlue},
        {darkBlue, std::nullopt, darkBlue, brandBlue},
        {std::nullopt, lightGreen, brandBlue, lightGreen},
        {darkBlue, lightGreen, darkBlue, lightGreen},
    };
    for (const Case& c : cases) {
        const CorbelBrand b = brand(brandBlue, c.dark, c.light);
        EXPECT_EQ(b.accent(ColorScheme::dark), c.inDark);
        EXPECT_EQ(b.accent(ColorScheme::light), c.inLight);
    }
}

TEST(CorbelBrandTest, ButtonLabelIsWhiteOrBlackByContrastWithTheColourOnly) {
    struct Case {
        QColor color;
        QColor label;
    };
    // sRGB 0.4845 is a linear grey of about 0.2: 5 against black beats 4.2 against white.
    const std::vector<Case> cases{
        {brandBlue, Qt::white},           {QColor(Qt::white), Qt::black},
        {QColor(Qt::black), Qt::white},   {QColor::fromRgbF(0.4845f, 0.4845f, 0.4845f), Qt::black},
        {QColor(255, 204, 0), Qt::black},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(brand(c.color).buttonLabelColor(), c.label) << c.color.name().toStdString();
    }
    // A light accent never decides the label.
    EXPECT_EQ(brand(brandBlue, Qt::white, Qt::white).buttonLabelColor(), QColor(Qt::white));
}

TEST(CorbelBrandTest, EqualContrastGivesWhite) {
    const double boundary = std::sqrt(1.05 * 0.05) - 0.05; // about 0.1791
    EXPECT_EQ(contrastingLabelColor(boundary - 1e-9), QColor(Qt::white));
    EXPECT_EQ(contrastingLabelColor(boundary + 1e-9), QColor(Qt::black));
    EXPECT_NEAR(relativeLuminance(QColor::fromRgbF(0.4845f, 0.4845f, 0.4845f)), 0.2, 1e-3);
}

TEST(CorbelBrandTest, PrivacyLineClaimsNoNetworkOnlyForAnOfflineProductWithoutAccess) {
    using Connection = CorbelBrand::Connection;
    const PrivacyStatement noData{KitLabel::noDataCollected, "hand.raised"};
    const PrivacyStatement noNetwork{KitLabel::noInternetNoDataCollected, "network.slash"};
    EXPECT_EQ(privacyStatement(Connection::online, false), noData);
    EXPECT_EQ(privacyStatement(Connection::online, true), noData);
    EXPECT_EQ(privacyStatement(Connection::offline, true), noData);
    EXPECT_EQ(privacyStatement(Connection::offline, false), noNetwork);
    // This program fetches its update feed, so even an offline brand must not claim no internet.
    EXPECT_EQ(brand(brandBlue).privacyLine(), noData);
}

TEST(BrandPaletteTest, FixedColours) {
    EXPECT_EQ(BrandPalette::warning(ColorScheme::light), QColor(184, 80, 0));
    EXPECT_EQ(BrandPalette::warning(ColorScheme::dark), systemColor(SystemColor::orange, ColorScheme::dark));
    EXPECT_EQ(PrivacyGreen::color(ColorScheme::light), QColor::fromRgbF(0.09f, 0.44f, 0.18f));
    EXPECT_EQ(PrivacyGreen::color(ColorScheme::dark), QColor::fromRgbF(0.19f, 0.82f, 0.35f));
}

TEST(BrandPaletteTest, NeutralsAreTheLabelColourAtTheirOpacities) {
    for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
        for (bool increased : {false, true}) {
            const QColor label = systemColor(SystemColor::label, scheme, increased);
            const struct {
                QColor color;
                double opacity;
            } cases[] = {
                {BrandPalette::support(scheme, increased), 0.7},
                {BrandPalette::card(scheme, increased), 0.06},
                {BrandPalette::focusRing(scheme, increased), 0.55},
                {BrandPalette::emphasis(scheme, increased), 0.16},
            };
            for (const auto& c : cases) {
                EXPECT_EQ(c.color.rgb(), label.rgb());
                EXPECT_NEAR(c.color.alphaF(), label.alphaF() * c.opacity, 1.0 / 255);
            }
        }
    }
}

// WCAG contrast of a colour composited over the window background.
double contrastOnWindow(SystemColor which, ColorScheme scheme, bool increased) {
    const QColor ground = systemColor(SystemColor::windowBackground, scheme, increased);
    const QColor color = systemColor(which, scheme, increased);
    const double a = color.alphaF();
    const QColor composite =
        QColor::fromRgbF(static_cast<float>(color.redF() * a + ground.redF() * (1 - a)),
                         static_cast<float>(color.greenF() * a + ground.greenF() * (1 - a)),
                         static_cast<float>(color.blueF() * a + ground.blueF() * (1 - a)));
    const double one = relativeLuminance(composite);
    const double two = relativeLuminance(ground);
    return (std::max(one, two) + 0.05) / (std::min(one, two) + 0.05);
}

TEST(KitColorsTest, IncreasedContrastRaisesTheContrastOfEverySignal) {
    for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
        EXPECT_EQ(systemColor(SystemColor::windowBackground, scheme, true),
                  systemColor(SystemColor::windowBackground, scheme, false));
        for (SystemColor which : {SystemColor::label, SystemColor::secondaryLabel,
                                  SystemColor::quaternaryFill, SystemColor::separator, SystemColor::orange,
                                  SystemColor::red, SystemColor::green, SystemColor::accent}) {
            EXPECT_GT(contrastOnWindow(which, scheme, true), contrastOnWindow(which, scheme, false))
                << static_cast<int>(which) << " in " << (scheme == ColorScheme::dark ? "dark" : "light");
        }
    }
}

TEST(KitColorsTest, TextReadsOnTheWindowInBothSchemes) {
    for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
        EXPECT_GE(contrastOnWindow(SystemColor::label, scheme, false), 7.0);
        EXPECT_GE(contrastOnWindow(SystemColor::secondaryLabel, scheme, false), 3.0);
    }
}

// Swatches of the whole colour table: a column per appearance (light, dark, then each with
// increased contrast), a row per colour, each laid on that appearance's window background.
class ColorTableSwatches : public QWidget {
protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const struct {
            ColorScheme scheme;
            bool increased;
        } columns[] = {{ColorScheme::light, false},
                       {ColorScheme::dark, false},
                       {ColorScheme::light, true},
                       {ColorScheme::dark, true}};
        int x = 0;
        for (const auto& column : columns) {
            painter.fillRect(x, 0, 48, height(),
                             systemColor(SystemColor::windowBackground, column.scheme, column.increased));
            int y = 4;
            for (SystemColor which : allSystemColors) {
                painter.fillRect(x + 8, y, 32, 16, systemColor(which, column.scheme, column.increased));
                y += 20;
            }
            x += 48;
        }
    }
};

TEST(KitColorsTest, TableMatchesItsGolden) {
    ColorTableSwatches swatches;
    const testing::GoldenImages goldens{QStringLiteral(CORBEL_GOLDEN_FOLDER),
                                        QStringLiteral(CORBEL_GOLDEN_FAILURE_FOLDER)};
    EXPECT_TRUE(goldens.matches(
        QStringLiteral("color-table"),
        testing::renderOffscreen(swatches, QSize(192, 8 + 20 * int(allSystemColors.size())))));
}

TEST(BrandBackgroundRecipeTest, StopsMixTheBaseTowardTheBrand) {
    struct Case {
        bool dark;
        std::array<ColorTriple, 3> expected;
    };
    const double base = 20.0 / 255;
    const std::vector<Case> cases{
        {false, {{{1, 0.902, 0.902}, {1, 0.951, 0.951}, {1, 1, 1}}}},
        {true,
         {{{0.2627450980392157, 0.06274509803921569, 0.06274509803921569},
           {0.17058823529411765, 0.07058823529411765, 0.07058823529411765},
           {base, base, base}}}},
    };
    for (const Case& c : cases) {
        const auto stops = BrandBackgroundRecipe::stops({1, 0, 0}, c.dark);
        for (std::size_t i = 0; i < stops.size(); ++i) {
            EXPECT_NEAR(stops[i].red, c.expected[i].red, 1e-12) << i;
            EXPECT_NEAR(stops[i].green, c.expected[i].green, 1e-12) << i;
            EXPECT_NEAR(stops[i].blue, c.expected[i].blue, 1e-12) << i;
        }
    }
}

class BrandBackgroundTest : public ::testing::TestWithParam<ColorScheme> {
protected:
    testing::GoldenImages goldens{QStringLiteral(CORBEL_GOLDEN_FOLDER),
                                  QStringLiteral(CORBEL_GOLDEN_FAILURE_FOLDER)};
};

QColor pixel(const QImage& image, int x, int y) {
    return QColor::fromRgba(image.pixel(x, y));
}

bool near(const QColor& a, ColorTriple b) {
    const auto close = [](int channel, double expected) {
        return std::abs(channel - expected * 255) <= 2;
    };
    return close(a.red(), b.red) && close(a.green(), b.green) && close(a.blue(), b.blue);
}

TEST_P(BrandBackgroundTest, RunsFromTheTintedCornerToThePlainBase) {
    const ColorScheme scheme = GetParam();
    const char* schemeName = scheme == ColorScheme::dark ? "dark" : "light";
    for (QSize size : {QSize(368, 240), QSize(560, 420)}) {
        BrandBackground background({brandBlue});
        background.setPalette(kitPalette(scheme, false, brandBlue));
        const QImage image = testing::renderOffscreen(background, size);
        ASSERT_EQ(image.size(), size * 2);

        const auto stops = BrandBackgroundRecipe::stops(
            {brandBlue.redF(), brandBlue.greenF(), brandBlue.blueF()}, scheme == ColorScheme::dark);
        EXPECT_TRUE(near(pixel(image, 0, 0), stops[0])) << pixel(image, 0, 0).name().toStdString();
        EXPECT_TRUE(near(pixel(image, image.width() - 1, image.height() - 1), stops[2]));

        const QString name = QStringLiteral("brand-background-%1x%2-%3")
                                 .arg(size.width())
                                 .arg(size.height())
                                 .arg(QString::fromUtf8(schemeName));
        EXPECT_TRUE(goldens.matches(name, image));
    }
}

TEST_P(BrandBackgroundTest, FollowsAPaletteChange) {
    const ColorScheme scheme = GetParam();
    const ColorScheme other = scheme == ColorScheme::dark ? ColorScheme::light : ColorScheme::dark;
    BrandBackground background({brandBlue});
    background.setPalette(kitPalette(scheme, false, brandBlue));
    const QImage before = testing::renderOffscreen(background, QSize(40, 40));
    background.setPalette(kitPalette(other, false, brandBlue));
    const QImage after = testing::renderOffscreen(background, QSize(40, 40));
    const ColorTriple base =
        other == ColorScheme::dark ? BrandBackgroundRecipe::darkBase : BrandBackgroundRecipe::lightBase;
    EXPECT_NE(before, after);
    EXPECT_TRUE(near(pixel(after, after.width() - 1, after.height() - 1), base));
}

INSTANTIATE_TEST_SUITE_P(Schemes, BrandBackgroundTest,
                         ::testing::Values(ColorScheme::light, ColorScheme::dark),
                         [](const auto& info) { return info.param == ColorScheme::dark ? "dark" : "light"; });

} // namespace
} // namespace corbel
