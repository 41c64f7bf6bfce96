#include "corbel/ui/WelcomeLayout.hpp"

#include "DefaultActionKeys.hpp"
#include "corbel/ui/AppIcon.hpp"
#include "corbel/ui/Cards.hpp"
#include "corbel/ui/CorbelMetrics.hpp"
#include "corbel/ui/KitButton.hpp"
#include "corbel/ui/KitColors.hpp"
#include "corbel/ui/KitLabels.hpp"
#include "corbel/ui/KitSwitch.hpp"
#include "corbel/ui/LoginItem.hpp"
#include "corbel/ui/PrivacyLine.hpp"
#include "corbel/ui/QtWorkarounds.hpp"
#include "corbel/ui/TextLabel.hpp"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace corbel {

WelcomeLayout::WelcomeLayout(Props props, CorbelBrand brand, std::vector<QWidget*> permissions,
                             std::vector<QWidget*> extra, QWidget* parent)
    : KitView(std::move(props), parent), brand_(std::move(brand)) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(layoutPadding, layoutPadding, layoutPadding, layoutPadding);
    column->setSpacing(qRound(CorbelMetrics::section));

    column->addWidget(new AppIcon({.size = CorbelMetrics::welcomeIcon}, this), 0, Qt::AlignHCenter);

    auto* headline = new QVBoxLayout;
    headline->setContentsMargins(0, 0, 0, 0);
    headline->setSpacing(qRound(CorbelMetrics::row));
    title_ = new TextLabel({.role = CorbelFont::welcomeTitle, .alignment = Qt::AlignHCenter}, this);
    subtitle_ = new TextLabel({.role = CorbelFont::support, .alignment = Qt::AlignHCenter}, this);
    headline->addWidget(title_);
    headline->addWidget(subtitle_);
    column->addLayout(headline);

    // Each extra widget stands in the column itself: a wrapper would add spacing of its own.
    for (QWidget* widget : extra) {
        column->addWidget(widget);
    }

    card_ = new GlassCard({.spacing = CorbelMetrics::spacing}, std::move(permissions), this);
    column->addWidget(card_);

    auto* privacy = new QVBoxLayout;
    privacy->setContentsMargins(0, 0, 0, 0);
    privacy->setSpacing(qRound(CorbelMetrics::tight));
    privacyLine_ = new PrivacyLine({}, this);
    ownPrivacyLine_ = new PrivacyLine({}, this);
    privacy->addWidget(privacyLine_);
    privacy->addWidget(ownPrivacyLine_);
    column->addLayout(privacy);

    auto* bottom = new QHBoxLayout;
    bottom->setContentsMargins(0, 0, 0, 0);
    bottom->setSpacing(qRound(CorbelMetrics::spacing));
    auto* toggle = new QHBoxLayout;
    toggle->setContentsMargins(0, 0, 0, 0);
    toggle->setSpacing(qRound(CorbelMetrics::row));
    loginLabel_ =
        new TextLabel({.role = CorbelFont::support, .lineLimit = 1, .accessibilityHidden = true}, this);
    loginLabel_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    loginSwitch_ = new KitSwitch({.size = ControlSize::small}, this);
    toggle->addWidget(loginLabel_, 0, Qt::AlignVCenter);
    toggle->addWidget(loginSwitch_, 0, Qt::AlignVCenter);
    bottom->addLayout(toggle);
    bottom->addStretch();
    start_ = new KitButton({.style = ButtonStyle::glassProminent, .size = ControlSize::large}, this);
    start_->setAction([this] { runStart(); });
    attachFocusRing(*start_, start_->ringShape());
    attachFocusRing(*loginSwitch_, KitSwitch::ringShape());
    bottom->addWidget(start_, 0, Qt::AlignVCenter);
    column->addLayout(bottom);

    login_.emplace([this] { refresh(); });
    loginSwitch_->setOnToggle([this](bool enabled) { login_->setEnabled(enabled); });

    defaultKeys_ = new DefaultActionKeys(*this, [this] { runStart(); });

    QSizePolicy policy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setFixedWidth(layoutWidth);
    refresh();
}

WelcomeLayout::~WelcomeLayout() = default;

QSize WelcomeLayout::sizeHint() const {
    return {layoutWidth, heightForWidth(layoutWidth)};
}

void WelcomeLayout::setStart(std::function<void()> start) {
    startAction_ = std::move(start);
}

void WelcomeLayout::runStart() {
    if (startAction_) {
        startAction_();
    }
}

void WelcomeLayout::refresh() {
    const ColorScheme scheme = schemeOf(palette());
    const QLocale shown = locale();

    TextLabel::Props title = title_->props();
    title.text = props().title;
    title_->setProps(title);
    TextLabel::Props subtitle = subtitle_->props();
    subtitle.text = props().subtitle;
    subtitle.color = systemColor(SystemColor::secondaryLabel, scheme);
    subtitle_->setProps(subtitle);

    const PrivacyStatement statement = brand_.privacyLine();
    privacyLine_->setProps({.text = kitLabel(statement.text, shown),
                            .symbol = QString::fromUtf8(statement.symbol.data(),
                                                        static_cast<qsizetype>(statement.symbol.size()))});
    ownPrivacyLine_->setProps({.text = props().privacy, .symbol = props().privacySymbol});

    const QString openAtLogin = kitLabel(KitLabel::openAtLogin, shown);
    TextLabel::Props label = loginLabel_->props();
    label.text = openAtLogin;
    loginLabel_->setProps(label);
    KitSwitch::Props toggle = loginSwitch_->props();
    toggle.isOn = login_->isEnabled();
    toggle.tint = brand_.color();
    toggle.title = openAtLogin;
    loginSwitch_->setProps(toggle);

    KitButton::Props start = start_->props();
    start.title = kitLabel(KitLabel::getStarted, shown);
    start.tint = brand_.color();
    start.labelColor = brand_.buttonLabelColor();
    start_->setProps(start);
}

void WelcomeLayout::propsChanged() {
    refresh();
}

void WelcomeLayout::paletteChanged() {
    refresh();
}

void WelcomeLayout::showEvent(QShowEvent* event) {
    // A change made elsewhere while the window was closed shows now; an unchanged state notifies
    // nobody.
    login_->refresh();
    KitView::showEvent(event);
}

} // namespace corbel
