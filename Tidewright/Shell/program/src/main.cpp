// The program: one QApplication, the main executor, the delegate that builds and drives the app
// model, and the desktop's moments turned into the delegate's calls.

#include "corbel/ui/CorbelSnapshot.hpp"
#include "corbel/ui/KitLabels.hpp"
#include "corbel/ui/StringBundle.hpp"
#include "corbel/updates/DefaultsUpdateRecordStore.hpp"
#include "corbel/updates/SiteUpdateFeed.hpp"
#include "corbel/updates/UpdateChecker.hpp"
#include "platform/application/TerminationRequests.hpp"
#include "platform/concurrency/LiveClock.hpp"
#include "platform/concurrency/MainExecutor.hpp"
#include "platform/concurrency/Task.hpp"
#include "platform/defaults/DefaultsLocation.hpp"
#include "platform/defaults/UserDefaults.hpp"
#include "platform/instance/DisplayInstance.hpp"
#include "platform/xdg/BaseDirectories.hpp"
#include "tidewright/app/TidewrightStatusItem.hpp"
#include "tidewright/shell/TidewrightDelegate.hpp"
#include "platform/workspace/InstalledApplicationLookup.hpp"
#include "tidewright/views/TidewrightCopy.hpp"
#include "tidewright/views/TidewrightSnapshot.hpp"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLocale>
#include <QLoggingCategory>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

namespace {

Q_LOGGING_CATEGORY(shellLog, "app.corbelthane.tidewright.shell")

using namespace tidewright;

// Control+comma pressed in any window of the application.
class SettingsCommandFilter final : public QObject {
public:
    std::function<void()> onCommand;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if (key->key() == Qt::Key_Comma && key->modifiers() == Qt::ControlModifier && onCommand) {
                if (!key->isAutoRepeat()) {
                    onCommand();
                }
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }
};

// Everything the process owns besides the QApplication; destroyed before it.
class Program {
public:
    explicit Program(platform::MainExecutor& main)
        : main_(main), snapshot_(corbel::CorbelSnapshot::isRequested()), defaults_(standardDefaults(main)),
          termination_([](int) { QCoreApplication::quit(); }), delegate_(environment()) {
        QObject::connect(qApp, &QGuiApplication::applicationStateChanged, &anchor_,
                         [this](Qt::ApplicationState state) {
                             if (state == Qt::ApplicationActive) {
                                 delegate_.applicationDidBecomeActive();
                             }
                         });
        QObject::connect(qApp, &QCoreApplication::aboutToQuit, &anchor_,
                         [this] { delegate_.applicationWillTerminate(); });
        // The settings command, while one of our windows is active. A filter rather than a
        // QShortcut: Qt matches a shortcut only when a visible widget owns it, and no window of
        // ours exists for the program's whole life.
        settingsCommand_.onCommand = [this] { delegate_.showPreferencesCommand(); };
        qApp->installEventFilter(&settingsCommand_);
        // "Launching finished" is the first turn of the loop: a quit asked before the loop runs
        // would be lost.
        QTimer::singleShot(0, &anchor_, [this] { delegate_.applicationDidFinishLaunching(); });
        if (const auto& model = delegate_.model()) {
            conflicts_ = model->observeDecision([this](const AppDecision& decision) { warnOfConflicts(decision); });
        }
        showStatusItem();
    }

    // The tray panel, beside the tray icon or else at the pointer; nothing without a model.
    void showPanel() {
        qCDebug(shellLog, "another start asked for the panel");
        if (statusItem_) {
            statusItem_->showPanel();
        }
    }

    // Lets the work that the model's stop() cancelled unwind: a cancelled action still waits for
    // the window-server call it made, and its tasks wait for one another. Destroying the model and
    // the executor under them would drop their resumptions (leaving tasks that await each other
    // for ever) or let a late reply write into freed memory.
    void drain() {
        const std::weak_ptr<TidewrightAppModel> model = delegate_.model();
        const auto settled = [&] { return model.use_count() <= 1 && platform::unfinishedTasks() == 0; };
        if (settled()) {
            return;
        }
        // A tick bounds each wait, so the deadline holds even when no event comes.
        QTimer tick;
        tick.start(10);
        QElapsedTimer waited;
        waited.start();
        while (!settled() && waited.elapsed() < 3000) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        }
        if (!settled()) {
            qCWarning(shellLog, "%zu tasks still unfinished at exit", platform::unfinishedTasks());
        }
    }

private:
    // The status item exists only with a model: not in snapshot mode, not after a failed build.
    void showStatusItem() {
        if (const std::shared_ptr<TidewrightAppModel>& model = delegate_.model()) {
            statusItem_ = std::make_unique<TidewrightStatusItem>(model, updateChecker());
        }
    }

    // Once each time the set of shortcuts another program holds becomes non-empty or changes.
    void warnOfConflicts(const AppDecision& decision) {
        if (decision.conflictingShortcuts == warnedConflicts_) {
            return;
        }
        warnedConflicts_ = decision.conflictingShortcuts;
        QStringList names;
        for (const FixedShortcut shortcut : allFixedShortcuts) {
            if (warnedConflicts_.contains(shortcut)) {
                names.append(shortcutName(shortcut));
            }
        }
        if (!names.isEmpty()) {
            qCWarning(shellLog, "another program holds %s: these shortcuts do nothing until it lets them go",
                      qPrintable(names.join(QStringLiteral(", "))));
        }
    }

    // As the user reads the key combination, whatever the window manager's names for the keys.
    static QString shortcutName(FixedShortcut shortcut) {
        switch (shortcut) {
        case FixedShortcut::left:
            return QStringLiteral("Control+Alt+Left");
        case FixedShortcut::right:
            return QStringLiteral("Control+Alt+Right");
        case FixedShortcut::up:
            return QStringLiteral("Control+Alt+Up");
        case FixedShortcut::d:
            return QStringLiteral("Control+Alt+D");
        case FixedShortcut::down:
            return QStringLiteral("Control+Alt+Down");
        case FixedShortcut::c:
            return QStringLiteral("Control+Alt+C");
        }
        return {};
    }

    TidewrightDelegate::Environment environment() {
        TidewrightDelegate::Environment e;
        e.snapshotRequested = snapshot_;
        e.buildModel = [this] {
            return TidewrightAppModel::live(main_, nullptr, defaults_);
        };
        e.snapshotLaunch = [this] {
            if (!snapshot_) {
                return false;
            }
            return runSnapshotIfRequested(*TidewrightAppModel::liveInstalledApplications());
        };
        e.updateChecker = [this] {
            return updateChecker();
        };
        e.showFailureAlert = [] {
            showFailureAlert();
        };
        e.terminate = [] {
            QCoreApplication::quit();
        };
        return e;
    }

    // Built once, on first use; absent in snapshot mode.
    corbel::UpdateNotifier* updateChecker() {
        std::call_once(checkerOnce_, [this] {
            if (snapshot_) {
                return;
            }
            store_ = std::make_unique<corbel::DefaultsUpdateRecordStore>(*defaults_);
            checker_ = corbel::UpdateChecker::make(
                "tidewright", std::string(TIDEWRIGHT_VERSION),
                std::make_shared<corbel::SiteUpdateFeed>(clock_), *store_,
                [] { return corbel::Date::fromSystemClock(std::chrono::system_clock::now()); }, main_);
        });
        return checker_.get();
    }

    static std::shared_ptr<platform::UserDefaults> standardDefaults(platform::Executor& main) {
        const auto xdg = platform::xdg::BaseDirectoryVariables::fromEnvironment();
        return std::make_shared<platform::UserDefaults>(
            platform::userDefaultsFile(xdg.configHome, xdg.home, "standard"), main);
    }

    static void showFailureAlert() {
        const QLocale locale;
        QMessageBox alert;
        alert.setTextFormat(Qt::PlainText);
        alert.setIcon(QMessageBox::Critical);
        alert.setText(localizedCopy(TidewrightCopy::operationFailed, locale));
        alert.setInformativeText(localizedCopy(TidewrightCopy::operationFailedNote, locale));
        QString quit = corbel::kitLabel(corbel::KitLabel::quit, locale);
        alert.addButton(quit.replace(QLatin1Char('&'), QStringLiteral("&&")), QMessageBox::AcceptRole);
        alert.exec();
    }

    platform::MainExecutor& main_;
    platform::LiveClock clock_;
    bool snapshot_;
    // The standard defaults: one object per process, shared by the model and the update checker,
    // since two writers of one file would drop each other's keys.
    std::shared_ptr<platform::UserDefaults> defaults_;
    QObject anchor_;
    SettingsCommandFilter settingsCommand_;
    platform::application::TerminationRequests termination_;
    std::once_flag checkerOnce_;
    std::unique_ptr<corbel::DefaultsUpdateRecordStore> store_;
    std::shared_ptr<corbel::UpdateChecker> checker_;
    // Last: the model goes before the checker, the executor and the clock it uses.
    TidewrightDelegate delegate_;
    ShortcutSet warnedConflicts_;
    platform::Subscription conflicts_;
    // After the delegate: the tray goes first.
    std::unique_ptr<TidewrightStatusItem> statusItem_;
};

// Why Qt's X platform cannot start here; nothing when it can, or when Qt is to use another platform.
std::optional<std::string> missingDisplay() {
    const QByteArray platformName = qgetenv("QT_QPA_PLATFORM");
    if (!platformName.isEmpty() && !platformName.startsWith("xcb")) {
        return std::nullopt;
    }
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty()) {
        return "DISPLAY is not set";
    }
    if (!TidewrightAppModel::displayReachable()) {
        return "cannot open display '" + display.toStdString() + "'";
    }
    return std::nullopt;
}

// Before the QApplication, which reads the arguments.
bool snapshotRequested(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments.append(QString::fromLocal8Bit(argv[i]));
    }
    return corbel::CorbelSnapshot::isRequested(arguments);
}

// Who is the display's one program: this process, or (no owner) another that was just asked for
// its panel. Nothing when there is no display to hold the selection on: the process then runs and
// fails as it would have.
std::optional<platform::DisplayInstance::Claim> claimDisplay() {
    try {
        return platform::DisplayInstance::claim(std::string(), "app.corbelthane.tidewright");
    } catch (const std::exception& failure) {
        qCWarning(shellLog, "not checked for another start on this display: %s", failure.what());
        return std::nullopt;
    }
}

} // namespace

int main(int argc, char** argv) {
    // Our debug lines (each grab and release) stay quiet unless QT_LOGGING_RULES asks for them.
    QLoggingCategory::setFilterRules(QStringLiteral("app.corbelthane.tidewright.*.debug=false"));
    // Without a display Qt would abort with advice of its own; one line says what is missing.
    if (const std::optional<std::string> missing = missingDisplay()) {
        std::fprintf(stderr, "Tidewright needs an X11 display: %s.\n", missing->c_str());
        return 1;
    }
    // Before anything is read or written: a second start only hands over to the first. Snapshot
    // mode draws its fixtures and touches nothing, so it runs beside the program.
    std::unique_ptr<platform::DisplayInstance> instance;
    if (!snapshotRequested(argc, argv)) {
        if (std::optional<platform::DisplayInstance::Claim> claim = claimDisplay()) {
            if (!claim->owner) {
                qCInfo(shellLog, "Tidewright already runs on this display: it was asked to show its panel");
                return 0;
            }
            instance = std::move(claim->owner);
        }
    }
    TidewrightStatusItem::exposePanelToAssistiveTechnology();
    QApplication application(argc, argv);
    // The version the panel's caption shows.
    QApplication::setApplicationVersion(QStringLiteral(TIDEWRIGHT_VERSION));
    QApplication::setQuitOnLastWindowClosed(false);
    platform::MainExecutor main;
    int status = 0;
    {
        Program program(main);
        std::unique_ptr<platform::DisplayInstance::Watch> requests;
        if (instance) {
            instance->onShowPanelRequested = [&program] { program.showPanel(); };
            // A program that takes the selection over is the display's one program from then on;
            // two writing the same defaults and synced folder is what the selection prevents.
            instance->onSelectionLost = [] { QCoreApplication::quit(); };
            requests = instance->watch(main);
        }
        status = QApplication::exec();
        requests.reset();
        program.drain();
    }
    return status;
}
