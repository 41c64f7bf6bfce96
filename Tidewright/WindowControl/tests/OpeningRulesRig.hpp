#pragma once
// The opening rules live on a private display, wired by hand the way the composition root wires
// them: workspace and catalog, window list, window-created signal, transport, screens, coordinator,
// window operation service and execution owner, all on the Qt event loop, with a small stand-in for
// the app model's facts and closures. Shared by the end-to-end tests and the opening benchmark.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QString>
#include <QStringList>

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include <unistd.h>

#include "platform/accessibility/x11/X11AccessibilityBackend.hpp"
#include "platform/accessibility/x11/X11AccessibilityObservers.hpp"
#include "platform/concurrency/LiveClock.hpp"
#include "platform/concurrency/MainExecutor.hpp"
#include "platform/concurrency/ThreadPool.hpp"
#include "platform/screens/ScreenService.hpp"
#include "platform/screens/X11ScreenSource.hpp"
#include "platform/testing/X11TestWorld.hpp"
#include "platform/windowserver/X11WindowServer.hpp"
#include "platform/workspace/LiveWorkspace.hpp"
#include "platform/xdg/DesktopEntryIndex.hpp"
#include "tidewright/applications/ApplicationCatalog.hpp"
#include "tidewright/applications/OpeningAdapters.hpp"
#include "tidewright/applications/OpeningMetadataReader.hpp"
#include "tidewright/applications/OpeningObservationCoordinator.hpp"
#include "tidewright/windowcontrol/AccessibilityMainWindowTransport.hpp"
#include "tidewright/windowcontrol/AccessibilityWindowSignal.hpp"
#include "tidewright/windowcontrol/LiveAccessibilityCalls.hpp"
#include "tidewright/windowcontrol/MainWindowService.hpp"
#include "tidewright/windowcontrol/WindowExecutionOwner.hpp"

#include "HeldCalls.hpp"

namespace tidewright {

// The WM_CLASS option of the test client for a window of the application whose desktop entry
// names windowClass as its StartupWMClass (the property's bytes as numbers).
inline std::string windowClassOption(const std::string& windowClass) {
    const std::string bytes = windowClass + '\0' + windowClass + '\0';
    std::string option = "prop=WM_CLASS:STRING:8:";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        option += (i == 0 ? "" : ",") + std::to_string(static_cast<unsigned char>(bytes[i]));
    }
    return option;
}

// The desktop entry of an application whose windows carry windowClass.
inline std::string desktopEntry(const std::string& name, const std::string& windowClass) {
    return "[Desktop Entry]\nType=Application\nName=" + name +
           "\nExec=tidewright-test-client\nStartupWMClass=" + windowClass + "\n";
}

// A window's outer frame read straight from the X server and the window manager, bypassing the code
// under test.
inline DesktopFrame outerFrame(platform::testing::X11TestWorld& world, platform::x11::WindowId window) {
    const platform::x11::PixelRect client = world.clientGeometry(window);
    const platform::x11::Extents wm = world.frameExtents(window);
    return DesktopFrame(
        DesktopPoint{Points(client.x - wm.left), Points(client.y - wm.top)},
        WindowSize(Points(client.width + wm.left + wm.right), Points(client.height + wm.top + wm.bottom)));
}

class OpeningRulesRig {
public:
    struct Report {
        WindowOperationOutcome outcome;
        std::chrono::steady_clock::time_point at;
    };

    // REQUIRES: a QApplication exists on this thread; dataFolder has an applications/ folder with
    // the desktop entries of the test applications; world outlives the rig.
    OpeningRulesRig(platform::testing::X11TestWorld& world, const QString& dataFolder)
        : index(platform::xdg::IndexSettings{QStringList{dataFolder}, QStringLiteral("C"), {}}, executor,
                pool),
          workspace(
              platform::LiveWorkspace::Settings{world.display(), static_cast<std::int32_t>(::getpid()), {}},
              index, executor),
          catalog(ApplicationCatalog::make(workspace)),
          transport(std::make_shared<AccessibilityMainWindowTransport<LiveAccessibilityCalls>>(
              LiveAccessibilityCalls(std::make_shared<platform::X11AccessibilityBackend>(world.display())),
              [] { return false; })),
          reader(OpeningMetadataReader::create(
              transport, transport, [this] { return facts(); },
              [this] { return catalog->runningProcesses(); }, clock)),
          signal(AccessibilityWindowSignal::create(
              std::make_shared<platform::X11AccessibilityObservers>(world.display(), executor), executor,
              pool, clock)),
          coordinator(OpeningObservationCoordinator::create(
              std::make_shared<CGOpeningInventory>(
                  std::make_shared<platform::X11WindowServer>(world.display()), pool),
              reader, reader, [this] { return facts(); }, clock, signal, executor)),
          screens(
              std::make_shared<platform::ScreenService>(std::make_shared<platform::X11ScreenSource>(world.display()))),
          service(MainWindowService::make(
              transport, screens,
              [this] {
                  const OpeningObservationFacts now = facts();
                  return WindowOperationFacts{now.frontmost, now.generation, now.operationAllowed};
              },
              [] { return platform::ContinuousClock::now(); })),
          owner(WindowExecutionOwner::make(
              executor, std::make_shared<MainWindowServicePerformer>(service), coordinator,
              [this] { return facts(); }, [this] { return authorize(); },
              [this] { reader->revokeAllPermits(); },
              [this](const WindowOperationOutcome& outcome) {
                  reports.push_back(Report{outcome, std::chrono::steady_clock::now()});
              })) {
        const std::weak_ptr<WindowExecutionOwner> weakOwner = owner;
        coordinator->onCandidate = [weakOwner](const OpeningObservationProposal& proposal) {
            if (const auto strong = weakOwner.lock()) {
                strong->performAutomatic(proposal);
            }
        };
        catalog->onLifecycle = [this](const ApplicationLifecycle& event) {
            owner->receive(event, platform::ContinuousClock::now());
        };
        catalog->onFocusChange = [this] {
            ++generation;
            owner->factsChanged(catalog->runningProcesses());
        };
    }

    ~OpeningRulesRig() { stop(); }
    OpeningRulesRig(const OpeningRulesRig&) = delete;
    OpeningRulesRig& operator=(const OpeningRulesRig&) = delete;

    // As the app model starts: running, the catalog started, then the owner with the processes.
    void start() {
        running = true;
        catalog->start();
        owner->factsChanged(catalog->runningProcesses());
        owner->start(catalog->runningProcesses());
    }

    void stop() {
        running = false;
        ++generation;
        owner->stop();
        catalog->stop();
        heldAuthorizations.releaseAll();
    }

    // The app model's facts, fresh at every call.
    OpeningObservationFacts facts() {
        OpeningObservationFacts current;
        current.operationAllowed = running;
        current.generation = generation;
        current.frontmost = catalog->frontmostProcess();
        current.rules = rules;
        return current;
    }

    // Runs the event loop until done holds; the time limit only ends a failing run.
    bool until(const std::function<bool()>& done,
               std::chrono::milliseconds timeout = std::chrono::milliseconds(15000)) {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < timeout.count()) {
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        }
        return done();
    }

    // The catalog's identity of a process, once it has seen one of its windows.
    std::optional<ProcessID> processOf(pid_t pid) const {
        const auto found = catalog->processes().find(static_cast<std::int32_t>(pid));
        if (found == catalog->processes().end()) {
            return std::nullopt;
        }
        return found->second;
    }

    std::unordered_map<BundleID, OpeningAction> rules;
    bool running = false;
    std::uint64_t generation = 1;
    std::vector<Report> reports;
    // While held, each authorisation waits until the caller releases it.
    HeldCalls heldAuthorizations;

    platform::MainExecutor executor;
    platform::LiveClock clock;
    platform::ThreadPool pool{2, "opening-rules"};
    platform::xdg::DesktopEntryIndex index;
    platform::LiveWorkspace workspace;
    std::shared_ptr<ApplicationCatalog> catalog;
    std::shared_ptr<AccessibilityMainWindowTransport<LiveAccessibilityCalls>> transport;
    std::shared_ptr<OpeningMetadataReader> reader;
    std::shared_ptr<AccessibilityWindowSignal> signal;
    std::shared_ptr<OpeningObservationCoordinator> coordinator;
    std::shared_ptr<platform::ScreenService> screens;
    std::shared_ptr<MainWindowService> service;
    std::shared_ptr<WindowExecutionOwner> owner;

private:
    // The permission refresh of the app model, which always grants here.
    platform::Async<bool> authorize() {
        co_await heldAuthorizations.pause();
        co_return running && !platform::isCancelled();
    }
};

} // namespace tidewright
