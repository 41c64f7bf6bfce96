#pragma once
// The kit's two card containers: a column of content at the leading edge, padded by 12, as wide as
// the card is offered, on a rounded fill. PanelCard fills with the brand's card colour, GlassCard
// with flat glass and a hairline edge.

#include "corbel/ui/KitAccessibility.hpp"
#include "corbel/ui/KitView.hpp"

#include <vector>

class QVBoxLayout;

namespace corbel {

struct CardProps {
    qreal spacing = 0; // between the content's widgets

    bool operator==(const CardProps&) const = default;
};

class Card : public KitView<CardProps>, public KitAccessibleView {
public:
    enum class Fill {
        panel,
        glass,
    };

    // Owns the content, stacked in order. A widget whose size policy expands horizontally when it is
    // added takes the full width; any other keeps its preferred width at the leading edge.
    Card(Fill fill, Props props, std::vector<QWidget*> content, QWidget* parent = nullptr);

    Fill fill() const noexcept { return fill_; }

    QAccessible::Role accessibleRole() const override { return QAccessible::Grouping; }

protected:
    void propsChanged() override;
    void paintEvent(QPaintEvent* event) override;

private:
    Fill fill_;
    QVBoxLayout* column_;
};

class PanelCard : public Card {
public:
    explicit PanelCard(Props props, std::vector<QWidget*> content = {}, QWidget* parent = nullptr)
        : Card(Fill::panel, props, std::move(content), parent) {}
};

class GlassCard : public Card {
public:
    explicit GlassCard(Props props, std::vector<QWidget*> content = {}, QWidget* parent = nullptr)
        : Card(Fill::glass, props, std::move(content), parent) {}
};

} // namespace corbel
