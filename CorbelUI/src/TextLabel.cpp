#include "corbel/ui/TextLabel.hpp"

#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/WordWrapping.hpp"

#include <QFontMetricsF>
#include <QPainter>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <limits>

namespace corbel {
namespace {

constexpr int unlimitedWidth = 1 << 20;

struct WrappedLine {
    qsizetype paragraph;
    qsizetype start;
    qsizetype length;
    qreal natural; // the line's width as the layout measures it
};

// Every line the text takes at `width`, paragraph by paragraph.
std::vector<WrappedLine> wrap(const QStringList& paragraphs, const QFont& font, int width) {
    std::vector<WrappedLine> lines;
    const QTextOption option = wordWrapOption();
    for (qsizetype p = 0; p < paragraphs.size(); ++p) {
        QTextLayout layout(paragraphs[p], font);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines.push_back({p, line.textStart(), line.textLength(), line.naturalTextWidth()});
        }
        layout.endLayout();
    }
    return lines;
}

QString trimmedEnd(QStringView text) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1].isSpace()) {
        --end;
    }
    return text.first(end).toString();
}

} // namespace

TextLabel::TextLabel(Props props, QWidget* parent) : KitView(std::move(props), parent) {
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(this->props().lineLimit != 1);
    setSizePolicy(policy);
}

QFont TextLabel::baseFont() const {
    return roleFont(props().role, KitEnvironment::values(*this).textSizeFactor);
}

TextLabel::Lines TextLabel::linesAt(int width) const {
    if (width <= 0) {
        width = unlimitedWidth;
    }
    const QStringList paragraphs = props().text.split(QLatin1Char('\n'));
    const QFont base = baseFont();
    QFont font = base;
    if (width < unlimitedWidth) {
        font = fontFittingWords(props().text, font, width, wordFitFloor(props().role));
    }
    std::vector<WrappedLine> wrapped = wrap(paragraphs, font, width);
    const auto limit = static_cast<std::size_t>(props().lineLimit);

    if (props().lineLimit > 0 && wrapped.size() > limit && props().minimumScaleFactor < 1) {
        const int smallest =
            std::max(1, static_cast<int>(std::ceil(base.pixelSize() * props().minimumScaleFactor)));
        for (int size = font.pixelSize() - 1; size >= smallest; --size) {
            font.setPixelSize(size);
            wrapped = wrap(paragraphs, font, width);
            if (wrapped.size() <= limit) {
                break;
            }
        }
    }

    Lines result;
    result.font = font;
    const QFontMetricsF metrics(font);
    result.lineSpacing = metrics.lineSpacing();
    result.ascent = metrics.ascent();
    const std::size_t shown = props().lineLimit > 0 ? std::min(wrapped.size(), limit) : wrapped.size();
    for (std::size_t i = 0; i < shown; ++i) {
        const WrappedLine& line = wrapped[i];
        const QString& paragraph = paragraphs[line.paragraph];
        if (i + 1 == shown && shown < wrapped.size()) {
            // The last line shown carries the rest of the text, elided.
            QString rest = paragraph.mid(line.start);
            for (qsizetype p = line.paragraph + 1; p < paragraphs.size(); ++p) {
                rest += QLatin1Char(' ') + paragraphs[p];
            }
            result.texts.push_back(metrics.elidedText(rest, Qt::ElideRight, width));
        } else if (line.natural > width) {
            // A word too wide even at the smallest size: cut short on its line, never split.
            result.texts.push_back(metrics.elidedText(
                trimmedEnd(QStringView(paragraph).sliced(line.start, line.length)), Qt::ElideRight, width));
        } else {
            result.texts.push_back(trimmedEnd(QStringView(paragraph).sliced(line.start, line.length)));
        }
    }
    result.height = static_cast<int>(std::ceil(static_cast<qreal>(result.texts.size()) * result.lineSpacing));
    return result;
}

QSize TextLabel::sizeHint() const {
    // Measured as the wrapping measures, so that the label given its preferred width keeps its lines.
    qreal widest = 0;
    for (const WrappedLine& line : wrap(props().text.split(QLatin1Char('\n')), baseFont(), unlimitedWidth)) {
        widest = std::max(widest, line.natural);
    }
    return {static_cast<int>(std::ceil(widest)), linesAt(unlimitedWidth).height};
}

QSize TextLabel::minimumSizeHint() const {
    // Wrapping or eliding, the label can take any width; its height follows.
    return {0, linesAt(unlimitedWidth).height};
}

bool TextLabel::hasHeightForWidth() const {
    return props().lineLimit != 1;
}

int TextLabel::heightForWidth(int width) const {
    return linesAt(width).height;
}

qreal TextLabel::firstBaseline(int width) const {
    return linesAt(width).ascent;
}

void TextLabel::paintEvent(QPaintEvent*) {
    const Lines lines = linesAt(width());
    QPainter painter(this);
    painter.setFont(lines.font);
    painter.setPen(props().color.value_or(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText)));
    const QFontMetricsF metrics(lines.font);
    for (std::size_t i = 0; i < lines.texts.size(); ++i) {
        const QString& text = lines.texts[i];
        const qreal free = width() - metrics.horizontalAdvance(text);
        qreal x = 0;
        if (props().alignment & Qt::AlignRight) {
            x = free;
        } else if (props().alignment & Qt::AlignHCenter) {
            x = free / 2;
        }
        painter.drawText(QPointF(x, static_cast<qreal>(i) * lines.lineSpacing + lines.ascent), text);
    }
}

void TextLabel::propsChanged() {
    QSizePolicy policy = sizePolicy();
    policy.setHeightForWidth(props().lineLimit != 1);
    setSizePolicy(policy);
    KitView::propsChanged();
}

void TextLabel::environmentChanged(KitEnvironmentKey key) {
    if (key == KitEnvironmentKey::textSizeFactor) {
        KitView::environmentChanged(key);
    }
}

} // namespace corbel
