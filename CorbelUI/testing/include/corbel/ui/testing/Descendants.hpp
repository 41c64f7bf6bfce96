#pragma once
// Finding kit widgets in a tree, for tests: kit widgets carry no meta-object, so findChildren<T>
// cannot name them.

#include <QWidget>

#include <vector>

namespace corbel::testing {

// The descendants of `widget` of type T, in creation order.
template <typename T>
std::vector<T*> descendantsOf(QWidget& widget) {
    std::vector<T*> found;
    for (QWidget* child : widget.findChildren<QWidget*>()) {
        if (auto* typed = dynamic_cast<T*>(child)) {
            found.push_back(typed);
        }
    }
    return found;
}

} // namespace corbel::testing
