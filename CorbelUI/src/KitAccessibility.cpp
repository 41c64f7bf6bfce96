#include "corbel/ui/KitAccessibility.hpp"

#include <QAccessibleWidget>
#include <QFocusFrame>
#include <QWidget>

namespace corbel {
namespace {

QList<QWidget*> visibleChildren(const QWidget& widget) {
    QList<QWidget*> result;
    for (QObject* object : widget.children()) {
        auto* child = qobject_cast<QWidget*>(object);
        if (child != nullptr && !child->isWindow() && accessiblyVisible(*child)) {
            result.append(child);
        }
    }
    return result;
}

class KitAccessibleInterface : public QAccessibleWidget {
public:
    KitAccessibleInterface(QWidget* widget, KitAccessibleView& view)
        : QAccessibleWidget(widget, view.accessibleRole()), view_(view) {}

    QAccessible::Role role() const override { return view_.accessibleRole(); }

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            return view_.accessibleLabel();
        }
        if (t == QAccessible::Value) {
            return view_.accessibleValue();
        }
        // The Linux bus carries a value only for numeric views: a text value (a row's
        // "unavailable") would never reach a screen reader, so it also stands as the description.
        if (t == QAccessible::Description && widget()->accessibleDescription().isEmpty()) {
            return view_.accessibleValue();
        }
        return QAccessibleWidget::text(t);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        state.checkable = view_.accessibleCheckable();
        state.checked = view_.accessibleChecked();
        if (view_.accessibleSelected()) {
            state.selectable = true;
            state.selected = true;
        }
        return state;
    }

    int childCount() const override {
        return view_.accessibleCombinesChildren() ? 0 : static_cast<int>(visibleChildren(*widget()).size());
    }

    QAccessibleInterface* child(int index) const override {
        if (view_.accessibleCombinesChildren()) {
            return nullptr;
        }
        const QList<QWidget*> children = visibleChildren(*widget());
        return index >= 0 && index < children.size() ? QAccessible::queryAccessibleInterface(children[index])
                                                     : nullptr;
    }

    int indexOfChild(const QAccessibleInterface* child) const override {
        if (view_.accessibleCombinesChildren() || child == nullptr) {
            return -1;
        }
        return static_cast<int>(visibleChildren(*widget()).indexOf(qobject_cast<QWidget*>(child->object())));
    }

    QStringList actionNames() const override {
        return QAccessibleWidget::actionNames() + view_.accessibleActionNames();
    }

    void doAction(const QString& name) override {
        if (view_.accessibleActionNames().contains(name)) {
            view_.accessibleDoAction(name);
            return;
        }
        QAccessibleWidget::doAction(name);
    }

private:
    KitAccessibleView& view_;
};

QAccessibleInterface* kitInterfaceFactory(const QString&, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (widget == nullptr) {
        return nullptr;
    }
    if (auto* view = dynamic_cast<KitAccessibleView*>(widget)) {
        return new KitAccessibleInterface(widget, *view);
    }
    return nullptr;
}

} // namespace

KitAccessibleView::KitAccessibleView() {
    static const bool installed = [] {
        QAccessible::installFactory(kitInterfaceFactory);
        return true;
    }();
    (void)installed;
}

KitAccessibleView::~KitAccessibleView() = default;

bool accessiblyVisible(const QWidget& widget) {
    if (qobject_cast<const QFocusFrame*>(&widget) != nullptr) {
        return false;
    }
    const auto* view = dynamic_cast<const KitAccessibleView*>(&widget);
    return view == nullptr || !view->accessibleHidden();
}

} // namespace corbel
