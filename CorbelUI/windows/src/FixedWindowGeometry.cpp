#include "corbel/ui/FixedWindowGeometry.hpp"

#include <algorithm>
#include <cmath>

namespace corbel {

QRectF rectOf(const tidewright::DesktopFrame& frame) {
    return {frame.minX(), frame.minY(), frame.size().width().value(), frame.size().height().value()};
}

double fixedContentHeight(double reportedHeight, double visibleHeight) {
    const double rounded = std::ceil(reportedHeight / 4) * 4;
    return std::min(std::max(visibleHeight - fixedWindowScreenMargin, 1.0), rounded);
}

QRectF fittedFrame(const QRectF& current, const QSizeF& frameForContent, const QRectF& visible,
                   bool anchorsTop) {
    const double width = std::min(visible.width(), frameForContent.width());
    const double height = std::min(visible.height(), frameForContent.height());
    double x = current.center().x() - width / 2;
    double y = anchorsTop ? current.top() : current.center().y() - height / 2;
    x = std::max(visible.left(), std::min(visible.right() - width, x));
    y = std::max(visible.top(), std::min(visible.bottom() - height, y));
    return {x, y, width, height};
}

QPointF centredOrigin(const QSizeF& frame, const QRectF& visible) {
    // std::round takes halves away from zero.
    return {std::round(visible.center().x() - frame.width() / 2),
            std::round(visible.center().y() - frame.height() / 2)};
}

std::optional<std::size_t> screenContaining(const std::vector<tidewright::ScreenGeometry>& screens,
                                            const QPointF& point) {
    for (std::size_t index = 0; index < screens.size(); ++index) {
        const tidewright::DesktopFrame& frame = screens[index].frame();
        if (point.x() >= frame.minX() && point.x() < frame.maxX() && point.y() >= frame.minY() &&
            point.y() < frame.maxY()) {
            return index;
        }
    }
    return std::nullopt;
}

std::optional<std::size_t> screenOfFrame(const std::vector<tidewright::ScreenGeometry>& screens,
                                         const QRectF& frame) {
    std::optional<std::size_t> best;
    double bestArea = 0;
    for (std::size_t index = 0; index < screens.size(); ++index) {
        const QRectF overlap = rectOf(screens[index].frame()).intersected(frame);
        const double area = overlap.width() * overlap.height();
        if (area > bestArea) {
            best = index;
            bestArea = area;
        }
    }
    return best;
}

} // namespace corbel
