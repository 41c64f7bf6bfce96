#include "corbel/ui/WelcomeStepsSizing.hpp"

namespace corbel {

std::optional<QSizeF> WelcomeStepsSizing::windowSize(double stepHeight, double footerHeight) {
    if (!(stepHeight > 0) || !(footerHeight > 0)) {
        return std::nullopt;
    }
    return QSizeF(width, stepHeight + chromeMargins + partGap + footerHeight);
}

std::optional<QSizeF> WelcomeStepsSizing::measured(double stepHeight, double footerHeight) {
    const double before = stepHeight_ + footerHeight_;
    stepHeight_ = stepHeight;
    footerHeight_ = footerHeight;
    if (stepHeight + footerHeight == before) {
        return std::nullopt;
    }
    return windowSize(stepHeight, footerHeight);
}

std::optional<QSizeF> WelcomeStepsSizing::appeared() const {
    return windowSize(stepHeight_, footerHeight_);
}

} // namespace corbel
