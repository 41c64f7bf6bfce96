#include "corbel/ui/CorbelBrand.hpp"

#include <cmath>
#include <utility>

namespace corbel {
namespace {

float linearComponent(float encoded) {
    return encoded <= 0.04045f ? encoded / 12.92f : std::pow((encoded + 0.055f) / 1.055f, 2.4f);
}

} // namespace

CorbelBrand::CorbelBrand(QString name, QColor color, Connection connection, std::optional<QColor> darkAccent,
                         std::optional<QColor> lightAccent)
    : name_(std::move(name)), color_(std::move(color)), connection_(connection),
      darkAccent_(std::move(darkAccent)), lightAccent_(std::move(lightAccent)) {}

QColor CorbelBrand::accent(ColorScheme scheme) const {
    const std::optional<QColor>& own = scheme == ColorScheme::dark ? darkAccent_ : lightAccent_;
    return own.value_or(color_);
}

QColor CorbelBrand::buttonLabelColor() const {
    return contrastingLabelColor(relativeLuminance(color_));
}

PrivacyStatement CorbelBrand::privacyLine() const {
    return privacyStatement(connection_, networkClientAllowed());
}

double relativeLuminance(const QColor& color) {
    const QColor rgb = color.toRgb();
    const float red = linearComponent(rgb.redF());
    const float green = linearComponent(rgb.greenF());
    const float blue = linearComponent(rgb.blueF());
    const float luminance = 0.2126f * red + 0.7152f * green + 0.0722f * blue;
    return static_cast<double>(luminance);
}

QColor contrastingLabelColor(double luminance) {
    const double withBlack = (luminance + 0.05) / 0.05;
    const double withWhite = 1.05 / (luminance + 0.05);
    return withBlack <= withWhite ? QColor(Qt::white) : QColor(Qt::black);
}

PrivacyStatement privacyStatement(CorbelBrand::Connection connection, bool networkClient) {
    if (connection == CorbelBrand::Connection::online || networkClient) {
        return {KitLabel::noDataCollected, "hand.raised"};
    }
    return {KitLabel::noInternetNoDataCollected, "network.slash"};
}

bool networkClientAllowed() noexcept {
    return true;
}

} // namespace corbel
