#include "tidewright/views/TidewrightWelcome.hpp"

#include "ViewParts.hpp"
#include "corbel/ui/BrandPalette.hpp"
#include "corbel/ui/KeyCaps.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/QtWorkarounds.hpp"
#include "corbel/ui/TextLabel.hpp"
#include "corbel/ui/WelcomeStepDetail.hpp"
#include "corbel/ui/WelcomeStepsLayout.hpp"
#include "tidewright/views/TidewrightBrand.hpp"
#include "tidewright/views/TidewrightCopy.hpp"
#include "tidewright/views/TidewrightShortcutPresentation.hpp"

#include <QEvent>

namespace tidewright {
namespace {

using views::Container;

constexpr int textSpacing = 8;
constexpr int listSpacing = 4;
constexpr int capsSpacing = 8;

QSizePolicy wrapping() {
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    return policy;
}

// One shortcut in the list: its caps and what it does, read as "Left half, Left Arrow".
class ShortcutLine final : public Container {
public:
    ShortcutLine(FixedShortcut shortcut, QWidget* parent) : Container(parent), shortcut_(shortcut) {
        setReading(Reading::combined);
        QBoxLayout* row = views::bareLayout(QBoxLayout::LeftToRight, this, capsSpacing);
        caps_ = new corbel::KeyCaps({.keys = shortcutKeyCaps(shortcut)}, this);
        row->addWidget(caps_, 0, Qt::AlignVCenter);
        title_ = new corbel::TextLabel({.role = corbel::CorbelFont::support}, this);
        title_->setSizePolicy(wrapping());
        row->addWidget(title_, 1, Qt::AlignVCenter);
        setSizePolicy(wrapping());
    }

    void refresh(const QLocale& locale, const QColor& support) {
        const QString title = localizedCopy(shortcutTitle(shortcut_), locale);
        corbel::TextLabel::Props text = title_->props();
        text.text = title;
        text.color = support;
        title_->setProps(text);
        setTexts(title + QStringLiteral(", ") + localizedCopy(shortcutKeyText(shortcut_), locale));
    }

    QAccessible::Role accessibleRole() const override { return QAccessible::StaticText; }

private:
    FixedShortcut shortcut_;
    corbel::KeyCaps* caps_;
    corbel::TextLabel* title_;
};

} // namespace

TidewrightWelcome::TidewrightWelcome(Props props, TidewrightWelcomeActions actions, bool asked, QWidget* parent)
    : KitView(std::move(props), parent), actions_(std::move(actions)), asked_(asked) {
    // The step's texts: one column, so both paragraphs start at the same edge.
    auto* texts = new Container;
    QBoxLayout* textColumn = views::bareLayout(QBoxLayout::TopToBottom, texts, textSpacing);
    firstText_ = new corbel::TextLabel({.role = corbel::CorbelFont::support}, texts);
    secondText_ = new corbel::TextLabel({.role = corbel::CorbelFont::support}, texts);
    textColumn->addWidget(firstText_);
    textColumn->addWidget(secondText_);
    texts->setSizePolicy(wrapping());

    auto* card = new Container;
    QBoxLayout* cardColumn = views::bareLayout(QBoxLayout::TopToBottom, card, 0);
    stepRow_ = new corbel::WelcomeStepRow({}, tidewrightBrand(), {texts}, card);
    cardColumn->addWidget(stepRow_);

    auto* list = new Container;
    QBoxLayout* listColumn = views::bareLayout(QBoxLayout::TopToBottom, list, listSpacing);
    for (FixedShortcut shortcut : allFixedShortcuts) {
        auto* line = new ShortcutLine(shortcut, list);
        shortcutRows_[shortcut] = line;
        listColumn->addWidget(line);
    }
    list->setSizePolicy(wrapping());
    allShortcuts_ = new corbel::TextLabel({.role = corbel::CorbelFont::support});
    allShortcuts_->setSizePolicy(wrapping());
    shortcutList_ = new corbel::WelcomeStepDetail({.spacing = textSpacing}, {list, allShortcuts_}, card);
    cardColumn->addWidget(shortcutList_);
    card->setSizePolicy(wrapping());

    layout_ = new corbel::WelcomeStepsLayout({}, tidewrightBrand(), {card}, this);
    layout_->setOnOpensAtLoginChange([this](bool on) {
        if (actions_.setOpensAtLogin) {
            actions_.setOpensAtLogin(on);
        }
    });
    views::bareLayout(QBoxLayout::TopToBottom, this, 0)->addWidget(layout_);
    setSizePolicy(layout_->sizePolicy());
    refresh();
}

TidewrightWelcome::~TidewrightWelcome() = default;

void TidewrightWelcome::setActions(TidewrightWelcomeActions actions) {
    actions_ = std::move(actions);
}

corbel::WelcomeStepState TidewrightWelcome::stepState() const noexcept {
    if (props().permissions.moveWindows == PermissionState::granted) {
        return corbel::WelcomeStepState::done;
    }
    return asked_ ? corbel::WelcomeStepState::attention : corbel::WelcomeStepState::todo;
}

QWidget& TidewrightWelcome::shortcutRow(FixedShortcut shortcut) const {
    return *shortcutRows_.at(shortcut);
}

QSize TidewrightWelcome::sizeHint() const {
    return layout_->sizeHint();
}

int TidewrightWelcome::heightForWidth(int width) const {
    return layout_->heightForWidth(width);
}

void TidewrightWelcome::pressStepButton() {
    if (!asked_) {
        asked_ = true;
        refresh();
        if (actions_.requestPermission) {
            actions_.requestPermission();
        }
        return;
    }
    if (actions_.openSystemSettings) {
        actions_.openSystemSettings();
    }
}

void TidewrightWelcome::refresh() {
    const QLocale shown = locale();
    auto text = [&shown](TidewrightCopy copy) { return localizedCopy(copy, shown); };
    const corbel::ColorScheme scheme = corbel::schemeOf(palette());
    const QColor support =
        corbel::BrandPalette::support(scheme, corbel::KitEnvironment::values(*this).increasedContrast);
    const bool granted = props().permissions.moveWindows == PermissionState::granted;
    const corbel::WelcomeStepState state = stepState();

    // The closures reach the latest hooks through this view, so they are made once per text: equal
    // descriptors leave the layout as it is.
    auto finish = [this] {
        if (actions_.finish) {
            actions_.finish();
        }
    };
    corbel::WelcomeStepsLayout::Props layout = layout_->props();
    auto keep = [](const std::optional<corbel::WelcomeStepsButton>& old, const QString& title,
                   std::function<void()> action) {
        if (old && old->title == title) {
            return *old;
        }
        return corbel::WelcomeStepsButton(title, false, std::move(action));
    };
    layout.title = text(TidewrightCopy::welcomeTitle);
    layout.lead = text(TidewrightCopy::welcomeLead);
    layout.step = 1;
    layout.stepCount = 1;
    layout.stepLabel.reset();
    layout.stepTitle = text(TidewrightCopy::moveStepTitle);
    layout.isStepDone = granted;
    layout.privacy = text(TidewrightCopy::privacy);
    layout.privacySymbol = QStringLiteral("rectangle");
    layout.opensAtLogin = props().opensAtLogin;
    layout.skip = keep(layout.skip, text(TidewrightCopy::skipSetup), finish);
    layout.back.reset();
    layout.primary = keep(layout.primary.title.isEmpty() ? std::nullopt
                                                         : std::optional<corbel::WelcomeStepsButton>(layout.primary),
                          text(TidewrightCopy::getStarted), finish);
    layout.note = text(TidewrightCopy::welcomeNote);

    corbel::WelcomeStepRow::Props row = stepRow_->props();
    row.state = state;
    row.celebration = text(TidewrightCopy::moveCelebration);
    row.action = keep(row.action, text(asked_ ? TidewrightCopy::systemSettings : TidewrightCopy::allow),
                      [this] { pressStepButton(); });

    auto setText = [](corbel::TextLabel& label, const QString& value, std::optional<QColor> color) {
        corbel::TextLabel::Props next = label.props();
        next.text = value;
        next.color = color;
        label.setProps(next);
    };
    if (granted) {
        setText(*firstText_, text(TidewrightCopy::tryShortcuts), std::nullopt);
    } else if (asked_) {
        setText(*firstText_, text(TidewrightCopy::moveRemaining), std::nullopt);
    } else {
        setText(*firstText_, text(TidewrightCopy::moveDescription), std::nullopt);
        setText(*secondText_, text(TidewrightCopy::movePrivacy), std::nullopt);
    }
    secondText_->setVisible(!granted && !asked_);
    for (auto& [shortcut, line] : shortcutRows_) {
        static_cast<ShortcutLine*>(line)->refresh(shown, support);
    }
    setText(*allShortcuts_, text(TidewrightCopy::allShortcutsInPanel), support);
    shortcutList_->setVisible(granted);

    stepRow_->setProps(row);
    layout_->setProps(layout);
    updateGeometry();
}

void TidewrightWelcome::propsChanged() {
    refresh();
}

void TidewrightWelcome::paletteChanged() {
    refresh();
}

void TidewrightWelcome::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LocaleChange) {
        refresh();
    }
    KitView::changeEvent(event);
}

} // namespace tidewright
