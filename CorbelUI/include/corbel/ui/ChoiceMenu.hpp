#pragma once
// A pop-up choice among values: a glass menu button titled with the current value's text, whose
// menu lists one exclusive entry per option and writes the chosen option back through onChange.
// The options are distinct values: an entry is identified by its value.

#include "corbel/ui/KitMenuButton.hpp"

#include <QMenu> // the button's menu() reads a QPointer<QMenu>, which needs the whole type
#include <QString>
#include <QStringList>

#include <concepts>
#include <functional>
#include <utility>
#include <vector>

namespace corbel {

// The kit's menu look on a menu button: glass, small, exactly as large as its label needs.
void corbelMenuStyle(KitMenuButton& menu);

template <std::equality_comparable T>
struct ChoiceMenuProps {
    T selection{};
    std::vector<T> options{};

    bool operator==(const ChoiceMenuProps&) const = default;
};

// Its props hide the button's own: the title and the entries follow from the selection, the
// options and the label. Main thread only.
template <std::equality_comparable T>
class ChoiceMenu : public KitMenuButton {
public:
    using Props = ChoiceMenuProps<T>;
    using Label = std::function<QString(const T&)>;

    // REQUIRES: label is set.
    ChoiceMenu(Props props, Label label, QWidget* parent = nullptr)
        : KitMenuButton({}, parent), choice_(std::move(props)), label_(std::move(label)) {
        corbelMenuStyle(*this);
        KitMenuButton::setOnSelect([this](int index) {
            if (onChange_ && index >= 0 && static_cast<std::size_t>(index) < choice_.options.size()) {
                onChange_(choice_.options[static_cast<std::size_t>(index)]);
            }
        });
        apply();
    }

    const Props& props() const noexcept { return choice_; }
    void setProps(Props props) {
        if (props == choice_) {
            return;
        }
        choice_ = std::move(props);
        apply();
    }

    // The binding's write: hears the option the user chose. The owner answers by setting the props.
    void setOnChange(std::function<void(const T&)> onChange) { onChange_ = std::move(onChange); }

private:
    void apply() {
        KitMenuButton::Props button = KitMenuButton::props();
        button.title = label_(choice_.selection);
        button.options.clear();
        button.selected = -1;
        for (std::size_t i = 0; i < choice_.options.size(); ++i) {
            button.options.push_back(label_(choice_.options[i]));
            if (button.selected < 0 && choice_.options[i] == choice_.selection) {
                button.selected = static_cast<int>(i);
            }
        }
        KitMenuButton::setProps(std::move(button));
    }

    Props choice_;
    Label label_;
    std::function<void(const T&)> onChange_;
};

} // namespace corbel
