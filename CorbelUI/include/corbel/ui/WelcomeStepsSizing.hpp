#pragma once
// How the step-by-step welcome works out the window size it asks for: its two measured parts, the
// margins of the window chrome (48 above, 32 below) and the gap between the parts, at the
// window's fixed width. Nothing is asked for until both parts have a height.

#include <QSizeF>

#include <optional>

namespace corbel {

class WelcomeStepsSizing {
public:
    static constexpr double width = 560;
    static constexpr double chromeMargins = 80;
    static constexpr double partGap = 32;

    // The window size for these heights; none while either is not above 0.
    static std::optional<QSizeF> windowSize(double stepHeight, double footerHeight);

    // Takes new measurements: the size to report when the total they make changed.
    std::optional<QSizeF> measured(double stepHeight, double footerHeight);
    // The layout appeared (in a window, or in a new one): the size to report whatever came before.
    std::optional<QSizeF> appeared() const;

    double stepHeight() const noexcept { return stepHeight_; }
    double footerHeight() const noexcept { return footerHeight_; }

private:
    double stepHeight_ = 0;
    double footerHeight_ = 0;
};

} // namespace corbel
