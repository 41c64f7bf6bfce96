#pragma once
// The kit's layouts have no margins and say their spacing outright.

#include <QBoxLayout>
#include <QWidget>

namespace corbel {

inline QBoxLayout* bareLayout(QBoxLayout::Direction direction, QWidget* owner, qreal spacing) {
    auto* layout = new QBoxLayout(direction, owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(qRound(spacing));
    return layout;
}

inline QBoxLayout* bareLayout(QBoxLayout::Direction direction, qreal spacing) {
    return bareLayout(direction, nullptr, spacing);
}

} // namespace corbel
