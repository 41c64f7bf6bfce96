#pragma once
// How kit views describe themselves to accessibility tools. A kit widget that derives from
// KitAccessibleView answers for itself: its role, its name, whether its children are folded into
// it, and whether it is decoration that tools never see. Qt builds the answers through one
// interface factory, installed by the first kit view. Main thread only.

#include <QAccessible>
#include <QString>
#include <QStringList>

class QWidget;

namespace corbel {

class KitAccessibleView {
public:
    virtual ~KitAccessibleView();

    virtual QAccessible::Role accessibleRole() const { return QAccessible::Client; }
    // The name; empty leaves the widget's accessibleName() or, failing that, nothing.
    virtual QString accessibleLabel() const { return {}; }
    // The current value as text (a menu's choice); empty for views that have none.
    virtual QString accessibleValue() const { return {}; }
    // One element that speaks for its children: tools see no children.
    virtual bool accessibleCombinesChildren() const { return false; }
    // Decoration (a symbol beside a text, a ring): left out of its parent's children.
    virtual bool accessibleHidden() const { return false; }
    virtual bool accessibleChecked() const { return false; }
    virtual bool accessibleCheckable() const { return false; }
    // The chosen one among its kind (a selected pane in a list).
    virtual bool accessibleSelected() const { return false; }
    // Named actions tools offer beside the widget's own ("Remove Files"), and performing one.
    virtual QStringList accessibleActionNames() const { return {}; }
    virtual void accessibleDoAction(const QString& name) { (void)name; }

protected:
    KitAccessibleView();
};

// Whether tools see `widget` among its parent's children.
bool accessiblyVisible(const QWidget& widget);

} // namespace corbel
