#include "tidewright/views/TidewrightPanel.hpp"

#include "corbel/ui/Cards.hpp"
#include "corbel/ui/CorbelMetrics.hpp"
#include "corbel/ui/KitAccessibility.hpp"
#include "corbel/ui/KitButton.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/NoticeCard.hpp"
#include "corbel/ui/PanelActionRow.hpp"
#include "corbel/ui/PanelShortcutKeys.hpp"
#include "tidewright/views/TidewrightBrand.hpp"
#include "tidewright/views/TidewrightShortcutPresentation.hpp"

#include <QEvent>
#include <QThread>
#include <QVBoxLayout>

#include <set>

namespace tidewright {

TidewrightCopy statusWord(const AppDecision& decision) noexcept {
    switch (decision.state.kind()) {
    case FunctioningState::Case::running:
        if (!decision.conflictingShortcuts.empty()) {
            return TidewrightCopy::attention;
        }
        return decision.usableShortcuts == decision.desiredShortcuts ? TidewrightCopy::ready
                                                                     : TidewrightCopy::registering;
    case FunctioningState::Case::off:
        return TidewrightCopy::off;
    case FunctioningState::Case::needsPermissions:
    case FunctioningState::Case::needsPreferences:
        break;
    }
    return TidewrightCopy::attention;
}

corbel::PanelStatus panelStatus(OperatingIndicator indicator) noexcept {
    switch (indicator) {
    case OperatingIndicator::working:
        return corbel::PanelStatus::working;
    case OperatingIndicator::off:
        return corbel::PanelStatus::off;
    case OperatingIndicator::attention:
        break;
    }
    return corbel::PanelStatus::attention;
}

namespace {

const QString noticeSymbol = QStringLiteral("exclamationmark.triangle.fill");

// The symbol of each shortcut's row, in FixedShortcut order.
QString rowSymbol(FixedShortcut shortcut) {
    switch (shortcut) {
    case FixedShortcut::left:
        return QStringLiteral("rectangle.lefthalf.inset.filled");
    case FixedShortcut::right:
        return QStringLiteral("rectangle.righthalf.inset.filled");
    case FixedShortcut::up:
        return QStringLiteral("arrow.up.left.and.arrow.down.right");
    case FixedShortcut::d:
        return QStringLiteral("rectangle.center.inset.filled");
    case FixedShortcut::down:
        return QStringLiteral("arrow.up.and.down");
    case FixedShortcut::c:
        break;
    }
    return QStringLiteral("align.horizontal.center");
}

} // namespace

// One hot key's row as tools see it: a single element named by the action and its key, whose
// value says when the key could not be had; the row's own parts stay out of sight.
class TidewrightPanel::ShortcutRow : public QWidget, public corbel::KitAccessibleView {
public:
    ShortcutRow(FixedShortcut shortcut, QWidget* parent) : QWidget(parent), shortcut_(shortcut) {
        keys_ = new corbel::PanelShortcutKeys({.keys = shortcutKeyCaps(shortcut), .brand = tidewrightBrand()});
        row_ = new corbel::PanelActionRow({.symbol = rowSymbol(shortcut), .brand = tidewrightBrand()}, keys_,
                                          this);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        layout->addWidget(row_);
        QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        policy.setHeightForWidth(true);
        setSizePolicy(policy);
    }

    void setTexts(const QString& title, const QString& keyText, bool hasConflict, const QString& unavailable) {
        corbel::PanelActionRow::Props row = row_->props();
        row.title = title;
        row_->setProps(std::move(row));
        corbel::PanelShortcutKeys::Props keys = keys_->props();
        keys.hasConflict = hasConflict;
        keys_->setProps(std::move(keys));
        label_ = title + QStringLiteral(", ") + keyText;
        value_ = hasConflict ? unavailable : QString();
    }

    FixedShortcut shortcut() const noexcept { return shortcut_; }
    corbel::PanelActionRow& row() const noexcept { return *row_; }
    corbel::PanelShortcutKeys& keys() const noexcept { return *keys_; }

    QAccessible::Role accessibleRole() const override { return QAccessible::StaticText; }
    QString accessibleLabel() const override { return label_; }
    QString accessibleValue() const override { return value_; }
    bool accessibleCombinesChildren() const override { return true; }

private:
    FixedShortcut shortcut_;
    corbel::PanelActionRow* row_;
    corbel::PanelShortcutKeys* keys_;
    QString label_;
    QString value_;
};

TidewrightPanel::TidewrightPanel(Props props, TidewrightPanelActions actions,
                                 corbel::UpdateNotifier* updateNotifier, QWidget* parent,
                                 const corbel::StringBundle& bundle, const QStringList& arguments)
    : KitView(std::move(props), parent), actions_(std::move(actions)), bundle_(bundle) {
    // Set before the chrome exists, so that it finds the notifier when it is built.
    corbel::KitEnvironment::of(*this).setUpdateNotifier(updateNotifier);

    // The notices share the panel's own spacing, as if each stood in the panel's column.
    notices_ = new QWidget;
    noticeColumn_ = new QVBoxLayout(notices_);
    noticeColumn_->setContentsMargins(0, 0, 0, 0);
    noticeColumn_->setSpacing(static_cast<int>(corbel::CorbelMetrics::spacing));

    std::vector<QWidget*> rows;
    for (FixedShortcut shortcut : allFixedShortcuts) {
        auto* row = new ShortcutRow(shortcut, nullptr);
        rows_.push_back(row);
        rows.push_back(row);
    }
    auto* card = new corbel::PanelCard({.spacing = corbel::CorbelMetrics::row}, std::move(rows));

    chrome_ = new corbel::CorbelPanel(
        {.brand = tidewrightBrand(), .privacySymbol = QStringLiteral("rectangle")}, {}, {notices_, card}, this,
        arguments);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(chrome_);
    QSizePolicy policy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);

    setActions(std::move(actions_));
    refresh();
}

TidewrightPanel::~TidewrightPanel() = default;

void TidewrightPanel::setActions(TidewrightPanelActions actions) {
    actions_ = std::move(actions);
    // The chrome's hooks reach the panel's current hooks at the moment they run.
    chrome_->setActions({
        .setOn =
            [this](bool on) {
                if (actions_.setEnabled) {
                    actions_.setEnabled(on);
                }
            },
        .showGuide =
            [this] {
                if (actions_.showWelcome) {
                    actions_.showWelcome();
                }
            },
        .showPreferences =
            [this] {
                if (actions_.showPreferences) {
                    actions_.showPreferences();
                }
            },
        .preferencesFocusChanged = {},
        .quit = {},
    });
}

void TidewrightPanel::perform(TidewrightPresentationAction action) {
    Q_ASSERT(QThread::currentThread() == thread());
    const std::function<void()>* hook = nullptr;
    switch (action) {
    case TidewrightPresentationAction::permissions:
        hook = &actions_.showWelcome;
        break;
    case TidewrightPresentationAction::preferences:
        hook = &actions_.showPreferences;
        break;
    case TidewrightPresentationAction::shortcutHelp:
        hook = &actions_.showShortcutHelp;
        break;
    case TidewrightPresentationAction::systemSettings:
        hook = &actions_.openSystemSettings;
        break;
    }
    if (hook != nullptr && *hook) {
        (*hook)();
    }
}

QSize TidewrightPanel::sizeHint() const {
    return chrome_->sizeHint();
}

int TidewrightPanel::heightForWidth(int width) const {
    return chrome_->heightForWidth(width);
}

void TidewrightPanel::propsChanged() {
    refresh();
}

QString TidewrightPanel::text(TidewrightCopy copy, const QLocale& locale) const {
    return localizedCopy(copy, locale, bundle_);
}

void TidewrightPanel::refresh() {
    Q_ASSERT(QThread::currentThread() == thread());
    const Props& p = props();
    const QLocale here = locale();

    corbel::CorbelPanel::Props chrome = chrome_->props();
    chrome.status = text(statusWord(p.decision), here);
    chrome.dot = panelStatus(p.decision.operatingIndicator());
    chrome.isOn = p.isEnabled;
    chrome.privacy = text(TidewrightCopy::privacy, here);
    chrome.privacySymbol = QStringLiteral("rectangle");
    chrome.refreshLoginItemOnAppear = true;
    chrome.isSwitchEnabled = true;
    chrome_->setProps(std::move(chrome));

    refreshNotices(here);

    const QString unavailable = text(TidewrightCopy::shortcutUnavailable, here);
    for (ShortcutRow* row : rows_) {
        const FixedShortcut shortcut = row->shortcut();
        row->setTexts(text(shortcutTitle(shortcut), here), text(shortcutKeyText(shortcut), here),
                    p.decision.conflictingShortcuts.contains(shortcut), unavailable);
    }
    updateGeometry();
}

void TidewrightPanel::refreshNotices(const QLocale& locale) {
    const Props& p = props();
    const std::vector<TidewrightNotice> notices =
        makeNotices(p.decision.state, p.decision.conflictingShortcuts, p.issues);

    // Cards are kept by key so that an update leaves hover and focus where they were.
    std::set<NoticeKey> shown;
    int index = 0;
    for (const TidewrightNotice& notice : notices) {
        const bool hasButton = notice.button.has_value() && notice.action.has_value();
        const NoticeKey key{notice.id, hasButton};
        shown.insert(key);
        auto found = noticeSlots_.find(key);
        if (found == noticeSlots_.end()) {
            NoticeSlot slot;
            std::vector<QWidget*> buttons;
            if (hasButton) {
                slot.button = new corbel::KitButton({});
                buttons.push_back(slot.button);
            }
            slot.card = new corbel::NoticeCard({}, std::move(buttons), notices_);
            found = noticeSlots_.emplace(key, slot).first;
        }
        NoticeSlot& slot = found->second;
        slot.card->setProps({noticeSymbol, text(notice.title, locale), text(notice.message, locale)});
        if (slot.button != nullptr) {
            corbel::KitButton::Props button = slot.button->props();
            button.title = text(*notice.button, locale);
            slot.button->setProps(std::move(button));
            const TidewrightPresentationAction action = *notice.action;
            slot.button->setAction([this, action] { perform(action); });
        }
        // In list order.
        if (noticeColumn_->indexOf(slot.card) != index) {
            noticeColumn_->removeWidget(slot.card);
            noticeColumn_->insertWidget(index, slot.card);
        }
        ++index;
    }
    for (auto it = noticeSlots_.begin(); it != noticeSlots_.end();) {
        if (!shown.contains(it->first)) {
            delete it->second.card;
            it = noticeSlots_.erase(it);
        } else {
            ++it;
        }
    }
    notices_->setVisible(!notices.empty());
}

} // namespace tidewright
