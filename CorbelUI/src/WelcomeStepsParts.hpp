#pragma once
// The small drawn pieces of the step-by-step welcome: the step's badge and the counter's dots.
// Decoration: accessibility tools never see them.

#include "corbel/ui/KitAccessibility.hpp"

#include <QColor>
#include <QWidget>

#include <optional>
#include <vector>

namespace corbel {

// Which dots the counter highlights: one dot per step, at least one, and only the current step's.
std::vector<bool> welcomeStepDots(int step, int stepCount);

// The step's number on a faint circle of the accent, or a checkmark in the done colour once the
// step is done, in a 24-pixel square.
class StepBadge final : public QWidget, public KitAccessibleView {
public:
    struct State {
        int step = 1;
        bool isDone = false;
        QColor accent{};
        QColor doneColor{};
        double textSizeFactor = 1;

        bool operator==(const State&) const = default;
    };

    explicit StepBadge(QWidget* parent = nullptr);

    const State& state() const noexcept { return state_; }
    void setState(State state);
    // The fill behind the number; none once done.
    std::optional<QColor> circleColor() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    bool accessibleHidden() const override { return true; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    State state_;
};

class StepDots final : public QWidget, public KitAccessibleView {
public:
    struct State {
        std::vector<bool> dots;
        QColor current{};
        QColor other{};

        bool operator==(const State&) const = default;
    };

    static constexpr int side = 8;
    static constexpr int gap = 8;

    explicit StepDots(QWidget* parent = nullptr);

    const State& state() const noexcept { return state_; }
    void setState(State state);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }
    bool accessibleHidden() const override { return true; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    State state_;
};

} // namespace corbel
