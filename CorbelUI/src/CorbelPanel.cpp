#include "corbel/ui/CorbelPanel.hpp"

#include "corbel/ui/AppIcon.hpp"
#include "corbel/ui/BrandBackground.hpp"
#include "corbel/ui/BrandEquality.hpp"
#include "corbel/ui/BrandPalette.hpp"
#include "corbel/ui/CorbelMetrics.hpp"
#include "corbel/ui/CorbelSnapshot.hpp"
#include "corbel/ui/KitColors.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/KitLabels.hpp"
#include "corbel/ui/KitSwitch.hpp"
#include "corbel/ui/LoginItem.hpp"
#include "corbel/ui/PanelFooterButton.hpp"
#include "corbel/ui/PrivacyLine.hpp"
#include "corbel/ui/QtWorkarounds.hpp"
#include "corbel/ui/SampleUpdateNotifier.hpp"
#include "corbel/ui/TextLabel.hpp"
#include "corbel/ui/UpdateCard.hpp"

#include <QHBoxLayout>
#include <QPainter>
#include <QShortcut>
#include <QTextDocument>
#include <QVBoxLayout>

namespace corbel {

// The status dot: a circle of the dot colour.
class CorbelPanel::StatusDot : public QWidget, public KitAccessibleView {
public:
    explicit StatusDot(QWidget* parent) : QWidget(parent) {
        const int side = static_cast<int>(CorbelMetrics::statusDot);
        setFixedSize(side, side);
    }
    void setColor(const QColor& color) {
        if (color != color_) {
            color_ = color;
            update();
        }
    }
    bool accessibleHidden() const override { return true; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(color_);
        painter.drawEllipse(QRectF(rect()));
    }

private:
    QColor color_;
};

namespace {

// The brand's gradient behind everything; decoration that tools never see.
class PanelBackground : public BrandBackground, public KitAccessibleView {
public:
    using BrandBackground::BrandBackground;
    bool accessibleHidden() const override { return true; }
};

// A hairline across the footer in the separator colour.
class Divider : public QWidget, public KitAccessibleView {
public:
    explicit Divider(QWidget* parent) : QWidget(parent) {
        setFixedHeight(1);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }
    bool accessibleHidden() const override { return true; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.fillRect(rect(), systemColor(SystemColor::separator, schemeOf(palette()),
                                             KitEnvironment::values(*this).increasedContrast));
    }
};

QString plainToolTip(const QString& text) {
    return Qt::convertFromPlainText(text, Qt::WhiteSpaceNormal);
}

constexpr int minimumSwitchSide = 44;

KitButton::Props footerButton(QString title, QString symbol) {
    return {.title = std::move(title), .symbol = std::move(symbol), .style = ButtonStyle::plain};
}

} // namespace

bool CorbelPanelProps::operator==(const CorbelPanelProps& other) const {
    return sameBrand(brand, other.brand) && status == other.status && dot == other.dot &&
           isOn == other.isOn && privacy == other.privacy && privacySymbol == other.privacySymbol &&
           refreshLoginItemOnAppear == other.refreshLoginItemOnAppear &&
           isSwitchEnabled == other.isSwitchEnabled;
}

QString CorbelPanel::versionCaption(const QString& version) {
    return QStringLiteral("Corbel Thane (") + (version.isEmpty() ? QStringLiteral("?") : version) +
           QLatin1Char(')');
}

const QString& CorbelPanel::applicationVersion() {
    // A function-local static is initialised once, safely from any thread.
    static const QString version = QCoreApplication::applicationVersion();
    return version;
}

CorbelPanel::CorbelPanel(Props props, CorbelPanelActions actions, std::vector<QWidget*> content,
                         QWidget* parent, const QStringList& arguments)
    : KitView(std::move(props), parent), actions_(std::move(actions)) {
    if (CorbelSnapshot::hasArgument(arguments, QStringLiteral("--snapshot-update"))) {
        sampleUpdate_ = std::make_unique<SampleUpdateNotifier>();
    }
    background_ = new PanelBackground({this->props().brand.color()}, this);
    background_->lower();

    const int padding = static_cast<int>(CorbelMetrics::panelPadding);
    column_ = new QVBoxLayout(this);
    column_->setContentsMargins(padding, padding, padding, padding);
    column_->setSpacing(static_cast<int>(CorbelMetrics::spacing));

    // Header: icon, name over the status line, and the switch at the trailing edge.
    auto* header = new QHBoxLayout;
    header->setSpacing(static_cast<int>(CorbelMetrics::group));
    header->addWidget(new AppIcon({CorbelMetrics::panelIcon}, this), 0, Qt::AlignVCenter);
    auto* titles = new QVBoxLayout;
    titles->setSpacing(static_cast<int>(CorbelMetrics::tight));
    name_ = new TextLabel({.role = CorbelFont::heading, .lineLimit = 1}, this);
    titles->addWidget(name_);
    auto* statusLine = new QHBoxLayout;
    statusLine->setSpacing(static_cast<int>(CorbelMetrics::tight));
    dot_ = new StatusDot(this);
    status_ = new TextLabel({.role = CorbelFont::detail, .lineLimit = 2}, this);
    statusLine->addWidget(dot_, 0, Qt::AlignVCenter);
    statusLine->addWidget(status_, 1, Qt::AlignVCenter);
    titles->addLayout(statusLine);
    header->addLayout(titles, 1);
    header->addSpacerItem(new QSpacerItem(static_cast<int>(CorbelMetrics::row), 0, QSizePolicy::Minimum));
    switch_ = new KitSwitch({}, this);
    switch_->setMinimumSize(minimumSwitchSide, minimumSwitchSide);
    switch_->setOnToggle([this](bool on) {
        if (actions_.setOn) {
            actions_.setOn(on);
        }
    });
    header->addWidget(switch_, 0, Qt::AlignVCenter);
    column_->addLayout(header);

    for (QWidget* widget : content) {
        widget->setParent(this);
        column_->addWidget(widget);
    }

    // Footer: a divider, the two privacy lines, then the caption and the round buttons.
    footer_ = new QVBoxLayout;
    footer_->setSpacing(static_cast<int>(CorbelMetrics::group));
    footer_->addWidget(new Divider(this));
    auto* privacyLines = new QVBoxLayout;
    privacyLines->setSpacing(static_cast<int>(CorbelMetrics::tight));
    // The footer's privacy lines are in the callout size, as the rest of the footer's small print.
    brandPrivacy_ = new PrivacyLine({.role = CorbelFont::detail}, this);
    privacy_ = new PrivacyLine({.role = CorbelFont::detail}, this);
    privacyLines->addWidget(brandPrivacy_);
    privacyLines->addWidget(privacy_);
    footer_->addLayout(privacyLines);
    footerRow_ = new QHBoxLayout;
    footerRow_->setSpacing(static_cast<int>(CorbelMetrics::row));
    caption_ =
        new TextLabel({.text = versionCaption(applicationVersion()), .role = CorbelFont::versionLine}, this);
    footerRow_->addWidget(caption_, 0, Qt::AlignVCenter);
    footerRow_->addStretch(1);
    guide_ = new PanelFooterButton({}, QStringLiteral("questionmark.circle"), this);
    guide_->setAction([this] {
        if (actions_.showGuide) {
            actions_.showGuide();
        }
    });
    quit_ = new PanelFooterButton({}, QStringLiteral("power"), this);
    const auto quit = [this] {
        if (actions_.quit) {
            actions_.quit();
        } else {
            QCoreApplication::quit();
        }
    };
    quit_->setAction(quit);
    footerRow_->addWidget(guide_, 0, Qt::AlignVCenter);
    footerRow_->addWidget(quit_, 0, Qt::AlignVCenter);
    footer_->addLayout(footerRow_);
    column_->addLayout(footer_);

    quitShortcut_ = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q), this);
    QObject::connect(quitShortcut_, &QShortcut::activated, this, quit);

    // The height follows the content; the width is the panel's.
    setFixedWidth(static_cast<int>(CorbelMetrics::panelWidth));
    QSizePolicy policy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);

    placeFooterButtons();
    followNotifier();
    refresh();
}

CorbelPanel::~CorbelPanel() = default;

void CorbelPanel::setActions(CorbelPanelActions actions) {
    actions_ = std::move(actions);
    placeFooterButtons();
}

void CorbelPanel::placeFooterButtons() {
    const bool wanted = static_cast<bool>(actions_.showPreferences);
    if (wanted && preferences_ == nullptr) {
        preferences_ = new PanelFooterButton({}, QStringLiteral("gearshape"), this);
        preferences_->setAction([this] {
            if (actions_.showPreferences) {
                actions_.showPreferences();
            }
        });
        footerRow_->insertWidget(footerRow_->indexOf(guide_), preferences_, 0, Qt::AlignVCenter);
        setTabOrder(preferences_, guide_);
        preferencesShortcut_ = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma), this);
        QObject::connect(preferencesShortcut_, &QShortcut::activated, this, [this] {
            if (actions_.showPreferences) {
                actions_.showPreferences();
            }
        });
        refresh();
    } else if (!wanted && preferences_ != nullptr) {
        delete preferences_;
        preferences_ = nullptr;
        delete preferencesShortcut_;
        preferencesShortcut_ = nullptr;
    }
    if (preferences_ != nullptr) {
        preferences_->setFocusChanged([this](bool focused) {
            if (actions_.preferencesFocusChanged) {
                actions_.preferencesFocusChanged(focused);
            }
        });
    }
}

QSize CorbelPanel::sizeHint() const {
    const int width = static_cast<int>(CorbelMetrics::panelWidth);
    return {width, heightForWidth(width)};
}

UpdateNotifier* CorbelPanel::activeNotifier() const {
    if (sampleUpdate_) {
        return sampleUpdate_.get();
    }
    return KitEnvironment::values(*this).updateNotifier;
}

QColor CorbelPanel::dotColor() const {
    if (const auto* color = std::get_if<QColor>(&props().dot)) {
        return *color;
    }
    return panelStatusColor(std::get<PanelStatus>(props().dot), schemeOf(palette()),
                            KitEnvironment::values(*this).increasedContrast);
}

void CorbelPanel::followNotifier() {
    UpdateNotifier* active = activeNotifier();
    if (active != followed_) {
        followed_ = active;
        availableToken_ = active != nullptr
                              ? active->observeAvailable(
                                    [this](const std::optional<AvailableUpdate>&) { refreshUpdateCard(); })
                              : platform::Subscription();
    }
    refreshUpdateCard();
}

void CorbelPanel::refreshUpdateCard() {
    UpdateNotifier* active = followed_;
    const std::optional<AvailableUpdate>* offer = active != nullptr ? &active->available() : nullptr;
    if (offer == nullptr || !offer->has_value()) {
        delete updateCard_;
        updateCard_ = nullptr;
        return;
    }
    if (updateCard_ == nullptr) {
        updateCard_ = new UpdateCard({props().brand, **offer}, this);
        // Between the content and the footer.
        column_->insertWidget(column_->indexOf(footer_), updateCard_);
    } else {
        updateCard_->setProps({props().brand, **offer});
    }
    // "Not now" goes to the notifier that made the offer.
    updateCard_->setSetAside([active] { active->setAside(); });
}

void CorbelPanel::refresh() {
    const Props& p = props();
    const ColorScheme scheme = schemeOf(palette());
    const bool contrast = KitEnvironment::values(*this).increasedContrast;
    const bool branded = std::holds_alternative<PanelStatus>(p.dot);
    const QLocale here = locale();

    // The brand tints every control through the palette's Highlight; a plain panel takes the default.
    const QColor tint = branded ? p.brand.accent(scheme) : systemColor(SystemColor::accent, scheme, contrast);
    if (palette().color(QPalette::Highlight) != tint) {
        QPalette tinted = palette();
        tinted.setColor(QPalette::Highlight, tint);
        setPalette(tinted);
    }
    background_->setProps({p.brand.color()});
    background_->setVisible(branded);

    TextLabel::Props name = name_->props();
    name.text = p.brand.name();
    name_->setProps(name);
    dot_->setColor(dotColor());
    TextLabel::Props status = status_->props();
    status.text = p.status;
    status.color = BrandPalette::support(scheme, contrast);
    status_->setProps(status);

    KitSwitch::Props toggle = switch_->props();
    toggle.isOn = p.isOn;
    toggle.title = p.brand.name();
    // The product's own switch keeps the brand accent even where other controls take the default.
    toggle.tint = p.brand.accent(scheme);
    switch_->setProps(toggle);
    switch_->setEnabled(p.isSwitchEnabled);
    switch_->setToolTip(plainToolTip(kitLabel(p.isOn ? KitLabel::turnOff : KitLabel::turnOn, here)));

    const PrivacyStatement statement = p.brand.privacyLine();
    brandPrivacy_->setProps(
        {kitLabel(statement.text, here),
         QString::fromUtf8(statement.symbol.data(), static_cast<qsizetype>(statement.symbol.size())),
         CorbelFont::detail});
    privacy_->setProps({p.privacy, p.privacySymbol, CorbelFont::detail});
    TextLabel::Props caption = caption_->props();
    caption.color = BrandPalette::support(scheme, contrast);
    caption_->setProps(caption);

    if (preferences_ != nullptr) {
        preferences_->setProps(
            footerButton(kitLabel(KitLabel::preferences, here), QStringLiteral("gearshape")));
    }
    guide_->setProps(
        footerButton(kitLabel(KitLabel::gettingStarted, here), QStringLiteral("questionmark.circle")));
    quit_->setProps(footerButton(kitLabel(KitLabel::quit, here), QStringLiteral("power")));
    if (updateCard_ != nullptr) {
        refreshUpdateCard();
    }
    updateGeometry();
    update();
}

void CorbelPanel::resizeEvent(QResizeEvent* event) {
    background_->setGeometry(rect());
    KitView::resizeEvent(event);
}

void CorbelPanel::showEvent(QShowEvent* event) {
    KitView::showEvent(event);
    if (event->spontaneous()) {
        return;
    }
    if (props().refreshLoginItemOnAppear) {
        LoginItem::shared().refresh();
    }
    if (UpdateNotifier* notifier = activeNotifier()) {
        notifier->checkIfDue();
    }
}

void CorbelPanel::propsChanged() {
    refresh();
}

void CorbelPanel::environmentChanged(KitEnvironmentKey key) {
    if (key == KitEnvironmentKey::updateNotifier) {
        followNotifier();
    }
    refresh();
}

void CorbelPanel::paletteChanged() {
    refresh();
}

} // namespace corbel
