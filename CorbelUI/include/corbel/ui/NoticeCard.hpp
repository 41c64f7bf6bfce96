#pragma once
// A warning-tinted card for a problem the user must act on: a symbol and a title, a message that
// wraps to its full height, and a row of action buttons.

#include "corbel/ui/KitAccessibility.hpp"

#include <QString>
#include <QWidget>

#include <vector>

namespace corbel {

class SymbolView;
class TextLabel;

class NoticeCard : public QWidget, public KitAccessibleView {
public:
    struct Props {
        QString symbol{};
        QString title{};
        QString message{};

        bool operator==(const Props&) const = default;
    };

    // The actions are shown in order, owned by the card; kit buttons among them take the bordered
    // style at the small size.
    explicit NoticeCard(Props props, std::vector<QWidget*> actions = {}, QWidget* parent = nullptr);

    const Props& props() const noexcept { return props_; }
    void setProps(Props props);

    QAccessible::Role accessibleRole() const override { return QAccessible::Grouping; }
    QString accessibleLabel() const override { return props_.title; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool event(QEvent* event) override;

private:
    void refresh();

    Props props_;
    SymbolView* symbol_;
    TextLabel* title_;
    TextLabel* message_;
};

} // namespace corbel
