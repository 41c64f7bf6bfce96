#pragma once
// The live screen reading: the platform's screens turned into desktop geometry, read afresh on
// every call and cached nowhere.

#include "platform/screens/ScreenReading.hpp"
#include "platform/screens/Screens.hpp"

#include <memory>

namespace platform {

class ScreenService final : public ScreenReading {
public:
    // REQUIRES: source is not null (std::invalid_argument otherwise).
    explicit ScreenService(std::shared_ptr<ScreenSource> source);

    // Both the primary screen's top edge and every screen come from one reading of the source, so
    // a change of the screens during the call cannot mix two layouts. Throws GeometryError
    // noScreens when the reading is empty or a screen has no number, and the geometry refusals of
    // the first screen that cannot be converted.
    std::vector<tidewright::ScreenGeometry> screens() const override;

private:
    std::shared_ptr<ScreenSource> source_;
};

} // namespace platform
