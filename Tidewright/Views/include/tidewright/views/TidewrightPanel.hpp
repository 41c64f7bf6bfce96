#pragma once
// The tray panel's content inside the kit's panel chrome: the status word and dot, the on/off
// switch, one notice card per notice, and one row per hot key with its keys and conflict mark. It
// reads plain values and calls its hooks; it never reads the app model. Main thread only.

#include "corbel/ui/CorbelPanel.hpp"
#include "corbel/ui/KitView.hpp"
#include "corbel/ui/PanelStatus.hpp"
#include "corbel/ui/StringBundle.hpp"
#include "tidewright/core/AppPolicy.hpp"
#include "tidewright/views/TidewrightCopy.hpp"
#include "tidewright/views/TidewrightIssue.hpp"
#include "tidewright/views/TidewrightNotice.hpp"

#include <QCoreApplication>
#include <QStringList>

#include <functional>
#include <map>
#include <utility>
#include <vector>

namespace corbel {
class KitButton;
class NoticeCard;
class PanelActionRow;
class PanelShortcutKeys;
class UpdateNotifier;
} // namespace corbel

class QVBoxLayout;

namespace tidewright {

// The word beside the status dot: ready or registering while running without conflicts (as the
// usable shortcuts are or are not all the desired ones), off when off, attention otherwise.
TidewrightCopy statusWord(const AppDecision& decision) noexcept;
// The dot's state for the decision's indicator.
corbel::PanelStatus panelStatus(OperatingIndicator indicator) noexcept;

struct TidewrightPanelProps {
    bool isEnabled = false;
    AppDecision decision{FunctioningState::off(), {}, {}, {}, false};
    std::vector<TidewrightIssue> issues{};

    bool operator==(const TidewrightPanelProps&) const = default;
};

struct TidewrightPanelActions {
    std::function<void(bool)> setEnabled{}; // the switch asks; the owner answers with isEnabled
    std::function<void()> showPreferences{};
    std::function<void()> showWelcome{};
    std::function<void()> showShortcutHelp{};
    std::function<void()> openSystemSettings{};
};

class TidewrightPanel : public corbel::KitView<TidewrightPanelProps> {
public:
    // `updateNotifier` goes into the panel's environment, where the chrome finds it; none in
    // snapshot mode. Texts come from `bundle` in the widget's locale. `arguments` go to the chrome
    // (its sample update).
    // REQUIRES: the notifier and the bundle outlive the panel.
    TidewrightPanel(Props props, TidewrightPanelActions actions, corbel::UpdateNotifier* updateNotifier,
                    QWidget* parent = nullptr, const corbel::StringBundle& bundle = corbel::StringBundle::main(),
                    const QStringList& arguments = QCoreApplication::arguments());
    ~TidewrightPanel() override;

    void setActions(TidewrightPanelActions actions);

    // Runs the hook the action names: the welcome for permissions, the preferences for
    // preferences, the shortcut help for shortcutHelp, the desktop's settings for systemSettings.
    void perform(TidewrightPresentationAction action);

    corbel::CorbelPanel& chrome() const noexcept { return *chrome_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void propsChanged() override;
    void localeChanged() override { refresh(); }

private:
    class ShortcutRow;
    struct NoticeSlot {
        corbel::NoticeCard* card = nullptr;
        corbel::KitButton* button = nullptr;
    };
    // A notice's identity in the list: its id, and whether it is the state's notice (which has a
    // button), since the state notice and the issue notice about preferences share an id.
    using NoticeKey = std::pair<QString, bool>;

    void refresh();
    void refreshNotices(const QLocale& locale);
    QString text(TidewrightCopy copy, const QLocale& locale) const;

    TidewrightPanelActions actions_;
    const corbel::StringBundle& bundle_;
    corbel::CorbelPanel* chrome_;
    QWidget* notices_;
    QVBoxLayout* noticeColumn_;
    std::map<NoticeKey, NoticeSlot> noticeSlots_;
    std::vector<ShortcutRow*> rows_;
};

} // namespace tidewright
