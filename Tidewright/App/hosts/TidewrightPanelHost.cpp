#include "tidewright/app/TidewrightPanelHost.hpp"

#include <QVBoxLayout>

#include <utility>

namespace tidewright {

TidewrightPanelHost::TidewrightPanelHost(const std::shared_ptr<TidewrightAppModel>& model,
                                         std::function<void()> dismiss, corbel::UpdateNotifier* updateNotifier,
                                         QWidget* parent)
    : QWidget(parent), model_(model),
      view_(new TidewrightPanel(props(*model), actions(model, std::move(dismiss)), updateNotifier, this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view_);
    QSizePolicy policy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);

    subscriptions_.push_back(model->observePreferences([this](const auto&) { update(); }));
    subscriptions_.push_back(model->observeDecision([this](const auto&) { update(); }));
    subscriptions_.push_back(model->observeIssues([this](const auto&) { update(); }));
}

TidewrightPanelHost::~TidewrightPanelHost() = default;

TidewrightPanelProps TidewrightPanelHost::props(TidewrightAppModel& model) {
    return TidewrightPanelProps{
        .isEnabled = model.preferences().operationEnabled(),
        .decision = model.decision(),
        .issues = model.issues(),
    };
}

TidewrightPanelActions TidewrightPanelHost::actions(std::weak_ptr<TidewrightAppModel> model,
                                                    std::function<void()> dismiss) {
    // Each hook that leaves the panel closes it before anything else happens.
    const auto leaving = [model, dismiss = std::move(dismiss)](std::function<void(TidewrightAppModel&)> then) {
        return [model, dismiss, then = std::move(then)] {
            if (dismiss) {
                dismiss();
            }
            if (const auto m = model.lock()) {
                then(*m);
            }
        };
    };
    const auto preferences = [](TidewrightAppModel& m) {
        if (m.running()) {
            m.showPreferences();
        }
    };
    TidewrightPanelActions a;
    a.setEnabled = [model](bool enabled) {
        if (const auto m = model.lock()) {
            m->preferenceStore().apply(PreferenceEdit::enabled(enabled));
        }
    };
    a.showPreferences = leaving(preferences);
    a.showShortcutHelp = leaving(preferences);
    a.showWelcome = leaving([](TidewrightAppModel& m) { m.showWelcome(); });
    // perform() acts only while the model runs.
    a.openSystemSettings = leaving([](TidewrightAppModel& m) { m.perform(TidewrightPresentationAction::systemSettings); });
    return a;
}

void TidewrightPanelHost::update() {
    if (const auto model = model_.lock()) {
        view_->setProps(props(*model));
    }
}

} // namespace tidewright
