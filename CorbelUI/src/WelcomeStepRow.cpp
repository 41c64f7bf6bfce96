#include "corbel/ui/WelcomeStepRow.hpp"

#include "LayoutSettling.hpp"
#include "WelcomeButton.hpp"
#include "corbel/ui/BrandPalette.hpp"
#include "corbel/ui/CorbelMetrics.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/QtWorkarounds.hpp"
#include "corbel/ui/SymbolView.hpp"
#include "corbel/ui/TextLabel.hpp"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace corbel {
namespace {

constexpr int rowPadding = 12;
constexpr int iconGap = 12;
constexpr int columnSpacing = 8;
constexpr int actionInset = 4;

QVBoxLayout* column(QWidget* owner, int spacing) {
    auto* layout = new QVBoxLayout(owner);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(spacing);
    return layout;
}

} // namespace

QStringView welcomeStepSymbol(WelcomeStepState state) noexcept {
    switch (state) {
    case WelcomeStepState::todo:
        return u"circle";
    case WelcomeStepState::done:
        return u"checkmark.circle.fill";
    case WelcomeStepState::attention:
        break;
    }
    return u"exclamationmark.triangle";
}

QColor welcomeStepColor(WelcomeStepState state, ColorScheme scheme, bool increasedContrast) {
    switch (state) {
    case WelcomeStepState::todo:
        return BrandPalette::support(scheme, increasedContrast);
    case WelcomeStepState::done:
        return PrivacyGreen::color(scheme);
    case WelcomeStepState::attention:
        break;
    }
    return BrandPalette::warning(scheme, increasedContrast);
}

WelcomeStepRow::WelcomeStepRow(Props props, CorbelBrand brand, std::vector<QWidget*> detail, QWidget* parent)
    : KitView(std::move(props), parent), brand_(std::move(brand)) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, rowPadding, 0, rowPadding);
    row->setSpacing(iconGap);

    icon_ = new SymbolView({.role = CorbelFont::support, .frameWidth = CorbelMetrics::symbolColumn}, this);
    row->addWidget(icon_, 0, Qt::AlignTop);

    auto* texts = new QWidget(this);
    QVBoxLayout* stack = column(texts, columnSpacing);
    celebration_ = new TextLabel({.role = CorbelFont::supportSemibold}, texts);
    stack->addWidget(celebration_);
    detail_ = new QWidget(texts);
    QVBoxLayout* details = column(detail_, 0);
    for (QWidget* widget : detail) {
        details->addWidget(widget);
    }
    stack->addWidget(detail_);
    actionBox_ = new QWidget(texts);
    auto* actionRow = new QHBoxLayout(actionBox_);
    actionRow->setContentsMargins(0, actionInset, 0, 0);
    actionRow->setSpacing(0);
    action_ = new WelcomeButton(false, *actionBox_);
    actionRow->addWidget(action_);
    actionRow->addStretch();
    stack->addWidget(actionBox_);
    row->addWidget(texts, 1);

    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    refresh();
}

WelcomeStepRow::~WelcomeStepRow() = default;

bool WelcomeStepRow::showsCelebration() const {
    return props().state == WelcomeStepState::done && props().celebration.has_value();
}

bool WelcomeStepRow::showsAction() const {
    return props().state != WelcomeStepState::done && props().action.has_value();
}

void WelcomeStepRow::refresh() {
    const ColorScheme scheme = schemeOf(palette());
    const KitEnvironmentValues environment = KitEnvironment::values(*this);
    const bool contrast = environment.increasedContrast;

    SymbolView::Props icon = icon_->props();
    icon.name = welcomeStepSymbol(props().state).toString();
    icon.color = welcomeStepColor(props().state, scheme, contrast);
    icon_->setProps(icon);

    TextLabel::Props celebration = celebration_->props();
    celebration.text = props().celebration.value_or(QString());
    celebration.color = PrivacyGreen::color(scheme);
    celebration_->setProps(celebration);
    celebration_->setVisible(showsCelebration());

    // Kit text in the detail takes the support colour unless it names its own.
    QPalette detailPalette = detail_->palette();
    const QColor support = BrandPalette::support(scheme, contrast);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        detailPalette.setColor(group, QPalette::WindowText, support);
        detailPalette.setColor(group, QPalette::Text, support);
    }
    detail_->setPalette(detailPalette);
    setCorbelFont(*detail_, CorbelFont::support, environment.textSizeFactor);

    if (props().action) {
        action_->setDescriptor(*props().action, brand_);
    }
    actionBox_->setVisible(showsAction());
    settleLayouts(*this);
    updateGeometry();
    update();
}

void WelcomeStepRow::propsChanged() {
    refresh();
}

void WelcomeStepRow::environmentChanged(KitEnvironmentKey) {
    refresh();
}

void WelcomeStepRow::paletteChanged() {
    refresh();
}

} // namespace corbel
