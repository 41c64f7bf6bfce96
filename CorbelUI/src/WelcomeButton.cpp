#include "WelcomeButton.hpp"

#include "corbel/ui/PreferencesStyles.hpp"

#include <QPainter>
#include <QPainterPath>

namespace corbel {

WelcomeButton::WelcomeButton(bool prominent, QWidget& parent)
    : KitButton({}, &parent), prominent_(prominent) {
    KitButtonProps props{
        .style = prominent ? ButtonStyle::glassProminent : ButtonStyle::bordered,
        .size = ControlSize::extraLarge,
        .role = prominent ? CorbelFont::supportSemibold : CorbelFont::support,
    };
    setProps(props);
    setAction([this] {
        if (descriptor_) {
            descriptor_->run();
        }
    });
    preferencesFocusRing(*this, RingShape::capsule());
}

std::optional<QColor> WelcomeButton::capsuleColor() const {
    if (!prominent_ || !descriptor_) {
        return std::nullopt;
    }
    QColor capsule = brandColor_;
    capsule.setAlphaF(descriptor_->isDisabled ? 0.5F : 1.0F);
    return capsule;
}

void WelcomeButton::setDescriptor(const WelcomeStepsButton& descriptor, const CorbelBrand& brand) {
    descriptor_ = descriptor;
    brandColor_ = brand.color();
    KitButtonProps next = props();
    next.title = descriptor.title;
    if (prominent_) {
        next.tint = brand.color();
        // The contrast rule works on linear components: on the brand blue it gives white, where a
        // rule on the encoded components would give black at too low a contrast for this size.
        next.labelColor = brand.buttonLabelColor();
    }
    setProps(next);
    setEnabled(!descriptor.isDisabled);
    update();
}

void WelcomeButton::paintEvent(QPaintEvent* event) {
    if (const std::optional<QColor> capsule = capsuleColor()) {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(*capsule);
        painter.drawPath(RingShape::capsule().path(rect()));
    }
    KitButton::paintEvent(event);
}

} // namespace corbel
