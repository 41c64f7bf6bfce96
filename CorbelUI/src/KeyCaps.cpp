#include "corbel/ui/KeyCaps.hpp"

#include "corbel/ui/CorbelFont.hpp"
#include "corbel/ui/KitColors.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/QtWorkarounds.hpp"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace corbel {

KeyCaps::KeyCaps(Props props, QWidget* parent) : KitView(std::move(props), parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QFont KeyCaps::capFont() const {
    return roleFont(CorbelFont::keyCap, KitEnvironment::values(*this).textSizeFactor);
}

std::vector<QRectF> KeyCaps::capRects() const {
    const QFontMetricsF metrics(capFont());
    const qreal side = std::max(minimumSide, std::ceil(metrics.height()));
    std::vector<QRectF> rects;
    qreal x = 0;
    for (const QString& key : props().keys) {
        // Characters, not UTF-16 units: a key beyond the basic plane is still one character.
        const bool wide = key.toUcs4().size() > 1;
        const qreal width =
            std::max(side, std::ceil(metrics.horizontalAdvance(key)) + (wide ? 2 * widePadding : 0));
        rects.emplace_back(x, 0, width, side);
        x += width + spacing;
    }
    return rects;
}

QSize KeyCaps::sizeHint() const {
    const std::vector<QRectF> rects = capRects();
    if (rects.empty()) {
        return {0, 0};
    }
    return {static_cast<int>(std::ceil(rects.back().right())),
            static_cast<int>(std::ceil(rects.back().height()))};
}

qreal KeyCaps::firstBaseline(int) const {
    const QFontMetricsF metrics(capFont());
    const std::vector<QRectF> rects = capRects();
    const qreal side = rects.empty() ? minimumSide : rects.front().height();
    return (side - metrics.height()) / 2 + metrics.ascent();
}

void KeyCaps::paintEvent(QPaintEvent*) {
    const ColorScheme scheme = schemeOf(palette());
    const bool contrast = KitEnvironment::values(*this).increasedContrast;
    const QFont font = capFont();
    const QFontMetricsF metrics(font);
    const qreal baseline = firstBaseline(width());
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setFont(font);
    const std::vector<QRectF> rects = capRects();
    for (std::size_t i = 0; i < rects.size(); ++i) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(systemColor(SystemColor::quaternaryFill, scheme, contrast));
        painter.drawRoundedRect(rects[i], cornerRadius, cornerRadius);
        const QString& key = props().keys[static_cast<qsizetype>(i)];
        painter.setPen(palette().color(QPalette::Active, QPalette::WindowText));
        painter.drawText(QPointF(rects[i].center().x() - metrics.horizontalAdvance(key) / 2, baseline), key);
    }
}

} // namespace corbel
