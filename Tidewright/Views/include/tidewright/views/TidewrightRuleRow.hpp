#pragma once
// One opening rule in the preferences: the application's icon and name, and a menu that chooses
// its action or removes it. Beside each other, or, at the accessibility text sizes, the menu under
// the name at the trailing edge: one layout that turns, so the row and its focus stay. Main thread
// only.

#include "corbel/ui/KitView.hpp"
#include "tidewright/applications/TidewrightRulePresentation.hpp"

#include <QString>

#include <functional>

class QBoxLayout;

namespace corbel {
class KitMenuButton;
class TextLabel;
} // namespace corbel

namespace tidewright {

struct TidewrightRuleRowProps {
    TidewrightRulePresentation rule;

    bool operator==(const TidewrightRuleRowProps&) const = default;
};

class TidewrightRuleRow : public corbel::KitView<TidewrightRuleRowProps> {
public:
    static constexpr int iconSide = 24;

    TidewrightRuleRow(Props props, QWidget* parent = nullptr);
    ~TidewrightRuleRow() override;

    // Hear the user's choice of an action and the removal, from the menu or an accessibility tool.
    void setOnChange(std::function<void(OpeningAction)> onChange);
    void setOnRemove(std::function<void()> onRemove);

    // Whether the menu stands under the name (the accessibility text sizes).
    bool isStacked() const noexcept { return stacked_; }
    QWidget& nameRow() const noexcept { return *nameRow_; }
    QWidget& icon() const noexcept { return *icon_; }
    corbel::TextLabel& name() const noexcept { return *name_; }
    corbel::KitMenuButton& actionMenu() const noexcept { return *menu_; }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void propsChanged() override;
    void environmentChanged(corbel::KitEnvironmentKey key) override;
    void changeEvent(QEvent* event) override;

private:
    void refresh();

    QBoxLayout* box_;
    QWidget* nameRow_;
    QWidget* icon_;
    corbel::TextLabel* name_;
    corbel::KitMenuButton* menu_;
    bool stacked_ = false;
};

} // namespace tidewright
