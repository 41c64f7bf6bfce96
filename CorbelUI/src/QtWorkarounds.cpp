#include "corbel/ui/QtWorkarounds.hpp"

#include "corbel/ui/CorbelBrand.hpp"
#include "corbel/ui/KitColors.hpp"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace corbel {
namespace {

bool isDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

} // namespace

ColorScheme schemeOf(const QPalette& palette) {
    return palette.color(QPalette::Window).lightnessF() < 0.5 ? ColorScheme::dark : ColorScheme::light;
}

QPalette kitPalette(ColorScheme scheme, bool increasedContrast, const QColor& tint) {
    const auto color = [&](SystemColor which) {
        return systemColor(which, scheme, increasedContrast);
    };
    const QColor window = color(SystemColor::windowBackground);
    const QColor label = color(SystemColor::label);
    const QColor secondary = color(SystemColor::secondaryLabel);

    QPalette palette;
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const bool disabled = group == QPalette::Disabled;
        palette.setColor(group, QPalette::Window, window);
        palette.setColor(group, QPalette::Base, window);
        palette.setColor(group, QPalette::AlternateBase, window);
        palette.setColor(group, QPalette::Button, window);
        palette.setColor(group, QPalette::ToolTipBase, window);
        for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText,
                                         QPalette::ToolTipText, QPalette::BrightText}) {
            palette.setColor(group, role, disabled ? secondary : label);
        }
        palette.setColor(group, QPalette::PlaceholderText, secondary);
        palette.setColor(group, QPalette::Mid, color(SystemColor::separator));
        palette.setColor(group, QPalette::Highlight, tint);
        palette.setColor(group, QPalette::HighlightedText, contrastingLabelColor(relativeLuminance(tint)));
        palette.setColor(group, QPalette::Link, color(SystemColor::accent));
    }
    return palette;
}

QColor tintOf(const QPalette& palette) {
    return palette.color(QPalette::Highlight);
}

qreal equalDigitAdvance(const QFont& font) {
    const QFontMetricsF metrics(font);
    qreal widest = 0;
    for (char digit = '0'; digit <= '9'; ++digit) {
        widest = std::max(widest, metrics.horizontalAdvance(QLatin1Char(digit)));
    }
    return widest;
}

qreal equalWidthTextWidth(const QFont& font, QStringView text) {
    const QFontMetricsF metrics(font);
    const qreal digit = equalDigitAdvance(font);
    qreal width = 0;
    for (QChar c : text) {
        width += isDigit(c) ? digit : metrics.horizontalAdvance(c);
    }
    return width;
}

void drawEqualWidthText(QPainter& painter, QPointF baselineOrigin, QStringView text) {
    const QFontMetricsF metrics(painter.font());
    const qreal digit = equalDigitAdvance(painter.font());
    qreal x = baselineOrigin.x();
    for (QChar c : text) {
        const qreal own = metrics.horizontalAdvance(c);
        const qreal advance = isDigit(c) ? digit : own;
        painter.drawText(QPointF(x + (advance - own) / 2, baselineOrigin.y()), QString(c));
        x += advance;
    }
}

} // namespace corbel
