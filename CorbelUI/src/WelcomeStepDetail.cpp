#include "corbel/ui/WelcomeStepDetail.hpp"

#include "corbel/ui/CorbelFont.hpp"
#include "corbel/ui/KitEnvironment.hpp"

#include <QVBoxLayout>

namespace corbel {

WelcomeStepDetail::WelcomeStepDetail(Props props, std::vector<QWidget*> content, QWidget* parent)
    : KitView(std::move(props), parent) {
    auto* stack = new QVBoxLayout(this);
    stack->setContentsMargins(leadingInset, 0, 0, bottomInset);
    for (QWidget* widget : content) {
        stack->addWidget(widget);
    }
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    refresh();
}

void WelcomeStepDetail::refresh() {
    layout()->setSpacing(qRound(props().spacing));
    setCorbelFont(*this, CorbelFont::support, KitEnvironment::values(*this).textSizeFactor);
    updateGeometry();
}

void WelcomeStepDetail::propsChanged() {
    refresh();
}

void WelcomeStepDetail::environmentChanged(KitEnvironmentKey) {
    refresh();
}

} // namespace corbel
