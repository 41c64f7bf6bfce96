#include "corbel/ui/PreferencesFields.hpp"

#include "corbel/ui/BrandFocus.hpp"
#include "corbel/ui/BrandPalette.hpp"
#include "corbel/ui/CorbelFont.hpp"
#include "corbel/ui/CorbelMetrics.hpp"
#include "corbel/ui/KitView.hpp"
#include "corbel/ui/QtWorkarounds.hpp"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPointer>

#include <stdexcept>

namespace corbel {
namespace {

struct PreferencesFieldProps {
    CorbelFont role = CorbelFont::support;

    bool operator==(const PreferencesFieldProps&) const = default;
};

// The capsule around a styled field: its fill, its padding, the click that focuses the field and
// the ring that follows the field's focus.
class PreferencesField final : public KitView<PreferencesFieldProps> {
public:
    PreferencesField(Props props, QLineEdit& field) : KitView(std::move(props), nullptr), field_(&field) {
        const int padding = static_cast<int>(CorbelMetrics::group);
        auto* row = new QHBoxLayout(this);
        row->setContentsMargins(padding, 0, padding, 0);
        row->setSpacing(0);
        field.setFrame(false);
        // The capsule is the field's background; the style's own panel would cover it.
        QPalette palette = field.palette();
        palette.setColor(QPalette::Base, Qt::transparent);
        field.setPalette(palette);
        row->addWidget(&field, 0, Qt::AlignVCenter);
        setFixedHeight(controlHeight());
        setSizePolicy(field.sizePolicy().horizontalPolicy(), QSizePolicy::Fixed);
        field.installEventFilter(this);
        applyFont();
    }

    ~PreferencesField() override { delete ring_.data(); } // it lives in the parent, not here

    QSize sizeHint() const override { return {KitView::sizeHint().width(), controlHeight()}; }
    QSize minimumSizeHint() const override { return {KitView::minimumSizeHint().width(), controlHeight()}; }

    QPainterPath capsule() const { return RingShape::capsule().path(QRectF(rect())); }

protected:
    void propsChanged() override {
        applyFont();
        KitView::propsChanged();
    }

    void environmentChanged(KitEnvironmentKey key) override {
        if (key == KitEnvironmentKey::textSizeFactor) {
            applyFont();
        }
        refreshRing();
        KitView::environmentChanged(key);
    }

    bool event(QEvent* event) override {
        if (event->type() == QEvent::ParentChange) {
            // The ring lives beside the capsule, so it is made (again) in the new parent.
            delete ring_.data();
            refreshRing();
        }
        return KitView::event(event);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == field_ && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
            refreshRing();
        }
        return false;
    }

    void mousePressEvent(QMouseEvent* event) override {
        // Only the capsule takes the click, and a disabled field takes none (Qt delivers none).
        if (event->button() == Qt::LeftButton && isEnabled() && field_ != nullptr &&
            capsule().contains(event->position())) {
            field_->setFocus(Qt::MouseFocusReason);
            event->accept();
            return;
        }
        event->ignore();
    }

    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillPath(capsule(), BrandPalette::emphasis(schemeOf(palette()),
                                                           KitEnvironment::values(*this).increasedContrast));
    }

private:
    static int controlHeight() { return static_cast<int>(CorbelMetrics::preferencesControlHeight); }

    void applyFont() {
        if (field_ != nullptr) {
            setCorbelFont(*field_, props().role, KitEnvironment::values(*this).textSizeFactor);
        }
    }

    void refreshRing() {
        const bool on = field_ != nullptr && field_->hasFocus() && KitEnvironment::values(*this).keyboardUsed;
        if (ring_ == nullptr) {
            if (parentWidget() == nullptr || !on) {
                return;
            }
            ring_ = new BrandFocusRing(*this, {.isOn = false, .shape = RingShape::capsule()});
        }
        ring_->setProps({.isOn = on, .shape = RingShape::capsule()});
    }

    QPointer<QLineEdit> field_;
    QPointer<BrandFocusRing> ring_;
};

QWidget* styledField(QLineEdit* field, CorbelFont role) {
    if (field == nullptr) {
        throw std::invalid_argument("a field style needs a field");
    }
    return new PreferencesField({.role = role}, *field);
}

// Keeps a label's text colour on the destructive colour of its current scheme.
class DestructiveLabel final : public QObject {
public:
    explicit DestructiveLabel(QWidget& label) : QObject(&label), label_(label) {
        label.installEventFilter(this);
        apply();
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &label_ && event->type() == QEvent::PaletteChange) {
            apply();
        }
        return false;
    }

private:
    void apply() {
        // The scheme is read from the inherited window colour, which this never sets; setting only
        // what differs ends the palette change this causes.
        const QColor color = destructiveLabelColor(schemeOf(label_.palette()));
        QPalette palette = label_.palette();
        bool changed = false;
        for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
            for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
                if (palette.color(group, role) != color) {
                    palette.setColor(group, role, color);
                    changed = true;
                }
            }
        }
        if (changed) {
            label_.setPalette(palette);
        }
    }

    QWidget& label_;
};

} // namespace

QWidget* preferencesFieldStyle(QLineEdit* field) {
    return styledField(field, CorbelFont::support);
}

QWidget* panelFieldStyle(QLineEdit* field) {
    return styledField(field, CorbelFont::detail);
}

void preferencesDestructiveLabel(QWidget& label) {
    for (QObject* child : label.children()) {
        if (dynamic_cast<DestructiveLabel*>(child) != nullptr) {
            return;
        }
    }
    new DestructiveLabel(label);
}

QColor destructiveLabelColor(ColorScheme scheme) {
    return scheme == ColorScheme::dark ? QColor(255, 170, 160) : QColor(152, 34, 27);
}

} // namespace corbel
