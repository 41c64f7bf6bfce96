#pragma once
// The kit's push button, drawn by the kit in the styles the views name. Its title is plain text:
// an "&" shows as itself and marks no mnemonic.

#include "corbel/ui/BrandFocus.hpp"
#include "corbel/ui/ControlSize.hpp"
#include "corbel/ui/CorbelFont.hpp"
#include "corbel/ui/FirstBaseline.hpp"
#include "corbel/ui/KitAccessibility.hpp"
#include "corbel/ui/KitView.hpp"

#include <QColor>
#include <QPalette>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

class QPainter;
class QRectF;

namespace corbel {

enum class ButtonStyle {
    plain,          // the label alone
    bordered,       // a faint rounded fill
    glass,          // a flat glass capsule with a hairline edge
    glassProminent, // a capsule filled with the tint
};

// The fill behind a button's label and the label's colour, shared by the kit's button-like controls.
void paintButtonBackground(QPainter& painter, const QRectF& rect, ButtonStyle style, ControlSize size,
                           const QColor& tint, const QPalette& palette, bool hovered, bool pressed);
QColor buttonLabelColor(ButtonStyle style, const QColor& tint, const QPalette& palette);
RingShape buttonRingShape(ButtonStyle style, ControlSize size);
// A label's lines at a width: one while it fits, else broken between words, never inside one (a
// word wider than the line is elided). A button given less room than it asks for wraps its label
// rather than cutting it, as at the largest text sizes, in a font shrunk so its words fit.
QStringList buttonLabelLines(const QFont& font, const QString& text, qreal width);

struct KitButtonProps {
    QString title{};
    QString symbol{}; // a symbol name drawn before the title, or empty
    ButtonStyle style = ButtonStyle::bordered;
    ControlSize size = ControlSize::regular;
    std::optional<QColor> tint{};       // none: the palette's Highlight
    std::optional<CorbelFont> role{};   // none: the size's role
    std::optional<QColor> labelColor{}; // none: decided by the style

    bool operator==(const KitButtonProps&) const = default;
};

class KitButton : public KitView<KitButtonProps>, public FirstBaselineView, public KitAccessibleView {
public:
    explicit KitButton(Props props, QWidget* parent = nullptr);

    // Runs on a click released inside the button and on Space or Return while it has focus.
    void setAction(std::function<void()> action);

    RingShape ringShape() const;

    QSize sizeHint() const override;
    // As narrow as its widest word: a layout that must squeeze the button may wrap its label.
    QSize minimumSizeHint() const override;
    // The size hint's height while the label fits on one line; taller by the lines it wraps onto.
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    qreal firstBaseline(int width) const override;

    QAccessible::Role accessibleRole() const override { return QAccessible::Button; }
    QString accessibleLabel() const override { return props().title; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QFont labelFont() const;
    QFont wrappedLabelFont(qreal room) const; // the label's font when it wraps in `room`
    qreal baselineAt(int height) const;

    std::function<void()> action_;
    bool hovered_ = false;
    bool pressed_ = false;
};

} // namespace corbel
