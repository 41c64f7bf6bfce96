#include "corbel/ui/BrandFocus.hpp"

#include "corbel/ui/BrandPalette.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/QtWorkarounds.hpp"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOption>

#include <cmath>

namespace corbel {
namespace {

// The frame's margin around its control: the ring's outset plus room for half the stroke.
constexpr int frameMargin = 5;

// Qt places a focus frame by the style's margins; this style gives the ring's.
class RingStyle : public QProxyStyle {
public:
    RingStyle() : QProxyStyle(QStringLiteral("Fusion")) {}

    int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
        if (metric == PM_FocusFrameHMargin || metric == PM_FocusFrameVMargin) {
            return frameMargin;
        }
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (hint == SH_FocusFrame_Mask || hint == SH_FocusFrame_AboveWidget) {
            return hint == SH_FocusFrame_AboveWidget ? 1 : 0;
        }
        return QProxyStyle::styleHint(hint, option, widget, data);
    }
};

QStyle* ringStyle() {
    // One style for every ring; it lives as long as the process's rings may.
    static RingStyle* const style = new RingStyle;
    return style;
}

// Follows the control's focus and the environment's keyboard-use flag.
class RingTracker : public QObject {
public:
    RingTracker(QWidget& control, BrandFocusRing& ring) : QObject(&ring), control_(&control), ring_(ring) {
        control.installEventFilter(this);
        refresh();
    }

    void refresh() {
        if (control_ == nullptr) {
            return;
        }
        BrandFocusRing::Props props = ring_.props();
        props.isOn = control_->hasFocus() && KitEnvironment::values(*control_).keyboardUsed;
        ring_.setProps(props);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == control_) {
            const QEvent::Type type = event->type();
            if (type == QEvent::FocusIn || type == QEvent::FocusOut || type == QEvent::ParentChange ||
                type == KitEnvironmentChangeEvent::eventType()) {
                refresh();
            }
        }
        return false;
    }

private:
    QPointer<QWidget> control_;
    BrandFocusRing& ring_;
};

} // namespace

QPainterPath RingShape::path(const QRectF& rect) const {
    const qreal radius = kind == Kind::capsule ? std::min(rect.width(), rect.height()) / 2 : cornerRadius;
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

BrandFocusRing::BrandFocusRing(QWidget& control, Props props)
    : QFocusFrame(control.parentWidget()), control_(&control), props_(props) {
    setStyle(ringStyle());
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setFocusPolicy(Qt::NoFocus);
    if (props_.isOn) {
        setWidget(control_);
    } else {
        hide(); // explicitly, or showing the window would show it
    }
}

void BrandFocusRing::setProps(Props props) {
    if (props == props_) {
        return;
    }
    const bool turned = props.isOn != props_.isOn;
    props_ = props;
    if (turned) {
        setWidget(props_.isOn ? control_ : nullptr);
    }
    update();
}

QRectF BrandFocusRing::ringRect() const {
    const qreal inset = frameMargin - outset;
    return QRectF(rect()).adjusted(inset, inset, -inset, -inset);
}

void BrandFocusRing::paintEvent(QPaintEvent*) {
    if (!props_.isOn) {
        return;
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPen pen(BrandPalette::focusRing(schemeOf(palette()), KitEnvironment::values(*this).increasedContrast),
             1);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    pen.setMiterLimit(10);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(props_.shape.path(ringRect()));
}

BrandFocusRing& attachFocusRing(QWidget& control, RingShape shape) {
    auto* ring = new BrandFocusRing(control, {.isOn = false, .shape = shape});
    new RingTracker(control, *ring);
    QObject::connect(&control, &QObject::destroyed, ring, [ring] { delete ring; });
    return *ring;
}

} // namespace corbel
