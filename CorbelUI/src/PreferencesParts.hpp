#pragma once
// Pieces the preferences rows and layouts share and callers never see.

#include "corbel/ui/KitAccessibility.hpp"
#include "corbel/ui/TextLabel.hpp"

#include <QWidget>

#include <functional>

namespace corbel::preferences {

// A text read as a heading.
class HeadingLabel : public TextLabel {
public:
    using TextLabel::TextLabel;

    QAccessible::Role accessibleRole() const override { return QAccessible::Heading; }
};

// A plain container that accessibility tools see as one element, or pass through, or skip.
class Stack : public QWidget, public KitAccessibleView {
public:
    enum class Reading {
        children, // a container whose visible children are read on their own
        combined, // one element named by `label`
        hidden,   // left out
    };

    explicit Stack(QWidget* parent = nullptr) : QWidget(parent) {}

    void setReading(Reading reading) { reading_ = reading; }
    void setLabel(std::function<QString()> label) { label_ = std::move(label); }

    bool accessibleCombinesChildren() const override { return reading_ == Reading::combined; }
    bool accessibleHidden() const override { return reading_ == Reading::hidden; }
    QString accessibleLabel() const override { return label_ ? label_() : QString(); }

private:
    Reading reading_ = Reading::children;
    std::function<QString()> label_;
};

// Texts joined as a combined element reads them: with a comma, empty ones left out.
QString joinedForReading(std::initializer_list<QString> texts);

} // namespace corbel::preferences
