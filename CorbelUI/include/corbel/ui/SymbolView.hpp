#pragma once
// A symbol from the kit's table drawn at a text role's size, in a frame as tall as a line of that
// role, so that it lines up with text on their first baselines.

#include "corbel/ui/CorbelFont.hpp"
#include "corbel/ui/FirstBaseline.hpp"
#include "corbel/ui/KitAccessibility.hpp"
#include "corbel/ui/KitView.hpp"

#include <QColor>
#include <QString>

#include <optional>

namespace corbel {

struct SymbolViewProps {
    QString name{};
    CorbelFont role = CorbelFont::support;
    std::optional<QColor> color{}; // none: the palette's text colour
    qreal frameWidth = 0;          // 0: as wide as the symbol
    bool accessibilityHidden = true;
    QString accessibilityLabel{};

    bool operator==(const SymbolViewProps&) const = default;
};

class SymbolView : public KitView<SymbolViewProps>, public FirstBaselineView, public KitAccessibleView {
public:
    explicit SymbolView(Props props, QWidget* parent = nullptr);

    // The square the symbol is drawn in.
    QRectF symbolRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    qreal firstBaseline(int width) const override;

    QAccessible::Role accessibleRole() const override { return QAccessible::Graphic; }
    QString accessibleLabel() const override { return props().accessibilityLabel; }
    bool accessibleHidden() const override { return props().accessibilityHidden; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont font() const;
};

} // namespace corbel
