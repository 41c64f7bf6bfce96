#pragma once
// The kit's compact setting rows: a symbol in a 20-wide column, a one-line title (elided when
// short of room), at least 8 of space, and a control at the trailing edge; at least 32 high.
// OpenAtLoginRow is the ready-made row with a switch bound to the shared login item.

#include "corbel/ui/KitAccessibility.hpp"
#include "corbel/ui/KitView.hpp"

#include "corbel/ui/LoginItem.hpp"

#include <QColor>
#include <QString>

#include <memory>
#include <optional>

namespace corbel {

class KitSwitch;
class SymbolView;
class TextLabel;

struct SettingRowProps {
    QString title{};
    QString symbol{};

    bool operator==(const SettingRowProps&) const = default;
};

// The symbol in the secondary label colour.
class SettingRow : public KitView<SettingRowProps>, public KitAccessibleView {
public:
    // Owns `control`, shown at the trailing edge.
    explicit SettingRow(Props props, QWidget* control, QWidget* parent = nullptr);

    QWidget* control() const noexcept { return control_; }

    QAccessible::Role accessibleRole() const override { return QAccessible::Grouping; }
    QString accessibleLabel() const override { return props().title; }

protected:
    void propsChanged() override;
    void paletteChanged() override;

private:
    void refresh();

    SymbolView* symbol_;
    TextLabel* title_;
    QWidget* control_;
};

struct ActionRowProps {
    QString title{};
    QString symbol{};
    std::optional<QColor> color{}; // the symbol's colour; none: the palette's text colour

    bool operator==(const ActionRowProps&) const = default;
};

class ActionRow : public KitView<ActionRowProps>, public KitAccessibleView {
public:
    // Owns `trailing`, shown at the trailing edge.
    explicit ActionRow(Props props, QWidget* trailing, QWidget* parent = nullptr);

    QWidget* trailing() const noexcept { return trailing_; }

    QAccessible::Role accessibleRole() const override { return QAccessible::Grouping; }
    QString accessibleLabel() const override { return props().title; }

protected:
    void propsChanged() override;

private:
    void refresh();

    SymbolView* symbol_;
    TextLabel* title_;
    QWidget* trailing_;
};

struct OpenAtLoginRowProps {
    std::optional<QColor> color{}; // the switch's tint; none: the palette's Highlight

    bool operator==(const OpenAtLoginRowProps&) const = default;
};

// "Open at Login" with a small switch that shows LoginItem::shared() and asks it to change. The
// switch follows the state read back, so a refused change leaves it where it was. It binds to the
// shared item when it is made: install the item first.
class OpenAtLoginRow : public KitView<OpenAtLoginRowProps> {
public:
    explicit OpenAtLoginRow(Props props = {}, QWidget* parent = nullptr);
    ~OpenAtLoginRow() override;

    KitSwitch& loginSwitch() const noexcept { return *switch_; }

protected:
    void propsChanged() override;
    void changeEvent(QEvent* event) override;

private:
    void refresh();

    std::optional<LoginItem::Binding> login_;
    SettingRow* row_;
    KitSwitch* switch_;
};

} // namespace corbel
