#pragma once
// A button of the step-by-step welcome as its caller describes it: the title, whether it is
// disabled, and what it runs.

#include <QString>

#include <functional>
#include <memory>

namespace corbel {

struct WelcomeStepsButton {
    WelcomeStepsButton(QString title, bool isDisabled, std::function<void()> action);

    QString title;
    bool isDisabled = false;
    // Shared so that a copy of a descriptor compares equal to it while a descriptor made anew (with
    // a closure that may do something else) does not: closures cannot be compared.
    std::shared_ptr<const std::function<void()>> action;

    // Runs the action unless the button is disabled. REQUIRES the main thread.
    void run() const;

    bool operator==(const WelcomeStepsButton&) const = default;
};

} // namespace corbel
