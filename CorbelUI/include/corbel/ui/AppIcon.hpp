#pragma once
// The running application's icon, stretched to a square of the given side. Decoration: tools never
// see it. Without a window icon it draws a tile in the tint with the kit's window symbol.

#include "corbel/ui/KitAccessibility.hpp"
#include "corbel/ui/KitView.hpp"

namespace corbel {

struct AppIconProps {
    qreal size = 0; // the side, in device-independent pixels

    bool operator==(const AppIconProps&) const = default;
};

class AppIcon : public KitView<AppIconProps>, public KitAccessibleView {
public:
    explicit AppIcon(Props props, QWidget* parent = nullptr);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    QAccessible::Role accessibleRole() const override { return QAccessible::Graphic; }
    bool accessibleHidden() const override { return true; }

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace corbel
