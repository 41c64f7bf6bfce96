#include "corbel/ui/PanelShortcutKeys.hpp"

#include "corbel/ui/BrandEquality.hpp"
#include "corbel/ui/BrandFocus.hpp"
#include "corbel/ui/BrandPalette.hpp"
#include "corbel/ui/CorbelMetrics.hpp"
#include "corbel/ui/KeyCaps.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/QtWorkarounds.hpp"
#include "corbel/ui/SymbolView.hpp"
#include "corbel/ui/TextLabel.hpp"

#include <QGraphicsOpacityEffect>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QTextDocument>

namespace corbel {

bool PanelShortcutKeysProps::operator==(const PanelShortcutKeysProps& other) const {
    return keys == other.keys && placeholder == other.placeholder && sameBrand(brand, other.brand) &&
           isEditing == other.isEditing && hasConflict == other.hasConflict &&
           isDisabled == other.isDisabled && editor == other.editor;
}

PanelShortcutKeys::PanelShortcutKeys(Props props, QWidget* parent) : KitView(std::move(props), parent) {
    auto* row = new QHBoxLayout(this);
    const int padding = static_cast<int>(horizontalPadding);
    row->setContentsMargins(padding, 0, padding, 0);
    row->setSpacing(static_cast<int>(spacing));
    indicator_ = new SymbolView({.role = CorbelFont::detail,
                                 .frameWidth = CorbelMetrics::shortcutStateSymbol,
                                 .accessibilityHidden = true},
                                this);
    placeholder_ = new TextLabel({.role = CorbelFont::detail, .lineLimit = 1}, this);
    caps_ = new KeyCaps({}, this);
    row->addWidget(indicator_, 0, Qt::AlignVCenter);
    row->addWidget(placeholder_, 0, Qt::AlignVCenter);
    row->addWidget(caps_, 0, Qt::AlignVCenter);
    setMinimumHeight(static_cast<int>(CorbelMetrics::panelActionRow));
    // Never compressed: the row's title gives way first.
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    attachFocusRing(*this, RingShape::roundedRectangle(cornerRadius));
    refresh();
}

void PanelShortcutKeys::setOnEdit(std::function<void()> onEdit) {
    onEdit_ = std::move(onEdit);
}

QColor PanelShortcutKeys::highlightColor() const {
    const ColorScheme scheme = schemeOf(palette());
    return props().hasConflict
               ? BrandPalette::warning(scheme, KitEnvironment::values(*this).increasedContrast)
               : props().brand.accent(scheme);
}

QString PanelShortcutKeys::keysText() const {
    return props().placeholder.value_or(props().keys.join(QLatin1Char(' ')));
}

QSize PanelShortcutKeys::sizeHint() const {
    return layout()->sizeHint().expandedTo(QSize(0, static_cast<int>(CorbelMetrics::panelActionRow)));
}

QAccessible::Role PanelShortcutKeys::accessibleRole() const {
    return props().editor ? QAccessible::Button : QAccessible::StaticText;
}

QString PanelShortcutKeys::accessibleLabel() const {
    return props().editor ? props().editor->label : keysText();
}

QString PanelShortcutKeys::accessibleValue() const {
    return props().editor ? keysText() : QString();
}

void PanelShortcutKeys::refresh() {
    const ColorScheme scheme = schemeOf(palette());
    const bool contrast = KitEnvironment::values(*this).increasedContrast;
    const Props& p = props();

    QString symbol;
    if (p.hasConflict) {
        symbol = QStringLiteral("exclamationmark.circle");
    } else if (p.isEditing) {
        symbol = QStringLiteral("pencil");
    }
    SymbolView::Props indicator = indicator_->props();
    indicator.name = symbol;
    indicator.color = highlightColor();
    indicator_->setProps(indicator);
    indicator_->setVisible(!symbol.isEmpty());

    TextLabel::Props placeholder = placeholder_->props();
    placeholder.text = p.placeholder.value_or(QString());
    placeholder.color = BrandPalette::support(scheme, contrast);
    placeholder_->setProps(placeholder);
    placeholder_->setVisible(p.placeholder.has_value());
    caps_->setProps({p.keys});
    caps_->setVisible(!p.placeholder.has_value());

    const bool button = p.editor.has_value();
    setFocusPolicy(button ? Qt::StrongFocus : Qt::NoFocus);
    // Rich text made from the plain text, so that "<b>" or "&" in a help text shows as written.
    setToolTip(button ? Qt::convertFromPlainText(p.editor->help, Qt::WhiteSpaceNormal) : QString());
    setAccessibleDescription(button ? p.editor->hint : QString());
    // An edit button is disabled; read-only keys only fade.
    setEnabled(!(button && p.isDisabled));
    if (!button && p.isDisabled) {
        if (graphicsEffect() == nullptr) {
            auto* faded = new QGraphicsOpacityEffect(this);
            faded->setOpacity(0.5);
            setGraphicsEffect(faded);
        }
    } else if (graphicsEffect() != nullptr) {
        setGraphicsEffect(nullptr);
    }
    updateGeometry();
    update();
}

void PanelShortcutKeys::paintEvent(QPaintEvent*) {
    if (!props().isEditing && !props().hasConflict) {
        return;
    }
    const QColor highlight = highlightColor();
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor fill = highlight;
    fill.setAlphaF(fill.alphaF() * 0.12F);
    painter.setPen(Qt::NoPen);
    painter.setBrush(fill);
    painter.drawRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    // Stroked inside the edge: a 1-pixel line centred half a pixel in.
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(highlight, 1));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), cornerRadius - 0.5,
                            cornerRadius - 0.5);
}

void PanelShortcutKeys::edit() {
    if (props().editor && isEnabled() && onEdit_) {
        onEdit_();
    }
}

void PanelShortcutKeys::mousePressEvent(QMouseEvent* event) {
    if (props().editor && event->button() == Qt::LeftButton) {
        pressed_ = true;
        return;
    }
    QWidget::mousePressEvent(event);
}

void PanelShortcutKeys::mouseReleaseEvent(QMouseEvent* event) {
    if (!pressed_ || event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    pressed_ = false;
    if (rect().contains(event->position().toPoint())) {
        edit();
    }
}

void PanelShortcutKeys::keyPressEvent(QKeyEvent* event) {
    if (props().editor &&
        (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        !event->isAutoRepeat()) {
        edit();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PanelShortcutKeys::propsChanged() {
    refresh();
}

void PanelShortcutKeys::environmentChanged(KitEnvironmentKey) {
    refresh();
}

void PanelShortcutKeys::paletteChanged() {
    refresh();
}

} // namespace corbel
