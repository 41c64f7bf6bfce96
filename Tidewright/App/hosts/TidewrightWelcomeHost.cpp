#include "tidewright/app/TidewrightWelcomeHost.hpp"

#include <QVBoxLayout>

#include <utility>

#include "corbel/ui/WindowKinds.hpp"

namespace tidewright {

TidewrightWelcomeHost::TidewrightWelcomeHost(const std::shared_ptr<TidewrightAppModel>& model,
                                             QWidget* parent)
    : QWidget(parent), model_(model), layout_(new QVBoxLayout(this)), opening_(model->welcomeOpenings()) {
    layout_->setContentsMargins(0, 0, 0, 0);
    replaceView();

    subscriptions_.push_back(model->observePermissions([this](const auto&) { update(); }));
    subscriptions_.push_back(model->openAtLogin().observeState([this](const auto&) { update(); }));
    subscriptions_.push_back(model->observeWelcomeOpenings([this](const std::int64_t& opening) {
        if (opening != opening_) {
            opening_ = opening;
            replaceView();
        }
    }));
}

TidewrightWelcomeHost::~TidewrightWelcomeHost() = default;

TidewrightWelcomeProps TidewrightWelcomeHost::props(TidewrightAppModel& model) {
    return TidewrightWelcomeProps{
        .opensAtLogin = model.openAtLogin().loginState() == LoginState::enabled,
        .permissions = model.permissions(),
    };
}

TidewrightWelcomeActions TidewrightWelcomeHost::actions(std::weak_ptr<TidewrightAppModel> model) {
    TidewrightWelcomeActions a;
    a.setOpensAtLogin = [model](bool enabled) {
        if (const auto m = model.lock()) {
            m->openAtLogin().requestChange(enabled);
        }
    };
    a.requestPermission = [model] {
        if (const auto m = model.lock(); m && m->running()) {
            m->permissionService().request(PermissionServiceDriving::RequestOwner::welcome);
        }
    };
    a.openSystemSettings = [model] {
        // perform() acts only while the model runs.
        if (const auto m = model.lock()) {
            m->perform(TidewrightPresentationAction::systemSettings);
        }
    };
    a.finish = [model] {
        if (const auto m = model.lock()) {
            m->welcomeClosed();
        }
        corbel::WelcomeStepsWindow::close();
    };
    return a;
}

void TidewrightWelcomeHost::update() {
    if (const auto model = model_.lock()) {
        view_->setProps(props(*model));
    }
}

void TidewrightWelcomeHost::replaceView() {
    const auto model = model_.lock();
    if (!model) {
        return;
    }
    // A hook of the old view may be on the stack: it goes at the next turn of the loop.
    if (view_ != nullptr) {
        layout_->removeWidget(view_);
        view_->hide();
        view_->deleteLater();
    }
    view_ = new TidewrightWelcome(props(*model), actions(model_), false, this);
    layout_->addWidget(view_);
}

} // namespace tidewright
