#pragma once
// The kit's one text view: plain text in a text role, wrapping to any width it is given (it answers
// heightForWidth), optionally limited to a number of lines with the last one elided, optionally
// shrinking its font to fit before it elides. It never interprets markup or mnemonics.

#include "corbel/ui/CorbelFont.hpp"
#include "corbel/ui/FirstBaseline.hpp"
#include "corbel/ui/KitAccessibility.hpp"
#include "corbel/ui/KitView.hpp"

#include <QColor>
#include <QFont>
#include <QString>

#include <optional>
#include <vector>

namespace corbel {

struct TextLabelProps {
    QString text{};
    CorbelFont role = CorbelFont::support;
    std::optional<QColor> color{}; // none: the palette's text colour
    int lineLimit = 0;             // 0: as many lines as the text needs
    // Below 1: before the line limit cuts the text, the font may shrink down to this share.
    double minimumScaleFactor = 1;
    Qt::Alignment alignment = Qt::AlignLeft;
    bool accessibilityHidden = false;

    bool operator==(const TextLabelProps&) const = default;
};

class TextLabel : public KitView<TextLabelProps>, public FirstBaselineView, public KitAccessibleView {
public:
    explicit TextLabel(Props props, QWidget* parent = nullptr);

    // The lines shown at `width` and the font they are drawn in.
    struct Lines {
        QFont font;
        std::vector<QString> texts;
        qreal lineSpacing = 0;
        qreal ascent = 0;
        int height = 0;
    };
    Lines linesAt(int width) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override;
    int heightForWidth(int width) const override;
    qreal firstBaseline(int width) const override;

    QAccessible::Role accessibleRole() const override { return QAccessible::StaticText; }
    QString accessibleLabel() const override { return props().text; }
    bool accessibleHidden() const override { return props().accessibilityHidden; }

protected:
    void propsChanged() override;
    void environmentChanged(KitEnvironmentKey key) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QFont baseFont() const;
};

} // namespace corbel
