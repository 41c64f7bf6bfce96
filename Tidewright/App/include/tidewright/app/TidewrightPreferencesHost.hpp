#pragma once
// The preferences window's content over the app model: it follows the model's permission,
// decision and issues, the opening rules' lists and open-at-login's state, rebuilds the preferences
// view's props on each change, and turns the view's hooks into calls on the model. Only the hosts
// read the model; the view itself sees plain values.

#include <QWidget>

#include <memory>
#include <vector>

#include "platform/observation/Subscription.hpp"
#include "tidewright/app/TidewrightAppModel.hpp"
#include "tidewright/views/TidewrightPreferences.hpp"

namespace tidewright {

// Main thread only. Holds the model weakly: once the model is gone the hooks do nothing and the
// view keeps its last props.
class TidewrightPreferencesHost final : public QWidget {
public:
    // REQUIRES: model is set.
    explicit TidewrightPreferencesHost(const std::shared_ptr<TidewrightAppModel>& model,
                                       QWidget* parent = nullptr);
    ~TidewrightPreferencesHost() override;

    // What the view shows of the model's current state.
    static TidewrightPreferencesProps props(TidewrightAppModel& model);
    // The view's hooks: each does nothing once the model is gone.
    // - setOpensAtLogin: open-at-login's requestChange (dropped while a change is in flight);
    // - changeRule, removeRule, addOpenApp: the opening rules' edits;
    // - chooseApplications: the opening rules' chooser (only while they run, one at a time);
    // - requestPermission: while the model runs, a request owned by the preferences;
    // - action: the model's perform().
    static TidewrightPreferencesActions actions(std::weak_ptr<TidewrightAppModel> model);

    TidewrightPreferences& view() const noexcept { return *view_; }

private:
    void update();

    std::weak_ptr<TidewrightAppModel> model_;
    TidewrightPreferences* view_;
    std::vector<platform::Subscription> subscriptions_;
};

} // namespace tidewright
