#pragma once
// A keyboard shortcut as a row of key caps, one per key text, shown verbatim. Accessibility tools
// read it as one element: the key texts joined by single spaces.

#include "corbel/ui/FirstBaseline.hpp"
#include "corbel/ui/KitAccessibility.hpp"
#include "corbel/ui/KitView.hpp"

#include <QRectF>
#include <QStringList>

#include <vector>

namespace corbel {

struct KeyCapsProps {
    QStringList keys{};

    bool operator==(const KeyCapsProps&) const = default;
};

class KeyCaps : public KitView<KeyCapsProps>, public FirstBaselineView, public KitAccessibleView {
public:
    static constexpr qreal spacing = 4;
    static constexpr qreal minimumSide = 20;
    // Between a cap's edges and a key text of more than one character.
    static constexpr qreal widePadding = 8;
    static constexpr qreal cornerRadius = 4;

    explicit KeyCaps(Props props, QWidget* parent = nullptr);

    // The caps, in order, in the widget's coordinates when laid out at its size hint's height.
    std::vector<QRectF> capRects() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    qreal firstBaseline(int width) const override;

    QAccessible::Role accessibleRole() const override { return QAccessible::StaticText; }
    QString accessibleLabel() const override { return props().keys.join(QLatin1Char(' ')); }
    bool accessibleCombinesChildren() const override { return true; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QFont capFont() const;
};

} // namespace corbel
