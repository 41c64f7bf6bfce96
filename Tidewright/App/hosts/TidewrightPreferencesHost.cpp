#include "tidewright/app/TidewrightPreferencesHost.hpp"

#include <QVBoxLayout>

#include <utility>

namespace tidewright {

TidewrightPreferencesHost::TidewrightPreferencesHost(const std::shared_ptr<TidewrightAppModel>& model,
                                                     QWidget* parent)
    : QWidget(parent), model_(model), view_(new TidewrightPreferences(props(*model), actions(model), this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);

    const auto changed = [this] {
        update();
    };
    subscriptions_.push_back(model->observePermissions([changed](const auto&) { changed(); }));
    subscriptions_.push_back(model->observeDecision([changed](const auto&) { changed(); }));
    subscriptions_.push_back(model->observeIssues([changed](const auto&) { changed(); }));
    subscriptions_.push_back(model->openingRules().observeLists(changed));
    subscriptions_.push_back(model->openAtLogin().observeState([changed](const auto&) { changed(); }));
}

TidewrightPreferencesHost::~TidewrightPreferencesHost() = default;

TidewrightPreferencesProps TidewrightPreferencesHost::props(TidewrightAppModel& model) {
    return TidewrightPreferencesProps{
        .opensAtLogin = model.openAtLogin().loginState() == LoginState::enabled,
        .rules = model.openingRules().rules(),
        .openApps = model.openingRules().openApps(),
        .permissions = model.permissions(),
        .decision = model.decision(),
        .issues = model.issues(),
    };
}

TidewrightPreferencesActions TidewrightPreferencesHost::actions(std::weak_ptr<TidewrightAppModel> model) {
    TidewrightPreferencesActions a;
    a.setOpensAtLogin = [model](bool enabled) {
        if (const auto m = model.lock()) {
            m->openAtLogin().requestChange(enabled);
        }
    };
    a.changeRule = [model](const BundleID& app, OpeningAction action) {
        if (const auto m = model.lock()) {
            m->openingRules().setAction(app, action);
        }
    };
    a.removeRule = [model](const BundleID& app) {
        if (const auto m = model.lock()) {
            m->openingRules().removeRule(app);
        }
    };
    a.addOpenApp = [model](const BundleID& app) {
        if (const auto m = model.lock()) {
            m->openingRules().addRule(app);
        }
    };
    a.chooseApplications = [model] {
        if (const auto m = model.lock()) {
            m->openingRules().presentChooser();
        }
    };
    a.requestPermission = [model] {
        if (const auto m = model.lock(); m && m->running()) {
            m->permissionService().request(PermissionServiceDriving::RequestOwner::preferences);
        }
    };
    a.action = [model](TidewrightPresentationAction action) {
        if (const auto m = model.lock()) {
            m->perform(action);
        }
    };
    return a;
}

void TidewrightPreferencesHost::update() {
    if (const auto model = model_.lock()) {
        view_->setProps(props(*model));
    }
}

} // namespace tidewright
