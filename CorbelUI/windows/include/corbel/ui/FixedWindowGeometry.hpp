#pragma once
// The arithmetic of fixed-size windows: how a content size becomes a window frame on a screen, and
// which screen a point or a window belongs to. Everything is in desktop coordinates (origin at the
// primary screen's top-left corner, y growing downward), so "keeping the top edge" keeps minY.

#include "tidewright/core/Geometry.hpp"

#include <QPointF>
#include <QRectF>
#include <QSizeF>

#include <optional>
#include <vector>

namespace corbel {

// Room left below a window's content so that it never fills its screen from top to bottom.
inline constexpr double fixedWindowScreenMargin = 64;

QRectF rectOf(const tidewright::DesktopFrame& frame);

// The content height a window adopts for a reported height: rounded up to a multiple of 4, at most
// the visible height less the margin, and never under 1.
double fixedContentHeight(double reportedHeight, double visibleHeight);

// The frame a window takes when its outer size becomes `frameForContent`: no larger than `visible`,
// the horizontal centre of `current` kept, its top edge kept when `anchorsTop` (else its vertical
// centre), then moved inside `visible`.
QRectF fittedFrame(const QRectF& current, const QSizeF& frameForContent, const QRectF& visible,
                   bool anchorsTop);

// The origin that centres a frame of this size on `visible`, each coordinate rounded to a whole
// point (halves away from zero). Not clamped: a frame larger than the screen overhangs both sides.
QPointF centredOrigin(const QSizeF& frame, const QRectF& visible);

// The first screen whose frame holds the point (left and top edges inside, right and bottom edges
// outside, so a point on a shared edge belongs to one screen only).
std::optional<std::size_t> screenContaining(const std::vector<tidewright::ScreenGeometry>& screens,
                                            const QPointF& point);

// The screen that holds the largest part of the frame; none when the frame lies on no screen. Ties go
// to the earlier screen.
std::optional<std::size_t> screenOfFrame(const std::vector<tidewright::ScreenGeometry>& screens,
                                         const QRectF& frame);

} // namespace corbel
