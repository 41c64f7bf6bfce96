#include "corbel/ui/Rows.hpp"

#include "corbel/ui/ChoiceMenu.hpp"
#include "corbel/ui/CorbelMetrics.hpp"
#include "corbel/ui/KitColors.hpp"
#include "corbel/ui/KitLabels.hpp"
#include "corbel/ui/KitSwitch.hpp"
#include "corbel/ui/LoginItem.hpp"
#include "corbel/ui/QtWorkarounds.hpp"
#include "corbel/ui/SymbolView.hpp"
#include "corbel/ui/TextLabel.hpp"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace corbel {
namespace {

// The layout both rows share: symbol, one-line title, a spacer of at least 8, the trailing widget,
// centred vertically with 8 between them, at least 32 high.
void buildRow(QWidget& row, SymbolView*& symbol, TextLabel*& title, QWidget* trailing) {
    const int gap = static_cast<int>(CorbelMetrics::row);
    auto* layout = new QHBoxLayout(&row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(gap);
    symbol = new SymbolView({.role = CorbelFont::support, .frameWidth = CorbelMetrics::symbolColumn}, &row);
    title = new TextLabel({.role = CorbelFont::support, .lineLimit = 1}, &row);
    layout->addWidget(symbol, 0, Qt::AlignVCenter);
    layout->addWidget(title, 0, Qt::AlignVCenter);
    // At least 8 of its own with a gap on each side; a box layout leaves out the gaps around a
    // spacer, so the spacer carries them.
    layout->addSpacerItem(new QSpacerItem(2 * gap, 0, QSizePolicy::MinimumExpanding, QSizePolicy::Minimum));
    if (trailing != nullptr) {
        layout->addWidget(trailing, 0, Qt::AlignVCenter);
    }
    layout->addStrut(static_cast<int>(CorbelMetrics::panelRow));
    row.setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void showTitle(TextLabel& label, const QString& text) {
    TextLabel::Props props = label.props();
    props.text = text;
    label.setProps(props);
}

void showSymbol(SymbolView& view, const QString& name, std::optional<QColor> color) {
    SymbolView::Props props = view.props();
    props.name = name;
    props.color = std::move(color);
    view.setProps(props);
}

} // namespace

void corbelMenuStyle(KitMenuButton& menu) {
    KitMenuButton::Props props = menu.props();
    props.size = ControlSize::small;
    menu.setProps(props);
    menu.setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

SettingRow::SettingRow(Props props, QWidget* control, QWidget* parent)
    : KitView(std::move(props), parent), control_(control) {
    buildRow(*this, symbol_, title_, control_);
    refresh();
}

void SettingRow::refresh() {
    showSymbol(*symbol_, props().symbol,
               systemColor(SystemColor::secondaryLabel, schemeOf(palette()),
                           KitEnvironment::values(*this).increasedContrast));
    showTitle(*title_, props().title);
}

void SettingRow::propsChanged() {
    refresh();
}

void SettingRow::paletteChanged() {
    refresh();
}

ActionRow::ActionRow(Props props, QWidget* trailing, QWidget* parent)
    : KitView(std::move(props), parent), trailing_(trailing) {
    buildRow(*this, symbol_, title_, trailing_);
    refresh();
}

void ActionRow::refresh() {
    showSymbol(*symbol_, props().symbol, props().color);
    showTitle(*title_, props().title);
}

void ActionRow::propsChanged() {
    refresh();
}

OpenAtLoginRow::OpenAtLoginRow(Props props, QWidget* parent) : KitView(std::move(props), parent) {
    switch_ = new KitSwitch({.size = ControlSize::small});
    row_ = new SettingRow({.symbol = QStringLiteral("arrow.up.forward.app")}, switch_, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(row_);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    login_.emplace([this] { refresh(); });
    switch_->setOnToggle([this](bool enabled) { login_->setEnabled(enabled); });
    refresh();
}

OpenAtLoginRow::~OpenAtLoginRow() = default;

void OpenAtLoginRow::refresh() {
    const QString title = kitLabel(KitLabel::openAtLogin, locale());
    SettingRow::Props row = row_->props();
    row.title = title;
    row_->setProps(row);
    KitSwitch::Props control = switch_->props();
    control.isOn = login_->isEnabled();
    control.tint = props().color;
    control.title = title;
    switch_->setProps(control);
}

void OpenAtLoginRow::propsChanged() {
    refresh();
}

void OpenAtLoginRow::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LocaleChange) {
        refresh();
    }
    KitView::changeEvent(event);
}

} // namespace corbel
