#pragma once
// A button (glass unless told otherwise) that shows the current choice and opens a menu of exclusive options, one checked.
// Option texts are plain: an "&" shows as itself.

#include "corbel/ui/BrandFocus.hpp"
#include "corbel/ui/ControlSize.hpp"
#include "corbel/ui/KitButton.hpp"
#include "corbel/ui/KitAccessibility.hpp"
#include "corbel/ui/KitView.hpp"

#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class QMenu;

namespace corbel {

// An entry of the menu after the exclusive options: a button, a text that only informs (shown
// disabled, as a menu has no plain text), or a divider.
struct KitMenuEntry {
    enum class Kind {
        button,
        text,
        divider,
    };
    Kind kind = Kind::button;
    QString id{}; // what onEntry hears for a button
    QString text{};
    bool enabled = true;

    bool operator==(const KitMenuEntry&) const = default;
};

struct KitMenuButtonProps {
    QString title{};       // the button's label: the current choice's text, whether or not listed
    QStringList options{}; // distinct texts, in order
    int selected = -1;     // the checked option; none when outside the list
    ControlSize size = ControlSize::small;
    ButtonStyle style = ButtonStyle::glass; // the fill behind the label
    std::vector<KitMenuEntry> entries{};    // after the options
    // Other titles the button keeps room for, so that it keeps its width when its title changes.
    QStringList titleRoom{};

    bool operator==(const KitMenuButtonProps&) const = default;
};

class KitMenuButton : public KitView<KitMenuButtonProps>, public KitAccessibleView {
public:
    explicit KitMenuButton(Props props, QWidget* parent = nullptr);
    ~KitMenuButton() override;

    // Hears the index of the option the user chose.
    void setOnSelect(std::function<void(int)> onSelect);
    // Hears the id of the button entry the user chose, as the menu showed it.
    void setOnEntry(std::function<void(const QString&)> onEntry);

    // Opens the menu below the button. The menu shown, or null while none is.
    void openMenu();
    QMenu* menu() const { return menu_.data(); }

    RingShape ringShape() const { return RingShape::capsule(); }

    QSize sizeHint() const override;
    // As narrow as its widest word: a layout that must squeeze the menu button may wrap its title.
    QSize minimumSizeHint() const override;
    // Given less width than it asks for, the title wraps and the button grows taller.
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

    QAccessible::Role accessibleRole() const override { return QAccessible::ButtonMenu; }
    QString accessibleLabel() const override { return props().title; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    std::function<void(int)> onSelect_;
    std::function<void(const QString&)> onEntry_;
    QPointer<QMenu> menu_;
};

// A text as an action or menu text shows it: "&" doubled so that it marks no mnemonic.
QString actionText(const QString& text);

} // namespace corbel
