#pragma once
// The welcome window's content over the app model: it follows the model's permission, its welcome
// openings and open-at-login's state, rebuilds the welcome view's props on each change, and turns
// the view's hooks into calls on the model. Each new opening of the welcome gets a fresh view, so
// whether the user asked for the permission starts over.

#include <QWidget>

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/observation/Subscription.hpp"
#include "tidewright/app/TidewrightAppModel.hpp"
#include "tidewright/views/TidewrightWelcome.hpp"

class QVBoxLayout;

namespace tidewright {

// Main thread only. Holds the model weakly: once the model is gone the hooks do nothing (but
// finish still closes the window) and the view keeps its last props.
class TidewrightWelcomeHost final : public QWidget {
public:
    // REQUIRES: model is set.
    explicit TidewrightWelcomeHost(const std::shared_ptr<TidewrightAppModel>& model,
                                   QWidget* parent = nullptr);
    ~TidewrightWelcomeHost() override;

    static TidewrightWelcomeProps props(TidewrightAppModel& model);
    // The view's hooks:
    // - setOpensAtLogin: open-at-login's requestChange (dropped while a change is in flight);
    // - requestPermission: while the model runs, a request owned by the welcome;
    // - openSystemSettings: while the model runs, System Settings, raising or resolving its issue;
    // - finish: the model's welcomeClosed() (the welcome stays closed for this running period, a
    //   welcome-owned request is abandoned), then the welcome window closes; in every state.
    static TidewrightWelcomeActions actions(std::weak_ptr<TidewrightAppModel> model);

    // The current view; replaced at each new opening.
    TidewrightWelcome& view() const noexcept { return *view_; }

private:
    void update();
    void replaceView();

    std::weak_ptr<TidewrightAppModel> model_;
    QVBoxLayout* layout_;
    TidewrightWelcome* view_ = nullptr;
    std::int64_t opening_;
    std::vector<platform::Subscription> subscriptions_;
};

} // namespace tidewright
