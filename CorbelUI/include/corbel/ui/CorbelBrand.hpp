#pragma once
// The brand descriptor every kit view is handed: the product's name, colour, whether it talks to
// the network, and the accents it uses in each scheme.

#include "corbel/ui/ColorScheme.hpp"
#include "corbel/ui/KitLabels.hpp"

#include <QColor>
#include <QString>

#include <optional>
#include <string_view>

namespace corbel {

// What the privacy line says and the symbol it shows.
struct PrivacyStatement {
    KitLabel text;
    std::string_view symbol;

    bool operator==(const PrivacyStatement&) const = default;
};

class CorbelBrand {
public:
    enum class Connection {
        offline,
        online,
    };

    CorbelBrand(QString name, QColor color, Connection connection, std::optional<QColor> darkAccent,
                std::optional<QColor> lightAccent);

    const QString& name() const noexcept { return name_; }
    const QColor& color() const noexcept { return color_; }
    Connection connection() const noexcept { return connection_; }
    const std::optional<QColor>& darkAccent() const noexcept { return darkAccent_; }
    const std::optional<QColor>& lightAccent() const noexcept { return lightAccent_; }

    // The scheme's own accent when present, else the brand colour.
    QColor accent(ColorScheme scheme) const;
    // White or black, whichever contrasts more with the brand colour (never the accents). The
    // colour is a fixed sRGB value, so it resolves the same in every environment.
    QColor buttonLabelColor() const;
    PrivacyStatement privacyLine() const;

private:
    QString name_;
    QColor color_;
    Connection connection_;
    std::optional<QColor> darkAccent_;
    std::optional<QColor> lightAccent_;
};

// Relative luminance of an sRGB colour, computed in single precision from its linear components.
double relativeLuminance(const QColor& color);
// White when white contrasts at least as much as black with a colour of that luminance.
QColor contrastingLabelColor(double luminance);

// "No data collected" for a product online or allowed to reach the network, otherwise the
// stronger statement.
PrivacyStatement privacyStatement(CorbelBrand::Connection connection, bool networkClient);

// Whether this program may reach the network. It fetches its update feed, so it may; kept as one
// answer so the privacy line never claims otherwise.
bool networkClientAllowed() noexcept;

} // namespace corbel
