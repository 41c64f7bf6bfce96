#include "corbel/ui/SymbolView.hpp"

#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/Symbols.hpp"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace corbel {

SymbolView::SymbolView(Props props, QWidget* parent) : KitView(std::move(props), parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QFont SymbolView::font() const {
    return roleFont(props().role, KitEnvironment::values(*this).textSizeFactor);
}

QSize SymbolView::sizeHint() const {
    const QFont f = font();
    // A frame narrower than the symbol would cut it at large text sizes: the frame only ever widens.
    const qreal width = std::max(props().frameWidth, qreal(f.pixelSize()));
    return {static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(QFontMetricsF(f).height()))};
}

qreal SymbolView::firstBaseline(int) const {
    return QFontMetricsF(font()).ascent();
}

QRectF SymbolView::symbolRect() const {
    const QFont f = font();
    const QFontMetricsF metrics(f);
    const qreal side = f.pixelSize();
    // Centred on the middle of a capital letter, as symbols beside text are.
    const qreal middle = metrics.ascent() - metrics.capHeight() / 2;
    return {(width() - side) / 2, middle - side / 2, side, side};
}

void SymbolView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QColor color = props().color.value_or(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    drawSymbol(painter, symbolRect(), props().name, color, symbolWeight(font()));
}

} // namespace corbel
