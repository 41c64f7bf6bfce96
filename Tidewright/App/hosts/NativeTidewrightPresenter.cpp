#include "tidewright/app/NativeTidewrightPresenter.hpp"

#include <memory>

#include "corbel/ui/WindowKinds.hpp"
#include "platform/concurrency/WeakCall.hpp"
#include "tidewright/app/TidewrightAppModel.hpp"
#include "tidewright/app/TidewrightPreferencesHost.hpp"
#include "tidewright/app/TidewrightWelcomeHost.hpp"

namespace tidewright {

void NativeTidewrightPresenter::presentWelcome(TidewrightAppModel& model) {
    // The builder runs at most once, within show(); the window keeps its content for good.
    const std::weak_ptr<TidewrightAppModel> weak = model.weak_from_this();
    corbel::WelcomeStepsWindow::show(
        QStringLiteral("Tidewright"), platform::weakCall(weak, &TidewrightAppModel::welcomeClosed),
        [&model] { return std::make_unique<TidewrightWelcomeHost>(model.shared_from_this()); });
}

void NativeTidewrightPresenter::presentPreferences(TidewrightAppModel& model, const QString& title) {
    // The builder runs at most once, within show(); the window keeps its content for good.
    const std::weak_ptr<TidewrightAppModel> weak = model.weak_from_this();
    corbel::PreferencesWindow::show(
        title, false, platform::weakCall(weak, &TidewrightAppModel::cancelPreferencesRequests),
        [&model] { return std::make_unique<TidewrightPreferencesHost>(model.shared_from_this()); });
}

} // namespace tidewright
