#include "corbel/ui/WelcomeStepsButton.hpp"

#include <utility>

namespace corbel {

WelcomeStepsButton::WelcomeStepsButton(QString title, bool isDisabled, std::function<void()> action)
    : title(std::move(title)), isDisabled(isDisabled),
      action(std::make_shared<const std::function<void()>>(std::move(action))) {}

void WelcomeStepsButton::run() const {
    if (!isDisabled && action && *action) {
        // Held while it runs: the action may replace the descriptor that owns it.
        const std::shared_ptr<const std::function<void()>> running = action;
        (*running)();
    }
}

} // namespace corbel
