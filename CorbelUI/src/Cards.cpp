#include "corbel/ui/Cards.hpp"

#include "corbel/ui/BrandPalette.hpp"
#include "corbel/ui/CorbelMetrics.hpp"
#include "corbel/ui/KitColors.hpp"
#include "corbel/ui/QtWorkarounds.hpp"

#include <QPainter>
#include <QPainterPath>
#include <QVBoxLayout>

#include <cmath>

namespace corbel {

Card::Card(Fill fill, Props props, std::vector<QWidget*> content, QWidget* parent)
    : KitView(std::move(props), parent), fill_(fill) {
    const int padding = static_cast<int>(CorbelMetrics::cardPadding);
    column_ = new QVBoxLayout(this);
    column_->setContentsMargins(padding, padding, padding, padding);
    column_->setSpacing(static_cast<int>(std::lround(this->props().spacing)));
    for (QWidget* widget : content) {
        // A widget that does not expand keeps its own width at the leading edge (an aligned item
        // never stretches in a box layout, so expanding ones go in unaligned).
        const bool expands = (widget->sizePolicy().horizontalPolicy() & QSizePolicy::ExpandFlag) != 0;
        column_->addWidget(widget, 0, expands ? Qt::Alignment() : Qt::AlignLeft);
    }
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
}

void Card::propsChanged() {
    column_->setSpacing(static_cast<int>(std::lround(props().spacing)));
    KitView::propsChanged();
}

void Card::paintEvent(QPaintEvent*) {
    const ColorScheme scheme = schemeOf(palette());
    const bool contrast = KitEnvironment::values(*this).increasedContrast;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    const qreal radius = CorbelMetrics::cardRadius;
    if (fill_ == Fill::panel) {
        painter.setBrush(BrandPalette::card(scheme, contrast));
        painter.drawRoundedRect(rect(), radius, radius);
        return;
    }
    painter.setBrush(systemColor(SystemColor::glass, scheme, contrast));
    painter.drawRoundedRect(rect(), radius, radius);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(systemColor(SystemColor::separator, scheme, contrast), 1));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), radius - 0.5, radius - 0.5);
}

} // namespace corbel
