#include "tidewright/views/TidewrightPreferences.hpp"

#include "ViewParts.hpp"
#include "corbel/ui/KeyCaps.hpp"
#include "corbel/ui/KitButton.hpp"
#include "corbel/ui/KitMenuButton.hpp"

#include <QMenu> // the menu button's QPointer<QMenu> needs the whole type
#include "corbel/ui/PreferencesLayout.hpp"
#include "corbel/ui/PreferencesRows.hpp"
#include "corbel/ui/PreferencesStyles.hpp"
#include "corbel/ui/QtWorkarounds.hpp"
#include "corbel/ui/SymbolView.hpp"
#include "corbel/ui/TextLabel.hpp"
#include "tidewright/views/TidewrightBrand.hpp"
#include "tidewright/views/TidewrightCopy.hpp"
#include "tidewright/views/TidewrightRuleRow.hpp"
#include "tidewright/views/TidewrightShortcutHelp.hpp"
#include "tidewright/views/TidewrightShortcutPresentation.hpp"

#include <QEvent>

#include <algorithm>
#include <set>

namespace tidewright {
namespace {

using corbel::PreferencesStatus;
using views::Container;

constexpr int addRowSpacing = 8;
constexpr int addRowMarginWithRules = 16;
constexpr int addRowMarginWithoutRules = 8;
constexpr int addRowMarginBelow = 8;
constexpr int settingsButtonMarginBelow = 12;
constexpr int markSpacing = 6;
constexpr int buttonSpacing = 8;

// As wide as offered: the card places its content at the leading edge.
QSizePolicy wrapping() {
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    return policy;
}

Container* column(QWidget* parent, QBoxLayout** layout, int spacing = 0) {
    auto* widget = new Container(parent);
    *layout = views::bareLayout(QBoxLayout::TopToBottom, widget, spacing);
    widget->setSizePolicy(wrapping());
    return widget;
}

corbel::KitButton* styledButton(QWidget* parent) {
    auto* button = new corbel::KitButton({}, parent);
    corbel::preferencesButtonStyle(*button);
    return button;
}

void setTitle(corbel::KitButton& button, const QString& title) {
    corbel::KitButton::Props props = button.props();
    props.title = title;
    button.setProps(props);
}

void setStatus(corbel::PreferencesStatusRow& row, PreferencesStatus status, const QString& title,
               const QString& detail) {
    row.setProps({.status = status, .title = title, .detail = detail});
}

// The mark once the permission is granted: a checkmark in the accent and the text, read as one
// element named for what is allowed, with the state as its value.
class GrantedMark final : public QWidget, public corbel::KitAccessibleView {
public:
    explicit GrantedMark(QWidget* parent) : QWidget(parent) {
        QBoxLayout* row = views::bareLayout(QBoxLayout::LeftToRight, this, markSpacing);
        symbol_ = new corbel::SymbolView({.name = QStringLiteral("checkmark.circle.fill")}, this);
        row->addWidget(symbol_, 0, Qt::AlignVCenter);
        text_ = new corbel::TextLabel({.role = corbel::CorbelFont::support, .lineLimit = 1}, this);
        text_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
        row->addWidget(text_, 0, Qt::AlignVCenter);
    }

    void set(const QString& name, const QString& state, const QColor& accent) {
        name_ = name;
        state_ = state;
        corbel::SymbolView::Props symbol = symbol_->props();
        symbol.color = accent;
        symbol_->setProps(symbol);
        corbel::TextLabel::Props text = text_->props();
        text.text = state;
        text_->setProps(text);
    }

    corbel::SymbolView& symbol() const { return *symbol_; }

    QAccessible::Role accessibleRole() const override { return QAccessible::StaticText; }
    QString accessibleLabel() const override { return name_; }
    QString accessibleValue() const override { return state_; }
    bool accessibleCombinesChildren() const override { return true; }

private:
    corbel::SymbolView* symbol_;
    corbel::TextLabel* text_;
    QString name_;
    QString state_;
};

// A button whose accessible name says more than its title ("Allow Move windows").
class NamedButton final : public corbel::KitButton {
public:
    using KitButton::KitButton;

    void setReading(QString name) { name_ = std::move(name); }
    QString accessibleLabel() const override { return name_.isEmpty() ? KitButton::accessibleLabel() : name_; }

private:
    QString name_;
};

} // namespace

TidewrightPreferences::TidewrightPreferences(Props props, TidewrightPreferencesActions actions, QWidget* parent,
                                             corbel::LocalKeyDownMonitoring* keys)
    : KitView(std::move(props), parent), actions_(std::move(actions)) {
    // 1. General.
    QWidget* general = column(nullptr, &general_);
    loginRow_ = new corbel::PreferencesToggleRow({}, general);
    loginRow_->setOnToggle([this](bool on) {
        if (actions_.setOpensAtLogin) {
            actions_.setOpensAtLogin(on);
        }
    });
    unavailable_ = new corbel::PreferencesStatusRow({.status = PreferencesStatus::warning}, nullptr, general);
    for (TidewrightIssue issue : {TidewrightIssue::preferences, TidewrightIssue::login}) {
        issueRows_[issue] =
            new corbel::PreferencesStatusRow({.status = PreferencesStatus::warning}, nullptr, general);
    }

    // 2. Opening rules.
    QBoxLayout* opening = nullptr;
    QWidget* openingColumn = column(nullptr, &opening);
    QWidget* ruleList = column(openingColumn, &ruleList_);
    opening->addWidget(ruleList);
    noRules_ = new corbel::PreferencesStatusRow({.status = PreferencesStatus::info}, nullptr, openingColumn);
    opening->addWidget(noRules_);
    addRow_ = new Container(openingColumn);
    auto* fit = new views::FirstFitLayout(addRow_, addRowSpacing);
    addMenu_ = new corbel::KitMenuButton({}, addRow_);
    corbel::preferencesMenuStyle(*addMenu_);
    addMenu_->setOnEntry([this](const QString& id) {
        if (actions_.addOpenApp && BundleID::isValid(id.toStdString())) {
            actions_.addOpenApp(BundleID(id.toStdString()));
        }
    });
    fit->addWidget(addMenu_);
    chooseButton_ = styledButton(addRow_);
    chooseButton_->setAction([this] {
        if (actions_.chooseApplications) {
            actions_.chooseApplications();
        }
    });
    fit->addWidget(chooseButton_);
    addRow_->setSizePolicy(wrapping());
    opening->addWidget(addRow_);
    openingNote_ = new corbel::PreferencesNote({}, openingColumn);
    opening->addWidget(openingNote_);

    // 3. Shortcuts.
    QBoxLayout* shortcuts = nullptr;
    QWidget* shortcutsColumn = column(nullptr, &shortcuts);
    for (FixedShortcut shortcut : allFixedShortcuts) {
        auto* caps = new corbel::KeyCaps({.keys = shortcutKeyCaps(shortcut)});
        auto* row = new corbel::PreferencesRow({.controlIsNamed = false}, caps, shortcutsColumn);
        shortcutRows_[shortcut] = row;
        shortcuts->addWidget(row);
    }
    settingsPath_ = new corbel::PreferencesNote({}, shortcutsColumn);
    shortcuts->addWidget(settingsPath_);
    voiceOver_ = new corbel::PreferencesNote({}, shortcutsColumn);
    shortcuts->addWidget(voiceOver_);
    shortcutSettings_ = styledButton(shortcutsColumn);
    shortcutSettings_->setAction([this] {
        if (actions_.action) {
            actions_.action(TidewrightPresentationAction::systemSettings);
        }
    });
    shortcuts->addWidget(shortcutSettings_, 0, Qt::AlignLeft);
    shortcuts->addSpacing(settingsButtonMarginBelow);

    // 4. Permissions.
    QBoxLayout* permissions = nullptr;
    QWidget* permissionsColumn = column(nullptr, &permissions);
    auto* control = new Container;
    QBoxLayout* controlBox = views::bareLayout(QBoxLayout::LeftToRight, control, 0);
    grantedMark_ = new GrantedMark(control);
    controlBox->addWidget(grantedMark_);
    permissionButtons_ = new Container(control);
    QBoxLayout* buttons = views::bareLayout(QBoxLayout::LeftToRight, permissionButtons_, buttonSpacing);
    auto* allow = new NamedButton({}, permissionButtons_);
    corbel::preferencesButtonStyle(*allow);
    allowButton_ = allow;
    allowButton_->setAction([this] {
        if (actions_.requestPermission) {
            actions_.requestPermission();
        }
    });
    buttons->addWidget(allowButton_);
    permissionSettings_ = styledButton(permissionButtons_);
    permissionSettings_->setAction([this] {
        if (actions_.action) {
            actions_.action(TidewrightPresentationAction::systemSettings);
        }
    });
    buttons->addWidget(permissionSettings_);
    controlBox->addWidget(permissionButtons_);
    moveWindowsRow_ = new corbel::PreferencesRow({.controlIsNamed = true}, control, permissionsColumn);
    permissions->addWidget(moveWindowsRow_);
    moveRecovery_ = new corbel::PreferencesNote({}, permissionsColumn);
    permissions->addWidget(moveRecovery_);
    settingsIssue_ = new corbel::PreferencesStatusRow({.status = PreferencesStatus::warning}, nullptr,
                                                      permissionsColumn);
    permissions->addWidget(settingsIssue_);

    std::vector<QWidget*> groups;
    for (auto [key, content] : {std::pair{Group::general, general}, std::pair{Group::opening, openingColumn},
                                std::pair{Group::shortcuts, shortcutsColumn},
                                std::pair{Group::permissions, permissionsColumn}}) {
        groups_[key] = new corbel::PreferencesGroup({}, {content});
        groups.push_back(groups_[key]);
    }
    layout_ = new corbel::PreferencesLayout(tidewrightBrand(), QString(), groups, this, keys);
    views::bareLayout(QBoxLayout::TopToBottom, this, 0)->addWidget(layout_);
    setSizePolicy(layout_->sizePolicy());
    refresh();
}

TidewrightPreferences::~TidewrightPreferences() = default;

void TidewrightPreferences::setActions(TidewrightPreferencesActions actions) {
    actions_ = std::move(actions);
}

corbel::PreferencesGroup& TidewrightPreferences::group(Group group) const {
    return *groups_.at(group);
}

TidewrightRuleRow* TidewrightPreferences::ruleRow(const BundleID& id) const {
    const auto found = rules_.find(id);
    return found != rules_.end() ? found->second : nullptr;
}

std::vector<TidewrightRuleRow*> TidewrightPreferences::ruleRows() const {
    std::vector<TidewrightRuleRow*> rows;
    for (int i = 0; i < ruleList_->count(); ++i) {
        rows.push_back(static_cast<TidewrightRuleRow*>(ruleList_->itemAt(i)->widget()));
    }
    return rows;
}

bool TidewrightPreferences::addRowIsStacked() const {
    return static_cast<views::FirstFitLayout*>(addRow_->layout())->stacksAt(addRow_->width());
}

std::vector<FixedShortcut> TidewrightPreferences::shownShortcuts() const {
    std::vector<FixedShortcut> shown;
    for (FixedShortcut shortcut : allFixedShortcuts) {
        if (shortcutRows_.at(shortcut)->isVisibleTo(groups_.at(Group::shortcuts))) {
            shown.push_back(shortcut);
        }
    }
    return shown;
}

corbel::PreferencesRow& TidewrightPreferences::shortcutRow(FixedShortcut shortcut) const {
    return *shortcutRows_.at(shortcut);
}

std::vector<corbel::PreferencesStatusRow*> TidewrightPreferences::generalWarnings() const {
    std::vector<corbel::PreferencesStatusRow*> rows;
    for (int i = 0; i < general_->count(); ++i) {
        if (auto* row = dynamic_cast<corbel::PreferencesStatusRow*>(general_->itemAt(i)->widget())) {
            rows.push_back(row);
        }
    }
    return rows;
}

QSize TidewrightPreferences::sizeHint() const {
    return layout_->sizeHint();
}

int TidewrightPreferences::heightForWidth(int width) const {
    return layout_->heightForWidth(width);
}

void TidewrightPreferences::refresh() {
    const QLocale shown = locale();
    auto text = [&shown](TidewrightCopy copy) { return localizedCopy(copy, shown); };
    layout_->setTitle(text(TidewrightCopy::preferencesTitle));
    for (auto [key, copy] : {std::pair{Group::general, TidewrightCopy::generalGroup},
                             std::pair{Group::opening, TidewrightCopy::openingGroup},
                             std::pair{Group::shortcuts, TidewrightCopy::shortcutsGroup},
                             std::pair{Group::permissions, TidewrightCopy::permissionsGroup}}) {
        groups_.at(key)->setProps({.title = text(copy)});
    }
    refreshGeneral();
    refreshRules();
    refreshShortcuts();
    refreshPermissions();
    updateGeometry();
}

void TidewrightPreferences::refreshGeneral() {
    const QLocale shown = locale();
    auto text = [&shown](TidewrightCopy copy) { return localizedCopy(copy, shown); };
    loginRow_->setProps({.title = text(TidewrightCopy::openAtLogin), .isOn = props().opensAtLogin});
    std::vector<QWidget*> order{loginRow_};
    if (props().decision.state.kind() == FunctioningState::Case::needsPreferences) {
        setStatus(*unavailable_, PreferencesStatus::warning, text(TidewrightCopy::preferencesUnavailable),
                  text(TidewrightCopy::preferencesUnavailableNote));
        order.push_back(unavailable_);
    }
    std::set<TidewrightIssue> placed;
    for (TidewrightIssue issue : props().issues) {
        const auto row = issueRows_.find(issue);
        // Keyed by the issue: one row each, whatever the list repeats.
        if (row == issueRows_.end() || !placed.insert(issue).second) {
            continue;
        }
        setStatus(*row->second, PreferencesStatus::warning, text(issueTitle(issue)), text(issueNote(issue)));
        order.push_back(row->second);
    }
    views::placeInOrder(*general_, order);
}

void TidewrightPreferences::refreshRules() {
    const QLocale shown = locale();
    auto text = [&shown](TidewrightCopy copy) { return localizedCopy(copy, shown); };
    const std::vector<TidewrightRulePresentation>& rules = props().rules;

    // Keyed by the rule's id: a row that stays keeps its widget, and with it focus and hover.
    std::map<BundleID, TidewrightRuleRow*> kept;
    std::vector<QWidget*> order;
    for (const TidewrightRulePresentation& rule : rules) {
        if (kept.contains(rule.id)) {
            continue; // one row per id
        }
        TidewrightRuleRow* row = nullptr;
        if (const auto found = rules_.find(rule.id); found != rules_.end()) {
            row = found->second;
            rules_.erase(found);
            row->setProps({.rule = rule});
        } else {
            row = new TidewrightRuleRow({.rule = rule}, ruleList_->parentWidget());
            const BundleID id = rule.id;
            row->setOnChange([this, id](OpeningAction action) {
                if (actions_.changeRule) {
                    actions_.changeRule(id, action);
                }
            });
            row->setOnRemove([this, id] {
                if (actions_.removeRule) {
                    actions_.removeRule(id);
                }
            });
        }
        kept.emplace(rule.id, row);
        order.push_back(row);
    }
    for (auto& [id, row] : rules_) {
        // The row may be the one whose menu asked for the removal: it goes once that has returned.
        row->hide();
        row->deleteLater();
    }
    rules_ = std::move(kept);
    views::placeInOrder(*ruleList_, order);

    noRules_->setVisible(rules.empty());
    setStatus(*noRules_, PreferencesStatus::info, text(TidewrightCopy::noRules), text(TidewrightCopy::noRulesNote));
    addRow_->setContentsMargins(0, rules.empty() ? addRowMarginWithoutRules : addRowMarginWithRules, 0,
                                addRowMarginBelow);

    corbel::KitMenuButton::Props menu = addMenu_->props();
    menu.title = text(TidewrightCopy::addOpenApp);
    menu.entries.clear();
    if (props().openApps.empty()) {
        menu.entries.push_back({.kind = corbel::KitMenuEntry::Kind::text, .text = text(TidewrightCopy::noOpenApps)});
    }
    for (const TidewrightOpenAppPresentation& app : props().openApps) {
        const bool hasRule = std::any_of(rules.begin(), rules.end(),
                                         [&](const TidewrightRulePresentation& rule) { return rule.id == app.id; });
        menu.entries.push_back({.kind = corbel::KitMenuEntry::Kind::button,
                                .id = QString::fromStdString(app.id.rawValue()),
                                .text = app.name,
                                .enabled = !hasRule});
    }
    addMenu_->setProps(menu);
    setTitle(*chooseButton_, text(TidewrightCopy::chooseApplications));
    openingNote_->setProps({.text = text(TidewrightCopy::openingNote)});
}

void TidewrightPreferences::refreshShortcuts() {
    const QLocale shown = locale();
    auto text = [&shown](TidewrightCopy copy) { return localizedCopy(copy, shown); };
    const ShortcutSet& conflicting = props().decision.conflictingShortcuts;
    groups_.at(Group::shortcuts)->setVisible(!conflicting.empty());
    const std::vector<FixedShortcut> ordered = shortcutHelp(conflicting);
    for (FixedShortcut shortcut : allFixedShortcuts) {
        corbel::PreferencesRow& row = *shortcutRows_.at(shortcut);
        row.setProps({.title = text(shortcutTitle(shortcut)),
                      .note = text(TidewrightCopy::shortcutUnavailable),
                      .controlIsNamed = false});
        row.control().setAccessibleName(text(shortcutKeyText(shortcut)));
        row.setVisible(std::find(ordered.begin(), ordered.end(), shortcut) != ordered.end());
    }
    settingsPath_->setProps({.text = text(TidewrightCopy::shortcutSettingsPath)});
    voiceOver_->setProps({.text = text(TidewrightCopy::voiceOverReservation)});
    setTitle(*shortcutSettings_, text(TidewrightCopy::systemSettings));
}

void TidewrightPreferences::refreshPermissions() {
    const QLocale shown = locale();
    auto text = [&shown](TidewrightCopy copy) { return localizedCopy(copy, shown); };
    const bool granted = props().permissions.moveWindows == PermissionState::granted;
    const QString moveWindows = text(TidewrightCopy::moveWindows);
    moveWindowsRow_->setProps({.title = moveWindows, .controlIsNamed = true});
    static_cast<GrantedMark*>(grantedMark_)
        ->set(moveWindows, text(TidewrightCopy::permissionGranted),
              tidewrightBrand().accent(corbel::schemeOf(palette())));
    grantedMark_->setVisible(granted);
    permissionButtons_->setVisible(!granted);
    const QString allow = text(TidewrightCopy::allow);
    setTitle(*allowButton_, allow);
    static_cast<NamedButton*>(allowButton_)->setReading(allow + QLatin1Char(' ') + moveWindows);
    setTitle(*permissionSettings_, text(TidewrightCopy::systemSettings));
    moveWindowsRow_->control().updateGeometry();
    moveRecovery_->setVisible(!granted);
    moveRecovery_->setProps({.text = text(TidewrightCopy::moveRecovery)});
    const bool settingsIssue = std::find(props().issues.begin(), props().issues.end(), TidewrightIssue::settings) !=
                               props().issues.end();
    settingsIssue_->setVisible(settingsIssue);
    setStatus(*settingsIssue_, PreferencesStatus::warning, text(TidewrightCopy::settingsIssue),
              text(TidewrightCopy::settingsIssueNote));
}

void TidewrightPreferences::propsChanged() {
    refresh();
}

void TidewrightPreferences::environmentChanged(corbel::KitEnvironmentKey key) {
    KitView::environmentChanged(key);
}

void TidewrightPreferences::paletteChanged() {
    refreshPermissions(); // the mark's accent follows the scheme
}

void TidewrightPreferences::changeEvent(QEvent* event) {
    if (event->type() == QEvent::LocaleChange) {
        refresh();
    }
    KitView::changeEvent(event);
}

} // namespace tidewright
