#include "corbel/ui/InlineNotice.hpp"

#include "corbel/ui/BrandPalette.hpp"
#include "corbel/ui/CorbelMetrics.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/QtWorkarounds.hpp"
#include "corbel/ui/SymbolView.hpp"
#include "corbel/ui/TextLabel.hpp"

#include <QPainter>

namespace corbel {

QStringView noticeSymbol(NoticeKind kind) noexcept {
    switch (kind) {
    case NoticeKind::warning:
        return u"exclamationmark.triangle";
    case NoticeKind::waiting:
        return u"clock";
    case NoticeKind::info:
        break;
    }
    return u"info.circle";
}

QColor noticeTint(NoticeKind kind, ColorScheme scheme, bool increasedContrast) {
    return kind == NoticeKind::warning ? BrandPalette::warning(scheme, increasedContrast)
                                       : BrandPalette::support(scheme, increasedContrast);
}

InlineNotice::InlineNotice(Props props, QWidget* trailing, QWidget* parent)
    : KitView(std::move(props), parent), trailing_(trailing) {
    const int padding = static_cast<int>(CorbelMetrics::group);
    auto* row = new BaselineRow(CorbelMetrics::group, this);
    row->setContentsMargins(padding, padding, padding, padding);
    symbol_ = new SymbolView({.role = CorbelFont::support, .frameWidth = CorbelMetrics::symbolColumn}, this);
    text_ = new TextLabel({.text = this->props().text, .role = CorbelFont::support}, this);
    row->addWidget(symbol_);
    row->addWidget(text_);
    row->addStretch();
    if (trailing_ != nullptr) {
        row->addWidget(trailing_);
    }
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    refresh();
}

void InlineNotice::refresh() {
    const ColorScheme scheme = schemeOf(palette());
    SymbolView::Props symbol = symbol_->props();
    symbol.name = noticeSymbol(props().kind).toString();
    symbol.color = noticeTint(props().kind, scheme, KitEnvironment::values(*this).increasedContrast);
    symbol_->setProps(symbol);
    TextLabel::Props text = text_->props();
    text.text = props().text;
    text_->setProps(text);
    update();
}

QAccessible::Role InlineNotice::accessibleRole() const {
    return hasTrailing() ? QAccessible::Grouping : QAccessible::StaticText;
}

QString InlineNotice::accessibleLabel() const {
    return hasTrailing() ? QString() : props().text;
}

void InlineNotice::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(
        BrandPalette::card(schemeOf(palette()), KitEnvironment::values(*this).increasedContrast));
    painter.drawRoundedRect(rect(), CorbelMetrics::noticeRadius, CorbelMetrics::noticeRadius);
}

void InlineNotice::paletteChanged() {
    refresh();
}

void InlineNotice::propsChanged() {
    refresh();
}

void InlineNotice::environmentChanged(KitEnvironmentKey) {
    refresh();
}

} // namespace corbel
