#pragma once
// The welcome's buttons. The prominent one is filled with the brand colour and labelled in white or
// black, whichever reads better on it; a disabled one keeps its capsule at half strength behind the
// dimmed control and takes no clicks. The others are bordered. Both are extra large, on one line,
// and carry the capsule focus ring.

#include "corbel/ui/CorbelBrand.hpp"
#include "corbel/ui/KitButton.hpp"
#include "corbel/ui/WelcomeStepsButton.hpp"

#include <optional>

namespace corbel {

class WelcomeButton final : public KitButton {
public:
    // REQUIRES a parent: the focus ring lives beside the button.
    WelcomeButton(bool prominent, QWidget& parent);

    bool prominent() const noexcept { return prominent_; }
    const std::optional<WelcomeStepsButton>& descriptor() const noexcept { return descriptor_; }
    // The colour of the capsule behind a prominent button; none for the others.
    std::optional<QColor> capsuleColor() const;

    void setDescriptor(const WelcomeStepsButton& descriptor, const CorbelBrand& brand);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool prominent_;
    std::optional<WelcomeStepsButton> descriptor_;
    QColor brandColor_;
};

} // namespace corbel
