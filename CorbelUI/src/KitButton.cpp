#include "corbel/ui/KitButton.hpp"

#include "corbel/ui/CorbelBrand.hpp"
#include "corbel/ui/KitColors.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/QtWorkarounds.hpp"
#include "corbel/ui/Symbols.hpp"
#include "corbel/ui/WordWrapping.hpp"

#include <QFontMetricsF>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTextLayout>

#include <algorithm>
#include <cmath>

namespace corbel {
namespace {

constexpr qreal symbolGap = 6;

QColor withAlpha(QColor color, qreal alpha) {
    color.setAlphaF(static_cast<float>(color.alphaF() * alpha));
    return color;
}

} // namespace

RingShape buttonRingShape(ButtonStyle style, ControlSize size) {
    if (style == ButtonStyle::glass || style == ButtonStyle::glassProminent) {
        return RingShape::capsule();
    }
    return RingShape::roundedRectangle(controlMetrics(size).cornerRadius);
}

void paintButtonBackground(QPainter& painter, const QRectF& rect, ButtonStyle style, ControlSize size,
                           const QColor& tint, const QPalette& palette, bool hovered, bool pressed) {
    const ColorScheme scheme = schemeOf(palette);
    const QColor label = systemColor(SystemColor::label, scheme);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    QPainterPath shape = buttonRingShape(style, size).path(rect);
    switch (style) {
    case ButtonStyle::plain:
        break;
    case ButtonStyle::bordered:
        painter.setBrush(withAlpha(label, pressed ? 0.18 : hovered ? 0.12 : 0.08));
        painter.drawPath(shape);
        break;
    case ButtonStyle::glass:
        painter.setBrush(systemColor(SystemColor::glass, scheme));
        painter.drawPath(shape);
        if (pressed || hovered) {
            painter.setBrush(withAlpha(label, pressed ? 0.12 : 0.06));
            painter.drawPath(shape);
        }
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(systemColor(SystemColor::separator, scheme), 1));
        painter.drawPath(buttonRingShape(style, size).path(rect.adjusted(0.5, 0.5, -0.5, -0.5)));
        break;
    case ButtonStyle::glassProminent:
        painter.setBrush(pressed ? tint.darker(115) : hovered ? tint.lighter(108) : tint);
        painter.drawPath(shape);
        break;
    }
    painter.restore();
}

QStringList buttonLabelLines(const QFont& font, const QString& text, qreal width) {
    const QFontMetricsF fm(font);
    if (fm.horizontalAdvance(text) <= width || width <= 0) {
        return {text};
    }
    QTextLayout layout(text, font);
    layout.setTextOption(wordWrapOption());
    layout.beginLayout();
    QStringList lines;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        const QString words = text.mid(line.textStart(), line.textLength()).trimmed();
        lines.append(line.naturalTextWidth() > width ? fm.elidedText(words, Qt::ElideRight, width) : words);
    }
    layout.endLayout();
    return lines;
}

QColor buttonLabelColor(ButtonStyle style, const QColor& tint, const QPalette& palette) {
    if (style == ButtonStyle::glassProminent) {
        return contrastingLabelColor(relativeLuminance(tint));
    }
    return palette.color(QPalette::Active, QPalette::ButtonText);
}

KitButton::KitButton(Props props, QWidget* parent) : KitView(std::move(props), parent) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void KitButton::setAction(std::function<void()> action) {
    action_ = std::move(action);
}

RingShape KitButton::ringShape() const {
    return buttonRingShape(props().style, props().size);
}

QFont KitButton::labelFont() const {
    return roleFont(props().role.value_or(controlMetrics(props().size).role),
                    KitEnvironment::values(*this).textSizeFactor);
}

QFont KitButton::wrappedLabelFont(qreal room) const {
    return fontFittingWords(props().title, labelFont(), room,
                            wordFitFloor(props().role.value_or(controlMetrics(props().size).role)));
}

QSize KitButton::sizeHint() const {
    const ControlMetrics& metrics = controlMetrics(props().size);
    const QFont font = labelFont();
    const QFontMetricsF fm(font);
    qreal width = fm.horizontalAdvance(props().title);
    if (!props().symbol.isEmpty()) {
        width += font.pixelSize() + (props().title.isEmpty() ? 0 : symbolGap);
    }
    if (props().style == ButtonStyle::plain) {
        return {static_cast<int>(std::ceil(width)), static_cast<int>(std::ceil(fm.height()))};
    }
    const int height = std::max(metrics.height, static_cast<int>(std::ceil(fm.height())) + 4);
    return {static_cast<int>(std::ceil(width)) + 2 * metrics.horizontalPadding, height};
}

QSize KitButton::minimumSizeHint() const {
    const QSize hint = sizeHint();
    if (!props().symbol.isEmpty()) {
        return hint; // a symbol and its title stay on one line
    }
    const int padding = props().style == ButtonStyle::plain ? 0 : controlMetrics(props().size).horizontalPadding;
    const int word = static_cast<int>(std::ceil(widestWordWidth(props().title, labelFont()))) + 2 * padding;
    return {std::min(hint.width(), word), hint.height()};
}

int KitButton::heightForWidth(int width) const {
    const QSize hint = sizeHint();
    if (width >= hint.width() || !props().symbol.isEmpty()) {
        return hint.height();
    }
    const int padding = props().style == ButtonStyle::plain ? 0 : controlMetrics(props().size).horizontalPadding;
    const QFont font = wrappedLabelFont(width - 2 * padding);
    const QFontMetricsF fm(font);
    const auto lines = static_cast<qreal>(buttonLabelLines(font, props().title, width - 2 * padding).size());
    return hint.height() + static_cast<int>(std::ceil((lines - 1) * fm.lineSpacing()));
}

qreal KitButton::firstBaseline(int) const {
    // Where a row will put it: at its preferred height, whatever its size now.
    return baselineAt(sizeHint().height());
}

qreal KitButton::baselineAt(int height) const {
    const QFontMetricsF fm(labelFont());
    return (height - fm.height()) / 2 + fm.ascent();
}

void KitButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    if (!isEnabled()) {
        painter.setOpacity(0.4);
    }
    const QColor tint = props().tint.value_or(tintOf(palette()));
    paintButtonBackground(painter, rect(), props().style, props().size, tint, palette(), hovered_, pressed_);
    const QColor label = props().labelColor.value_or(buttonLabelColor(props().style, tint, palette()));
    if (props().style == ButtonStyle::plain && pressed_) {
        painter.setOpacity(painter.opacity() * 0.6);
    }

    const int padding = props().style == ButtonStyle::plain ? 0 : controlMetrics(props().size).horizontalPadding;
    const bool wraps = props().symbol.isEmpty() && width() < sizeHint().width();
    const QFont font = wraps ? wrappedLabelFont(width() - 2 * padding) : labelFont();
    const QFontMetricsF fm(font);
    const qreal symbolWidth = props().symbol.isEmpty() ? 0 : font.pixelSize();
    const QStringList lines =
        wraps ? buttonLabelLines(font, props().title, width() - 2 * padding) : QStringList{props().title};
    painter.setFont(font);
    if (wraps) {
        // Wrapped: each line centred, the block in the middle.
        const qreal block = fm.height() + (static_cast<qreal>(lines.size()) - 1) * fm.lineSpacing();
        qreal baseline = (height() - block) / 2 + fm.ascent();
        painter.setPen(label);
        for (const QString& line : lines) {
            painter.drawText(QPointF((width() - fm.horizontalAdvance(line)) / 2, baseline), line);
            baseline += fm.lineSpacing();
        }
        return;
    }
    const qreal content = fm.horizontalAdvance(props().title) + symbolWidth +
                          (symbolWidth > 0 && !props().title.isEmpty() ? symbolGap : 0);
    qreal x = (width() - content) / 2;
    const qreal baseline = baselineAt(height());
    if (symbolWidth > 0) {
        const qreal middle = baseline - fm.capHeight() / 2;
        drawSymbol(painter, QRectF(x, middle - symbolWidth / 2, symbolWidth, symbolWidth), props().symbol,
                   label, symbolWeight(font));
        x += symbolWidth + symbolGap;
    }
    painter.setPen(label);
    painter.drawText(QPointF(x, baseline), props().title);
}

void KitButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        pressed_ = true;
        update();
    }
}

void KitButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !pressed_) {
        return;
    }
    pressed_ = false;
    update();
    if (rect().contains(event->position().toPoint()) && action_) {
        action_();
    }
}

void KitButton::keyPressEvent(QKeyEvent* event) {
    if ((event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !event->isAutoRepeat()) {
        if (action_) {
            action_();
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

void KitButton::enterEvent(QEnterEvent*) {
    hovered_ = true;
    update();
}

void KitButton::leaveEvent(QEvent*) {
    hovered_ = false;
    update();
}

} // namespace corbel
