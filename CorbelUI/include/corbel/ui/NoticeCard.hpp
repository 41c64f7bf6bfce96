#pragma once
// A warning-tinted card for a problem the user must act on: a symbol and a title, a message that
// wraps to its full height, and a row of action buttons.

#include "corbel/ui/KitAccessibility.hpp"
#include "corbel/ui/KitView.hpp"

#include <QString>

#include <vector>

namespace corbel {

class SymbolView;
class TextLabel;

struct NoticeCardProps {
    QString symbol{};
    QString title{};
    QString message{};

    bool operator==(const NoticeCardProps&) const = default;
};

class NoticeCard : public KitView<NoticeCardProps>, public KitAccessibleView {
public:
    // The actions are shown in order, owned by the card; kit buttons among them take the bordered
    // style at the small size.
    explicit NoticeCard(Props props, std::vector<QWidget*> actions = {}, QWidget* parent = nullptr);

    QAccessible::Role accessibleRole() const override { return QAccessible::Grouping; }
    QString accessibleLabel() const override { return props().title; }

protected:
    void propsChanged() override;
    void environmentChanged(KitEnvironmentKey key) override;
    void paintEvent(QPaintEvent* event) override;
    void paletteChanged() override;

private:
    void refresh();

    SymbolView* symbol_;
    TextLabel* title_;
    TextLabel* message_;
};

} // namespace corbel
