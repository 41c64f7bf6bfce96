#pragma once
// Explanatory content under a welcome step, indented past the step's icon: a column with the
// caller's spacing in the support text role.

#include "corbel/ui/KitView.hpp"

#include <QtGlobal>

#include <vector>

namespace corbel {

struct WelcomeStepDetailProps {
    qreal spacing = 0;

    bool operator==(const WelcomeStepDetailProps&) const = default;
};

class WelcomeStepDetail : public KitView<WelcomeStepDetailProps> {
public:
    // The content widgets are shown in order and owned by the detail.
    WelcomeStepDetail(Props props, std::vector<QWidget*> content, QWidget* parent = nullptr);

    static constexpr int leadingInset = 32;
    static constexpr int bottomInset = 12;

protected:
    void propsChanged() override;
    void environmentChanged(KitEnvironmentKey key) override;

private:
    void refresh();
};

} // namespace corbel
