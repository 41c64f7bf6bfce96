#include "corbel/ui/BrandBackground.hpp"

#include "corbel/ui/QtWorkarounds.hpp"

#include <QEvent>
#include <QLinearGradient>
#include <QPainter>

#include <utility>

namespace corbel {
namespace {

ColorTriple mix(ColorTriple base, ColorTriple toward, double fraction) {
    return {base.red + fraction * (toward.red - base.red),
            base.green + fraction * (toward.green - base.green),
            base.blue + fraction * (toward.blue - base.blue)};
}

QColor fromTriple(ColorTriple triple) {
    return QColor::fromRgbF(static_cast<float>(triple.red), static_cast<float>(triple.green),
                            static_cast<float>(triple.blue));
}

} // namespace

std::array<ColorTriple, 3> BrandBackgroundRecipe::stops(ColorTriple brand, bool dark) {
    const ColorTriple base = dark ? darkBase : lightBase;
    const double tint = dark ? darkTint : lightTint;
    return {mix(base, brand, tint), mix(base, brand, tint * 0.5), base};
}

BrandBackground::BrandBackground(Props props, QWidget* parent) : QWidget(parent), props_(std::move(props)) {}

void BrandBackground::setProps(Props props) {
    if (props == props_) {
        return;
    }
    props_ = std::move(props);
    update();
}

void BrandBackground::paintEvent(QPaintEvent*) {
    const QColor brand = props_.brand.toRgb();
    const bool dark = schemeOf(palette()) == ColorScheme::dark;
    const auto stops = BrandBackgroundRecipe::stops({brand.redF(), brand.greenF(), brand.blueF()}, dark);

    QLinearGradient gradient(rect().topLeft(), rect().bottomRight() + QPointF(1, 1));
    gradient.setColorAt(0, fromTriple(stops[0]));
    gradient.setColorAt(0.5, fromTriple(stops[1]));
    gradient.setColorAt(1, fromTriple(stops[2]));
    QPainter painter(this);
    painter.fillRect(rect(), gradient);
}

void BrandBackground::changeEvent(QEvent* event) {
    if (event->type() == QEvent::PaletteChange) {
        update();
    }
    QWidget::changeEvent(event);
}

} // namespace corbel
