#pragma once
// The trailing view of a panel row for a keyboard shortcut: key caps (or a placeholder) in a small
// rounded field that shows the editing and conflict states. Given an editor it is a button that
// starts editing. Main thread only.

#include "corbel/ui/CorbelBrand.hpp"
#include "corbel/ui/KitAccessibility.hpp"
#include "corbel/ui/KitView.hpp"

#include <QColor>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace corbel {

class KeyCaps;
class SymbolView;
class TextLabel;

struct PanelShortcutKeysProps {
    // What makes the keys an edit button; the edit action itself is PanelShortcutKeys::setOnEdit.
    struct Editor {
        QString label; // the button's accessibility name
        QString hint;  // its accessibility hint
        QString help;  // its tooltip

        bool operator==(const Editor&) const = default;
    };

    QStringList keys{};
    std::optional<QString> placeholder{}; // shown instead of the caps when present
    CorbelBrand brand;
    bool isEditing = false;
    bool hasConflict = false;
    bool isDisabled = false;
    std::optional<Editor> editor{};

    bool operator==(const PanelShortcutKeysProps& other) const;
};

class PanelShortcutKeys : public KitView<PanelShortcutKeysProps>, public KitAccessibleView {
public:
    static constexpr qreal horizontalPadding = 8;
    static constexpr qreal spacing = 4;
    static constexpr qreal cornerRadius = 8;

    explicit PanelShortcutKeys(Props props, QWidget* parent = nullptr);

    // Runs when the editor button is pressed (click, Space or Return).
    void setOnEdit(std::function<void()> onEdit);

    // The warning colour in conflict, else the brand accent, for the widget's scheme.
    QColor highlightColor() const;
    // The placeholder, else the keys joined by single spaces.
    QString keysText() const;

    // At its ideal width, at least a row high.
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    QAccessible::Role accessibleRole() const override;
    QString accessibleLabel() const override;
    QString accessibleValue() const override;
    bool accessibleCombinesChildren() const override { return true; }

protected:
    void propsChanged() override;
    void environmentChanged(KitEnvironmentKey key) override;
    void paletteChanged() override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void refresh();
    void edit();

    std::function<void()> onEdit_;
    bool pressed_ = false;
    SymbolView* indicator_;
    TextLabel* placeholder_;
    KeyCaps* caps_;
};

} // namespace corbel
