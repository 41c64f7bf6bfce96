#include "platform/screens/ScreenService.hpp"

#include <cmath>
#include <stdexcept>
#include <utility>

namespace platform {

namespace {

using tidewright::BottomLeftFrame;
using tidewright::DesktopFrame;
using tidewright::GeometryError;
using tidewright::Points;
using tidewright::ScreenGeometry;
using tidewright::ScreenID;
using tidewright::WindowSize;

[[noreturn]] void refuse(GeometryError::Kind kind) {
    throw GeometryError{kind};
}

// The checks run in this order: x, y, width, height finite; the size; then the flip.
DesktopFrame desktopFrame(const ScreenRect& rect, Points primaryTop) {
    const Points x(rect.x);
    const Points y(rect.y);
    const Points width(rect.width);
    const Points height(rect.height);
    return BottomLeftFrame{x, y, WindowSize(width, height)}.desktopFrame(primaryTop);
}

ScreenID numberOf(const Screen& screen) {
    auto found = screen.deviceDescription.find(screenNumberKey);
    if (found == screen.deviceDescription.end())
        refuse(GeometryError::Kind::noScreens);
    const auto* number = std::get_if<std::uint32_t>(&found->second);
    if (number == nullptr)
        refuse(GeometryError::Kind::noScreens);
    return ScreenID{*number};
}

} // namespace

ScreenService::ScreenService(std::shared_ptr<ScreenSource> source) : source_(std::move(source)) {
    if (!source_)
        throw std::invalid_argument("ScreenService needs a screen source");
}

std::vector<ScreenGeometry> ScreenService::screens() const {
    const std::vector<Screen> platformScreens = source_->screens();
    if (platformScreens.empty())
        refuse(GeometryError::Kind::noScreens);
    const ScreenRect& first = platformScreens.front().frame;
    // Points refuses a top edge that is not finite before any screen is converted.
    const Points primaryTop(first.y + first.height);

    std::vector<ScreenGeometry> result;
    result.reserve(platformScreens.size());
    for (const Screen& screen : platformScreens) {
        const ScreenID id = numberOf(screen);
        const DesktopFrame frame = desktopFrame(screen.frame, primaryTop);
        const DesktopFrame usableArea = desktopFrame(screen.visibleFrame, primaryTop);
        result.emplace_back(id, frame, usableArea);
    }
    return result;
}

} // namespace platform
