// The kit's stand-ins for what Qt 6.4 lacks: the scheme in the palette, the tint as Highlight,
// equal-width digits.

#include "corbel/ui/CorbelFont.hpp"
#include "corbel/ui/KitColors.hpp"
#include "corbel/ui/QtWorkarounds.hpp"

#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace corbel {
namespace {

TEST(QtWorkaroundsTest, APaletteCarriesItsSchemeAndTint) {
    const QColor tint(36, 92, 242);
    for (ColorScheme scheme : {ColorScheme::light, ColorScheme::dark}) {
        for (bool increased : {false, true}) {
            const QPalette palette = kitPalette(scheme, increased, tint);
            EXPECT_EQ(schemeOf(palette), scheme);
            EXPECT_EQ(tintOf(palette), tint);
            EXPECT_EQ(palette.color(QPalette::WindowText),
                      systemColor(SystemColor::label, scheme, increased));
        }
    }
    // Text on the tint stays legible on a pale tint too.
    EXPECT_EQ(kitPalette(ColorScheme::light, false, QColor(255, 230, 120)).color(QPalette::HighlightedText),
              QColor(Qt::black));
    EXPECT_EQ(kitPalette(ColorScheme::light, false, tint).color(QPalette::HighlightedText),
              QColor(Qt::white));
}

TEST(QtWorkaroundsTest, DigitsTakeEqualWidths) {
    const QFont readout = roleFont(CorbelFont::readout);
    const QFontMetricsF metrics(readout);
    // The face's own digits differ in width, which is what the workaround is for.
    ASSERT_LT(metrics.horizontalAdvance(QStringLiteral("11")),
              metrics.horizontalAdvance(QStringLiteral("00")));

    const qreal advance = equalDigitAdvance(readout);
    EXPECT_DOUBLE_EQ(equalWidthTextWidth(readout, u"11:11"), equalWidthTextWidth(readout, u"08:59"));
    EXPECT_DOUBLE_EQ(equalWidthTextWidth(readout, u"11:11"),
                     4 * advance + metrics.horizontalAdvance(QLatin1Char(':')));
    for (char digit = '0'; digit <= '9'; ++digit) {
        EXPECT_LE(metrics.horizontalAdvance(QLatin1Char(digit)), advance);
    }
}

// The columns of an image that hold ink.
std::pair<int, int> inkColumns(const QImage& image) {
    int first = image.width();
    int last = -1;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(image.pixel(x, y)) > 0) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
        }
    }
    return {first, last};
}

TEST(QtWorkaroundsTest, ANarrowDigitIsDrawnInTheMiddleOfItsCell) {
    const QFont readout = roleFont(CorbelFont::readout);
    const auto draw = [&](QStringView text) {
        QImage image(200, 40, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setFont(readout);
        painter.setPen(Qt::black);
        drawEqualWidthText(painter, QPointF(0, 30), text);
        return image;
    };
    // "1" after "0" starts one full digit cell in, and sits near the middle of that cell.
    const qreal advance = equalDigitAdvance(readout);
    const auto [first, last] = inkColumns(draw(u"01"));
    ASSERT_GE(last, first);
    const auto [oneFirst, oneLast] = inkColumns(draw(u"1"));
    const double oneCentre = (oneFirst + oneLast) / 2.0;
    EXPECT_NEAR(oneCentre, advance / 2, 2.0);
    EXPECT_NEAR(last - oneLast, advance, 1.0);
}

} // namespace
} // namespace corbel
