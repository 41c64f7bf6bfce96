#pragma once
// The tinted gradient behind the tray panel and the kit's windows: the scheme's base mixed toward
// the brand colour, strongest at the top-left corner and plain at the bottom-right.

#include "corbel/ui/ColorTriple.hpp"

#include <QColor>
#include <QWidget>

#include <array>

namespace corbel {

struct BrandBackgroundRecipe {
    BrandBackgroundRecipe() = delete;

    static constexpr double darkTint = 0.2;
    static constexpr double lightTint = 0.098;
    static constexpr ColorTriple darkBase{20.0 / 255, 20.0 / 255, 20.0 / 255};
    static constexpr ColorTriple lightBase{1, 1, 1};

    // The gradient's stops at 0, 0.5 and 1: the base mixed toward the brand by the tint, by half
    // the tint, and the plain base. Componentwise, on the sRGB components.
    static std::array<ColorTriple, 3> stops(ColorTriple brand, bool dark);
};

// Fills its whole rectangle. The scheme comes from the widget's palette.
class BrandBackground : public QWidget {
public:
    struct Props {
        QColor brand;

        bool operator==(const Props&) const = default;
    };

    explicit BrandBackground(Props props, QWidget* parent = nullptr);

    const Props& props() const noexcept { return props_; }
    void setProps(Props props);

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    Props props_;
};

} // namespace corbel
