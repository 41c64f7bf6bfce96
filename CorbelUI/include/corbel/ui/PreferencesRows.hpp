#pragma once
// The building blocks of a preferences screen: a titled group on a card, a row with a title, an
// optional note and a control, ready-made rows for a switch, a read-out value and a status, a
// footnote and a fixed gap. Rows that take a control or an action own the widget they are handed.
// Main thread only.

#include "corbel/ui/KitAccessibility.hpp"
#include "corbel/ui/KitView.hpp"

#include <QString>

#include <functional>
#include <optional>
#include <vector>

class QBoxLayout;

namespace corbel {

class KitSwitch;
class SymbolView;
class TextLabel;

// A title in the title-2 style, semibold, read as a heading, above a card that holds the content
// rows one under the other, padded 8 vertically and 16 horizontally, as wide as it is offered.
struct PreferencesGroupProps {
    QString title{};

    bool operator==(const PreferencesGroupProps&) const = default;
};

class PreferencesGroup : public KitView<PreferencesGroupProps>, public KitAccessibleView {
public:
    PreferencesGroup(Props props, std::vector<QWidget*> content, QWidget* parent = nullptr);

    // The card around the content.
    QWidget& card() const { return *card_; }

    QAccessible::Role accessibleRole() const override { return QAccessible::Grouping; }
    QString accessibleLabel() const override { return props().title; }

protected:
    void propsChanged() override;

private:
    TextLabel* title_;
    QWidget* card_;
};

// Labels and a control: beside each other (spacing 12, the control at the trailing end) or, at the
// accessibility text sizes, the control under the labels at the trailing edge (spacing 8). Padded 4
// vertically, 8 with a note, and at least 44 high. A control that carries its own accessible name
// (`controlIsNamed`) takes the note as its hint and the labels are hidden from accessibility, so
// nothing is read twice.
struct PreferencesRowProps {
    QString title{};
    std::optional<QString> note{};
    bool controlIsNamed = false;

    bool operator==(const PreferencesRowProps&) const = default;
};

class PreferencesRow : public KitView<PreferencesRowProps>, public KitAccessibleView {
public:
    // The control takes the support role at the large size and its ideal size.
    PreferencesRow(Props props, QWidget* control, QWidget* parent = nullptr);

    QWidget& control() const { return *control_; }
    // Whether the control stands under the labels (the accessibility text sizes).
    bool isStacked() const noexcept { return stacked_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void propsChanged() override;
    void environmentChanged(KitEnvironmentKey key) override;
    void paletteChanged() override;

private:
    void refresh();

    QBoxLayout* box_;
    QWidget* labels_;
    TextLabel* title_;
    TextLabel* note_;
    QWidget* control_;
    bool stacked_ = false;
};

// A row whose control is a switch named by the title; the note is the switch's hint. The switch
// asks through onToggle; the owner answers by setting `isOn`.
struct PreferencesToggleRowProps {
    QString title{};
    std::optional<QString> note{};
    bool isOn = false;

    bool operator==(const PreferencesToggleRowProps&) const = default;
};

class PreferencesToggleRow : public KitView<PreferencesToggleRowProps>, public KitAccessibleView {
public:
    explicit PreferencesToggleRow(Props props, QWidget* parent = nullptr);

    void setOnToggle(std::function<void(bool)> onToggle);

    PreferencesRow& row() const { return *row_; }
    KitSwitch& toggle() const { return *switch_; }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void propsChanged() override;

private:
    PreferencesRow* row_;
    KitSwitch* switch_;
};

// A title in the support colour and its value at the trailing edge with equal-width digits, on
// one baseline, at least 32 high, read as one element.
struct PreferencesValueRowProps {
    QString title{};
    QString value{};

    bool operator==(const PreferencesValueRowProps&) const = default;
};

class PreferencesValueRow : public KitView<PreferencesValueRowProps>, public KitAccessibleView {
public:
    explicit PreferencesValueRow(Props props, QWidget* parent = nullptr);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

    bool accessibleCombinesChildren() const override { return true; }
    QString accessibleLabel() const override;

protected:
    void propsChanged() override;
    void paletteChanged() override;

private:
    void refresh();

    TextLabel* title_;
    QWidget* value_;
};

// Values are stored nowhere; the order is the declared one.
enum class PreferencesStatus {
    good,
    info,
    warning,
    waiting,
};

// A status symbol, a title with an optional detail under it, and an optional action under the
// texts. Read as a container: the texts as one element, the action on its own.
struct PreferencesStatusRowProps {
    PreferencesStatus status = PreferencesStatus::info;
    QString title{};
    std::optional<QString> detail{};
    bool hasAction = false; // without it the action is not shown, even when one was given

    bool operator==(const PreferencesStatusRowProps&) const = default;
};

class PreferencesStatusRow : public KitView<PreferencesStatusRowProps>, public KitAccessibleView {
public:
    // A kit button given as the action takes the preferences button style.
    explicit PreferencesStatusRow(Props props, QWidget* action = nullptr, QWidget* parent = nullptr);

    SymbolView& symbol() const { return *symbol_; }
    // The action, or null when none was given.
    QWidget* action() const { return action_; }

    static QString symbolName(PreferencesStatus status);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

    QAccessible::Role accessibleRole() const override { return QAccessible::Grouping; }

protected:
    void propsChanged() override;
    void environmentChanged(KitEnvironmentKey key) override;
    void paletteChanged() override;

private:
    void refresh();

    SymbolView* symbol_;
    QWidget* texts_;
    TextLabel* title_;
    TextLabel* detail_;
    QWidget* action_ = nullptr;
    QBoxLayout* column_;
};

// A footnote in the support colour, wrapping, with 8 below it.
struct PreferencesNoteProps {
    QString text{};

    bool operator==(const PreferencesNoteProps&) const = default;
};

class PreferencesNote : public KitView<PreferencesNoteProps>, public KitAccessibleView {
public:
    explicit PreferencesNote(Props props, QWidget* parent = nullptr);

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

    QAccessible::Role accessibleRole() const override { return QAccessible::StaticText; }
    QString accessibleLabel() const override { return props().text; }
    bool accessibleCombinesChildren() const override { return true; }

protected:
    void propsChanged() override;
    void paletteChanged() override;

private:
    void refresh();

    TextLabel* text_;
};

// Empty space 16 high, of any width.
class PreferencesGap : public QWidget, public KitAccessibleView {
public:
    static constexpr int gapHeight = 16;

    explicit PreferencesGap(QWidget* parent = nullptr);

    QSize sizeHint() const override { return {0, gapHeight}; }
    bool accessibleHidden() const override { return true; }
};

} // namespace corbel
