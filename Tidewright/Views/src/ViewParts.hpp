#pragma once
// Pieces the preferences and the welcome share and hosts never see.

#include "corbel/ui/KitAccessibility.hpp"

#include <QBoxLayout>
#include <QIcon>
#include <QLayout>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

namespace tidewright::views {

// Layouts with no margins and their spacing said outright.
QBoxLayout* bareLayout(QBoxLayout::Direction direction, QWidget* owner, int spacing);

// A plain container that accessibility tools read through, or as one element, or not at all.
class Container : public QWidget, public corbel::KitAccessibleView {
public:
    enum class Reading {
        children,
        combined, // one element with `label` and `value`
        hidden,
    };

    explicit Container(QWidget* parent = nullptr) : QWidget(parent) {}

    void setReading(Reading reading) { reading_ = reading; }
    void setTexts(QString label, QString value = {}) {
        label_ = std::move(label);
        value_ = std::move(value);
    }

    bool accessibleCombinesChildren() const override { return reading_ == Reading::combined; }
    bool accessibleHidden() const override { return reading_ == Reading::hidden; }
    QString accessibleLabel() const override { return label_; }
    QString accessibleValue() const override { return value_; }

private:
    Reading reading_ = Reading::children;
    QString label_;
    QString value_;
};

// Puts `order` into `layout` in that order, as its only items, showing them; children the list
// leaves out are hidden. Widgets keep their identity, and with it focus and hover.
void placeInOrder(QBoxLayout& layout, const std::vector<QWidget*>& order);

// Two widgets side by side (centred, `spacing` apart) when both fit the width, else one under the
// other at the leading edge: the first arrangement that fits.
class FirstFitLayout : public QLayout {
public:
    FirstFitLayout(QWidget* owner, int spacing);
    ~FirstFitLayout() override;

    // Whether the width makes them stand one under the other.
    bool stacksAt(int width) const;

    void addItem(QLayoutItem* item) override;
    int count() const override { return static_cast<int>(items_.size()); }
    QLayoutItem* itemAt(int index) const override;
    QLayoutItem* takeAt(int index) override;
    QSize sizeHint() const override;
    QSize minimumSize() const override;
    Qt::Orientations expandingDirections() const override { return {}; }
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    void setGeometry(const QRect& rect) override;

private:
    int sideBySideWidth() const;

    std::vector<QLayoutItem*> items_;
    int spacing_;
};

// An application's icon in a square, or clear space of the same size when there is none.
class IconFrame : public QWidget, public corbel::KitAccessibleView {
public:
    IconFrame(int side, QWidget* parent = nullptr);

    void setIcon(std::optional<QIcon> icon);
    const std::optional<QIcon>& icon() const noexcept { return icon_; }

    QSize sizeHint() const override { return {side_, side_}; }
    bool accessibleHidden() const override { return true; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int side_;
    std::optional<QIcon> icon_;
};

} // namespace tidewright::views
