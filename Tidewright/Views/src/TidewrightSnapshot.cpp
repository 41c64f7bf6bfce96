#include "tidewright/views/TidewrightSnapshot.hpp"

#include "corbel/ui/AccessibilityTextSize.hpp"
#include "corbel/ui/CorbelFont.hpp"
#include "corbel/ui/KitEnvironment.hpp"
#include "corbel/ui/QtWorkarounds.hpp"
#include "corbel/ui/SnapshotWindow.hpp"
#include "platform/workspace/InstalledApplicationLookup.hpp"
#include "tidewright/views/TidewrightBrand.hpp"
#include "tidewright/views/TidewrightPanel.hpp"
#include "tidewright/views/TidewrightPreferences.hpp"
#include "tidewright/views/TidewrightWelcome.hpp"

#include <QApplication>
#include <QGuiApplication>
#include <QLocale>
#include <QWidget>

#include <algorithm>
#include <array>

namespace tidewright {

namespace {

constexpr std::array<std::string_view, 6> stateNames{"ready", "off", "permissions", "conflicts", "sync", "many"};

const QString stateOption = QStringLiteral("--snapshot-state");
const QString localeOption = QStringLiteral("--snapshot-locale");

} // namespace

std::string_view rawValue(SnapshotState state) noexcept {
    return stateNames[static_cast<std::size_t>(state)];
}

std::optional<SnapshotState> snapshotStateFromRawValue(std::string_view text) noexcept {
    for (SnapshotState state : allSnapshotStates) {
        if (rawValue(state) == text) {
            return state;
        }
    }
    return std::nullopt;
}

std::optional<SnapshotOptions> snapshotOptions(const QStringList& arguments, const QString& currentLocale) {
    using corbel::CorbelSnapshot;
    if (!CorbelSnapshot::isRequested(arguments)) {
        return std::nullopt;
    }
    const auto flag = [&](const char* name) { return CorbelSnapshot::hasArgument(arguments, QLatin1String(name)); };
    SnapshotOptions options;
    if (const std::optional<QString> name = CorbelSnapshot::value(arguments, stateOption)) {
        options.state = snapshotStateFromRawValue(name->toStdString()).value_or(SnapshotState::ready);
    }
    options.locale = CorbelSnapshot::value(arguments, localeOption).value_or(currentLocale);
    if (flag("--snapshot-dark")) {
        options.scheme = corbel::ColorScheme::dark;
    } else if (flag("--snapshot-light")) {
        options.scheme = corbel::ColorScheme::light;
    }
    if (flag("--snapshot-preferences")) {
        options.view = SnapshotView::preferences;
    } else if (flag("--snapshot-welcome")) {
        options.view = SnapshotView::welcome;
    }
    options.asked = flag("--snapshot-asked");
    options.increasedContrast = flag("--snapshot-increased-contrast");
    options.largeText = flag("--snapshot-large-text");
    return options;
}

std::unordered_map<FixedShortcut, ShortcutRegistration>
snapshotRegistrations(const std::vector<std::pair<FixedShortcut, ShortcutRegistration>>& pairs) {
    std::unordered_map<FixedShortcut, ShortcutRegistration> registrations;
    for (const auto& [shortcut, registration] : pairs) {
        const bool fresh = registrations.emplace(shortcut, registration).second;
        Q_ASSERT(fresh);
        (void)fresh;
    }
    return registrations;
}

SnapshotFixture snapshotFixture(SnapshotState state) {
    SnapshotFixture fixture;
    fixture.isEnabled = state != SnapshotState::off;
    fixture.permission = state == SnapshotState::permissions ? PermissionState::denied : PermissionState::granted;
    std::vector<std::pair<FixedShortcut, ShortcutRegistration>> pairs;
    for (FixedShortcut shortcut : allFixedShortcuts) {
        pairs.emplace_back(shortcut, shortcut == FixedShortcut::left && state == SnapshotState::conflicts
                                         ? ShortcutRegistration::unavailable
                                         : ShortcutRegistration::registered);
    }
    fixture.registrations = snapshotRegistrations(pairs);
    fixture.preferences =
        state == SnapshotState::sync ? PreferenceAvailability::unavailable : PreferenceAvailability::available;
    fixture.decision = AppPolicy::decide(fixture.isEnabled, WindowPermissions{fixture.permission},
                                         fixture.registrations, fixture.preferences);
    if (state == SnapshotState::sync) {
        fixture.issues = {TidewrightIssue::preferences};
    }
    return fixture;
}

const std::vector<std::pair<QString, OpeningAction>>& snapshotRuleFixture(SnapshotState state) {
    using enum OpeningAction;
    static const std::vector<std::pair<QString, OpeningAction>> shortList{
        {QStringLiteral("com.apple.TextEdit"), center},
        {QStringLiteral("com.apple.Safari"), maximize},
    };
    static const std::vector<std::pair<QString, OpeningAction>> longList{
        {QStringLiteral("com.apple.ActivityMonitor"), center}, {QStringLiteral("com.apple.MobileSMS"), center},
        {QStringLiteral("com.apple.Music"), center},           {QStringLiteral("com.apple.Terminal"), center},
        {QStringLiteral("com.apple.finder"), center},          {QStringLiteral("com.apple.iCal"), maximize},
        {QStringLiteral("com.apple.Notes"), center},           {QStringLiteral("com.apple.Safari"), maximize},
        {QStringLiteral("com.apple.TextEdit"), center},        {QStringLiteral("com.apple.Preview"), maximize},
        {QStringLiteral("com.apple.mail"), center},
    };
    return state == SnapshotState::many ? longList : shortList;
}

std::vector<TidewrightRulePresentation> snapshotApplications(SnapshotState state,
                                                             const platform::InstalledApplicationLookup& lookup) {
    std::vector<TidewrightRulePresentation> rules;
    for (const auto& [identifier, action] : snapshotRuleFixture(state)) {
        const std::string text = identifier.toStdString();
        if (!BundleID::isValid(text)) {
            continue;
        }
        const BundleID id(text);
        TidewrightRulePresentation rule{id, identifier, action, std::nullopt};
        // Only an installed application that itself has a valid identifier lends its name and icon.
        if (const std::optional<platform::InstalledApplication> installed = lookup.installedApplication(id);
            installed && installed->bundleIdentifier) {
            rule.name = installed->name;
            rule.icon = lookup.icon(*installed);
        }
        rules.push_back(std::move(rule));
    }
    std::stable_sort(rules.begin(), rules.end(), ruleOrder);
    return rules;
}

corbel::CorbelSnapshot::Surface snapshotSurface(SnapshotView view) noexcept {
    return view == SnapshotView::panel ? corbel::CorbelSnapshot::Surface::menu
                                       : corbel::CorbelSnapshot::Surface::welcome;
}

namespace {

// The scheme the application draws in when a snapshot names none.
corbel::ColorScheme applicationScheme() {
    return corbel::schemeOf(QGuiApplication::palette());
}

void paintIn(QWidget& content, corbel::ColorScheme scheme, bool increasedContrast) {
    content.setPalette(corbel::kitPalette(scheme, increasedContrast, tidewrightBrand().accent(scheme)));
}

} // namespace

std::unique_ptr<QWidget> makeSnapshotContent(const SnapshotOptions& options,
                                             const platform::InstalledApplicationLookup& lookup,
                                             const corbel::StringBundle& bundle) {
    const SnapshotFixture fixture = snapshotFixture(options.state);
    // Set before the view is built, so that every text it and the kit look up is in that locale.
    const QLocale locale(options.locale);
    QLocale::setDefault(locale);

    std::unique_ptr<QWidget> content;
    switch (options.view) {
    case SnapshotView::preferences: {
        // Every fixture application is open and already has a rule, so the add menu offers none.
        TidewrightPreferencesProps props;
        props.rules = snapshotApplications(options.state, lookup);
        for (const TidewrightRulePresentation& rule : props.rules) {
            props.openApps.push_back({rule.id, rule.name});
        }
        props.permissions = WindowPermissions{fixture.permission};
        props.decision = fixture.decision;
        props.issues = fixture.issues;
        content = std::make_unique<TidewrightPreferences>(std::move(props), TidewrightPreferencesActions{});
        break;
    }
    case SnapshotView::welcome:
        content = std::make_unique<TidewrightWelcome>(
            TidewrightWelcomeProps{false, WindowPermissions{fixture.permission}}, TidewrightWelcomeActions{},
            options.asked);
        break;
    case SnapshotView::panel:
        // No update notifier: a snapshot never checks for updates.
        content = std::make_unique<TidewrightPanel>(
            TidewrightPanelProps{fixture.isEnabled, fixture.decision, fixture.issues}, TidewrightPanelActions{},
            nullptr, nullptr, bundle);
        break;
    }
    content->setLocale(locale);
    // With increased contrast the scheme is left to the window's look, which the contrast sets.
    const corbel::ColorScheme scheme =
        options.scheme && !options.increasedContrast ? *options.scheme : applicationScheme();
    paintIn(*content, scheme, false);
    if (options.largeText) {
        corbel::KitEnvironment::of(*content).setTextSizeFactor(corbel::largestTextSizeFactor);
    }
    return content;
}

void applyIncreasedContrast(std::optional<corbel::ColorScheme> scheme, QWidget& content,
                            corbel::CorbelSnapshot::Surface surface) {
    const QString title = corbel::CorbelSnapshot::title(tidewrightBrand());
    corbel::SnapshotWindow* window = nullptr;
    for (QWidget* candidate : QApplication::topLevelWidgets()) {
        if (candidate->windowTitle() == title) {
            window = dynamic_cast<corbel::SnapshotWindow*>(candidate);
            if (window != nullptr) {
                break;
            }
        }
    }
    if (window == nullptr) {
        return;
    }
    // Without a scheme, the one the window already shows decides.
    const corbel::ColorScheme chosen = scheme.value_or(corbel::schemeOf(content.palette()));
    paintIn(content, chosen, true);
    corbel::KitEnvironment::of(content).setIncreasedContrast(true);
    window->setContent(corbel::CorbelSnapshot::render(content, surface, window->content().devicePixelRatio()));
    corbel::placeOnSharpestScreen(*window);
}

bool runSnapshotIfRequested(const platform::InstalledApplicationLookup& lookup, const QStringList& arguments) {
    const std::optional<SnapshotOptions> options = snapshotOptions(arguments, QLocale().name());
    if (!options) {
        return false;
    }
    // Snapshots draw the same everywhere: the kit's style and faces, whatever the desktop's.
    QApplication::setStyle(QStringLiteral("Fusion"));
    corbel::loadKitFonts();
    QApplication::setFont(corbel::roleFont(corbel::CorbelFont::support));

    const std::unique_ptr<QWidget> content = makeSnapshotContent(*options, lookup);
    const corbel::CorbelSnapshot::Surface surface = snapshotSurface(options->view);
    corbel::CorbelSnapshot::show(*content, tidewrightBrand(), surface);
    if (options->increasedContrast) {
        applyIncreasedContrast(options->scheme, *content, surface);
    }
    return true;
}

} // namespace tidewright
