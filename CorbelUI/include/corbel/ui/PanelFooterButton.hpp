#pragma once
// A round icon button of the tray panel's footer: a kit button whose symbol sits on a faint disc
// that darkens under the pointer. It shows no text; its title is its tooltip and its accessibility
// name. It tells its owner when it gains or loses keyboard focus, and that it lost it when it
// disappears. Main thread only.

#include "corbel/ui/KitButton.hpp"

#include <functional>

namespace corbel {

class PanelFooterButton : public KitButton {
public:
    // `title` names the button; `symbol` is drawn on the disc.
    PanelFooterButton(QString title, QString symbol, QWidget* parent = nullptr);

    void setFocusChanged(std::function<void(bool)> focusChanged);

    bool isHovered() const noexcept { return hovered_; }

    QSize sizeHint() const override;

protected:
    void propsChanged() override;
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void setFocused(bool focused);

    std::function<void(bool)> focusChanged_;
    bool hovered_ = false;
    bool focused_ = false;
};

} // namespace corbel
