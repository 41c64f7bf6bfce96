// The composition root: the only place that reads the environment and builds live services. Each
// service implements the narrow interface through which the app model drives it.

#include "tidewright/app/TidewrightAppModel.hpp"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>
#include <utility>
#include <vector>

#include "corbel/ui/DesktopPointer.hpp"
#include "corbel/ui/LoginItem.hpp"
#include "corbel/ui/WindowKinds.hpp"
#include "platform/accessibility/x11/X11AccessibilityBackend.hpp"
#include "platform/accessibility/x11/X11AccessibilityObservers.hpp"
#include "platform/accessibility/x11/X11TrustNoticeCenter.hpp"
#include "platform/cloud/CloudFolder.hpp"
#include "platform/cloud/CloudFolderLocation.hpp"
#include "platform/concurrency/Continuation.hpp"
#include "platform/concurrency/LiveClock.hpp"
#include "platform/concurrency/ThreadPool.hpp"
#include "platform/concurrency/WeakCall.hpp"
#include "platform/defaults/DefaultsLocation.hpp"
#include "platform/defaults/UserDefaults.hpp"
#include "platform/hotkeys/X11HotkeyBackend.hpp"
#include "platform/login/AutostartLoginItem.hpp"
#include "platform/screenreader/AtspiScreenReaderStatus.hpp"
#include "platform/screens/ScreenService.hpp"
#include "platform/screens/X11ScreenSource.hpp"
#include "platform/settings/DesktopSettings.hpp"
#include "platform/windowserver/X11WindowServer.hpp"
#include "platform/workspace/InstalledApplicationLookup.hpp"
#include "platform/workspace/LiveWorkspace.hpp"
#include "platform/x11/XcbConnection.hpp"
#include "platform/xdg/BaseDirectories.hpp"
#include "platform/xdg/DesktopEntryIndex.hpp"
#include "tidewright/app/LocalWelcomeHistory.hpp"
#include "tidewright/app/NativeTidewrightPresenter.hpp"
#include "tidewright/applications/ApplicationCatalog.hpp"
#include "tidewright/applications/OpeningAdapters.hpp"
#include "tidewright/applications/OpeningMetadataReader.hpp"
#include "tidewright/applications/OpeningObservationCoordinator.hpp"
#include "tidewright/applications/OpeningRules.hpp"
#include "tidewright/preferences/PreferenceRepository.hpp"
#include "tidewright/shell/AccessibilityTrustNotices.hpp"
#include "tidewright/shell/LoginService.hpp"
#include "tidewright/shell/OpenAtLogin.hpp"
#include "tidewright/shell/PermissionService.hpp"
#include "tidewright/shell/SystemPermissionBackend.hpp"
#include "tidewright/shell/SystemSettingsOpening.hpp"
#include "tidewright/windowcontrol/AccessibilityMainWindowTransport.hpp"
#include "tidewright/windowcontrol/AccessibilityWindowSignal.hpp"
#include "tidewright/windowcontrol/CarbonHotkeyRegistrar.hpp"
#include "tidewright/windowcontrol/HotkeyService.hpp"
#include "tidewright/windowcontrol/LiveAccessibilityCalls.hpp"
#include "tidewright/windowcontrol/MainWindowService.hpp"
#include "tidewright/windowcontrol/WindowExecutionOwner.hpp"
#include "tidewright/windowcontrol/WindowOperationPerforming.hpp"
#include "tidewright/windowcontrol/WorkspaceVoiceOverSource.hpp"

namespace tidewright {

namespace {

std::optional<std::string> environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

QStringList environmentList(const char* name, const QString& fallback) {
    const std::optional<std::string> value = environment(name);
    const QString text = value && !value->empty() ? QString::fromStdString(*value) : fallback;
    return text.split(QLatin1Char(':'), Qt::SkipEmptyParts);
}

QStringList folderNames(const std::vector<std::filesystem::path>& folders) {
    QStringList names;
    for (const std::filesystem::path& folder : folders) {
        names.append(QString::fromStdString(folder.string()));
    }
    return names;
}

// What the root reads of the environment, once.
struct Environment {
    std::string display;
    platform::xdg::BaseDirectoryVariables xdgVariables;
    platform::xdg::BaseDirectories xdg;
    std::optional<std::string> syncFolder;
    QStringList searchPath;
    QString currentDesktop;
    QString messageLocale;

    static Environment read() {
        Environment e;
        e.display = environment("DISPLAY").value_or(std::string());
        e.xdgVariables = platform::xdg::BaseDirectoryVariables::fromEnvironment();
        e.xdg = platform::xdg::baseDirectories(e.xdgVariables);
        e.syncFolder = environment(std::string(platform::cloudFolderVariable).c_str());
        e.searchPath = environmentList("PATH", QStringLiteral("/usr/local/bin:/usr/bin:/bin"));
        e.currentDesktop = QString::fromStdString(environment("XDG_CURRENT_DESKTOP").value_or(std::string()));
        e.messageLocale = QString::fromStdString(environment("LC_ALL").value_or(
            environment("LC_MESSAGES").value_or(environment("LANG").value_or(""))));
        return e;
    }
};

// The platform objects that the live services refer to; released after every service.
// The kit's shared login item writes on the pool: it goes first.
struct InstalledLoginItem {
    const corbel::LoginItem* item = nullptr;
    InstalledLoginItem() = default;
    InstalledLoginItem(const InstalledLoginItem&) = delete;
    InstalledLoginItem& operator=(const InstalledLoginItem&) = delete;
    ~InstalledLoginItem() {
        if (item != nullptr) {
            corbel::LoginItem::withdraw(*item);
        }
    }
};

struct Platform {
    platform::LiveClock clock;
    platform::ThreadPool pool{4, "tidewright-pool"};
    InstalledLoginItem loginItem;
    std::shared_ptr<platform::UserDefaults> defaults;
    std::unique_ptr<platform::xdg::DesktopEntryIndex> index;
    std::unique_ptr<platform::LiveWorkspace> workspace;
    std::unique_ptr<platform::X11HotkeyBackend> hotkeyBackend;
    std::unique_ptr<platform::AtspiScreenReaderStatus> screenReader;
    std::unique_ptr<platform::DesktopSettings> desktopSettings;
};

} // namespace

TidewrightAppModel::Services
TidewrightAppModel::liveServices(platform::Executor& main,
                                 std::shared_ptr<TidewrightWindowPresenting> presenter,
                                 std::shared_ptr<platform::UserDefaults> standardDefaults) {
    const Environment env = Environment::read();
    auto platformObjects = std::make_shared<Platform>();
    Platform& p = *platformObjects;
    platform::Clock& clock = p.clock;

    Services services;
    services.resources.push_back(platformObjects);
    services.clock = &clock;
    services.windowPresenter =
        presenter ? std::move(presenter) : std::make_shared<NativeTidewrightPresenter>();

    // 1. The preference repository over the standard user defaults and the synced folder.
    p.defaults = standardDefaults ? std::move(standardDefaults)
                                  : std::make_shared<platform::UserDefaults>(
                                        platform::userDefaultsFile(env.xdgVariables.configHome,
                                                                   env.xdgVariables.home, "standard"),
                                        main);
    auto preferences = PreferenceRepository::live(
        p.defaults,
        platform::CloudFolder::open(platform::cloudFolderRoot(env.syncFolder, env.xdgVariables.dataHome,
                                                              env.xdgVariables.home), main),
        main, clock);
    services.preferences = preferences;

    // 2. The permission service.
    auto accessibility = std::make_shared<platform::X11AccessibilityBackend>(env.display);
    services.permissions =
        PermissionService::make(std::make_shared<SystemPermissionBackend>(accessibility, p.pool), main);

    // 3. The hot keys, withdrawn while a screen reader runs.
    p.hotkeyBackend = std::make_unique<platform::X11HotkeyBackend>(env.display, main);
    p.screenReader = std::make_unique<platform::AtspiScreenReaderStatus>(QDBusConnection::sessionBus());
    services.hotkeys = HotkeyService::make(std::make_shared<CarbonHotkeyRegistrar>(*p.hotkeyBackend),
                                           WorkspaceVoiceOverSource::make(*p.screenReader, main));

    // 4. The catalog over the workspace.
    p.index = std::make_unique<platform::xdg::DesktopEntryIndex>(
        platform::xdg::IndexSettings{folderNames(env.xdg.dataFolders()), env.messageLocale, env.searchPath}, main, p.pool);
    p.workspace = std::make_unique<platform::LiveWorkspace>(
        platform::LiveWorkspace::Settings{env.display, static_cast<std::int32_t>(::getpid()), env.searchPath},
        *p.index, main);
    auto catalog = ApplicationCatalog::make(*p.workspace);
    services.catalog = catalog;

    // 5. Open at login, over the autostart entry.
    platform::AutostartLoginItem::Settings login;
    login.configHome = QString::fromStdString(env.xdg.configHome.string());
    login.configDirs = folderNames(env.xdg.configDirs);
    login.executable = QCoreApplication::applicationFilePath();
    login.fileName = QStringLiteral("app.corbelthane.tidewright.desktop");
    login.name = QStringLiteral("Tidewright");
    login.searchPath = env.searchPath;
    const auto autostart = std::make_shared<const platform::AutostartLoginItem>(login);
    services.openAtLogin = OpenAtLogin::make(std::make_shared<LoginService>(autostart, p.pool), main);
    // The kit's switches read and write the same entry.
    p.loginItem.item = &corbel::LoginItem::install({autostart, &main, &p.pool});

    // 6. The main-window transport; the enhanced interface is left alone while a screen reader runs.
    platform::ScreenReaderStatus* screenReader = p.screenReader.get();
    auto transport = std::make_shared<AccessibilityMainWindowTransport<LiveAccessibilityCalls>>(
        LiveAccessibilityCalls(accessibility), [screenReader] {
            return screenReader->isVoiceOverEnabled() || screenReader->isSwitchControlEnabled();
        });

    // 7. The welcome history.
    services.welcomeHistory = std::make_shared<LocalWelcomeHistory>(*p.defaults);

    // 8. The window-created signal.
    auto signal = AccessibilityWindowSignal::create(
        std::make_shared<platform::X11AccessibilityObservers>(env.display, main), main, p.pool, clock);

    // 9. The trust notices.
    services.trustNotices = std::make_shared<AccessibilityTrustNotices>(
        std::make_shared<platform::X11TrustNoticeCenter>(env.display, main), main, clock);

    // 10. The settings opener.
    platform::xdg::DesktopEntryIndex* index = p.index.get();
    p.desktopSettings = std::make_unique<platform::DesktopSettings>(
        env.currentDesktop, [index] { return index->snapshot(); }, env.searchPath);
    services.settings = std::make_shared<SystemSettingsOpener>(SystemSettingsOpener::live(*p.desktopSettings));

    // The opening rules over the repository and the catalog.
    services.openingRules = OpeningRules::create(preferences, catalog, main);

    // Window control and the opening machinery, over the model's hooks.
    auto screens = std::make_shared<platform::ScreenService>(std::make_shared<platform::X11ScreenSource>(env.display));
    // The kit's windows open on the same screens, at the pointer.
    corbel::KitWindows::install({&main, screens, corbel::makeQtDesktopPointer()});
    auto inventory = std::make_shared<CGOpeningInventory>(
        std::make_shared<platform::X11WindowServer>(env.display), p.pool);
    services.execution = [&main, &clock, transport, screens, inventory, signal](WindowExecutionHooks hooks) {
        auto facts = hooks.facts;
        auto windows = MainWindowService::make(
            transport, screens,
            [facts] {
                const OpeningObservationFacts opening = facts();
                return WindowOperationFacts{opening.frontmost, opening.generation, opening.operationAllowed};
            },
            [&clock] { return clock.now(); });
        auto metadata =
            OpeningMetadataReader::create(transport, transport, hooks.facts, hooks.processes, clock);
        auto coordinator = OpeningObservationCoordinator::create(
            inventory, metadata, metadata, hooks.facts, clock, signal, main);
        std::weak_ptr<OpeningMetadataReader> weakMetadata = metadata;
        auto owner = WindowExecutionOwner::make(
            main, std::make_shared<MainWindowServicePerformer>(windows), coordinator, hooks.facts,
            hooks.authorize,
            platform::weakCall(weakMetadata, &OpeningMetadataReader::revokeAllPermits),
            hooks.completed);
        std::weak_ptr<WindowExecutionOwner> weakOwner = owner;
        coordinator->onCandidate = platform::weakCall(weakOwner, &WindowExecutionOwner::performAutomatic);
        // The owner keeps the coordinator, and the coordinator the metadata reader.
        return owner;
    };

    return services;
}

std::shared_ptr<TidewrightAppModel>
TidewrightAppModel::live(platform::Executor& main, std::shared_ptr<TidewrightWindowPresenting> presenter,
                         std::shared_ptr<platform::UserDefaults> standardDefaults) {
    return make(liveServices(main, std::move(presenter), std::move(standardDefaults)));
}

bool TidewrightAppModel::displayReachable() {
    try {
        platform::x11::XcbConnection::open(Environment::read().display,
                                           platform::x11::Clock::now() + std::chrono::seconds(5));
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

std::unique_ptr<platform::InstalledApplicationLookup> TidewrightAppModel::liveInstalledApplications() {
    const Environment env = Environment::read();
    return std::make_unique<platform::DesktopEntryApplications>(
        std::make_shared<const platform::xdg::DesktopEntrySnapshot>(platform::xdg::DesktopEntrySnapshot::scan(
            platform::xdg::IndexSettings{folderNames(env.xdg.dataFolders()), env.messageLocale, env.searchPath})));
}

} // namespace tidewright
