#pragma once
// The kit's focus ring: drawn around a control only once the keyboard has been used in its window,
// so a mouse user never sees rings. A window's chrome keeps one BrandFocusSession and writes its
// flag into the kit environment (KitEnvironment::setKeyboardUsed); rings read it there.

#include <QFocusFrame>
#include <QtGlobal>

class QPainterPath;
class QRectF;

namespace corbel {

// One window's record of whether the keyboard has been used there.
struct BrandFocusSession {
    bool keyboardUsed = false;

    bool operator==(const BrandFocusSession&) const = default;
};

// The outline of the control that the ring follows.
struct RingShape {
    enum class Kind {
        capsule,
        roundedRectangle,
    };
    Kind kind = Kind::roundedRectangle;
    qreal cornerRadius = 0;

    static RingShape capsule() { return {Kind::capsule, 0}; }
    static RingShape roundedRectangle(qreal radius) { return {Kind::roundedRectangle, radius}; }

    QPainterPath path(const QRectF& rect) const;

    bool operator==(const RingShape&) const = default;
};

// The ring, 4 pixels outside the control on every side, a 1-pixel stroke in the focus-ring colour.
// It lives beside the control in the control's parent, takes no clicks and is not announced (Qt's
// accessibility leaves focus frames out). It needs a control with a parent.
class BrandFocusRing : public QFocusFrame {
public:
    struct Props {
        bool isOn = false;
        RingShape shape{};

        bool operator==(const Props&) const = default;
    };

    static constexpr qreal outset = 4;

    BrandFocusRing(QWidget& control, Props props);

    const Props& props() const noexcept { return props_; }
    void setProps(Props props);

    // Where the ring is drawn, in the ring widget's own coordinates.
    QRectF ringRect() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QWidget* control_;
    Props props_;
};

// A ring around `control` that is on while the control has focus and its environment says the
// keyboard has been used, following both. Owned by the control's parent; goes with the control.
BrandFocusRing& attachFocusRing(QWidget& control, RingShape shape);

} // namespace corbel
