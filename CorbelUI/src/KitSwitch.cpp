#include "corbel/ui/KitSwitch.hpp"

#include "corbel/ui/KitColors.hpp"
#include "corbel/ui/QtWorkarounds.hpp"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace corbel {

KitSwitch::KitSwitch(Props props, QWidget* parent) : KitView(std::move(props), parent) {
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void KitSwitch::setOnToggle(std::function<void(bool)> onToggle) {
    onToggle_ = std::move(onToggle);
}

QSize KitSwitch::sizeHint() const {
    return controlMetrics(props().size).switchTrack;
}

void KitSwitch::toggle() {
    if (onToggle_) {
        onToggle_(!props().isOn);
    }
}

void KitSwitch::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled()) {
        painter.setOpacity(0.4);
    }
    const ColorScheme scheme = schemeOf(palette());
    const QSizeF track = sizeHint();
    const QRectF trackRect(QPointF((width() - track.width()) / 2, (height() - track.height()) / 2), track);
    const qreal radius = trackRect.height() / 2;
    QColor off = systemColor(SystemColor::label, scheme);
    off.setAlphaF(scheme == ColorScheme::dark ? 0.2F : 0.12F);
    painter.setPen(Qt::NoPen);
    painter.setBrush(props().isOn ? props().tint.value_or(tintOf(palette())) : off);
    painter.drawRoundedRect(trackRect, radius, radius);

    const qreal inset = 2;
    const qreal knob = trackRect.height() - 2 * inset;
    const qreal x = props().isOn ? trackRect.right() - inset - knob : trackRect.left() + inset;
    const QRectF knobRect(x, trackRect.top() + inset, knob, knob);
    QColor edge = Qt::black;
    edge.setAlphaF(0.12F);
    painter.setBrush(Qt::white);
    painter.setPen(QPen(edge, 0.5));
    painter.drawEllipse(knobRect);
}

void KitSwitch::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
        toggle();
    }
}

void KitSwitch::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        toggle();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace corbel
