#include "LayoutSettling.hpp"

#include <QLayout>
#include <QWidget>

#include <algorithm>
#include <utility>
#include <vector>

namespace corbel {

void settleLayouts(QWidget& root) {
    std::vector<std::pair<int, QLayout*>> layouts;
    for (QWidget* widget : root.findChildren<QWidget*>()) {
        if (QLayout* layout = widget->layout()) {
            int depth = 0;
            for (QWidget* up = widget; up != &root && up != nullptr; up = up->parentWidget()) {
                ++depth;
            }
            layouts.emplace_back(depth, layout);
        }
    }
    std::stable_sort(layouts.begin(), layouts.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    // An activation tells the layout one layer up, so inside-out brings every layer up to date; a
    // layout with nothing pending does nothing.
    for (const auto& entry : layouts) {
        entry.second->activate();
    }
    if (QLayout* own = root.layout()) {
        own->activate();
    }
}

} // namespace corbel
