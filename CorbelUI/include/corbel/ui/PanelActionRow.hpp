#pragma once
// One full-width row of the tray panel: a symbol in the brand accent, a title of up to two lines
// with an optional badge, and a trailing view (usually the row's shortcut keys) on the right, or
// under the title at the accessibility text sizes. With an action it is a button that highlights
// on hover or when suggested; without one it only displays. It can report the frames of its parts
// to its owner. Main thread only.

#include "corbel/ui/CorbelBrand.hpp"
#include "corbel/ui/KitAccessibility.hpp"
#include "corbel/ui/KitView.hpp"

#include <QBoxLayout>
#include <QColor>
#include <QRectF>
#include <QString>

#include <array>
#include <functional>
#include <optional>

namespace corbel {

class SymbolView;
class TextLabel;

// The parts whose frames a row reports.
enum class PanelActionRowPart {
    action,
    icon,
    text,
    shortcut,
};

struct PanelActionRowProps {
    QString title{};
    QString symbol{};
    CorbelBrand brand;
    bool isDisabled = false;
    std::optional<bool> hovered{}; // imposed by the owner; none: the row follows the pointer
    bool isSuggested = false;
    std::optional<QString> badge{}; // drawn with equal-width digits
    std::optional<QString> value{}; // accessibility value of the action
    std::optional<QString> hint{};  // accessibility hint of the action

    bool operator==(const PanelActionRowProps& other) const;
};

class PanelActionRow : public KitView<PanelActionRowProps>, public KitAccessibleView {
public:
    static constexpr qreal cornerRadius = 8;
    static constexpr qreal padding = 8;

    // The trailing view is owned by the row; it keeps its width before the title is squeezed.
    PanelActionRow(Props props, QWidget* trailing, QWidget* parent = nullptr);

    // What a click does; an empty action makes the row display-only.
    void setPerform(std::function<void()> perform);
    bool hasAction() const noexcept { return static_cast<bool>(perform_); }

    // Told each part's frame, relative to the row, after the first layout and whenever it changes.
    void setOnLayout(std::function<void(PanelActionRowPart, QRectF)> onLayout);

    // Hover wins over suggestion; a disabled or display-only row is never highlighted.
    QColor highlightColor() const;
    bool isHovered() const noexcept { return isHovered_; }

    // The button (or, display-only, the label) that the fill covers.
    QWidget& actionWidget() const noexcept;

    QAccessible::Role accessibleRole() const override { return QAccessible::Grouping; }
    QString accessibleLabel() const override { return props().title; }

protected:
    void propsChanged() override;
    void environmentChanged(KitEnvironmentKey key) override;
    void paletteChanged() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Action;
    class Badge;
    friend class Action;

    void refresh();
    void setHovered(bool hovered);
    void run();
    void reportFrames();

    std::function<void()> perform_;
    std::function<void(PanelActionRowPart, QRectF)> onLayout_;
    std::array<std::optional<QRectF>, 4> reported_{};
    bool isHovered_ = false;
    QBoxLayout* box_;
    Action* action_;
    SymbolView* symbol_;
    QWidget* text_;
    TextLabel* title_;
    Badge* badge_;
    QWidget* trailing_;
};

} // namespace corbel
