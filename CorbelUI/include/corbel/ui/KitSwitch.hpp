#pragma once
// The kit's on/off switch: a capsule track filled with the tint while on, and a round knob.

#include "corbel/ui/BrandFocus.hpp"
#include "corbel/ui/ControlSize.hpp"
#include "corbel/ui/KitAccessibility.hpp"
#include "corbel/ui/KitView.hpp"

#include <QColor>
#include <QString>

#include <functional>
#include <optional>

namespace corbel {

struct KitSwitchProps {
    bool isOn = false;
    ControlSize size = ControlSize::regular;
    std::optional<QColor> tint{}; // none: the palette's Highlight
    QString title{};              // names the switch for accessibility; never drawn

    bool operator==(const KitSwitchProps&) const = default;
};

class KitSwitch : public KitView<KitSwitchProps>, public KitAccessibleView {
public:
    explicit KitSwitch(Props props, QWidget* parent = nullptr);

    // Hears the value the user asks for; the owner answers by setting the props.
    void setOnToggle(std::function<void(bool)> onToggle);

    static RingShape ringShape() { return RingShape::capsule(); }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    QAccessible::Role accessibleRole() const override { return QAccessible::CheckBox; }
    QString accessibleLabel() const override { return props().title; }
    bool accessibleCheckable() const override { return true; }
    bool accessibleChecked() const override { return props().isOn; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void toggle();

    std::function<void(bool)> onToggle_;
};

} // namespace corbel
