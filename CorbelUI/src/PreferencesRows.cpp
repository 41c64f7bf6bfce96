#include "corbel/ui/PreferencesRows.hpp"
#include "BareLayout.hpp"

#include "PreferencesParts.hpp"
#include "corbel/ui/AccessibilityTextSize.hpp"
#include "corbel/ui/BrandPalette.hpp"
#include "corbel/ui/Cards.hpp"
#include "corbel/ui/CorbelMetrics.hpp"
#include "corbel/ui/FirstBaseline.hpp"
#include "corbel/ui/KitButton.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/KitMenuButton.hpp"
#include "corbel/ui/KitSwitch.hpp"
#include "corbel/ui/PreferencesStyles.hpp"
#include "corbel/ui/QtWorkarounds.hpp"
#include "corbel/ui/SymbolView.hpp"
#include "corbel/ui/TextLabel.hpp"

#include <QBoxLayout>
#include <QFontMetricsF>
#include <QMenu>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace corbel {

QString preferences::joinedForReading(std::initializer_list<QString> texts) {
    QStringList present;
    for (const QString& text : texts) {
        if (!text.isEmpty()) {
            present.append(text);
        }
    }
    return present.join(QStringLiteral(", "));
}

namespace {

using preferences::Stack;

constexpr int rowMinimumHeight = static_cast<int>(CorbelMetrics::preferencesRow);
constexpr int valueRowMinimumHeight = static_cast<int>(CorbelMetrics::preferencesValueRow);

QColor supportColor(const QWidget& widget) {
    return BrandPalette::support(schemeOf(widget.palette()),
                                 KitEnvironment::values(widget).increasedContrast);
}

QSizePolicy wideWrapping() {
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    return policy;
}

// A control in a row: the large size, the support role, and no more room than it asks for.
void makeRowControl(QWidget& control) {
    if (auto* toggle = dynamic_cast<KitSwitch*>(&control)) {
        KitSwitch::Props props = toggle->props();
        props.size = ControlSize::large;
        toggle->setProps(props);
    } else if (auto* button = dynamic_cast<KitButton*>(&control)) {
        KitButton::Props props = button->props();
        props.size = ControlSize::large;
        props.role = CorbelFont::support;
        button->setProps(props);
    } else if (auto* menu = dynamic_cast<KitMenuButton*>(&control)) {
        KitMenuButton::Props props = menu->props();
        props.size = ControlSize::large;
        menu->setProps(props);
    }
    setCorbelFont(control, CorbelFont::support);
    control.setSizePolicy(control.hasHeightForWidth() ? wrappingControlPolicy()
                                                      : QSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed));
}

// A value drawn with equal-width digits at the trailing edge, so that values line up and a
// changing number does not shift. Its width includes the least room kept before it.
class ValueText : public QWidget, public FirstBaselineView {
public:
    static constexpr int leadingRoom = 8;

    explicit ValueText(QWidget* parent) : QWidget(parent) {
        setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }

    void setText(const QString& text) {
        if (text != text_) {
            text_ = text;
            updateGeometry();
            update();
        }
    }

    QSize sizeHint() const override {
        const QFont font = valueFont();
        return {leadingRoom + static_cast<int>(std::ceil(equalWidthTextWidth(font, text_))),
                static_cast<int>(std::ceil(QFontMetricsF(font).height()))};
    }
    qreal firstBaseline(int) const override { return QFontMetricsF(valueFont()).ascent(); }

protected:
    void paintEvent(QPaintEvent*) override {
        const QFont font = valueFont();
        QPainter painter(this);
        painter.setFont(font);
        painter.setPen(palette().color(QPalette::WindowText));
        const qreal x = width() - equalWidthTextWidth(font, text_);
        drawEqualWidthText(painter, QPointF(x, QFontMetricsF(font).ascent()), text_);
    }
    bool event(QEvent* event) override {
        if (event->type() == KitEnvironmentChangeEvent::eventType()) {
            updateGeometry();
            update();
        }
        return QWidget::event(event);
    }

private:
    QFont valueFont() const {
        return roleFont(CorbelFont::support, KitEnvironment::values(*this).textSizeFactor);
    }

    QString text_;
};

} // namespace

// MARK: group

PreferencesGroup::PreferencesGroup(Props props, std::vector<QWidget*> content, QWidget* parent)
    : KitView(std::move(props), parent) {
    auto* column = bareLayout(QBoxLayout::TopToBottom, this, static_cast<int>(CorbelMetrics::row));
    title_ =
        new preferences::HeadingLabel({.text = this->props().title, .role = CorbelFont::textSemibold}, this);
    column->addWidget(title_);
    card_ = new PanelCard({.spacing = 0}, std::move(content), this);
    // A preferences card sits its rows closer to its top and bottom than a panel's card does.
    card_->layout()->setContentsMargins(16, 8, 16, 8);
    column->addWidget(card_);
    setSizePolicy(wideWrapping());
}

void PreferencesGroup::propsChanged() {
    TextLabel::Props title = title_->props();
    title.text = props().title;
    title_->setProps(title);
}

// MARK: row

PreferencesRow::PreferencesRow(Props props, QWidget* control, QWidget* parent)
    : KitView(std::move(props), parent), control_(control != nullptr ? control : new Stack) {
    box_ = bareLayout(QBoxLayout::LeftToRight, this, 0);
    labels_ = new Stack(this);
    auto* labels = bareLayout(QBoxLayout::TopToBottom, labels_, static_cast<int>(CorbelMetrics::tight));
    title_ = new TextLabel({.role = CorbelFont::support}, labels_);
    note_ = new TextLabel({.role = CorbelFont::support}, labels_);
    labels->addWidget(title_);
    labels->addWidget(note_);
    labels_->setSizePolicy(wideWrapping());
    control_->setParent(this);
    makeRowControl(*control_);
    box_->addWidget(labels_);
    box_->addWidget(control_);
    setSizePolicy(wideWrapping());
    setMinimumHeight(rowMinimumHeight);
    refresh();
}

void PreferencesRow::refresh() {
    const Props& current = props();
    stacked_ = isAccessibilityTextSize(KitEnvironment::values(*this).textSizeFactor);
    box_->setDirection(stacked_ ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight);
    box_->setSpacing(stacked_ ? 8 : 12);
    box_->setStretchFactor(labels_, stacked_ ? 0 : 1);
    box_->setAlignment(labels_, stacked_ ? Qt::Alignment() : Qt::AlignVCenter);
    box_->setAlignment(control_, stacked_ ? Qt::AlignRight : Qt::AlignVCenter);
    const int padding = current.note ? 8 : 4;
    box_->setContentsMargins(0, padding, 0, padding);

    TextLabel::Props title = title_->props();
    title.text = current.title;
    title.accessibilityHidden = current.controlIsNamed;
    title_->setProps(title);
    TextLabel::Props note = note_->props();
    note.text = current.note.value_or(QString());
    note.color = supportColor(*this);
    note.accessibilityHidden = current.controlIsNamed;
    note_->setProps(note);
    note_->setVisible(current.note.has_value());
    static_cast<Stack*>(labels_)->setReading(current.controlIsNamed ? Stack::Reading::hidden
                                                                    : Stack::Reading::children);
    control_->setAccessibleDescription(current.controlIsNamed && current.note ? *current.note : QString());
    box_->invalidate();
    updateGeometry();
}

QSize PreferencesRow::sizeHint() const {
    const int width = box_->sizeHint().width();
    return {width, heightForWidth(width)};
}

QSize PreferencesRow::minimumSizeHint() const {
    return {box_->minimumSize().width(), rowMinimumHeight};
}

int PreferencesRow::heightForWidth(int width) const {
    return std::max(rowMinimumHeight, box_->totalHeightForWidth(width));
}

void PreferencesRow::propsChanged() {
    refresh();
}

void PreferencesRow::environmentChanged(KitEnvironmentKey key) {
    if (key == KitEnvironmentKey::textSizeFactor || key == KitEnvironmentKey::increasedContrast) {
        refresh();
    }
}

void PreferencesRow::paletteChanged() {
    refresh();
}

// MARK: toggle row

PreferencesToggleRow::PreferencesToggleRow(Props props, QWidget* parent) : KitView(std::move(props), parent) {
    const Props& current = this->props();
    switch_ = new KitSwitch({.isOn = current.isOn, .size = ControlSize::large, .title = current.title});
    row_ = new PreferencesRow({.title = current.title, .note = current.note, .controlIsNamed = true}, switch_,
                              this);
    preferencesFocusRing(*switch_, KitSwitch::ringShape());
    bareLayout(QBoxLayout::TopToBottom, this, 0)->addWidget(row_);
    setSizePolicy(wideWrapping());
}

void PreferencesToggleRow::setOnToggle(std::function<void(bool)> onToggle) {
    switch_->setOnToggle(std::move(onToggle));
}

int PreferencesToggleRow::heightForWidth(int width) const {
    return row_->heightForWidth(width);
}

void PreferencesToggleRow::propsChanged() {
    const Props& current = props();
    KitSwitch::Props toggle = switch_->props();
    toggle.isOn = current.isOn;
    toggle.title = current.title;
    switch_->setProps(toggle);
    row_->setProps({.title = current.title, .note = current.note, .controlIsNamed = true});
    updateGeometry();
}

// MARK: value row

PreferencesValueRow::PreferencesValueRow(Props props, QWidget* parent) : KitView(std::move(props), parent) {
    auto* line = new Stack(this);
    auto* baseline = new BaselineRow(CorbelMetrics::group, line);
    title_ = new TextLabel({.role = CorbelFont::support}, line);
    value_ = new ValueText(line);
    baseline->addWidget(title_);
    baseline->addStretch();
    baseline->addWidget(value_);
    bareLayout(QBoxLayout::TopToBottom, this, 0)->addWidget(line, 0, Qt::AlignVCenter);
    setSizePolicy(wideWrapping());
    setMinimumHeight(valueRowMinimumHeight);
    refresh();
}

void PreferencesValueRow::refresh() {
    TextLabel::Props title = title_->props();
    title.text = props().title;
    title.color = supportColor(*this);
    title_->setProps(title);
    static_cast<ValueText*>(value_)->setText(props().value);
    updateGeometry();
}

int PreferencesValueRow::heightForWidth(int width) const {
    return std::max(valueRowMinimumHeight, layout()->totalHeightForWidth(width));
}

QString PreferencesValueRow::accessibleLabel() const {
    return preferences::joinedForReading({props().title, props().value});
}

void PreferencesValueRow::propsChanged() {
    refresh();
}

void PreferencesValueRow::paletteChanged() {
    refresh();
}

// MARK: status row

QString PreferencesStatusRow::symbolName(PreferencesStatus status) {
    switch (status) {
    case PreferencesStatus::good:
        return QStringLiteral("checkmark.circle");
    case PreferencesStatus::info:
        return QStringLiteral("info.circle");
    case PreferencesStatus::warning:
        return QStringLiteral("exclamationmark.triangle");
    case PreferencesStatus::waiting:
        break;
    }
    return QStringLiteral("clock");
}

PreferencesStatusRow::PreferencesStatusRow(Props props, QWidget* action, QWidget* parent)
    : KitView(std::move(props), parent), action_(action) {
    auto* row = bareLayout(QBoxLayout::LeftToRight, this, static_cast<int>(CorbelMetrics::group));
    row->setContentsMargins(0, 12, 0, 12);
    symbol_ = new SymbolView(
        {.role = CorbelFont::support, .frameWidth = CorbelMetrics::symbolColumn, .accessibilityHidden = true},
        this);
    row->addWidget(symbol_, 0, Qt::AlignTop);

    auto* column = new Stack(this);
    column_ = bareLayout(QBoxLayout::TopToBottom, column, 0);
    auto* texts = new Stack(column);
    texts->setReading(Stack::Reading::combined);
    texts->setLabel([this] {
        return preferences::joinedForReading({this->props().title, this->props().detail.value_or(QString())});
    });
    texts_ = texts;
    auto* textColumn = bareLayout(QBoxLayout::TopToBottom, texts_, static_cast<int>(CorbelMetrics::tight));
    title_ = new TextLabel({.role = CorbelFont::support}, texts_);
    detail_ = new TextLabel({.role = CorbelFont::support}, texts_);
    textColumn->addWidget(title_);
    textColumn->addWidget(detail_);
    texts_->setSizePolicy(wideWrapping());
    column_->addWidget(texts_);
    if (action_ != nullptr) {
        auto* holder = new Stack(column);
        auto* padded = bareLayout(QBoxLayout::TopToBottom, holder, 0);
        padded->setContentsMargins(0, 8, 0, 0);
        action_->setParent(holder);
        if (auto* button = dynamic_cast<KitButton*>(action_)) {
            preferencesButtonStyle(*button);
        }
        padded->addWidget(action_, 0, Qt::AlignLeft);
        column_->setSpacing(static_cast<int>(CorbelMetrics::tight));
        column_->addWidget(holder);
    }
    column->setSizePolicy(wideWrapping());
    row->addWidget(column, 1, Qt::AlignTop);
    setSizePolicy(wideWrapping());
    refresh();
}

void PreferencesStatusRow::refresh() {
    const Props& current = props();
    const ColorScheme scheme = schemeOf(palette());
    const bool contrast = KitEnvironment::values(*this).increasedContrast;
    SymbolView::Props symbol = symbol_->props();
    symbol.name = symbolName(current.status);
    switch (current.status) {
    case PreferencesStatus::good:
        symbol.color = tintOf(palette());
        break;
    case PreferencesStatus::warning:
        symbol.color = BrandPalette::warning(scheme, contrast);
        break;
    case PreferencesStatus::info:
    case PreferencesStatus::waiting:
        symbol.color = BrandPalette::support(scheme, contrast);
        break;
    }
    symbol_->setProps(symbol);

    TextLabel::Props title = title_->props();
    title.text = current.title;
    title.role = current.detail ? CorbelFont::supportSemibold : CorbelFont::support;
    title_->setProps(title);
    TextLabel::Props detail = detail_->props();
    detail.text = current.detail.value_or(QString());
    detail.color = BrandPalette::support(scheme, contrast);
    detail_->setProps(detail);
    detail_->setVisible(current.detail.has_value());
    if (action_ != nullptr) {
        // Not shown, not read: a tool must not offer an action the row does not show.
        auto* holder = static_cast<Stack*>(action_->parentWidget());
        holder->setVisible(current.hasAction);
        holder->setReading(current.hasAction ? Stack::Reading::children : Stack::Reading::hidden);
    }
    updateGeometry();
}

int PreferencesStatusRow::heightForWidth(int width) const {
    return layout()->totalHeightForWidth(width);
}

void PreferencesStatusRow::propsChanged() {
    refresh();
}

void PreferencesStatusRow::environmentChanged(KitEnvironmentKey key) {
    if (key == KitEnvironmentKey::increasedContrast) {
        refresh();
    }
}

void PreferencesStatusRow::paletteChanged() {
    refresh();
}

// MARK: note and gap

PreferencesNote::PreferencesNote(Props props, QWidget* parent) : KitView(std::move(props), parent) {
    auto* column = bareLayout(QBoxLayout::TopToBottom, this, 0);
    column->setContentsMargins(0, 0, 0, 8);
    text_ = new TextLabel({.role = CorbelFont::support}, this);
    column->addWidget(text_);
    setSizePolicy(wideWrapping());
    refresh();
}

void PreferencesNote::refresh() {
    TextLabel::Props text = text_->props();
    text.text = props().text;
    text.color = supportColor(*this);
    text_->setProps(text);
    updateGeometry();
}

int PreferencesNote::heightForWidth(int width) const {
    return layout()->totalHeightForWidth(width);
}

void PreferencesNote::propsChanged() {
    refresh();
}

void PreferencesNote::paletteChanged() {
    refresh();
}

PreferencesGap::PreferencesGap(QWidget* parent) : QWidget(parent) {
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFixedHeight(gapHeight);
}

} // namespace corbel
