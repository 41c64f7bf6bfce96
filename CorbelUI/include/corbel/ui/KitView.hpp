#pragma once
// The base of a kit view: a widget configured by an equality-comparable Props value. Setting equal
// props does nothing; different props, or a change of the kit environment, measure and draw the
// view again unless the view says otherwise. Main thread only.

#include "corbel/ui/KitEnvironment.hpp"

#include <QEvent>
#include <QWidget>

#include <utility>

namespace corbel {

template <typename PropsType>
class KitView : public QWidget {
public:
    using Props = PropsType;

    const Props& props() const noexcept { return props_; }
    void setProps(Props props) {
        if (props == props_) {
            return;
        }
        props_ = std::move(props);
        propsChanged();
    }

protected:
    KitView(Props props, QWidget* parent) : QWidget(parent), props_(std::move(props)) {}

    virtual void propsChanged() {
        updateGeometry();
        update();
    }
    virtual void environmentChanged(KitEnvironmentKey) {
        updateGeometry();
        update();
    }

    // The palette carries the colour scheme: views that derive colours from it refresh them here.
    virtual void paletteChanged() {}
    // Views that look up texts of their own (the kit's labels) in the widget's locale redo it here.
    virtual void localeChanged() {}

    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::PaletteChange) {
            paletteChanged();
        } else if (event->type() == QEvent::LocaleChange) {
            localeChanged();
        }
        QWidget::changeEvent(event);
    }

    bool event(QEvent* event) override {
        if (event->type() == KitEnvironmentChangeEvent::eventType()) {
            environmentChanged(static_cast<KitEnvironmentChangeEvent*>(event)->key());
            return true;
        }
        return QWidget::event(event);
    }

private:
    Props props_;
};

} // namespace corbel
