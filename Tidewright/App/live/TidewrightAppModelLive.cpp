// The composition root: the only place that reads the environment and builds live services, each
// adapted to the narrow interface through which the app model drives it.

#include "tidewright/app/TidewrightAppModel.hpp"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDir>
#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <unistd.h>
#include <utility>

#include "LivePermissions.hpp"
#include "LivePreferences.hpp"
#include "corbel/ui/LoginItem.hpp"
#include "platform/accessibility/x11/X11AccessibilityBackend.hpp"
#include "platform/accessibility/x11/X11AccessibilityObservers.hpp"
#include "platform/accessibility/x11/X11TrustNoticeCenter.hpp"
#include "platform/cloud/CloudFolderLocation.hpp"
#include "platform/concurrency/Continuation.hpp"
#include "platform/concurrency/LiveClock.hpp"
#include "platform/concurrency/ThreadPool.hpp"
#include "platform/defaults/DefaultsLocation.hpp"
#include "platform/defaults/UserDefaults.hpp"
#include "platform/hotkeys/X11HotkeyBackend.hpp"
#include "platform/login/AutostartLoginItem.hpp"
#include "platform/screenreader/AtspiScreenReaderStatus.hpp"
#include "platform/screens/X11ScreenSource.hpp"
#include "platform/settings/DesktopSettings.hpp"
#include "platform/windowserver/X11WindowServer.hpp"
#include "platform/workspace/InstalledApplicationLookup.hpp"
#include "platform/x11/XcbConnection.hpp"
#include "platform/workspace/LiveWorkspace.hpp"
#include "platform/xdg/DesktopEntryIndex.hpp"
#include "tidewright/app/LocalWelcomeHistory.hpp"
#include "tidewright/applications/ApplicationCatalog.hpp"
#include "tidewright/applications/OpeningAdapters.hpp"
#include "tidewright/applications/OpeningMetadataReader.hpp"
#include "tidewright/applications/OpeningObservationCoordinator.hpp"
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
#include "tidewright/windowcontrol/ScreenService.hpp"
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

// What the root reads of the environment, once.
struct Environment {
    std::string display;
    std::string home;
    std::optional<std::string> configHome;
    std::optional<std::string> dataHome;
    std::optional<std::string> syncFolder;
    QStringList dataFolders; // $XDG_DATA_HOME, then $XDG_DATA_DIRS
    QStringList configDirs;
    QStringList searchPath;
    QString currentDesktop;
    QString messageLocale;

    static Environment read() {
        Environment e;
        e.display = environment("DISPLAY").value_or(std::string());
        e.home = environment("HOME").value_or(QDir::homePath().toStdString());
        e.configHome = environment("XDG_CONFIG_HOME");
        e.dataHome = environment("XDG_DATA_HOME");
        e.syncFolder = environment(std::string(platform::cloudFolderVariable).c_str());
        const QString home = QString::fromStdString(e.home);
        const QString dataHome = e.dataHome && !e.dataHome->empty() && e.dataHome->front() == '/'
                                     ? QString::fromStdString(*e.dataHome)
                                     : home + QStringLiteral("/.local/share");
        e.dataFolders = QStringList{dataHome} +
                        environmentList("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"));
        e.configDirs = environmentList("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
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

class LiveHotkeys final : public HotkeyServiceDriving {
public:
    explicit LiveHotkeys(std::shared_ptr<HotkeyService> service) : service_(std::move(service)) {}
    const Registrations& registrations() const override { return service_->registrations(); }
    void apply(const std::unordered_set<FixedShortcut>& desired) override { service_->apply(desired); }
    void stop() override { service_->stop(); }
    void setOnShortcut(std::function<void(FixedShortcut)> onShortcut) override {
        service_->onShortcut = std::move(onShortcut);
    }
    void setOnChange(std::function<void()> onChange) override { service_->onChange = std::move(onChange); }

private:
    std::shared_ptr<HotkeyService> service_;
};

class LiveExecution final : public WindowExecutionDriving {
public:
    // The coordinator and the metadata reader are the owner's; they live as long as this does.
    LiveExecution(std::shared_ptr<WindowExecutionOwner> owner,
                  std::shared_ptr<OpeningObservationCoordinator> opening,
                  std::shared_ptr<OpeningMetadataReader> metadata)
        : owner_(std::move(owner)), opening_(std::move(opening)), metadata_(std::move(metadata)) {}
    void start(const std::vector<ProcessID>& processes) override { owner_->start(processes); }
    void stop() override { owner_->stop(); }
    void factsChanged(const std::vector<ProcessID>& processes) override { owner_->factsChanged(processes); }
    void perform(FixedShortcut shortcut) override { owner_->perform(shortcut); }
    void receive(const ApplicationLifecycle& event, platform::ContinuousInstant at) override {
        owner_->receive(event, at);
    }

private:
    std::shared_ptr<WindowExecutionOwner> owner_;
    std::shared_ptr<OpeningObservationCoordinator> opening_;
    std::shared_ptr<OpeningMetadataReader> metadata_;
};

class LiveOpenAtLogin final : public OpenAtLoginDriving {
public:
    explicit LiveOpenAtLogin(std::shared_ptr<OpenAtLogin> login) : login_(std::move(login)) {}
    void start() override { login_->start(); }
    void stop() override { login_->stop(); }
    void refresh() override { login_->refresh(); }
    void setOnResult(std::function<void(bool)> onResult) override { login_->onResult = std::move(onResult); }

private:
    std::shared_ptr<OpenAtLogin> login_;
};

class LiveTrustNotices final : public TrustNoticesDriving {
public:
    explicit LiveTrustNotices(std::unique_ptr<AccessibilityTrustNotices> notices)
        : notices_(std::move(notices)) {}
    void start(std::function<void()> handler) override { notices_->start(std::move(handler)); }
    void stop() override { notices_->stop(); }

private:
    std::unique_ptr<AccessibilityTrustNotices> notices_;
};

class LiveSettings final : public SystemSettingsDriving {
public:
    explicit LiveSettings(SystemSettingsOpener opener) : opener_(std::move(opener)) {}
    bool open() override { return opener_.open(); }
    std::optional<BundleID> application() const override { return opener_.identifier(); }

private:
    SystemSettingsOpener opener_;
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
    services.now = [&clock] {
        return clock.now();
    };
    services.windowPresenter = std::move(presenter);

    // 1. The preference repository over the standard user defaults and the synced folder.
    p.defaults = standardDefaults ? std::move(standardDefaults)
                                  : std::make_shared<platform::UserDefaults>(
                                        platform::userDefaultsFile(env.configHome, env.home, "standard"), main);
    services.preferences = livePreferences(
        p.defaults, platform::cloudFolderRoot(env.syncFolder, env.dataHome, env.home), main, clock);

    // 2. The permission service.
    auto accessibility = std::make_shared<platform::X11AccessibilityBackend>(env.display);
    services.permissions = std::make_shared<LivePermissions>(
        PermissionService::make(std::make_shared<SystemPermissionBackend>(accessibility, p.pool), main));

    // 3. The hot keys, withdrawn while a screen reader runs.
    p.hotkeyBackend = std::make_unique<platform::X11HotkeyBackend>(env.display, main);
    p.screenReader = std::make_unique<platform::AtspiScreenReaderStatus>(QDBusConnection::sessionBus());
    services.hotkeys = std::make_shared<LiveHotkeys>(
        HotkeyService::make(std::make_shared<CarbonHotkeyRegistrar>(*p.hotkeyBackend),
                            WorkspaceVoiceOverSource::make(*p.screenReader, main)));

    // 4. The catalog over the workspace.
    p.index = std::make_unique<platform::xdg::DesktopEntryIndex>(
        platform::xdg::IndexSettings{env.dataFolders, env.messageLocale, env.searchPath}, main, p.pool);
    p.workspace = std::make_unique<platform::LiveWorkspace>(
        platform::LiveWorkspace::Settings{env.display, static_cast<std::int32_t>(::getpid()), env.searchPath},
        *p.index, main);
    auto catalog = ApplicationCatalog::make(*p.workspace);
    services.catalog = catalog;

    // 5. Open at login, over the autostart entry.
    platform::AutostartLoginItem::Settings login;
    if (env.configHome && !env.configHome->empty() && env.configHome->front() == '/') {
        login.configHome = QString::fromStdString(*env.configHome);
    } else if (!env.home.empty()) {
        login.configHome = QString::fromStdString(env.home) + QStringLiteral("/.config");
    }
    login.configDirs = env.configDirs;
    login.executable = QCoreApplication::applicationFilePath();
    login.fileName = QStringLiteral("app.corbelthane.tidewright.desktop");
    login.name = QStringLiteral("Tidewright");
    login.searchPath = env.searchPath;
    const auto autostart = std::make_shared<const platform::AutostartLoginItem>(login);
    auto openAtLogin = OpenAtLogin::make(std::make_shared<LoginService>(autostart, p.pool), main);
    // The kit's switches read and write the same entry.
    p.loginItem.item = &corbel::LoginItem::install({autostart, &main, &p.pool});
    services.openAtLogin = std::make_shared<LiveOpenAtLogin>(openAtLogin);

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
    services.trustNotices = std::make_shared<LiveTrustNotices>(std::make_unique<AccessibilityTrustNotices>(
        std::make_shared<platform::X11TrustNoticeCenter>(env.display, main), main, clock));

    // 10. The settings opener.
    platform::xdg::DesktopEntryIndex* index = p.index.get();
    p.desktopSettings = std::make_unique<platform::DesktopSettings>(
        env.currentDesktop, [index] { return index->snapshot(); }, env.searchPath);
    services.settings = std::make_shared<LiveSettings>(SystemSettingsOpener::live(*p.desktopSettings));

    // The opening rules over the repository and the catalog.
    services.openingRules = liveOpeningRules(*services.preferences, catalog, main);

    // Window control and the opening machinery, over the model's hooks.
    auto screens = std::make_shared<ScreenService>(std::make_shared<platform::X11ScreenSource>(env.display));
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
            inventory, metadata, metadata, hooks.facts, OpeningObservationCoordinator::nowOf(clock),
            OpeningObservationCoordinator::sleepOn(clock), signal, main);
        std::weak_ptr<OpeningMetadataReader> weakMetadata = metadata;
        auto owner = WindowExecutionOwner::make(
            main, std::make_shared<MainWindowServicePerformer>(windows), coordinator, hooks.facts,
            hooks.authorize,
            [weakMetadata] {
                if (const auto reader = weakMetadata.lock()) {
                    reader->revokeAllPermits();
                }
            },
            hooks.completed);
        std::weak_ptr<WindowExecutionOwner> weakOwner = owner;
        coordinator->onCandidate = [weakOwner](const OpeningObservationProposal& proposal) {
            if (const auto executionOwner = weakOwner.lock()) {
                executionOwner->performAutomatic(proposal);
            }
        };
        return std::make_shared<LiveExecution>(owner, coordinator, metadata);
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
            platform::xdg::IndexSettings{env.dataFolders, env.messageLocale, env.searchPath})));
}

} // namespace tidewright
