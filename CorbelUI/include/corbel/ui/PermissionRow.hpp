#pragma once
// One permission in the single-screen welcome's list: its number in a circle while it is missing
// (a green checkmark once granted), its title with an optional tag, why it is needed, and a button
// that asks for it while it is missing.

#include "corbel/ui/KitAccessibility.hpp"
#include "corbel/ui/KitView.hpp"

#include <QColor>
#include <QString>

#include <functional>

namespace corbel {

class KitButton;
class SymbolView;
class TextLabel;

struct PermissionRowProps {
    int number = 1;
    bool isGranted = false;
    bool isOptional = false;
    QString title{};
    QString message{};
    QString action{}; // the button's title
    QColor color{};   // the number's colour while the permission is missing

    bool operator==(const PermissionRowProps&) const = default;
};

class PermissionRow : public KitView<PermissionRowProps>, public KitAccessibleView {
public:
    explicit PermissionRow(Props props, QWidget* parent = nullptr);
    ~PermissionRow() override;

    // Run by the button.
    void setPerform(std::function<void()> perform);

    const SymbolView& status() const noexcept { return *status_; }
    const TextLabel& tag() const noexcept { return *tag_; }
    const KitButton& button() const noexcept { return *button_; }

    QAccessible::Role accessibleRole() const override { return QAccessible::Grouping; }

protected:
    void propsChanged() override;
    void paletteChanged() override;

private:
    void refresh();

    SymbolView* status_;
    TextLabel* title_;
    TextLabel* tag_;
    TextLabel* message_;
    QWidget* buttonBox_;
    KitButton* button_;
    std::function<void()> perform_;
};

} // namespace corbel
