#include "corbel/ui/NoticeCard.hpp"

#include "corbel/ui/BrandPalette.hpp"
#include "corbel/ui/CorbelMetrics.hpp"
#include "corbel/ui/FirstBaseline.hpp"
#include "corbel/ui/KitButton.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/QtWorkarounds.hpp"
#include "corbel/ui/SymbolView.hpp"
#include "corbel/ui/TextLabel.hpp"

#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace corbel {
namespace {

// The gap between a label's icon and its title.
constexpr qreal labelIconGap = 6;

} // namespace

NoticeCard::NoticeCard(Props props, std::vector<QWidget*> actions, QWidget* parent)
    : KitView(std::move(props), parent) {
    const int padding = static_cast<int>(CorbelMetrics::cardPadding);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(padding, padding, padding, padding);
    column->setSpacing(static_cast<int>(CorbelMetrics::row));

    auto* label = new BaselineRow(labelIconGap);
    symbol_ = new SymbolView({.role = CorbelFont::detailSemibold}, this);
    title_ = new TextLabel({.role = CorbelFont::detailSemibold}, this);
    label->addWidget(symbol_);
    label->addWidget(title_);
    label->addStretch();
    column->addLayout(label);

    message_ = new TextLabel({.role = CorbelFont::detail}, this);
    column->addWidget(message_);

    if (!actions.empty()) {
        auto* buttons = new QHBoxLayout;
        buttons->setContentsMargins(0, 0, 0, 0);
        buttons->setSpacing(static_cast<int>(CorbelMetrics::row));
        for (QWidget* action : actions) {
            if (auto* button = dynamic_cast<KitButton*>(action)) {
                KitButton::Props styled = button->props();
                styled.style = ButtonStyle::bordered;
                styled.size = ControlSize::small;
                button->setProps(styled);
                button->setSizePolicy(wrappingControlPolicy());
            }
            buttons->addWidget(action, 0, Qt::AlignVCenter);
        }
        buttons->addStretch();
        column->addLayout(buttons);
    }
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    refresh();
}

void NoticeCard::refresh() {
    const ColorScheme scheme = schemeOf(palette());
    const bool contrast = KitEnvironment::values(*this).increasedContrast;
    SymbolView::Props symbol = symbol_->props();
    symbol.name = props().symbol;
    symbol.color = BrandPalette::warning(scheme, contrast);
    symbol_->setProps(symbol);
    TextLabel::Props title = title_->props();
    title.text = props().title;
    title_->setProps(title);
    TextLabel::Props message = message_->props();
    message.text = props().message;
    message.color = BrandPalette::support(scheme, contrast);
    message_->setProps(message);
    update();
}

void NoticeCard::paintEvent(QPaintEvent*) {
    const ColorScheme scheme = schemeOf(palette());
    const bool contrast = KitEnvironment::values(*this).increasedContrast;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    QColor tint = BrandPalette::warning(scheme, contrast);
    tint.setAlphaF(0.12F);
    painter.setBrush(tint);
    painter.drawRoundedRect(rect(), CorbelMetrics::cardRadius, CorbelMetrics::cardRadius);
    painter.setBrush(BrandPalette::card(scheme, contrast));
    painter.drawRoundedRect(rect(), CorbelMetrics::cardRadius, CorbelMetrics::cardRadius);
}

void NoticeCard::paletteChanged() {
    refresh();
}

void NoticeCard::propsChanged() {
    refresh();
}

void NoticeCard::environmentChanged(KitEnvironmentKey) {
    refresh();
}

} // namespace corbel
