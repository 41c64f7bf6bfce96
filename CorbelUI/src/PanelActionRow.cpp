#include "corbel/ui/PanelActionRow.hpp"

#include "corbel/ui/AccessibilityTextSize.hpp"
#include "corbel/ui/BrandEquality.hpp"
#include "corbel/ui/BrandFocus.hpp"
#include "corbel/ui/CorbelMetrics.hpp"
#include "corbel/ui/KitColors.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/QtWorkarounds.hpp"
#include "corbel/ui/SymbolView.hpp"
#include "corbel/ui/TextLabel.hpp"

#include <QEnterEvent>
#include <QFontMetricsF>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace corbel {

// The part the fill covers: a button when the row has an action, else a plain label.
class PanelActionRow::Action : public QWidget, public KitAccessibleView {
public:
    explicit Action(PanelActionRow& row) : QWidget(&row), row_(row) { setAttribute(Qt::WA_Hover); }

    QAccessible::Role accessibleRole() const override {
        return row_.hasAction() ? QAccessible::Button : QAccessible::StaticText;
    }
    QString accessibleLabel() const override {
        const Props& p = row_.props();
        return p.badge ? p.title + QLatin1Char(' ') + *p.badge : p.title;
    }
    QString accessibleValue() const override {
        return row_.hasAction() ? row_.props().value.value_or(QString()) : QString();
    }
    bool accessibleCombinesChildren() const override { return true; }

protected:
    void paintEvent(QPaintEvent*) override {
        const QColor fill = row_.highlightColor();
        if (fill.alpha() == 0) {
            return;
        }
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(fill);
        painter.drawRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    }
    void enterEvent(QEnterEvent*) override { row_.setHovered(true); }
    void leaveEvent(QEvent*) override { row_.setHovered(false); }
    void mousePressEvent(QMouseEvent* event) override {
        pressed_ = row_.hasAction() && event->button() == Qt::LeftButton;
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
            row_.run();
        }
        pressed_ = false;
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (row_.hasAction() &&
            (event->key() == Qt::Key_Space || event->key() == Qt::Key_Return ||
             event->key() == Qt::Key_Enter) &&
            !event->isAutoRepeat()) {
            row_.run();
            return;
        }
        QWidget::keyPressEvent(event);
    }

private:
    PanelActionRow& row_;
    bool pressed_ = false;
};

// A short text after the title whose digits all take the same width, so counts line up.
class PanelActionRow::Badge : public QWidget {
public:
    explicit Badge(QWidget* parent) : QWidget(parent) {
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }

    void setText(QString text) {
        if (text != text_) {
            text_ = std::move(text);
            updateGeometry();
            update();
        }
    }

    QSize sizeHint() const override {
        const QFont f = font();
        return {static_cast<int>(std::ceil(equalWidthTextWidth(f, text_))),
                static_cast<int>(std::ceil(QFontMetricsF(f).height()))};
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::Active, QPalette::WindowText));
        const QFontMetricsF metrics(font());
        drawEqualWidthText(painter, QPointF(0, (height() - metrics.height()) / 2 + metrics.ascent()), text_);
    }

private:
    QString text_;
};

bool PanelActionRowProps::operator==(const PanelActionRowProps& other) const {
    return title == other.title && symbol == other.symbol && sameBrand(brand, other.brand) &&
           isDisabled == other.isDisabled && hovered == other.hovered && isSuggested == other.isSuggested &&
           badge == other.badge && value == other.value && hint == other.hint;
}

PanelActionRow::PanelActionRow(Props props, QWidget* trailing, QWidget* parent)
    : KitView(std::move(props), parent), trailing_(trailing) {
    box_ = new QBoxLayout(QBoxLayout::LeftToRight, this);
    box_->setContentsMargins(0, 0, 0, 0);

    action_ = new Action(*this);
    auto* label = new QHBoxLayout(action_);
    const int inset = static_cast<int>(padding);
    label->setContentsMargins(inset, inset, inset, inset);
    label->setSpacing(static_cast<int>(CorbelMetrics::group));
    symbol_ =
        new SymbolView({.role = CorbelFont::detail, .frameWidth = CorbelMetrics::symbolColumn}, action_);
    label->addWidget(symbol_, 0, Qt::AlignVCenter);

    // Takes the rest of the width; the title and badge sit at its leading edge.
    text_ = new QWidget(action_);
    auto* words = new QHBoxLayout(text_);
    words->setContentsMargins(0, 0, 0, 0);
    words->setSpacing(static_cast<int>(CorbelMetrics::tight));
    title_ = new TextLabel({.role = CorbelFont::detail, .lineLimit = 2}, text_);
    badge_ = new Badge(text_);
    words->addWidget(title_, 0, Qt::AlignVCenter);
    words->addWidget(badge_, 0, Qt::AlignVCenter);
    words->addStretch();
    QSizePolicy textPolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    textPolicy.setHeightForWidth(true);
    text_->setSizePolicy(textPolicy);
    label->addWidget(text_, 1, Qt::AlignVCenter);

    action_->setMinimumHeight(static_cast<int>(CorbelMetrics::panelActionRow));
    QSizePolicy actionPolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    actionPolicy.setHeightForWidth(true);
    action_->setSizePolicy(actionPolicy);
    attachFocusRing(*action_, RingShape::roundedRectangle(cornerRadius));
    box_->addWidget(action_, 1);
    if (trailing_ != nullptr) {
        trailing_->setParent(this);
        box_->addWidget(trailing_, 0, Qt::AlignVCenter);
    }

    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    for (QWidget* part : {static_cast<QWidget*>(this), static_cast<QWidget*>(action_),
                          static_cast<QWidget*>(symbol_), text_, trailing_}) {
        if (part != nullptr) {
            part->installEventFilter(this);
        }
    }
    setPerform({});
    refresh();
}

QWidget& PanelActionRow::actionWidget() const noexcept {
    return *action_;
}

void PanelActionRow::setPerform(std::function<void()> perform) {
    perform_ = std::move(perform);
    action_->setFocusPolicy(perform_ ? Qt::StrongFocus : Qt::NoFocus);
    if (!perform_) {
        isHovered_ = false;
    }
    refresh();
}

void PanelActionRow::setOnLayout(std::function<void(PanelActionRowPart, QRectF)> onLayout) {
    onLayout_ = std::move(onLayout);
    reported_ = {};
    reportFrames();
}

QColor PanelActionRow::highlightColor() const {
    if (!perform_ || props().isDisabled) {
        return Qt::transparent;
    }
    if (props().hovered.value_or(isHovered_)) {
        QColor primary = systemColor(SystemColor::label, schemeOf(palette()),
                                     KitEnvironment::values(*this).increasedContrast);
        primary.setAlphaF(primary.alphaF() * 0.08F);
        return primary;
    }
    if (props().isSuggested) {
        QColor brand = props().brand.color();
        brand.setAlphaF(brand.alphaF() * 0.16F);
        return brand;
    }
    return Qt::transparent;
}

void PanelActionRow::setHovered(bool hovered) {
    // Only a button follows the pointer.
    if (!perform_ || hovered == isHovered_) {
        return;
    }
    isHovered_ = hovered;
    action_->update();
}

void PanelActionRow::run() {
    if (perform_ && !props().isDisabled) {
        perform_();
    }
}

void PanelActionRow::refresh() {
    const Props& p = props();
    SymbolView::Props symbol = symbol_->props();
    symbol.name = p.symbol;
    symbol.color = p.brand.accent(schemeOf(palette()));
    symbol_->setProps(symbol);
    TextLabel::Props title = title_->props();
    title.text = p.title;
    title_->setProps(title);
    badge_->setFont(roleFont(CorbelFont::detail, KitEnvironment::values(*this).textSizeFactor));
    badge_->setText(p.badge.value_or(QString()));
    badge_->setVisible(p.badge.has_value());
    // At the accessibility text sizes the trailing view beside the title would leave the title a
    // word's width or less: it goes under the title, at the trailing edge, and the title takes the
    // row's width.
    const bool stacked = trailing_ != nullptr && isAccessibilityTextSize(KitEnvironment::values(*this).textSizeFactor);
    box_->setDirection(stacked ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
    box_->setSpacing(static_cast<int>(stacked ? CorbelMetrics::tight : CorbelMetrics::group));
    if (trailing_ != nullptr) {
        box_->setAlignment(trailing_, stacked ? Qt::AlignRight : Qt::AlignVCenter);
    }
    const bool button = hasAction();
    action_->setEnabled(!(button && p.isDisabled));
    action_->setAccessibleDescription(button ? p.hint.value_or(QString()) : QString());
    updateGeometry();
    action_->update();
    update();
}

bool PanelActionRow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize) {
        reportFrames();
    }
    return KitView::eventFilter(watched, event);
}

void PanelActionRow::reportFrames() {
    // Before the first layout the parts have no frames worth reporting.
    if (!onLayout_ || !layout()->geometry().isValid() || !action_->layout()->geometry().isValid()) {
        return;
    }
    const std::array<std::pair<PanelActionRowPart, QWidget*>, 4> parts{{
        {PanelActionRowPart::action, action_},
        {PanelActionRowPart::icon, symbol_},
        {PanelActionRowPart::text, text_},
        {PanelActionRowPart::shortcut, trailing_},
    }};
    for (const auto& [part, widget] : parts) {
        if (widget == nullptr) {
            continue;
        }
        const QRectF frame(QPointF(widget->mapTo(this, QPoint(0, 0))), QSizeF(widget->size()));
        std::optional<QRectF>& last = reported_[static_cast<std::size_t>(part)];
        if (last != frame) {
            last = frame;
            onLayout_(part, frame);
        }
    }
}

void PanelActionRow::propsChanged() {
    refresh();
}

void PanelActionRow::environmentChanged(KitEnvironmentKey) {
    refresh();
}

void PanelActionRow::paletteChanged() {
    refresh();
}

} // namespace corbel
