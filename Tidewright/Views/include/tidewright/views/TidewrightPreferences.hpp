#pragma once
// The preferences window's content: the general, opening-rules, shortcuts and permissions groups
// in the kit's one-column preferences layout, drawn from plain values, every user action handed
// out through a hook. Texts follow the widget's locale, the granted mark's accent the palette's
// scheme, the rule rows' arrangement the kit's text size. A new props value updates the widgets in
// place, keyed by rule, issue and shortcut, so focus and hover survive it. Main thread only.

#include "corbel/ui/KitAccessibility.hpp"
#include "corbel/ui/KitView.hpp"
#include "tidewright/applications/TidewrightOpenAppPresentation.hpp"
#include "tidewright/applications/TidewrightRulePresentation.hpp"
#include "tidewright/core/AppPolicy.hpp"
#include "tidewright/core/FixedShortcut.hpp"
#include "tidewright/core/Identities.hpp"
#include "tidewright/core/OpeningAction.hpp"
#include "tidewright/views/TidewrightIssue.hpp"
#include "tidewright/views/TidewrightNotice.hpp"

#include <functional>
#include <map>
#include <memory>
#include <vector>

class QBoxLayout;

namespace corbel {
class KitButton;
class KitMenuButton;
class KeyCaps;
class LocalKeyDownMonitoring;
class PreferencesGroup;
class PreferencesLayout;
class PreferencesNote;
class PreferencesRow;
class PreferencesStatusRow;
class PreferencesToggleRow;
} // namespace corbel

namespace tidewright {

class TidewrightRuleRow;

struct TidewrightPreferencesProps {
    bool opensAtLogin = false;                               // the switch shows it; setOpensAtLogin asks
    std::vector<TidewrightRulePresentation> rules{};         // in the order given
    std::vector<TidewrightOpenAppPresentation> openApps{};   // in the order given
    WindowPermissions permissions{PermissionState::unknown};
    AppDecision decision{FunctioningState::running(), {}, {}, {}, true};
    std::vector<TidewrightIssue> issues{};

    bool operator==(const TidewrightPreferencesProps&) const = default;
};

// Each hook is called on the main thread from the control that triggers it, at most once per user
// action; an empty hook does nothing.
struct TidewrightPreferencesActions {
    std::function<void(bool)> setOpensAtLogin{}; // the switch asks; the owner answers through the props
    std::function<void(const BundleID&, OpeningAction)> changeRule{};
    std::function<void(const BundleID&)> removeRule{};
    std::function<void(const BundleID&)> addOpenApp{};
    std::function<void()> chooseApplications{};
    std::function<void()> requestPermission{};
    std::function<void(TidewrightPresentationAction)> action{}; // only systemSettings from this view
};

class TidewrightPreferences : public corbel::KitView<TidewrightPreferencesProps>,
                              public corbel::KitAccessibleView {
public:
    enum class Group {
        general,
        opening,
        shortcuts,
        permissions,
    };

    // `keys` are the key-down monitors the window's chrome watches; null: the application's own.
    TidewrightPreferences(Props props, TidewrightPreferencesActions actions, QWidget* parent = nullptr,
                          corbel::LocalKeyDownMonitoring* keys = nullptr);
    ~TidewrightPreferences() override;

    void setActions(TidewrightPreferencesActions actions);

    // The pieces, for hosts and tests. The shortcuts group is hidden while no shortcut conflicts.
    corbel::PreferencesLayout& preferencesLayout() const noexcept { return *layout_; }
    corbel::PreferencesGroup& group(Group group) const;
    corbel::PreferencesToggleRow& loginRow() const noexcept { return *loginRow_; }
    // The rule row of a rule, or null.
    TidewrightRuleRow* ruleRow(const BundleID& id) const;
    // The rows in the order shown.
    std::vector<TidewrightRuleRow*> ruleRows() const;
    corbel::PreferencesStatusRow& noRulesRow() const noexcept { return *noRules_; }
    // The add menu and the choose button, side by side when they fit, else one under the other.
    QWidget& addRow() const noexcept { return *addRow_; }
    bool addRowIsStacked() const;
    corbel::KitMenuButton& addMenu() const noexcept { return *addMenu_; }
    corbel::KitButton& chooseButton() const noexcept { return *chooseButton_; }
    // The conflicting shortcuts' rows in the order shown.
    std::vector<FixedShortcut> shownShortcuts() const;
    corbel::PreferencesRow& shortcutRow(FixedShortcut shortcut) const;
    corbel::KitButton& shortcutSettingsButton() const noexcept { return *shortcutSettings_; }
    corbel::PreferencesRow& moveWindowsRow() const noexcept { return *moveWindowsRow_; }
    // The mark shown once the permission is granted; the buttons shown until then.
    QWidget& grantedMark() const noexcept { return *grantedMark_; }
    corbel::KitButton& allowButton() const noexcept { return *allowButton_; }
    corbel::KitButton& permissionSettingsButton() const noexcept { return *permissionSettings_; }
    corbel::PreferencesNote& moveRecoveryNote() const noexcept { return *moveRecovery_; }
    // The warning rows of the general group in the order shown: the unavailable preferences first,
    // then the issues.
    std::vector<corbel::PreferencesStatusRow*> generalWarnings() const;
    corbel::PreferencesStatusRow& settingsIssueRow() const noexcept { return *settingsIssue_; }

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void propsChanged() override;
    void environmentChanged(corbel::KitEnvironmentKey key) override;
    void paletteChanged() override;
    void changeEvent(QEvent* event) override;

private:
    void refresh();
    void refreshGeneral();
    void refreshRules();
    void refreshShortcuts();
    void refreshPermissions();

    TidewrightPreferencesActions actions_;
    corbel::PreferencesLayout* layout_;
    std::map<Group, corbel::PreferencesGroup*> groups_;

    QBoxLayout* general_;
    corbel::PreferencesToggleRow* loginRow_;
    corbel::PreferencesStatusRow* unavailable_;
    std::map<TidewrightIssue, corbel::PreferencesStatusRow*> issueRows_;

    QBoxLayout* ruleList_;
    std::map<BundleID, TidewrightRuleRow*> rules_;
    corbel::PreferencesStatusRow* noRules_;
    QWidget* addRow_;
    corbel::KitMenuButton* addMenu_;
    corbel::KitButton* chooseButton_;
    corbel::PreferencesNote* openingNote_;

    std::map<FixedShortcut, corbel::PreferencesRow*> shortcutRows_;
    corbel::PreferencesNote* settingsPath_;
    corbel::PreferencesNote* voiceOver_;
    corbel::KitButton* shortcutSettings_;

    corbel::PreferencesRow* moveWindowsRow_;
    QWidget* grantedMark_;
    QWidget* permissionButtons_;
    corbel::KitButton* allowButton_;
    corbel::KitButton* permissionSettings_;
    corbel::PreferencesNote* moveRecovery_;
    corbel::PreferencesStatusRow* settingsIssue_;
};

} // namespace tidewright
