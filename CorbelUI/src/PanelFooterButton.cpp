#include "corbel/ui/PanelFooterButton.hpp"

#include "corbel/ui/BrandFocus.hpp"
#include "corbel/ui/BrandPalette.hpp"
#include "corbel/ui/CorbelFont.hpp"
#include "corbel/ui/CorbelMetrics.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/QtWorkarounds.hpp"
#include "corbel/ui/Symbols.hpp"

#include <QPainter>
#include <QTextDocument>

#include <algorithm>
#include <cmath>

namespace corbel {

PanelFooterButton::PanelFooterButton(QString title, QString symbol, QWidget* parent)
    : KitButton({.title = std::move(title), .symbol = std::move(symbol), .style = ButtonStyle::plain},
                parent) {
    attachFocusRing(*this, RingShape::capsule());
    propsChanged();
}

void PanelFooterButton::setFocusChanged(std::function<void(bool)> focusChanged) {
    focusChanged_ = std::move(focusChanged);
}

QSize PanelFooterButton::sizeHint() const {
    // At large text sizes the circle grows with its symbol, keeping a margin around it.
    const qreal em = roleFont(CorbelFont::footerSymbol, KitEnvironment::values(*this).textSizeFactor).pixelSize();
    const int side = static_cast<int>(std::ceil(std::max(CorbelMetrics::panelFooterButton, em + em / 2)));
    return {side, side};
}

void PanelFooterButton::propsChanged() {
    // Rich text made from the plain title, so that "&" or "<b>" shows as written.
    setToolTip(Qt::convertFromPlainText(props().title, Qt::WhiteSpaceNormal));
    KitButton::propsChanged();
}

void PanelFooterButton::paintEvent(QPaintEvent*) {
    const ColorScheme scheme = schemeOf(palette());
    const KitEnvironmentValues environment = KitEnvironment::values(*this);
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(hovered_ ? BrandPalette::emphasis(scheme, environment.increasedContrast)
                              : BrandPalette::card(scheme, environment.increasedContrast));
    painter.drawEllipse(QRectF(rect()));
    const QFont font = roleFont(CorbelFont::footerSymbol, environment.textSizeFactor);
    const qreal em = font.pixelSize();
    drawSymbol(painter, QRectF((width() - em) / 2, (height() - em) / 2, em, em), props().symbol,
               palette().color(QPalette::Active, QPalette::ButtonText), symbolWeight(font));
}

void PanelFooterButton::enterEvent(QEnterEvent* event) {
    hovered_ = true;
    KitButton::enterEvent(event);
}

void PanelFooterButton::leaveEvent(QEvent* event) {
    hovered_ = false;
    KitButton::leaveEvent(event);
}

void PanelFooterButton::setFocused(bool focused) {
    if (focused == focused_) {
        return;
    }
    focused_ = focused;
    if (focusChanged_) {
        focusChanged_(focused);
    }
}

void PanelFooterButton::focusInEvent(QFocusEvent* event) {
    setFocused(true);
    KitButton::focusInEvent(event);
}

void PanelFooterButton::focusOutEvent(QFocusEvent* event) {
    setFocused(false);
    KitButton::focusOutEvent(event);
}

void PanelFooterButton::hideEvent(QHideEvent* event) {
    // Gone from the screen: the owner hears "not focused" whether or not it had focus.
    focused_ = false;
    if (focusChanged_) {
        focusChanged_(false);
    }
    KitButton::hideEvent(event);
}

} // namespace corbel
