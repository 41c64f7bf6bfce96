#include "corbel/ui/FirstBaseline.hpp"

#include <QFontMetricsF>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <vector>

namespace corbel {

qreal firstBaselineOf(const QWidget& widget, int width, int height) {
    if (const auto* view = dynamic_cast<const FirstBaselineView*>(&widget)) {
        return view->firstBaseline(width);
    }
    const QFontMetricsF metrics(widget.font());
    return (height + metrics.ascent() - metrics.descent()) / 2;
}

BaselineRow::BaselineRow(qreal spacing, QWidget* parent) : QLayout(parent), rowSpacing_(spacing) {
    setContentsMargins(0, 0, 0, 0);
}

BaselineRow::~BaselineRow() {
    qDeleteAll(items_);
}

void BaselineRow::addStretch() {
    addItem(new QSpacerItem(0, 0, QSizePolicy::Expanding, QSizePolicy::Minimum));
}

void BaselineRow::addItem(QLayoutItem* item) {
    items_.append(item);
    invalidate();
}

QLayoutItem* BaselineRow::itemAt(int index) const {
    return items_.value(index);
}

QLayoutItem* BaselineRow::takeAt(int index) {
    if (index < 0 || index >= items_.size()) {
        return nullptr;
    }
    QLayoutItem* item = items_.takeAt(index);
    invalidate();
    return item;
}

int BaselineRow::count() const {
    return static_cast<int>(items_.size());
}

QList<BaselineRow::Placement> BaselineRow::place(int width, qreal* baselineOut, int* heightOut) const {
    QList<Placement> placements(items_.size());
    // Widths: fixed items at their preferred width, wrapping items share what is left, capped at
    // their preferred width; stretches take the remainder.
    int fixed = 0;
    int gaps = 0;
    int wrapping = 0;
    int stretches = 0;
    for (QLayoutItem* item : items_) {
        if (item->isEmpty() && item->spacerItem() == nullptr) {
            continue;
        }
        if (item->spacerItem() != nullptr) {
            ++stretches;
        } else if (item->hasHeightForWidth()) {
            ++wrapping;
        } else {
            fixed += item->sizeHint().width();
        }
        ++gaps;
    }
    const int spacing = static_cast<int>(std::lround(rowSpacing_));
    int left = width - fixed - std::max(0, gaps - 1) * spacing;
    std::vector<int> widths(items_.size(), 0);
    std::vector<qsizetype> wrappers;
    for (qsizetype i = 0; i < items_.size(); ++i) {
        QLayoutItem* item = items_[i];
        if ((item->isEmpty() && item->spacerItem() == nullptr) || item->spacerItem() != nullptr) {
            continue;
        }
        if (item->hasHeightForWidth()) {
            wrappers.push_back(i);
        } else {
            widths[i] = item->sizeHint().width();
        }
    }
    // Wrapping items share what is left, the narrowest first, so that room one does not need goes
    // to the others.
    std::sort(wrappers.begin(), wrappers.end(), [this](qsizetype a, qsizetype b) {
        return items_[a]->sizeHint().width() < items_[b]->sizeHint().width();
    });
    int sharing = wrapping;
    for (qsizetype i : wrappers) {
        widths[i] = std::clamp(items_[i]->sizeHint().width(), 0, std::max(0, left / sharing));
        left -= widths[i];
        --sharing;
    }
    for (qsizetype i = 0; i < items_.size(); ++i) {
        if (items_[i]->spacerItem() != nullptr && stretches > 0) {
            widths[i] = std::max(0, left / stretches);
        }
    }

    // Heights and baselines: every item's first baseline meets the lowest one.
    std::vector<int> heights(items_.size(), 0);
    std::vector<qreal> baselines(items_.size(), 0);
    qreal baseline = 0;
    for (qsizetype i = 0; i < items_.size(); ++i) {
        QLayoutItem* item = items_[i];
        if (item->isEmpty()) {
            continue;
        }
        heights[i] = item->hasHeightForWidth() ? item->heightForWidth(widths[i]) : item->sizeHint().height();
        if (QWidget* widget = item->widget()) {
            baselines[i] = firstBaselineOf(*widget, widths[i], heights[i]);
        } else {
            baselines[i] = heights[i];
        }
        baseline = std::max(baseline, baselines[i]);
    }
    int height = 0;
    int x = 0;
    bool first = true;
    for (qsizetype i = 0; i < items_.size(); ++i) {
        QLayoutItem* item = items_[i];
        if (item->isEmpty() && item->spacerItem() == nullptr) {
            continue;
        }
        if (!first) {
            x += spacing;
        }
        first = false;
        const int top = static_cast<int>(std::lround(baseline - baselines[i]));
        placements[i] = {QRect(x, top, widths[i], heights[i]), !item->isEmpty()};
        if (!item->isEmpty()) {
            height = std::max(height, top + heights[i]);
        }
        x += widths[i];
    }
    if (baselineOut != nullptr) {
        *baselineOut = baseline;
    }
    if (heightOut != nullptr) {
        *heightOut = height;
    }
    return placements;
}

QSize BaselineRow::sizeHint() const {
    int width = 0;
    bool first = true;
    for (QLayoutItem* item : items_) {
        if (item->isEmpty()) {
            continue;
        }
        width += item->sizeHint().width() + (first ? 0 : static_cast<int>(std::lround(rowSpacing_)));
        first = false;
    }
    const QMargins margins = contentsMargins();
    width += margins.left() + margins.right();
    return {width, heightForWidth(width)};
}

QSize BaselineRow::minimumSize() const {
    int width = 0;
    bool first = true;
    for (QLayoutItem* item : items_) {
        if (item->isEmpty()) {
            continue;
        }
        const int own = item->hasHeightForWidth() ? item->minimumSize().width() : item->sizeHint().width();
        width += own + (first ? 0 : static_cast<int>(std::lround(rowSpacing_)));
        first = false;
    }
    const QMargins margins = contentsMargins();
    return {width + margins.left() + margins.right(), margins.top() + margins.bottom()};
}

bool BaselineRow::hasHeightForWidth() const {
    return true;
}

int BaselineRow::heightForWidth(int width) const {
    const QMargins margins = contentsMargins();
    int height = 0;
    place(width - margins.left() - margins.right(), nullptr, &height);
    return height + margins.top() + margins.bottom();
}

qreal BaselineRow::firstBaseline(int width) const {
    const QMargins margins = contentsMargins();
    qreal baseline = 0;
    place(width - margins.left() - margins.right(), &baseline);
    return baseline + margins.top();
}

void BaselineRow::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    const QRect inner = rect.marginsRemoved(contentsMargins());
    const QList<Placement> placements = place(inner.width());
    for (qsizetype i = 0; i < items_.size(); ++i) {
        if (placements[i].present) {
            items_[i]->setGeometry(placements[i].rect.translated(inner.topLeft()));
        }
    }
}

Qt::Orientations BaselineRow::expandingDirections() const {
    return Qt::Horizontal;
}

} // namespace corbel
