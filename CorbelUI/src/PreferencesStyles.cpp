#include "corbel/ui/PreferencesStyles.hpp"

#include "corbel/ui/KitButton.hpp"
#include "corbel/ui/KitMenuButton.hpp"

#include <QEvent>
#include <QMenu>
#include <QWidget>

namespace corbel {
namespace {

constexpr const char* ringProperty = "corbel.preferencesRing";

// A ring lives in its control's parent, so a control styled before it is placed gets its ring
// when it first gets a parent.
class RingOnParent : public QObject {
public:
    RingOnParent(QWidget& control, RingShape shape) : QObject(&control), shape_(shape) {
        control.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        auto* control = static_cast<QWidget*>(watched);
        if (event->type() == QEvent::ParentChange && control->parentWidget() != nullptr) {
            control->removeEventFilter(this);
            attachFocusRing(*control, shape_);
            deleteLater();
        }
        return false;
    }

private:
    RingShape shape_;
};

} // namespace

QWidget& preferencesFocusRing(QWidget& control, RingShape shape) {
    // Once per control: styling a control again must not stack a second ring.
    if (control.property(ringProperty).toBool()) {
        return control;
    }
    control.setProperty(ringProperty, true);
    if (control.parentWidget() != nullptr) {
        attachFocusRing(control, shape);
    } else {
        new RingOnParent(control, shape);
    }
    return control;
}

KitButton& preferencesButtonStyle(KitButton& button) {
    KitButton::Props props = button.props();
    props.style = ButtonStyle::bordered;
    props.size = ControlSize::large;
    props.role = CorbelFont::support;
    // The bordered fill and the palette's button text are already the primary colour; no tint.
    props.tint.reset();
    props.labelColor.reset();
    button.setProps(props);
    button.setSizePolicy(wrappingControlPolicy());
    preferencesFocusRing(button, RingShape::capsule());
    return button;
}

KitMenuButton& preferencesMenuStyle(KitMenuButton& menu) {
    KitMenuButton::Props props = menu.props();
    props.style = ButtonStyle::bordered;
    props.size = ControlSize::large;
    menu.setProps(props);
    menu.setSizePolicy(wrappingControlPolicy());
    preferencesFocusRing(menu, RingShape::capsule());
    return menu;
}

} // namespace corbel
