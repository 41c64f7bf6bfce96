#include "corbel/ui/WordWrapping.hpp"

#include <QFontMetricsF>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <cmath>

namespace corbel {

int wordFitFloor(CorbelFont role) {
    return static_cast<int>(std::ceil(roleFont(role).pixelSize() * wordFitMinimumScale));
}

QTextOption wordWrapOption() {
    QTextOption option;
    option.setWrapMode(QTextOption::WordWrap);
    return option;
}

qreal widestWordWidth(const QString& text, const QFont& font) {
    const QFontMetricsF metrics(font);
    qreal widest = 0;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Line, text);
    qsizetype start = 0;
    while (finder.toNextBoundary() != -1) {
        const qsizetype end = finder.position();
        // The spaces a line ends with take no room on it.
        qsizetype visibleEnd = end;
        while (visibleEnd > start && text[visibleEnd - 1].isSpace()) {
            --visibleEnd;
        }
        if (visibleEnd > start) {
            widest = std::max(widest, metrics.horizontalAdvance(text.sliced(start, visibleEnd - start)));
        }
        start = end;
    }
    return widest;
}

QFont fontFittingWords(const QString& text, const QFont& font, qreal width, int minimumPixelSize) {
    const qreal widest = widestWordWidth(text, font);
    const int full = font.pixelSize();
    if (widest <= width || full <= minimumPixelSize || width <= 0) {
        return font;
    }
    // Unhinted text scales almost linearly: start at the proportional size and step from there to
    // the largest size at which the widest word really fits.
    QFont fitted = font;
    const auto fitsAt = [&](int size) {
        fitted.setPixelSize(size);
        return widestWordWidth(text, fitted) <= width;
    };
    int size = std::clamp(static_cast<int>(std::floor(full * width / widest)), minimumPixelSize, full - 1);
    while (size + 1 < full && fitsAt(size + 1)) {
        ++size;
    }
    while (size > minimumPixelSize && !fitsAt(size)) {
        --size;
    }
    fitted.setPixelSize(size);
    return fitted;
}

} // namespace corbel
