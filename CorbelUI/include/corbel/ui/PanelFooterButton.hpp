#pragma once
// A round icon button of the tray panel's footer: a symbol on a faint disc that darkens under the
// pointer. It shows no text; its title is its tooltip and its accessibility name. It tells its owner
// when it gains or loses keyboard focus, and that it lost it when it disappears. Main thread only.

#include "corbel/ui/KitAccessibility.hpp"
#include "corbel/ui/KitView.hpp"

#include <QString>

#include <functional>

namespace corbel {

struct PanelFooterButtonProps {
    QString title{};
    QString symbol{};

    bool operator==(const PanelFooterButtonProps&) const = default;
};

class PanelFooterButton : public KitView<PanelFooterButtonProps>, public KitAccessibleView {
public:
    explicit PanelFooterButton(Props props, QWidget* parent = nullptr);

    // Runs on a click released inside the button and on Space or Return while it has focus.
    void setAction(std::function<void()> action);
    void setFocusChanged(std::function<void(bool)> focusChanged);

    bool isHovered() const noexcept { return hovered_; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

    QAccessible::Role accessibleRole() const override { return QAccessible::Button; }
    QString accessibleLabel() const override { return props().title; }

protected:
    void propsChanged() override;
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void setFocused(bool focused);

    std::function<void()> action_;
    std::function<void(bool)> focusChanged_;
    bool hovered_ = false;
    bool pressed_ = false;
    bool focused_ = false;
};

} // namespace corbel
