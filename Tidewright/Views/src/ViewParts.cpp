#include "ViewParts.hpp"

#include <QPainter>

#include <algorithm>

namespace tidewright::views {

QBoxLayout* bareLayout(QBoxLayout::Direction direction, QWidget* owner, int spacing) {
    auto* layout = new QBoxLayout(direction, owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

void placeInOrder(QBoxLayout& layout, const std::vector<QWidget*>& order) {
    // Only the placement changes; the widgets stay as they are. A child left out is hidden, or it
    // would show unplaced.
    if (QWidget* owner = layout.parentWidget()) {
        for (QWidget* child : owner->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (std::find(order.begin(), order.end(), child) == order.end()) {
                child->hide();
            }
        }
    }
    std::vector<QWidget*> current;
    for (int i = 0; i < layout.count(); ++i) {
        current.push_back(layout.itemAt(i)->widget());
    }
    if (current != order) {
        while (QLayoutItem* item = layout.takeAt(0)) {
            delete item;
        }
        for (QWidget* widget : order) {
            layout.addWidget(widget);
        }
    }
    for (QWidget* widget : order) {
        widget->show();
    }
}

FirstFitLayout::FirstFitLayout(QWidget* owner, int spacing) : QLayout(owner), spacing_(spacing) {
    setContentsMargins(0, 0, 0, 0);
}

FirstFitLayout::~FirstFitLayout() {
    for (QLayoutItem* item : items_) {
        delete item;
    }
}

void FirstFitLayout::addItem(QLayoutItem* item) {
    items_.push_back(item);
}

QLayoutItem* FirstFitLayout::itemAt(int index) const {
    return index >= 0 && index < count() ? items_[static_cast<std::size_t>(index)] : nullptr;
}

QLayoutItem* FirstFitLayout::takeAt(int index) {
    if (index < 0 || index >= count()) {
        return nullptr;
    }
    QLayoutItem* item = items_[static_cast<std::size_t>(index)];
    items_.erase(items_.begin() + index);
    return item;
}

int FirstFitLayout::sideBySideWidth() const {
    int width = 0;
    for (QLayoutItem* item : items_) {
        width += item->sizeHint().width();
    }
    return width + spacing_ * std::max(0, count() - 1);
}

bool FirstFitLayout::stacksAt(int width) const {
    return sideBySideWidth() > width;
}

QSize FirstFitLayout::sizeHint() const {
    int height = 0;
    for (QLayoutItem* item : items_) {
        height = std::max(height, item->sizeHint().height());
    }
    return {sideBySideWidth(), height};
}

QSize FirstFitLayout::minimumSize() const {
    return {0, 0}; // any width will do: one under the other, wrapping
}

namespace {

// One under the other, an item wider than the room gets the room and grows taller (its label wraps).
QSize stackedSize(const QLayoutItem& item, int width) {
    const QSize hint = item.sizeHint();
    const int shown = std::min(hint.width(), width);
    return {shown, item.hasHeightForWidth() ? item.heightForWidth(shown) : hint.height()};
}

} // namespace

int FirstFitLayout::heightForWidth(int width) const {
    if (!stacksAt(width)) {
        return sizeHint().height();
    }
    int height = 0;
    for (QLayoutItem* item : items_) {
        height += stackedSize(*item, width).height();
    }
    return height + spacing_ * std::max(0, count() - 1);
}

void FirstFitLayout::setGeometry(const QRect& rect) {
    QLayout::setGeometry(rect);
    const bool stacked = stacksAt(rect.width());
    const int rowHeight = sizeHint().height();
    int x = rect.x();
    int y = rect.y();
    for (QLayoutItem* item : items_) {
        const QSize size = stacked ? stackedSize(*item, rect.width()) : item->sizeHint();
        if (stacked) {
            // Straight to the widget: its item would hold a fixed-size control to its one-line height.
            const QRect place(QPoint(rect.x(), y), size);
            if (QWidget* widget = item->widget()) {
                widget->setGeometry(place);
            } else {
                item->setGeometry(place);
            }
            y += size.height() + spacing_;
        } else {
            item->setGeometry(QRect(QPoint(x, rect.y() + (rowHeight - size.height()) / 2), size));
            x += size.width() + spacing_;
        }
    }
}

IconFrame::IconFrame(int side, QWidget* parent) : QWidget(parent), side_(side) {
    setFixedSize(side_, side_);
}

void IconFrame::setIcon(std::optional<QIcon> icon) {
    icon_ = std::move(icon);
    update();
}

void IconFrame::paintEvent(QPaintEvent*) {
    if (!icon_ || icon_->isNull()) {
        return; // clear: names stay aligned whether or not a rule has an icon
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    icon_->paint(&painter, rect());
}

} // namespace tidewright::views
