#pragma once
// The green privacy statement: a symbol beside a text that wraps to its full height, the symbol on
// the text's first baseline. It shows whatever text and symbol it is given.

#include "corbel/ui/CorbelFont.hpp"
#include "corbel/ui/FirstBaseline.hpp"
#include "corbel/ui/KitAccessibility.hpp"
#include "corbel/ui/KitView.hpp"

#include <QString>

namespace corbel {

class SymbolView;
class TextLabel;

struct PrivacyLineProps {
    QString text{};
    QString symbol{};
    // The text role of both the symbol and the text: the surrounding text's size.
    CorbelFont role = CorbelFont::support;

    bool operator==(const PrivacyLineProps&) const = default;
};

class PrivacyLine : public KitView<PrivacyLineProps>, public FirstBaselineView, public KitAccessibleView {
public:
    explicit PrivacyLine(Props props, QWidget* parent = nullptr);

    qreal firstBaseline(int width) const override;

    QAccessible::Role accessibleRole() const override { return QAccessible::StaticText; }
    QString accessibleLabel() const override { return props().text; }
    bool accessibleCombinesChildren() const override { return true; }

protected:
    void propsChanged() override;
    void paletteChanged() override;

private:
    void refresh();

    BaselineRow* row_;
    SymbolView* symbol_;
    TextLabel* text_;
};

} // namespace corbel
