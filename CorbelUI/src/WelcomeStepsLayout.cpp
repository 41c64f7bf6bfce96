#include "corbel/ui/WelcomeStepsLayout.hpp"
#include "BareLayout.hpp"

#include "DefaultActionKeys.hpp"
#include "LayoutSettling.hpp"
#include "PreferencesParts.hpp"
#include "WelcomeButton.hpp"
#include "WelcomeStepsParts.hpp"
#include "corbel/ui/AppIcon.hpp"
#include "corbel/ui/BrandPalette.hpp"
#include "corbel/ui/Cards.hpp"
#include "corbel/ui/CorbelMetrics.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/KitLabels.hpp"
#include "corbel/ui/PreferencesChrome.hpp"
#include "corbel/ui/PreferencesRows.hpp"
#include "corbel/ui/PrivacyLine.hpp"
#include "corbel/ui/QtWorkarounds.hpp"
#include "corbel/ui/TextLabel.hpp"

#include <QBoxLayout>
#include <QEvent>
#include <QScrollArea>
#include <QScrollBar>

#include <algorithm>

namespace corbel {
namespace {

constexpr int columnWidth = 496;
constexpr int partGap = 32;

QSizePolicy wrapping() {
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    return policy;
}

// The step part above the footer. When the height it is given is short of what both need, the step
// part keeps what is left and scrolls; the footer always shows whole.
class StepsColumn final : public QWidget {
public:
    StepsColumn(QScrollArea& scroller, QWidget& stepPart, QWidget& footer, QWidget* parent)
        : QWidget(parent), scroller_(scroller), stepPart_(stepPart), footer_(footer) {
        scroller_.setParent(this);
        footer_.setParent(this);
        QSizePolicy policy(QSizePolicy::Fixed, QSizePolicy::Preferred);
        policy.setHeightForWidth(true);
        setSizePolicy(policy);
        setFixedWidth(columnWidth);
    }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override {
        return stepPart_.heightForWidth(width) + partGap + footer_.heightForWidth(width);
    }
    QSize sizeHint() const override { return {columnWidth, heightForWidth(columnWidth)}; }
    QSize minimumSizeHint() const override {
        return {columnWidth, partGap + footer_.heightForWidth(columnWidth)};
    }

    void place() {
        const int footerHeight = footer_.heightForWidth(width());
        const int stepHeight = stepPart_.heightForWidth(width());
        const int room = std::max(0, height() - partGap - footerHeight);
        const int shown = std::min(stepHeight, room);
        scroller_.setGeometry(0, 0, width(), shown);
        const bool scrolls = stepHeight > room;
        const int scrollBar = scrolls ? scroller_.verticalScrollBar()->sizeHint().width() : 0;
        const int partWidth = width() - scrollBar;
        stepPart_.resize(partWidth, stepPart_.heightForWidth(partWidth));
        footer_.setGeometry(0, shown + partGap, width(), footerHeight);
    }

protected:
    void resizeEvent(QResizeEvent*) override { place(); }

private:
    QScrollArea& scroller_;
    QWidget& stepPart_;
    QWidget& footer_;
};

} // namespace

WelcomeStepsLayout::WelcomeStepsLayout(Props props, CorbelBrand brand, std::vector<QWidget*> card,
                                       QWidget* parent)
    : KitView(std::move(props), parent), brand_(std::move(brand)) {
    // The step part: header, step section, privacy block.
    stepPart_ = new QWidget;
    QBoxLayout* step = bareLayout(QBoxLayout::TopToBottom, stepPart_, partGap);

    QBoxLayout* header = bareLayout(QBoxLayout::TopToBottom, CorbelMetrics::row);
    QBoxLayout* headline = bareLayout(QBoxLayout::LeftToRight, CorbelMetrics::group);
    auto* icon = new AppIcon({.size = 48}, stepPart_);
    headline->addWidget(icon, 0, Qt::AlignVCenter);
    title_ = new preferences::HeadingLabel({.role = CorbelFont::title}, stepPart_);
    title_->setSizePolicy(wrapping());
    headline->addWidget(title_, 1, Qt::AlignVCenter);
    header->addLayout(headline);
    lead_ = new TextLabel({.role = CorbelFont::support}, stepPart_);
    header->addWidget(lead_);
    step->addLayout(header);

    QBoxLayout* section = bareLayout(QBoxLayout::TopToBottom, CorbelMetrics::row);
    QBoxLayout* stepRow = bareLayout(QBoxLayout::LeftToRight, CorbelMetrics::row);
    badge_ = new StepBadge(stepPart_);
    stepRow->addWidget(badge_, 0, Qt::AlignVCenter);
    stepTitle_ = new preferences::HeadingLabel({.role = CorbelFont::textSemibold}, stepPart_);
    stepTitle_->setSizePolicy(wrapping());
    stepRow->addWidget(stepTitle_, 1, Qt::AlignVCenter);
    stepRow->addSpacing(qRound(CorbelMetrics::row));
    counter_ = new QWidget(stepPart_);
    counter_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    QBoxLayout* counter = bareLayout(QBoxLayout::LeftToRight, counter_, CorbelMetrics::row);
    counterLabel_ = new TextLabel({.role = CorbelFont::support, .lineLimit = 1}, counter_);
    counterLabel_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    counter->addWidget(counterLabel_, 0, Qt::AlignVCenter);
    dots_ = new StepDots(counter_);
    counter->addWidget(dots_, 0, Qt::AlignVCenter);
    stepRow->addWidget(counter_, 0, Qt::AlignVCenter);
    section->addLayout(stepRow);
    card_ = new PanelCard({.spacing = 0}, std::move(card), stepPart_);
    card_->layout()->setContentsMargins(qRound(CorbelMetrics::spacing), qRound(CorbelMetrics::row),
                                        qRound(CorbelMetrics::spacing), qRound(CorbelMetrics::row));
    section->addWidget(card_);
    step->addLayout(section);

    QBoxLayout* privacy = bareLayout(QBoxLayout::TopToBottom, CorbelMetrics::tight);
    privacyLine_ = new PrivacyLine({}, stepPart_);
    ownPrivacyLine_ = new PrivacyLine({}, stepPart_);
    privacy->addWidget(privacyLine_);
    privacy->addWidget(ownPrivacyLine_);
    step->addLayout(privacy);
    stepPart_->setSizePolicy(wrapping());

    // The footer: the login switch, the buttons, the note.
    footer_ = new QWidget;
    QBoxLayout* footer = bareLayout(QBoxLayout::TopToBottom, footer_, CorbelMetrics::spacing);
    loginRow_ = new PreferencesToggleRow({}, footer_);
    loginRow_->setOnToggle([this](bool on) {
        if (onOpensAtLoginChange_) {
            onOpensAtLoginChange_(on);
        }
    });
    footer->addWidget(loginRow_);
    auto* buttons = new QWidget(footer_);
    QBoxLayout* buttonRow = bareLayout(QBoxLayout::LeftToRight, buttons, CorbelMetrics::group);
    skip_ = new WelcomeButton(false, *buttons);
    back_ = new WelcomeButton(false, *buttons);
    primary_ = new WelcomeButton(true, *buttons);
    buttonRow->addWidget(skip_, 0, Qt::AlignVCenter);
    buttonRow->addStretch();
    buttonRow->addWidget(back_, 0, Qt::AlignVCenter);
    buttonRow->addWidget(primary_, 0, Qt::AlignVCenter);
    footer->addWidget(buttons);
    note_ = new TextLabel({.role = CorbelFont::support}, footer_);
    footer->addWidget(note_);
    footer_->setSizePolicy(wrapping());

    scroller_ = new QScrollArea;
    scroller_->setFrameShape(QFrame::NoFrame);
    scroller_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroller_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroller_->setWidgetResizable(false);
    scroller_->setWidget(stepPart_);
    scroller_->viewport()->setAutoFillBackground(false);
    stepPart_->setAutoFillBackground(false);

    auto* column = new StepsColumn(*scroller_, *stepPart_, *footer_, nullptr);
    column_ = column;
    chrome_ = new PreferencesChrome(brand_, qRound(WelcomeStepsSizing::width), column, this);
    bareLayout(QBoxLayout::TopToBottom, this, 0)->addWidget(chrome_);

    defaultKeys_ = new DefaultActionKeys(*this, [this] { this->props().primary.run(); });
    stepPart_->installEventFilter(this);
    footer_->installEventFilter(this);

    QSizePolicy policy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
    setFixedWidth(qRound(WelcomeStepsSizing::width));
    refresh();
}

WelcomeStepsLayout::~WelcomeStepsLayout() = default;

QSize WelcomeStepsLayout::sizeHint() const {
    const int width = qRound(WelcomeStepsSizing::width);
    return {width, heightForWidth(width)};
}

void WelcomeStepsLayout::setOnOpensAtLoginChange(std::function<void(bool)> onChange) {
    onOpensAtLoginChange_ = std::move(onChange);
}

void WelcomeStepsLayout::refresh() {
    const ColorScheme scheme = schemeOf(palette());
    const KitEnvironmentValues environment = KitEnvironment::values(*this);
    const bool contrast = environment.increasedContrast;
    const QColor support = BrandPalette::support(scheme, contrast);
    const QColor accent = brand_.accent(scheme);
    const QLocale shown = locale();
    const Props& p = props();

    auto setText = [](TextLabel& label, const QString& text, std::optional<QColor> color = std::nullopt) {
        TextLabel::Props next = label.props();
        next.text = text;
        next.color = color;
        label.setProps(next);
    };
    setText(*title_, p.title);
    setText(*lead_, p.lead, support);
    setText(*stepTitle_, p.stepTitle);
    static_cast<StepBadge*>(badge_)->setState({.step = p.step,
                                               .isDone = p.isStepDone,
                                               .accent = accent,
                                               .doneColor = PrivacyGreen::color(scheme),
                                               .textSizeFactor = environment.textSizeFactor});
    counter_->setVisible(p.stepLabel.has_value());
    setText(*counterLabel_, p.stepLabel.value_or(QString()), support);
    static_cast<StepDots*>(dots_)->setState({.dots = welcomeStepDots(p.step, p.stepCount),
                                             .current = accent,
                                             .other = BrandPalette::emphasis(scheme, contrast)});

    const PrivacyStatement statement = brand_.privacyLine();
    privacyLine_->setProps({.text = kitLabel(statement.text, shown),
                            .symbol = QString::fromUtf8(statement.symbol.data(),
                                                        static_cast<qsizetype>(statement.symbol.size()))});
    ownPrivacyLine_->setProps({.text = p.privacy, .symbol = p.privacySymbol});

    loginRow_->setProps({.title = kitLabel(KitLabel::openAtLogin, shown), .isOn = p.opensAtLogin});
    skip_->setVisible(p.skip.has_value());
    if (p.skip) {
        skip_->setDescriptor(*p.skip, brand_);
    }
    back_->setVisible(p.back.has_value());
    if (p.back) {
        back_->setDescriptor(*p.back, brand_);
    }
    primary_->setDescriptor(p.primary, brand_);
    defaultKeys_->setEnabled(!p.primary.isDisabled);
    note_->setVisible(p.note.has_value());
    setText(*note_, p.note.value_or(QString()), support);
    measure();
}

void WelcomeStepsLayout::measure() {
    settleLayouts(*stepPart_);
    settleLayouts(*footer_);
    const double width = columnWidth;
    report(sizing_.measured(stepPart_->heightForWidth(static_cast<int>(width)),
                            footer_->heightForWidth(static_cast<int>(width))));
    column_->updateGeometry();
    static_cast<StepsColumn*>(column_)->place();
}

void WelcomeStepsLayout::report(std::optional<QSizeF> size) {
    if (!size) {
        return;
    }
    const std::optional<FixedWindowSizeReport> window = KitEnvironment::values(*this).fixedWindowSize;
    if (window && window->report) {
        window->report(*size);
    }
}

void WelcomeStepsLayout::propsChanged() {
    refresh();
}

void WelcomeStepsLayout::environmentChanged(KitEnvironmentKey key) {
    refresh();
    if (key == KitEnvironmentKey::fixedWindowSize) {
        // A new window (or none): it has not heard the size yet.
        report(sizing_.appeared());
    }
}

void WelcomeStepsLayout::paletteChanged() {
    refresh();
}

bool WelcomeStepsLayout::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::ParentChange:
        // Placed into a window: it hears the size it did not know to ask for.
        report(sizing_.appeared());
        break;
    case QEvent::Show:
        report(sizing_.appeared());
        break;
    case QEvent::LocaleChange:
        refresh(); // the kit's own labels follow the window's language
        break;
    default:
        break;
    }
    return KitView::event(event);
}

bool WelcomeStepsLayout::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::LayoutRequest && (watched == stepPart_ || watched == footer_)) {
        measure();
    }
    return KitView::eventFilter(watched, event);
}

} // namespace corbel
