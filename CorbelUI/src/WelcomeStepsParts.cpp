#include "WelcomeStepsParts.hpp"

#include "corbel/ui/CorbelFont.hpp"
#include "corbel/ui/CorbelMetrics.hpp"
#include "corbel/ui/Symbols.hpp"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>

namespace corbel {

std::vector<bool> welcomeStepDots(int step, int stepCount) {
    std::vector<bool> dots(static_cast<std::size_t>(std::max(stepCount, 1)), false);
    if (step >= 1 && static_cast<std::size_t>(step) <= dots.size()) {
        dots[static_cast<std::size_t>(step - 1)] = true;
    }
    return dots;
}

StepBadge::StepBadge(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void StepBadge::setState(State state) {
    if (state == state_) {
        return;
    }
    state_ = std::move(state);
    update();
}

std::optional<QColor> StepBadge::circleColor() const {
    if (state_.isDone) {
        return std::nullopt;
    }
    QColor fill = state_.accent;
    fill.setAlphaF(0.25F);
    return fill;
}

QSize StepBadge::sizeHint() const {
    const int side = static_cast<int>(CorbelMetrics::welcomeBadge);
    return {side, side};
}

void StepBadge::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QFont font = roleFont(CorbelFont::supportSemibold, state_.textSizeFactor);
    const QRectF frame(QPointF(0, 0), QSizeF(CorbelMetrics::welcomeBadge, CorbelMetrics::welcomeBadge));
    if (state_.isDone) {
        const qreal em = font.pixelSize();
        drawSymbol(painter, QRectF(frame.center() - QPointF(em / 2, em / 2), QSizeF(em, em)),
                   u"checkmark.circle.fill", state_.doneColor, symbolWeight(font));
        return;
    }
    painter.setPen(Qt::NoPen);
    painter.setBrush(*circleColor());
    painter.drawEllipse(frame);
    painter.setFont(font);
    painter.setPen(palette().color(QPalette::Active, QPalette::WindowText));
    painter.drawText(frame, Qt::AlignCenter, QString::number(state_.step));
}

StepDots::StepDots(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void StepDots::setState(State state) {
    if (state == state_) {
        return;
    }
    const bool resized = state.dots.size() != state_.dots.size();
    state_ = std::move(state);
    if (resized) {
        updateGeometry();
    }
    update();
}

QSize StepDots::sizeHint() const {
    const int count = static_cast<int>(state_.dots.size());
    return {count * side + std::max(count - 1, 0) * gap, side};
}

void StepDots::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const qreal top = (height() - side) / 2.0;
    for (std::size_t index = 0; index < state_.dots.size(); ++index) {
        painter.setBrush(state_.dots[index] ? state_.current : state_.other);
        painter.drawEllipse(QRectF(static_cast<qreal>(index) * (side + gap), top, side, side));
    }
}

} // namespace corbel
