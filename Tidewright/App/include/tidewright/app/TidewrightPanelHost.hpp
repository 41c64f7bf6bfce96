#pragma once
// The tray panel's content over the app model: it follows the model's preferences, decision and
// issues, rebuilds the panel's props on each change, and turns the panel's hooks into calls on the
// model. Every hook that leaves the panel closes it first, through the dismiss hook of whoever
// shows it; the on/off switch leaves the panel open.

#include <QWidget>

#include <functional>
#include <memory>
#include <vector>

#include "platform/observation/Subscription.hpp"
#include "tidewright/app/TidewrightAppModel.hpp"
#include "tidewright/views/TidewrightPanel.hpp"

namespace corbel {
class UpdateNotifier;
} // namespace corbel

namespace tidewright {

// Main thread only. Holds the model weakly: once the model is gone the hooks only dismiss and the
// panel keeps its last props.
class TidewrightPanelHost final : public QWidget {
public:
    // dismiss closes the panel; may be empty. updateNotifier: the program's update checker, none in
    // snapshot mode.
    // REQUIRES: model is set; the notifier outlives the host.
    TidewrightPanelHost(const std::shared_ptr<TidewrightAppModel>& model, std::function<void()> dismiss,
                        corbel::UpdateNotifier* updateNotifier, QWidget* parent = nullptr);
    ~TidewrightPanelHost() override;

    // What the panel shows of the model's current state.
    static TidewrightPanelProps props(TidewrightAppModel& model);
    // The panel's hooks:
    // - setEnabled: the repository's apply() of the enabled edit, whatever the model's state (the
    //   repository ignores it while stopped); the panel stays open;
    // - showPreferences, showShortcutHelp: dismiss, then while running the preferences window;
    // - showWelcome: dismiss, then the model's showWelcome() (which acts only while running);
    // - openSystemSettings: dismiss, then while running the desktop's settings, raising or
    //   resolving the settings issue.
    static TidewrightPanelActions actions(std::weak_ptr<TidewrightAppModel> model, std::function<void()> dismiss);

    TidewrightPanel& view() const noexcept { return *view_; }

private:
    void update();

    std::weak_ptr<TidewrightAppModel> model_;
    TidewrightPanel* view_;
    std::vector<platform::Subscription> subscriptions_;
};

} // namespace tidewright
