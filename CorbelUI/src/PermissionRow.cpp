#include "corbel/ui/PermissionRow.hpp"

#include "LayoutSettling.hpp"

#include "corbel/ui/CorbelMetrics.hpp"
#include "corbel/ui/FirstBaseline.hpp"
#include "corbel/ui/KitButton.hpp"
#include "corbel/ui/KitColors.hpp"
#include "corbel/ui/KitLabels.hpp"
#include "corbel/ui/QtWorkarounds.hpp"
#include "corbel/ui/SymbolView.hpp"
#include "corbel/ui/TextLabel.hpp"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace corbel {
namespace {

constexpr int buttonInset = 4;

} // namespace

PermissionRow::PermissionRow(Props props, QWidget* parent) : KitView(std::move(props), parent) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(static_cast<int>(CorbelMetrics::group));

    status_ = new SymbolView({.role = CorbelFont::text, .accessibilityHidden = false}, this);
    row->addWidget(status_, 0, Qt::AlignTop);

    auto* texts = new QWidget(this);
    auto* column = new QVBoxLayout(texts);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(static_cast<int>(CorbelMetrics::tight));
    auto* heading = new BaselineRow(CorbelMetrics::row);
    title_ = new TextLabel({.role = CorbelFont::heading}, texts);
    tag_ = new TextLabel({.role = CorbelFont::detail, .lineLimit = 1}, texts);
    heading->addWidget(title_);
    heading->addWidget(tag_);
    heading->addStretch();
    column->addLayout(heading);
    message_ = new TextLabel({.role = CorbelFont::detail}, texts);
    column->addWidget(message_);
    buttonBox_ = new QWidget(texts);
    auto* buttonRow = new QHBoxLayout(buttonBox_);
    buttonRow->setContentsMargins(0, buttonInset, 0, 0);
    button_ = new KitButton({.style = ButtonStyle::glass, .size = ControlSize::small}, buttonBox_);
    button_->setAction([this] {
        if (perform_) {
            perform_();
        }
    });
    buttonRow->addWidget(button_);
    buttonRow->addStretch();
    column->addWidget(buttonBox_);
    row->addWidget(texts, 1);

    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    refresh();
}

PermissionRow::~PermissionRow() = default;

void PermissionRow::setPerform(std::function<void()> perform) {
    perform_ = std::move(perform);
}

void PermissionRow::refresh() {
    const ColorScheme scheme = schemeOf(palette());
    const QColor secondary = systemColor(SystemColor::secondaryLabel, scheme);
    const QLocale shown = locale();

    SymbolView::Props status = status_->props();
    status.name = props().isGranted ? QStringLiteral("checkmark.circle.fill")
                                    : QString::number(props().number) + QStringLiteral(".circle");
    status.color = props().isGranted ? systemColor(SystemColor::green, scheme) : props().color;
    status.accessibilityLabel =
        kitLabel(props().isGranted ? KitLabel::allowed : KitLabel::notAllowedYet, shown);
    status_->setProps(status);

    TextLabel::Props title = title_->props();
    title.text = props().title;
    title_->setProps(title);

    TextLabel::Props tag = tag_->props();
    tag.text = kitLabel(KitLabel::optional, shown);
    tag.color = secondary;
    tag_->setProps(tag);
    tag_->setVisible(props().isOptional);

    TextLabel::Props message = message_->props();
    message.text = props().message;
    message.color = secondary;
    message_->setProps(message);

    KitButton::Props button = button_->props();
    button.title = props().action;
    button_->setProps(button);
    buttonBox_->setVisible(!props().isGranted);
    settleLayouts(*this);
    updateGeometry();
    update();
}

void PermissionRow::propsChanged() {
    refresh();
}

void PermissionRow::paletteChanged() {
    refresh();
}

} // namespace corbel
