#pragma once
// The application's side of snapshot mode: when the command line asks for it, one of the
// application's surfaces (the tray panel, the preferences or the welcome) is built from fixed
// fixture data instead of the app model, in the requested locale, scheme, contrast and text size,
// and shown in the kit's snapshot window. Main thread only.

#include "corbel/ui/ColorScheme.hpp"
#include "corbel/ui/CorbelSnapshot.hpp"
#include "corbel/ui/StringBundle.hpp"
#include "tidewright/applications/TidewrightRulePresentation.hpp"
#include "tidewright/core/AppPolicy.hpp"
#include "tidewright/core/OpeningAction.hpp"
#include "tidewright/views/TidewrightIssue.hpp"

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <array>
#include <memory>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

class QWidget;

namespace platform {
class InstalledApplicationLookup;
} // namespace platform

namespace tidewright {

// The fixture states; the raw values are the names "--snapshot-state" takes.
enum class SnapshotState {
    ready,
    off,
    permissions,
    conflicts,
    sync,
    many,
};

inline constexpr std::array<SnapshotState, 6> allSnapshotStates{
    SnapshotState::ready,     SnapshotState::off,  SnapshotState::permissions,
    SnapshotState::conflicts, SnapshotState::sync, SnapshotState::many,
};

std::string_view rawValue(SnapshotState state) noexcept;
// Exactly one of the six names.
std::optional<SnapshotState> snapshotStateFromRawValue(std::string_view text) noexcept;

// Which of the application's surfaces a snapshot shows.
enum class SnapshotView {
    panel,
    preferences,
    welcome,
};

// What the command line asks of a snapshot.
struct SnapshotOptions {
    SnapshotState state = SnapshotState::ready;
    QString locale;                          // a locale identifier
    std::optional<corbel::ColorScheme> scheme; // none: the application's own
    SnapshotView view = SnapshotView::panel;
    bool asked = false; // the welcome starts as after its allow button was pressed
    bool increasedContrast = false;
    bool largeText = false;

    bool operator==(const SnapshotOptions&) const = default;
};

// The options, when some argument begins with "--snapshot-"; none otherwise. An absent or unknown
// state is ready; an absent locale is `currentLocale`; dark wins over light and the preferences
// over the welcome. `arguments` include the program path.
std::optional<SnapshotOptions> snapshotOptions(const QStringList& arguments, const QString& currentLocale);

// The data a state gives the views in place of the app model's.
struct SnapshotFixture {
    bool isEnabled = true;
    PermissionState permission = PermissionState::granted;
    std::unordered_map<FixedShortcut, ShortcutRegistration> registrations;
    PreferenceAvailability preferences = PreferenceAvailability::available;
    AppDecision decision{FunctioningState::off(), {}, {}, {}, false};
    std::vector<TidewrightIssue> issues;
};

SnapshotFixture snapshotFixture(SnapshotState state);

// The two lists of opening rules a state may show, as (bundle identifier, action) in their order.
const std::vector<std::pair<QString, OpeningAction>>& snapshotRuleFixture(SnapshotState state);

// The state's rules, each identifier resolved through the installed applications: a resolved one
// takes the installed name and icon, any other the identifier as its name and no icon. Invalid
// identifiers are skipped; the list is in the opening rules' order.
std::vector<TidewrightRulePresentation> snapshotApplications(SnapshotState state,
                                                             const platform::InstalledApplicationLookup& lookup);

// The pairs as a mapping. REQUIRES: each shortcut appears once.
std::unordered_map<FixedShortcut, ShortcutRegistration>
snapshotRegistrations(const std::vector<std::pair<FixedShortcut, ShortcutRegistration>>& pairs);

// The view the options ask for over the state's fixture, every hook doing nothing, in the
// options' locale, scheme and text size (not yet the contrast).
std::unique_ptr<QWidget> makeSnapshotContent(const SnapshotOptions& options,
                                             const platform::InstalledApplicationLookup& lookup,
                                             const corbel::StringBundle& bundle = corbel::StringBundle::main());

// The surface a view is shown as: the panel as a menu, the others as windows.
corbel::CorbelSnapshot::Surface snapshotSurface(SnapshotView view) noexcept;

// Gives the snapshot window of the application's brand the kit's high-contrast look: the content
// takes the high-contrast palette of `scheme` (none: the scheme it already has) with the brand's
// accent, and increased contrast in its environment, and is drawn into the window again. Nothing
// when there is no such window.
void applyIncreasedContrast(std::optional<corbel::ColorScheme> scheme, QWidget& content,
                            corbel::CorbelSnapshot::Surface surface);

// True when snapshot mode ran (the application then does not start normally): shows the snapshot
// the arguments ask for. REQUIRES a QApplication.
bool runSnapshotIfRequested(const platform::InstalledApplicationLookup& lookup,
                            const QStringList& arguments = QCoreApplication::arguments());

} // namespace tidewright
