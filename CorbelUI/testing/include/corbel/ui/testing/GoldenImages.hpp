#pragma once
// Golden-image checks for kit tests: a widget rendered offscreen at device-pixel ratio 2 is compared
// with a PNG kept beside the tests. A failure writes the render and a diff image; setting
// TIDEWRIGHT_UPDATE_GOLDENS=1 rewrites the goldens from the renders instead of comparing.

#include <QImage>
#include <QSize>
#include <QString>

#include <gtest/gtest.h>

class QWidget;

namespace corbel::testing {

// Lays the widget out at `size` (device-independent pixels) without pumping events and renders it
// with its children into an image of `size` × `devicePixelRatio` pixels on a transparent ground.
QImage renderOffscreen(QWidget& widget, QSize size, qreal devicePixelRatio = 2);
// The same clipped to rounded corners, as snapshot mode renders a window (corbel::renderRoundedWidget).
QImage renderRoundedOffscreen(QWidget& widget, QSize size, qreal cornerRadius, qreal devicePixelRatio = 2);

struct Tolerance {
    int channel = 3;              // a pixel differs when a channel differs by more than this
    double pixelFraction = 0.001; // the share of differing pixels that still matches
};

class GoldenImages {
public:
    // `goldenFolder` holds "<name>.png"; renders and diffs of failures go to `failureFolder`.
    GoldenImages(QString goldenFolder, QString failureFolder, Tolerance tolerance = {});

    ::testing::AssertionResult matches(const QString& name, const QImage& actual) const;

    static bool updating();

private:
    QString goldenFolder_;
    QString failureFolder_;
    Tolerance tolerance_;
};

} // namespace corbel::testing
