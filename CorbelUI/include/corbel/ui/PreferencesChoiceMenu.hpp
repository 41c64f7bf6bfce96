#pragma once
// A menu for choosing one value in preferences: its button shows the label of the current
// selection (listed or not), its menu lists the options in order with the selection checked.
// Accessibility tools read the title as its name and the selection's label as its value. Options
// are told apart by their value, so they must be distinct. Main thread only.

#include "corbel/ui/KitMenuButton.hpp"
#include "corbel/ui/PreferencesStyles.hpp"

#include <QMenu>
#include <QString>

#include <algorithm>
#include <functional>
#include <utility>
#include <vector>

namespace corbel {

template <typename Value>
class PreferencesChoiceMenu : public KitMenuButton {
public:
    using Label = std::function<QString(const Value&)>;

    PreferencesChoiceMenu(QString title, Value selection, std::vector<Value> options, Label label,
                          QWidget* parent = nullptr)
        : KitMenuButton({}, parent), title_(std::move(title)), selection_(std::move(selection)),
          options_(std::move(options)), label_(std::move(label)) {
        preferencesMenuStyle(*this);
        KitMenuButton::setOnSelect([this](int index) {
            if (onChoose_ && index >= 0 && static_cast<std::size_t>(index) < options_.size()) {
                onChoose_(options_[static_cast<std::size_t>(index)]);
            }
        });
        refresh();
    }

    // Hears the option the user chose; the owner answers with setSelection.
    void setOnChoose(std::function<void(const Value&)> onChoose) { onChoose_ = std::move(onChoose); }

    const Value& selection() const noexcept { return selection_; }
    void setSelection(Value selection) {
        selection_ = std::move(selection);
        refresh();
    }
    const std::vector<Value>& options() const noexcept { return options_; }
    void setOptions(std::vector<Value> options) {
        options_ = std::move(options);
        refresh();
    }
    const QString& title() const noexcept { return title_; }
    void setTitle(QString title) { title_ = std::move(title); }

    QString accessibleLabel() const override { return title_; }
    QString accessibleValue() const override { return label_(selection_); }

private:
    void refresh() {
        Props props = this->props();
        props.title = label_(selection_);
        props.options.clear();
        for (const Value& option : options_) {
            props.options.append(label_(option));
        }
        const auto found = std::find(options_.begin(), options_.end(), selection_);
        props.selected = found == options_.end() ? -1 : static_cast<int>(found - options_.begin());
        setProps(std::move(props));
    }

    QString title_;
    Value selection_;
    std::vector<Value> options_;
    Label label_;
    std::function<void(const Value&)> onChoose_;
};

} // namespace corbel
