#pragma once
// The welcome window's content: one step that asks for the permission to move windows, shows the
// six hot keys once it is granted, and offers open at login, in the kit's step-by-step welcome
// layout. Whether the user has asked in this window is the view's own: a new view starts from the
// value it is given. Texts follow the widget's locale. Main thread only.

#include "corbel/ui/KitView.hpp"
#include "corbel/ui/WelcomeStepRow.hpp"
#include "tidewright/core/AppPolicy.hpp"
#include "tidewright/core/FixedShortcut.hpp"

#include <functional>
#include <map>

namespace corbel {
class TextLabel;
class WelcomeStepDetail;
class WelcomeStepsLayout;
} // namespace corbel

namespace tidewright {

struct TidewrightWelcomeProps {
    bool opensAtLogin = false; // the switch shows it; setOpensAtLogin asks
    WindowPermissions permissions{PermissionState::unknown};

    bool operator==(const TidewrightWelcomeProps&) const = default;
};

// Each hook is called on the main thread from the control that triggers it, once per press; an
// empty hook does nothing.
struct TidewrightWelcomeActions {
    std::function<void(bool)> setOpensAtLogin{};
    std::function<void()> requestPermission{};  // the allow button, after the view marks itself asked
    std::function<void()> openSystemSettings{}; // the step's button once asked
    std::function<void()> finish{};             // either footer button
};

class TidewrightWelcome : public corbel::KitView<TidewrightWelcomeProps> {
public:
    TidewrightWelcome(Props props, TidewrightWelcomeActions actions, bool asked = false,
                      QWidget* parent = nullptr);
    ~TidewrightWelcome() override;

    void setActions(TidewrightWelcomeActions actions);

    bool asked() const noexcept { return asked_; }
    corbel::WelcomeStepState stepState() const noexcept;

    // The pieces, for hosts and tests.
    corbel::WelcomeStepsLayout& stepsLayout() const noexcept { return *layout_; }
    corbel::WelcomeStepRow& stepRow() const noexcept { return *stepRow_; }
    // The step's texts: the first always shown, the second only before asking.
    corbel::TextLabel& firstStepText() const noexcept { return *firstText_; }
    corbel::TextLabel& secondStepText() const noexcept { return *secondText_; }
    // The shortcut list, shown once the permission is granted.
    corbel::WelcomeStepDetail& shortcutList() const noexcept { return *shortcutList_; }
    QWidget& shortcutRow(FixedShortcut shortcut) const;

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void propsChanged() override;
    void paletteChanged() override;
    void changeEvent(QEvent* event) override;

private:
    void refresh();
    void pressStepButton();

    TidewrightWelcomeActions actions_;
    bool asked_;
    corbel::WelcomeStepsLayout* layout_;
    corbel::WelcomeStepRow* stepRow_;
    corbel::TextLabel* firstText_;
    corbel::TextLabel* secondText_;
    corbel::WelcomeStepDetail* shortcutList_;
    std::map<FixedShortcut, QWidget*> shortcutRows_;
    corbel::TextLabel* allShortcuts_;
};

} // namespace tidewright
