#include "corbel/ui/PrivacyLine.hpp"

#include "corbel/ui/BrandPalette.hpp"
#include "corbel/ui/CorbelMetrics.hpp"
#include "corbel/ui/QtWorkarounds.hpp"
#include "corbel/ui/SymbolView.hpp"
#include "corbel/ui/TextLabel.hpp"

namespace corbel {

PrivacyLine::PrivacyLine(Props props, QWidget* parent) : KitView(std::move(props), parent) {
    row_ = new BaselineRow(CorbelMetrics::row, this);
    symbol_ = new SymbolView({.role = CorbelFont::support, .frameWidth = CorbelMetrics::symbolColumn}, this);
    text_ = new TextLabel({.role = CorbelFont::support}, this);
    row_->addWidget(symbol_);
    row_->addWidget(text_);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    refresh();
}

qreal PrivacyLine::firstBaseline(int width) const {
    return row_->firstBaseline(width);
}

void PrivacyLine::refresh() {
    const QColor green = PrivacyGreen::color(schemeOf(palette()));
    SymbolView::Props symbol = symbol_->props();
    symbol.name = props().symbol;
    symbol.role = props().role;
    symbol.color = green;
    symbol_->setProps(symbol);
    TextLabel::Props text = text_->props();
    text.text = props().text;
    text.role = props().role;
    text.color = green;
    text_->setProps(text);
    updateGeometry();
}

void PrivacyLine::propsChanged() {
    refresh();
}

void PrivacyLine::paletteChanged() {
    refresh();
}

} // namespace corbel
