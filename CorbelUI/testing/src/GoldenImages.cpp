#include "corbel/ui/testing/GoldenImages.hpp"

#include "corbel/ui/WidgetRendering.hpp"

#include <QDir>
#include <QLayout>
#include <QPainter>
#include <QWidget>

#include <cstdlib>
#include <utility>

namespace corbel::testing {
namespace {

QString describe(const QImage& image) {
    return QStringLiteral("%1x%2 at ratio %3")
        .arg(image.width())
        .arg(image.height())
        .arg(image.devicePixelRatio());
}

std::string text(const QString& string) {
    return string.toStdString();
}

} // namespace

QImage renderOffscreen(QWidget& widget, QSize size, qreal devicePixelRatio) {
    return renderWidget(widget, size, devicePixelRatio);
}

QImage renderRoundedOffscreen(QWidget& widget, QSize size, qreal cornerRadius, qreal devicePixelRatio) {
    return renderRoundedWidget(widget, size, cornerRadius, devicePixelRatio);
}

GoldenImages::GoldenImages(QString goldenFolder, QString failureFolder, Tolerance tolerance)
    : goldenFolder_(std::move(goldenFolder)), failureFolder_(std::move(failureFolder)),
      tolerance_(tolerance) {}

bool GoldenImages::updating() {
    const char* value = std::getenv("TIDEWRIGHT_UPDATE_GOLDENS");
    return value != nullptr && std::string_view(value) == "1";
}

::testing::AssertionResult GoldenImages::matches(const QString& name, const QImage& rendered) const {
    const QString goldenPath = goldenFolder_ + QLatin1Char('/') + name + QStringLiteral(".png");
    const QImage actual = rendered.convertToFormat(QImage::Format_ARGB32);

    if (updating()) {
        QDir().mkpath(goldenFolder_);
        if (!actual.save(goldenPath, "PNG")) {
            return ::testing::AssertionFailure() << "cannot write " << text(goldenPath);
        }
        return ::testing::AssertionSuccess() << "rewrote " << text(goldenPath);
    }

    QImage golden(goldenPath);
    if (golden.isNull()) {
        return ::testing::AssertionFailure()
               << "no golden image " << text(goldenPath) << " (TIDEWRIGHT_UPDATE_GOLDENS=1 writes it)";
    }
    golden = golden.convertToFormat(QImage::Format_ARGB32);
    const QString actualPath = failureFolder_ + QLatin1Char('/') + name + QStringLiteral(".actual.png");
    const QString diffPath = failureFolder_ + QLatin1Char('/') + name + QStringLiteral(".diff.png");
    QDir().mkpath(failureFolder_);

    if (golden.size() != actual.size()) {
        actual.save(actualPath, "PNG");
        return ::testing::AssertionFailure()
               << name.toStdString() << ": rendered " << text(describe(actual)) << ", golden "
               << golden.width() << "x" << golden.height() << "; render written to " << text(actualPath);
    }

    // The diff shows the render faded to grey with every differing pixel in solid red.
    QImage diff(actual.size(), QImage::Format_ARGB32);
    qsizetype differing = 0;
    int worst = 0;
    for (int y = 0; y < actual.height(); ++y) {
        const auto* a = reinterpret_cast<const QRgb*>(actual.constScanLine(y));
        const auto* g = reinterpret_cast<const QRgb*>(golden.constScanLine(y));
        auto* d = reinterpret_cast<QRgb*>(diff.scanLine(y));
        for (int x = 0; x < actual.width(); ++x) {
            const int delta =
                std::max({std::abs(qRed(a[x]) - qRed(g[x])), std::abs(qGreen(a[x]) - qGreen(g[x])),
                          std::abs(qBlue(a[x]) - qBlue(g[x])), std::abs(qAlpha(a[x]) - qAlpha(g[x]))});
            worst = std::max(worst, delta);
            if (delta > tolerance_.channel) {
                ++differing;
                d[x] = qRgb(255, 0, 0);
            } else {
                const int grey = 192 + qGray(a[x]) / 4;
                d[x] = qRgb(grey, grey, grey);
            }
        }
    }
    const qsizetype allowed = static_cast<qsizetype>(tolerance_.pixelFraction *
                                                     static_cast<double>(actual.width()) * actual.height());
    if (differing <= allowed) {
        return ::testing::AssertionSuccess();
    }
    actual.save(actualPath, "PNG");
    diff.save(diffPath, "PNG");
    return ::testing::AssertionFailure()
           << name.toStdString() << ": " << differing << " pixels differ (at most " << allowed
           << " may), by up to " << worst << "; render " << text(actualPath) << ", diff " << text(diffPath);
}

} // namespace corbel::testing
