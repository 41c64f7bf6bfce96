#include "corbel/ui/WelcomeStepsButton.hpp"

#include <utility>

namespace corbel {

WelcomeStepsButton::WelcomeStepsButton(QString title, bool isDisabled, std::function<void()> action)
    : title(std::move(title)), isDisabled(isDisabled),
      action(std::make_shared<const std::function<void()>>(std::move(action))) {}

void WelcomeStepsButton::run() const {
    if (!isDisabled && action && *action) {
        (*action)();
    }
}

} // namespace corbel
