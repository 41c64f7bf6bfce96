#pragma once
// The two-column preferences window: 768 wide, a sidebar of panes (176) beside the chosen pane's
// title and content (496), 32 apart. The caller owns the selection: the layout reports the pane
// the user picks and shows whatever selection it is given, even one that names no pane (an empty
// title, the content still built for it). Main thread only.

#include "corbel/ui/KitAccessibility.hpp"
#include "corbel/ui/PreferencesChrome.hpp"

#include <QColor>
#include <QString>

#include <functional>
#include <optional>
#include <utility>
#include <vector>

class QBoxLayout;

namespace corbel {

class SymbolView;
class TextLabel;

// One pane: its identity (also the value a selection holds), its name, the symbol before it, an
// optional section heading drawn above it, and an optional symbol colour that holds in every state.
template <typename ID>
struct PreferencesPane {
    ID id;
    QString title{};
    QString symbol{};
    std::optional<QString> section{};
    std::optional<QColor> tint{};

    bool operator==(const PreferencesPane&) const = default;
};

namespace preferences {

// What the sidebar shows of a pane, whatever its identity.
struct PaneEntry {
    QString title{};
    QString symbol{};
    std::optional<QString> section{};
    std::optional<QColor> tint{};
    bool selected = false; // its identity is the selection's

    bool operator==(const PaneEntry&) const = default;
};

// One pane's row in the sidebar: a plain button 40 high, filled with the accent when selected.
class PaneRow : public QWidget, public KitAccessibleView {
public:
    static constexpr int rowHeight = 40;

    explicit PaneRow(QWidget* parent);

    void setPane(const PaneEntry& pane);
    void setOnPress(std::function<void()> onPress) { onPress_ = std::move(onPress); }
    bool isSelected() const noexcept { return selected_; }
    SymbolView& symbol() const { return *symbol_; }
    TextLabel& title() const { return *title_; }

    QAccessible::Role accessibleRole() const override { return QAccessible::Button; }
    QString accessibleLabel() const override;
    bool accessibleSelected() const override { return selected_; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void refresh();

    SymbolView* symbol_;
    TextLabel* title_;
    std::optional<QColor> tint_;
    bool selected_ = false;
    std::function<void()> onPress_;
};

// The sidebar: each pane's section heading, when it has one, and its row, 4 apart.
class PaneList : public QWidget, public KitAccessibleView {
public:
    explicit PaneList(QWidget* parent = nullptr);

    // Rows are kept and updated in place, so focus stays where it was and a row that reports a
    // press is never deleted under it.
    void setPanes(const std::vector<PaneEntry>& panes);
    // Hears the index of the pane the user picked.
    void setOnSelect(std::function<void(int)> onSelect) { onSelect_ = std::move(onSelect); }

    const std::vector<PaneRow*>& rows() const noexcept { return rows_; }
    // The section heading above each row; hidden where the pane has none.
    const std::vector<TextLabel*>& sections() const noexcept { return sections_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void colourSections();

    QBoxLayout* stack_;
    std::vector<PaneRow*> rows_;
    std::vector<TextLabel*> sections_;
    std::function<void(int)> onSelect_;
};

// The pane layout without its identity type.
class PaneLayoutBase : public PreferencesChrome {
public:
    PaneList& paneList() const { return *list_; }
    TextLabel& headerTitle() const;
    // The chosen pane's content, or null before there is any.
    QWidget* paneContent() const { return paneContent_; }

protected:
    PaneLayoutBase(CorbelBrand brand, QWidget* parent, LocalKeyDownMonitoring* keys);

    void showPanes(const std::vector<PaneEntry>& panes);
    void showTitle(const QString& title);
    // Replaces the content by `content`, owned by the layout.
    void showContent(QWidget* content);

private:
    PaneList* list_;
    QWidget* header_;
    QBoxLayout* right_;
    QWidget* paneContent_ = nullptr;
};

} // namespace preferences

template <typename ID>
class PreferencesPaneLayout : public preferences::PaneLayoutBase {
public:
    // Builds the content for a selection; the layout owns what it returns.
    using Content = std::function<QWidget*(const ID&)>;

    PreferencesPaneLayout(CorbelBrand brand, std::vector<PreferencesPane<ID>> panes, ID selection,
                          Content content, QWidget* parent = nullptr, LocalKeyDownMonitoring* keys = nullptr)
        : PaneLayoutBase(std::move(brand), parent, keys), panes_(std::move(panes)),
          selection_(std::move(selection)), content_(std::move(content)) {
        paneList().setOnSelect([this](int index) {
            if (onSelect_ && index >= 0 && static_cast<std::size_t>(index) < panes_.size()) {
                onSelect_(panes_[static_cast<std::size_t>(index)].id);
            }
        });
        refresh(true);
    }

    // Hears the identity of the pane the user picked; the owner answers with setSelection.
    void setOnSelect(std::function<void(const ID&)> onSelect) { onSelect_ = std::move(onSelect); }

    const ID& selection() const noexcept { return selection_; }
    void setSelection(ID selection) {
        const bool changed = !(selection == selection_);
        selection_ = std::move(selection);
        refresh(changed);
    }
    const std::vector<PreferencesPane<ID>>& panes() const noexcept { return panes_; }
    void setPanes(std::vector<PreferencesPane<ID>> panes) {
        panes_ = std::move(panes);
        refresh(false);
    }

private:
    void refresh(bool rebuildContent) {
        std::vector<preferences::PaneEntry> entries;
        int selected = -1;
        for (const PreferencesPane<ID>& pane : panes_) {
            const bool isSelected = pane.id == selection_;
            if (selected < 0 && isSelected) {
                selected = static_cast<int>(entries.size());
            }
            entries.push_back({pane.title, pane.symbol, pane.section, pane.tint, isSelected});
        }
        showPanes(entries);
        // The first pane with the selection's identity names the header.
        showTitle(selected >= 0 ? entries[static_cast<std::size_t>(selected)].title : QString());
        if (rebuildContent) {
            showContent(content_ ? content_(selection_) : nullptr);
        }
    }

    std::vector<PreferencesPane<ID>> panes_;
    ID selection_;
    Content content_;
    std::function<void(const ID&)> onSelect_;
};

} // namespace corbel
