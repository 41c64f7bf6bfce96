#include "corbel/ui/UpdateCard.hpp"

#include "corbel/ui/BrandEquality.hpp"
#include "corbel/ui/BrandPalette.hpp"
#include "corbel/ui/CorbelMetrics.hpp"
#include "corbel/ui/FirstBaseline.hpp"
#include "corbel/ui/KitButton.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/KitLabels.hpp"
#include "corbel/ui/QtWorkarounds.hpp"
#include "corbel/ui/SymbolView.hpp"
#include "corbel/ui/TextLabel.hpp"

#include <QDesktopServices>
#include <QHBoxLayout>
#include <QPainter>
#include <QVBoxLayout>

namespace corbel {
namespace {

// The gap between a label's icon and its title.
constexpr qreal labelIconGap = 6;

} // namespace

bool UpdateCardProps::operator==(const UpdateCardProps& other) const {
    return sameBrand(brand, other.brand) && update == other.update;
}

UpdateCard::UpdateCard(Props props, QWidget* parent)
    : KitView(std::move(props), parent), openUrl_([](const QUrl& url) { QDesktopServices::openUrl(url); }) {
    const int padding = static_cast<int>(CorbelMetrics::cardPadding);
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(padding, padding, padding, padding);
    column->setSpacing(static_cast<int>(CorbelMetrics::row));

    auto* label = new BaselineRow(labelIconGap);
    symbol_ = new SymbolView(
        {.name = QStringLiteral("arrow.down.circle"), .role = CorbelFont::detailSemibold}, this);
    title_ = new TextLabel({.role = CorbelFont::detailSemibold}, this);
    label->addWidget(symbol_);
    label->addWidget(title_);
    label->addStretch();
    column->addLayout(label);

    // Wraps onto as many lines as it needs: never cut short.
    instructions_ = new TextLabel({.role = CorbelFont::detail}, this);
    column->addWidget(instructions_);

    auto* buttons = new QHBoxLayout;
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->setSpacing(static_cast<int>(CorbelMetrics::row));
    download_ = new KitButton({.style = ButtonStyle::bordered, .size = ControlSize::small}, this);
    notNow_ = new KitButton({.style = ButtonStyle::bordered, .size = ControlSize::small}, this);
    // "Download" leaves the offer in place: only the notifier removes the card.
    download_->setAction([this] {
        if (openUrl_) {
            openUrl_(this->props().update.download);
        }
    });
    notNow_->setAction([this] {
        if (setAside_) {
            setAside_();
        }
    });
    buttons->addWidget(download_, 0, Qt::AlignVCenter);
    buttons->addWidget(notNow_, 0, Qt::AlignVCenter);
    buttons->addStretch();
    column->addLayout(buttons);

    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    refresh();
}

void UpdateCard::setSetAside(std::function<void()> setAside) {
    setAside_ = std::move(setAside);
}

void UpdateCard::setOpenUrl(std::function<void(const QUrl&)> openUrl) {
    openUrl_ = std::move(openUrl);
}

QString UpdateCard::accessibleLabel() const {
    return title_->props().text;
}

void UpdateCard::refresh() {
    const ColorScheme scheme = schemeOf(palette());
    const bool contrast = KitEnvironment::values(*this).increasedContrast;
    const QLocale here = locale();

    SymbolView::Props symbol = symbol_->props();
    symbol.color = props().brand.accent(scheme);
    symbol_->setProps(symbol);
    TextLabel::Props title = title_->props();
    title.text = kitLabel(KitLabel::versionIsHere, here).arg(QString::fromStdString(props().update.version));
    title_->setProps(title);
    TextLabel::Props instructions = instructions_->props();
    instructions.text = kitLabel(KitLabel::updateInstructions, here);
    instructions.color = BrandPalette::support(scheme, contrast);
    instructions_->setProps(instructions);

    KitButton::Props download = download_->props();
    download.title = kitLabel(KitLabel::download, here);
    download_->setProps(download);
    KitButton::Props notNow = notNow_->props();
    notNow.title = kitLabel(KitLabel::notNow, here);
    notNow_->setProps(notNow);
    update();
}

void UpdateCard::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(
        BrandPalette::card(schemeOf(palette()), KitEnvironment::values(*this).increasedContrast));
    painter.drawRoundedRect(rect(), CorbelMetrics::cardRadius, CorbelMetrics::cardRadius);
}

void UpdateCard::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LocaleChange) {
        refresh();
    }
    KitView::changeEvent(event);
}

void UpdateCard::paletteChanged() {
    refresh();
}

void UpdateCard::propsChanged() {
    refresh();
}

void UpdateCard::environmentChanged(KitEnvironmentKey) {
    refresh();
}

} // namespace corbel
