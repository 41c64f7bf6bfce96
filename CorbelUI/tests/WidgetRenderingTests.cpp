// The rounded, clipped render that window snapshots use.

#include "corbel/ui/WidgetRendering.hpp"

#include <QWidget>

#include <gtest/gtest.h>

namespace corbel {
namespace {

TEST(WidgetRenderingTest, RoundedRenderClearsTheCornersAndKeepsTheRest) {
    QWidget widget;
    QPalette palette;
    palette.setColor(QPalette::Window, QColor(200, 40, 40));
    widget.setPalette(palette);
    widget.setAutoFillBackground(true);
    const QImage plain = renderWidget(widget, QSize(60, 40), 2).convertToFormat(QImage::Format_ARGB32);
    const QImage rounded =
        renderRoundedWidget(widget, QSize(60, 40), 10, 2).convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(rounded.size(), QSize(120, 80));
    EXPECT_EQ(rounded.devicePixelRatio(), 2);

    // Every corner pixel is clear; inside the corners and along the edges the render is unchanged.
    for (QPoint corner : {QPoint(0, 0), QPoint(119, 0), QPoint(0, 79), QPoint(119, 79), QPoint(3, 3)}) {
        EXPECT_EQ(qAlpha(rounded.pixel(corner)), 0) << corner.x() << "," << corner.y();
    }
    for (QPoint inside : {QPoint(60, 40), QPoint(60, 0), QPoint(0, 40), QPoint(119, 40), QPoint(20, 20)}) {
        EXPECT_EQ(rounded.pixel(inside), plain.pixel(inside)) << inside.x() << "," << inside.y();
    }
    // The curve is antialiased: somewhere on it a pixel is partly covered.
    bool partial = false;
    for (int i = 0; i < 20 && !partial; ++i) {
        const int alpha = qAlpha(rounded.pixel(i, i));
        partial = alpha > 0 && alpha < 255;
    }
    EXPECT_TRUE(partial);
}

} // namespace
} // namespace corbel
