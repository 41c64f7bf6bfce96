#include "corbel/ui/Symbols.hpp"

#include "corbel/ui/CorbelFont.hpp"

#include <QFont>
#include <QLoggingCategory>
#include <QPainter>
#include <QPainterPathStroker>
#include <QTransform>

#include <array>
#include <cmath>
#include <map>
#include <numbers>
#include <set>
#include <utility>

namespace corbel {
namespace {

Q_LOGGING_CATEGORY(symbolsLog, "app.corbelthane.tidewright.ui.symbols")

constexpr std::array<std::string_view, 25> fixedNames{
    "align.horizontal.center",
    "arrow.down.circle",
    "arrow.up.and.down",
    "arrow.up.forward.app",
    "arrow.up.left.and.arrow.down.right",
    "checkmark.circle",
    "checkmark.circle.fill",
    "circle",
    "clock",
    "exclamationmark.circle",
    "exclamationmark.triangle",
    "exclamationmark.triangle.fill",
    "gearshape",
    "hand.raised",
    "info.circle",
    "network.slash",
    "pencil",
    "power",
    "questionmark.circle",
    "rectangle",
    "rectangle.center.inset.filled",
    "rectangle.lefthalf.inset.filled",
    "rectangle.righthalf.inset.filled",
    "rectangle.split.2x1",
    "rectangle.split.2x1.fill",
};

// Outlines are built on a grid of 1000 units per em: path operations flatten curves at a fixed
// absolute precision, which on a 1-unit grid would turn every circle into an octagon.
constexpr double grid = 1000;

QPainterPath onGrid(const QPainterPath& path) {
    return QTransform::fromScale(grid, grid).map(path);
}

double strokeWidth(SymbolWeight weight) {
    switch (weight) {
    case SymbolWeight::regular:
        return 0.075;
    case SymbolWeight::semibold:
        return 0.09;
    case SymbolWeight::bold:
        break;
    }
    return 0.105;
}

// A symbol is built as strokes (a pen of the weight's width, round ends), filled areas, and marks
// knocked out of the filled areas.
class Builder {
public:
    explicit Builder(SymbolWeight weight) : weight_(weight), width_(strokeWidth(weight) * grid) {}

    double width() const { return width_; }

    void stroke(const QPainterPath& path) { strokes_.addPath(path); }
    void fill(const QPainterPath& path) { fills_.addPath(path); }
    void cut(const QPainterPath& path) { cuts_.addPath(path); }

    // A glyph of the kit's font whose ink box is centred on `centre` and `height` high (narrowed to
    // `maxWidth` when wider).
    QPainterPath glyph(const QString& text, QPointF centre, double height, double maxWidth = 1) const {
        QFont font(kitFontFamily());
        font.setPixelSize(200);
        font.setWeight(weight_ == SymbolWeight::regular ? QFont::DemiBold : QFont::Bold);
        font.setHintingPreference(QFont::PreferNoHinting);
        QPainterPath path;
        path.addText(QPointF(0, 0), font, text);
        const QRectF ink = path.boundingRect();
        if (ink.isEmpty()) {
            return {};
        }
        const double scale = std::min(height / ink.height(), maxWidth / ink.width()) * grid;
        QTransform transform;
        transform.translate(centre.x() * grid, centre.y() * grid);
        transform.scale(scale, scale);
        transform.translate(-ink.center().x(), -ink.center().y());
        return transform.map(path);
    }

    QPainterPath result() const {
        QPainterPathStroker stroker;
        stroker.setWidth(width_);
        stroker.setCapStyle(Qt::RoundCap);
        stroker.setJoinStyle(Qt::RoundJoin);
        QPainterPath all = stroker.createStroke(strokes_).united(fills_);
        if (!cuts_.isEmpty()) {
            all = all.subtracted(cuts_);
        }
        return all.simplified();
    }

private:
    SymbolWeight weight_;
    double width_;
    QPainterPath strokes_;
    QPainterPath fills_;
    QPainterPath cuts_;
};

QPainterPath circle(QPointF centre, double radius) {
    QPainterPath path;
    path.addEllipse(centre, radius, radius);
    return onGrid(path);
}

QPainterPath polyline(std::initializer_list<QPointF> points) {
    QPainterPath path;
    bool first = true;
    for (QPointF point : points) {
        if (first) {
            path.moveTo(point);
            first = false;
        } else {
            path.lineTo(point);
        }
    }
    return onGrid(path);
}

QPainterPath roundedRect(const QRectF& rect, double radius) {
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return onGrid(path);
}

// A line with an open arrowhead at its end.
QPainterPath arrow(QPointF from, QPointF to, double head = 0.17) {
    const double angle = std::atan2(to.y() - from.y(), to.x() - from.x());
    const double spread = std::numbers::pi / 4;
    QPainterPath path = polyline({from, to});
    path.addPath(
        polyline({{to.x() - head * std::cos(angle - spread), to.y() - head * std::sin(angle - spread)},
                  to,
                  {to.x() - head * std::cos(angle + spread), to.y() - head * std::sin(angle + spread)}}));
    return path;
}

const QPointF middle(0.5, 0.5);
constexpr double ring = 0.42;
const QRectF frame(0.06, 0.2, 0.88, 0.6);
constexpr double frameRadius = 0.12;

// The check inside a circle.
QPainterPath check() {
    return polyline({{0.31, 0.52}, {0.45, 0.65}, {0.69, 0.36}});
}

QPainterPath triangle() {
    return polyline({{0.5, 0.11}, {0.93, 0.86}, {0.07, 0.86}, {0.5, 0.11}});
}

// The rectangle symbols: an outline with an inset part filled.
void insetRectangle(Builder& b, const QRectF& part) {
    b.stroke(roundedRect(frame, frameRadius));
    b.fill(roundedRect(part, 0.05));
}

QPainterPath gear() {
    constexpr int teeth = 8;
    QPainterPath path;
    for (int i = 0; i < teeth * 4; ++i) {
        const double angle = 2 * std::numbers::pi * (i - 0.5) / (teeth * 4);
        const double radius = (i % 4 == 0 || i % 4 == 1) ? 0.46 : 0.37;
        const QPointF point(0.5 + radius * std::cos(angle), 0.5 + radius * std::sin(angle));
        if (i == 0) {
            path.moveTo(point);
        } else {
            path.lineTo(point);
        }
    }
    path.closeSubpath();
    return onGrid(path);
}

QPainterPath build(std::string_view name, SymbolWeight weight) {
    Builder b(weight);
    const double w = b.width() / grid; // in em
    if (name == "circle") {
        b.stroke(circle(middle, ring));
    } else if (name == "checkmark.circle") {
        b.stroke(circle(middle, ring));
        b.stroke(check());
    } else if (name == "checkmark.circle.fill") {
        b.fill(circle(middle, ring + w / 2));
        QPainterPathStroker stroker;
        stroker.setWidth(b.width() * 1.3);
        stroker.setCapStyle(Qt::RoundCap);
        stroker.setJoinStyle(Qt::RoundJoin);
        b.cut(stroker.createStroke(check()));
    } else if (name == "info.circle") {
        b.stroke(circle(middle, ring));
        b.fill(b.glyph(QStringLiteral("i"), middle, 0.46));
    } else if (name == "questionmark.circle") {
        b.stroke(circle(middle, ring));
        b.fill(b.glyph(QStringLiteral("?"), middle, 0.46));
    } else if (name == "exclamationmark.circle") {
        b.stroke(circle(middle, ring));
        b.fill(b.glyph(QStringLiteral("!"), middle, 0.46));
    } else if (name == "exclamationmark.triangle") {
        b.stroke(triangle());
        b.fill(b.glyph(QStringLiteral("!"), QPointF(0.5, 0.6), 0.36));
    } else if (name == "exclamationmark.triangle.fill") {
        QPainterPathStroker stroker;
        stroker.setWidth(b.width());
        stroker.setJoinStyle(Qt::RoundJoin);
        b.fill(triangle().united(stroker.createStroke(triangle())));
        b.cut(b.glyph(QStringLiteral("!"), QPointF(0.5, 0.6), 0.36));
    } else if (name == "clock") {
        b.stroke(circle(middle, ring));
        b.stroke(polyline({{0.5, 0.24}, middle, {0.68, 0.6}}));
    } else if (name == "arrow.down.circle") {
        b.stroke(circle(middle, ring));
        b.stroke(arrow({0.5, 0.27}, {0.5, 0.71}));
    } else if (name == "rectangle") {
        b.stroke(roundedRect(frame, frameRadius));
    } else if (name == "rectangle.split.2x1") {
        b.stroke(roundedRect(frame, frameRadius));
        b.stroke(polyline({{0.5, frame.top()}, {0.5, frame.bottom()}}));
    } else if (name == "rectangle.split.2x1.fill") {
        const QRectF outer = frame.adjusted(-w / 2, -w / 2, w / 2, w / 2);
        b.fill(roundedRect(QRectF(outer.left(), outer.top(), 0.5 - outer.left() - w / 2, outer.height()),
                           frameRadius));
        b.fill(roundedRect(QRectF(0.5 + w / 2, outer.top(), outer.right() - 0.5 - w / 2, outer.height()),
                           frameRadius));
    } else if (name == "rectangle.lefthalf.inset.filled") {
        insetRectangle(b, QRectF(0.15, 0.29, 0.3, 0.42));
    } else if (name == "rectangle.righthalf.inset.filled") {
        insetRectangle(b, QRectF(0.55, 0.29, 0.3, 0.42));
    } else if (name == "rectangle.center.inset.filled") {
        insetRectangle(b, QRectF(0.25, 0.32, 0.5, 0.36));
    } else if (name == "arrow.up.left.and.arrow.down.right") {
        b.stroke(arrow({0.42, 0.42}, {0.12, 0.12}, 0.2));
        b.stroke(arrow({0.58, 0.58}, {0.88, 0.88}, 0.2));
    } else if (name == "arrow.up.and.down") {
        b.stroke(arrow({0.5, 0.5}, {0.5, 0.08}, 0.2));
        b.stroke(arrow({0.5, 0.5}, {0.5, 0.92}, 0.2));
    } else if (name == "align.horizontal.center") {
        b.stroke(polyline({{0.5, 0.06}, {0.5, 0.94}}));
        b.fill(roundedRect(QRectF(0.14, 0.2, 0.72, 0.22), 0.05));
        b.fill(roundedRect(QRectF(0.27, 0.58, 0.46, 0.22), 0.05));
    } else if (name == "arrow.up.forward.app") {
        QPainterPath box;
        box.moveTo(0.48, 0.12);
        box.lineTo(0.26, 0.12);
        box.quadTo(0.12, 0.12, 0.12, 0.26);
        box.lineTo(0.12, 0.74);
        box.quadTo(0.12, 0.88, 0.26, 0.88);
        box.lineTo(0.74, 0.88);
        box.quadTo(0.88, 0.88, 0.88, 0.74);
        box.lineTo(0.88, 0.52);
        b.stroke(onGrid(box));
        b.stroke(arrow({0.42, 0.58}, {0.86, 0.14}, 0.24));
    } else if (name == "gearshape") {
        b.fill(gear().subtracted(circle(middle, 0.15)));
    } else if (name == "hand.raised") {
        // Four fingers, a thumb and the palm, as one outline.
        QPainterPath hand = roundedRect(QRectF(0.24, 0.42, 0.56, 0.5), 0.2);
        const std::array<std::pair<double, double>, 4> fingers{
            {{0.24, 0.22}, {0.38, 0.1}, {0.52, 0.12}, {0.66, 0.22}}};
        for (auto [x, top] : fingers) {
            hand = hand.united(roundedRect(QRectF(x, top, 0.13, 0.6 - top), 0.065));
        }
        QTransform tilt;
        tilt.translate(0.3 * grid, 0.62 * grid);
        tilt.rotate(-35);
        tilt.translate(-0.3 * grid, -0.62 * grid);
        hand = hand.united(tilt.map(roundedRect(QRectF(0.23, 0.32, 0.13, 0.34), 0.065)));
        b.stroke(hand.simplified());
    } else if (name == "network.slash") {
        b.stroke(circle(middle, ring));
        QPainterPath meridian;
        meridian.addEllipse(middle, 0.17, ring);
        b.stroke(onGrid(meridian));
        b.stroke(polyline({{0.08, 0.5}, {0.92, 0.5}}));
        // The slash leaves a gap in what it crosses.
        const QPainterPath slash = polyline({{0.12, 0.1}, {0.88, 0.9}});
        QPainterPathStroker gap;
        gap.setWidth(b.width() * 3);
        b.cut(gap.createStroke(slash));
        QPainterPath drawn = b.result();
        QPainterPathStroker pen;
        pen.setWidth(b.width());
        pen.setCapStyle(Qt::RoundCap);
        return drawn.united(pen.createStroke(slash)).simplified();
    } else if (name == "pencil") {
        QPainterPath body =
            polyline({{0.2, 0.8}, {0.26, 0.6}, {0.7, 0.16}, {0.84, 0.3}, {0.4, 0.74}, {0.2, 0.8}});
        b.stroke(body);
        b.stroke(polyline({{0.62, 0.24}, {0.76, 0.38}}));
    } else if (name == "power") {
        QPainterPath arc;
        arc.arcMoveTo(QRectF(0.12, 0.14, 0.76, 0.76), 125);
        arc.arcTo(QRectF(0.12, 0.14, 0.76, 0.76), 125, 290);
        b.stroke(onGrid(arc));
        b.stroke(polyline({{0.5, 0.08}, {0.5, 0.48}}));
    } else {
        return {};
    }
    return b.result();
}

// "<n>.circle" for n of 0 or more; nullopt for any other name.
std::optional<long long> circledNumber(QStringView name) {
    if (!name.endsWith(QLatin1String(".circle"))) {
        return std::nullopt;
    }
    const QStringView digits = name.chopped(7);
    bool ok = false;
    const long long value = digits.toLongLong(&ok);
    if (!ok || digits.isEmpty()) {
        return std::nullopt;
    }
    return value;
}

QPainterPath buildCircledNumber(long long number, SymbolWeight weight) {
    Builder b(weight);
    b.stroke(circle(middle, ring));
    b.fill(b.glyph(QString::number(number), middle, 0.44, 0.56));
    return b.result();
}

bool isFixed(QStringView name) {
    for (std::string_view fixed : fixedNames) {
        if (name == QLatin1String(fixed.data(), static_cast<qsizetype>(fixed.size()))) {
            return true;
        }
    }
    return false;
}

} // namespace

SymbolWeight symbolWeight(const QFont& font) {
    if (font.weight() >= QFont::Bold) {
        return SymbolWeight::bold;
    }
    return font.weight() >= QFont::DemiBold ? SymbolWeight::semibold : SymbolWeight::regular;
}

std::span<const std::string_view> symbolNames() {
    return fixedNames;
}

bool hasSymbol(QStringView name) {
    if (isFixed(name)) {
        return true;
    }
    const std::optional<long long> number = circledNumber(name);
    return number && *number >= 0;
}

QPainterPath symbolPath(QStringView name, SymbolWeight weight) {
    // Boolean path operations are slow enough to keep each outline once.
    static std::map<std::pair<QString, SymbolWeight>, QPainterPath> cache;
    static std::set<QString> logged;
    const auto key = std::make_pair(name.toString(), weight);
    if (const auto found = cache.find(key); found != cache.end()) {
        return found->second;
    }
    QPainterPath path;
    if (isFixed(name)) {
        path = build(name.toString().toStdString(), weight);
    } else if (const std::optional<long long> number = circledNumber(name)) {
        if (*number >= 0) {
            path = buildCircledNumber(*number, weight);
        }
    } else {
        if (logged.insert(key.first).second) {
            qCWarning(symbolsLog, "no symbol named %s", qUtf8Printable(key.first));
        }
        return {};
    }
    path = QTransform::fromScale(1 / grid, 1 / grid).map(path);
    cache.emplace(key, path);
    return path;
}

void drawSymbol(QPainter& painter, const QRectF& em, QStringView name, const QColor& color,
                SymbolWeight weight) {
    const QPainterPath path = symbolPath(name, weight);
    if (path.isEmpty()) {
        return;
    }
    const double side = std::min(em.width(), em.height());
    QTransform transform;
    transform.translate(em.center().x() - side / 2, em.center().y() - side / 2);
    transform.scale(side, side);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawPath(transform.map(path));
    painter.restore();
}

} // namespace corbel
