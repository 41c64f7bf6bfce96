#include "corbel/ui/PanelFooterButton.hpp"

#include "corbel/ui/BrandFocus.hpp"
#include "corbel/ui/BrandPalette.hpp"
#include "corbel/ui/CorbelFont.hpp"
#include "corbel/ui/CorbelMetrics.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/QtWorkarounds.hpp"
#include "corbel/ui/Symbols.hpp"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTextDocument>

namespace corbel {

PanelFooterButton::PanelFooterButton(Props props, QWidget* parent) : KitView(std::move(props), parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    attachFocusRing(*this, RingShape::capsule());
    propsChanged();
}

void PanelFooterButton::setAction(std::function<void()> action) {
    action_ = std::move(action);
}

void PanelFooterButton::setFocusChanged(std::function<void(bool)> focusChanged) {
    focusChanged_ = std::move(focusChanged);
}

QSize PanelFooterButton::sizeHint() const {
    const int side = static_cast<int>(CorbelMetrics::panelFooterButton);
    return {side, side};
}

void PanelFooterButton::propsChanged() {
    // Rich text made from the plain title, so that "&" or "<b>" shows as written.
    setToolTip(Qt::convertFromPlainText(props().title, Qt::WhiteSpaceNormal));
    update();
}

void PanelFooterButton::paintEvent(QPaintEvent*) {
    const ColorScheme scheme = schemeOf(palette());
    const bool contrast = KitEnvironment::values(*this).increasedContrast;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(hovered_ ? BrandPalette::emphasis(scheme, contrast)
                              : BrandPalette::card(scheme, contrast));
    painter.drawEllipse(QRectF(rect()));
    const QFont font = roleFont(CorbelFont::footerSymbol, KitEnvironment::values(*this).textSizeFactor);
    const qreal em = font.pixelSize();
    const QRectF square((width() - em) / 2, (height() - em) / 2, em, em);
    if (pressed_) {
        painter.setOpacity(0.6);
    }
    drawSymbol(painter, square, props().symbol, palette().color(QPalette::Active, QPalette::ButtonText),
               symbolWeight(font));
}

void PanelFooterButton::enterEvent(QEnterEvent*) {
    hovered_ = true;
    update();
}

void PanelFooterButton::leaveEvent(QEvent*) {
    hovered_ = false;
    update();
}

void PanelFooterButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
        update();
    }
}

void PanelFooterButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_) {
        return;
    }
    pressed_ = false;
    update();
    // The disc is the button: a release in the square's corners is outside it.
    const QPointF at = event->position() - QRectF(rect()).center();
    const qreal radius = width() / 2.0;
    if (at.x() * at.x() + at.y() * at.y() <= radius * radius && action_) {
        action_();
    }
}

void PanelFooterButton::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !event->isAutoRepeat()) {
        if (action_) {
            action_();
        }
        return;
    }
    QWidget::keyPressEvent(event);
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
    QWidget::focusInEvent(event);
}

void PanelFooterButton::focusOutEvent(QFocusEvent* event) {
    setFocused(false);
    QWidget::focusOutEvent(event);
}

void PanelFooterButton::hideEvent(QHideEvent* event) {
    // Gone from the screen: the owner hears "not focused" whether or not it had focus.
    focused_ = false;
    if (focusChanged_) {
        focusChanged_(false);
    }
    QWidget::hideEvent(event);
}

} // namespace corbel
