#include "platform/workspace/LiveWorkspace.hpp"

#include <QByteArray>
#include <QFile>
#include <QLoggingCategory>

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <stdexcept>
#include <thread>

#include "platform/concurrency/Executor.hpp"
#include "platform/workspace/ApplicationChooserDialog.hpp"
#include "platform/workspace/ApplicationIcon.hpp"
#include "platform/workspace/ApplicationResolution.hpp"
#include "platform/workspace/BundleIdentifier.hpp"
#include "platform/workspace/InstalledApplicationLookup.hpp"
#include "platform/workspace/LocalizedStandardCompare.hpp"
#include "platform/x11/Properties.hpp"
#include "platform/x11/WindowOwner.hpp"
#include "platform/x11/X11Desktop.hpp"
#include "platform/x11/XcbConnection.hpp"

Q_LOGGING_CATEGORY(workspaceLog, "app.corbelthane.tidewright.workspace")

namespace platform {

namespace {

using namespace std::chrono_literals;

// Each round of reads on the display gets this long; a server that takes longer is retried.
constexpr auto readBound = 2s;

std::optional<int> openProcess(std::int32_t pid) {
    const long fd = ::syscall(SYS_pidfd_open, pid, 0);
    return fd < 0 ? std::nullopt : std::optional(static_cast<int>(fd));
}

bool readable(int fd) {
    pollfd descriptor{fd, POLLIN, 0};
    return ::poll(&descriptor, 1, 0) > 0 && (descriptor.revents & POLLIN) != 0;
}

QByteArray readProcFile(std::int32_t pid, const char* name) {
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? file.read(1 << 20) : QByteArray();
}

QString executableOf(std::int32_t pid) {
    const std::string link = "/proc/" + std::to_string(pid) + "/exe";
    char buffer[4096];
    const ssize_t length = ::readlink(link.c_str(), buffer, sizeof buffer);
    return length > 0 && static_cast<std::size_t>(length) < sizeof buffer
               ? QString::fromLocal8Bit(buffer, static_cast<qsizetype>(length))
               : QString();
}

} // namespace

InstalledApplication installedApplicationOf(const xdg::DesktopEntry& entry) {
    return InstalledApplication{entry.id, bundleIdentifierForDesktopId(entry.id.toStdString()), entry.name,
                                entry.icon};
}

// The posted notices reach the workspace only while it lives; owner is read and cleared on main.
struct LiveWorkspace::Inbox {
    LiveWorkspace* owner = nullptr;
};

// The reader thread: its own connection, the tracker, and every pidfd in one poll().
class LiveWorkspace::Reader {
public:
    Reader(const Settings& settings, xdg::DesktopEntryIndex& index,
           std::function<void(const WorkspaceNotice&)> deliver)
        : settings_(settings), index_(index), deliver_(std::move(deliver)),
          tracker_(RunningApplicationsTracker::Hooks{
              [this](std::uint32_t window) { return x11::windowOwner(*connection_, window, deadline_); },
              openProcess,
              readable,
              [](int fd) { ::close(fd); },
              [this](std::uint32_t window) { return windowExists(window); },
              [this](std::int32_t pid, std::uint32_t window) { return describe(pid, window); },
              [this](const WorkspaceNotice& notice) { deliver_(notice); },
          }) {
        const auto deadline = x11::Clock::now() + readBound;
        try {
            connection_ = x11::XcbConnection::open(settings.display, deadline);
        } catch (const x11::XcbFailure&) {
            throw std::runtime_error("cannot reach the X display to follow the running applications");
        }
        desktop_ = std::make_unique<x11::X11Desktop>(*connection_);
        gtkApplicationId_ = intern("_GTK_APPLICATION_ID", deadline);
        kdeDesktopFile_ = intern("_KDE_NET_WM_DESKTOP_FILE", deadline);
        const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        connection_->check(xcb_change_window_attributes_checked(connection_->raw(), connection_->root(),
                                                                XCB_CW_EVENT_MASK, &mask),
                           deadline);
        // Events from here on are handled by the thread; the list read now is the start.
        tracker_.setListing(true);
        refresh();
        tracker_.setListing(false);
        // Taken before the thread starts: from then on the tracker is the thread's alone.
        initialRunning_ = tracker_.running();
        initialFrontmost_ = tracker_.frontmost();
        wake_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (wake_ < 0) {
            throw std::runtime_error("eventfd failed");
        }
        thread_ = std::thread([this] { run(); });
    }

    ~Reader() {
        const std::uint64_t one = 1;
        [[maybe_unused]] auto written = ::write(wake_, &one, sizeof one);
        thread_.join();
        ::close(wake_);
    }

    // The applications running when the reader started.
    const std::vector<RunningApplication>& initialRunning() const { return initialRunning_; }
    const std::optional<RunningApplication>& initialFrontmost() const { return initialFrontmost_; }

private:
    xcb_atom_t intern(const char* name, x11::Deadline deadline) {
        auto cookie =
            xcb_intern_atom(connection_->raw(), 0, static_cast<std::uint16_t>(std::strlen(name)), name);
        auto reply = connection_->pending<xcb_intern_atom_reply_t>(cookie.sequence).get(deadline);
        return reply ? reply->atom : XCB_NONE;
    }

    void refresh() {
        deadline_ = x11::Clock::now() + readBound;
        tracker_.clientList(desktop_->clientList(deadline_));
        tracker_.activeWindow(desktop_->activeWindow(deadline_));
    }

    bool windowExists(std::uint32_t window) {
        auto cookie = xcb_get_window_attributes(connection_->raw(), window);
        try {
            return connection_->pending<xcb_get_window_attributes_reply_t>(cookie.sequence).get(deadline_) !=
                   nullptr;
        } catch (const x11::XcbFailure& failure) {
            if (failure.isBadWindow()) {
                return false;
            }
            throw;
        }
    }

    std::optional<std::string> text(std::uint32_t window, xcb_atom_t property) {
        if (property == XCB_NONE) {
            return std::nullopt;
        }
        try {
            return x11::textOf(
                x11::requestProperty(*connection_, window, property, XCB_GET_PROPERTY_TYPE_ANY, 1024)
                    .get(deadline_));
        } catch (const x11::XcbFailure& failure) {
            if (failure.isBadWindow()) {
                return std::nullopt;
            }
            throw;
        }
    }

    RunningApplication describe(std::int32_t pid, std::uint32_t window) {
        ProcessClues clues;
        clues.gtkApplicationId =
            QString::fromStdString(text(window, gtkApplicationId_).value_or(std::string()));
        clues.kdeDesktopFile = QString::fromStdString(text(window, kdeDesktopFile_).value_or(std::string()));
        const std::string windowClass = text(window, XCB_ATOM_WM_CLASS).value_or(std::string());
        const std::size_t split = windowClass.find('\0');
        clues.windowInstance = windowClass.substr(0, split);
        if (split != std::string::npos) {
            clues.windowClass = windowClass.substr(split + 1);
            clues.windowClass = clues.windowClass.substr(0, clues.windowClass.find('\0'));
        }
        clues.launchedDesktopFile = launchedDesktopFile(readProcFile(pid, "environ"), pid);
        clues.executable = executableOf(pid);
        const ResolvedApplication resolved =
            resolveApplication(clues, *index_.snapshot(), settings_.searchPath);
        return RunningApplication{
            resolved.bundleIdentifier, pid,
            pid == settings_.ownPid ? ActivationPolicy::accessory : ActivationPolicy::regular, resolved.name};
    }

    void run() {
        bool retry = false;
        for (;;) {
            bool changed = false;
            while (xcb_generic_event_t* raw = xcb_poll_for_event(connection_->raw())) {
                x11::Reply<xcb_generic_event_t> event(raw);
                if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
                    const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event.get());
                    const auto& atoms = connection_->atoms();
                    changed =
                        changed ||
                        (notify->window == connection_->root() &&
                         (notify->atom == atoms.netClientList || notify->atom == atoms.netActiveWindow));
                }
            }
            if (connection_->broken()) {
                qCWarning(workspaceLog,
                          "the display connection closed; running applications are no longer followed");
                return;
            }
            if (changed || retry) {
                try {
                    refresh();
                    retry = false;
                } catch (const x11::XcbFailure& failure) {
                    retry = true;
                    qCWarning(workspaceLog, "reading the window list failed (%d); trying again",
                              static_cast<int>(failure.kind));
                }
                if (!retry) {
                    continue; // replies may have queued events: look at them before waiting
                }
            }
            xcb_flush(connection_->raw());
            std::vector<pollfd> descriptors{{wake_, POLLIN, 0},
                                            {xcb_get_file_descriptor(connection_->raw()), POLLIN, 0}};
            const auto handles = tracker_.handles();
            for (const auto& [pid, handle] : handles) {
                descriptors.push_back({handle, POLLIN, 0});
            }
            // After a failed read, look again shortly instead of waiting for the next change.
            if (::poll(descriptors.data(), descriptors.size(), retry ? 250 : -1) < 0 && errno != EINTR) {
                qCWarning(workspaceLog, "poll failed: %s", std::strerror(errno));
                return;
            }
            if ((descriptors[0].revents & POLLIN) != 0) {
                return;
            }
            for (std::size_t i = 0; i < handles.size(); ++i) {
                if ((descriptors[i + 2].revents & (POLLIN | POLLHUP)) != 0) {
                    tracker_.processExited(handles[i].first);
                }
            }
        }
    }

    Settings settings_;
    xdg::DesktopEntryIndex& index_;
    std::function<void(const WorkspaceNotice&)> deliver_;
    std::unique_ptr<x11::XcbConnection> connection_;
    std::unique_ptr<x11::X11Desktop> desktop_;
    xcb_atom_t gtkApplicationId_ = XCB_NONE;
    xcb_atom_t kdeDesktopFile_ = XCB_NONE;
    x11::Deadline deadline_{};
    RunningApplicationsTracker tracker_; // after the connection: its hooks use it
    std::vector<RunningApplication> initialRunning_;
    std::optional<RunningApplication> initialFrontmost_;
    int wake_ = -1;
    std::thread thread_;
};

LiveWorkspace::LiveWorkspace(Settings settings, xdg::DesktopEntryIndex& index, Executor& main)
    : index_(index), inbox_(std::make_shared<Inbox>()) {
    inbox_->owner = this;
    reader_ =
        std::make_unique<Reader>(settings, index, [inbox = inbox_, &main](const WorkspaceNotice& notice) {
            main.post([inbox, notice] {
                if (inbox->owner != nullptr) {
                    inbox->owner->apply(notice);
                }
            });
        });
    running_ = reader_->initialRunning();
    frontmost_ = reader_->initialFrontmost();
}

LiveWorkspace::~LiveWorkspace() {
    inbox_->owner = nullptr;
    reader_.reset();
}

void LiveWorkspace::apply(const WorkspaceNotice& notice) {
    const RunningApplication& application = notice.application;
    auto samePid = [&](const RunningApplication& other) {
        return other.processIdentifier == application.processIdentifier;
    };
    switch (notice.message) {
    case WorkspaceMessage::didLaunchApplication:
        running_.push_back(application);
        break;
    case WorkspaceMessage::didActivateApplication:
        frontmost_ = application;
        break;
    case WorkspaceMessage::didDeactivateApplication:
        if (frontmost_ && samePid(*frontmost_)) {
            frontmost_.reset();
        }
        break;
    case WorkspaceMessage::didTerminateApplication:
        std::erase_if(running_, samePid);
        if (frontmost_ && samePid(*frontmost_)) {
            frontmost_.reset();
        }
        break;
    }
    observers_.deliver(notice.message, application);
}

std::optional<InstalledApplication>
LiveWorkspace::installedApplication(const tidewright::BundleID& id) const {
    return findInstalledApplication(*index_.snapshot(), id);
}

std::optional<InstalledApplication> findInstalledApplication(const xdg::DesktopEntrySnapshot& entries,
                                                             const tidewright::BundleID& id) {
    for (const xdg::DesktopEntry& entry : entries.entries()) {
        if (entry.tryExecMissing) {
            continue;
        }
        InstalledApplication application = installedApplicationOf(entry);
        if (application.bundleIdentifier == id) {
            return application;
        }
    }
    return std::nullopt;
}

QIcon DesktopEntryApplications::icon(const InstalledApplication& application) const {
    return applicationIcon(application.iconKey);
}

QIcon LiveWorkspace::icon(const InstalledApplication& application) const {
    return applicationIcon(application.iconKey);
}

std::vector<InstalledApplication> LiveWorkspace::choosableApplications() const {
    std::vector<InstalledApplication> applications;
    const auto snapshot = index_.snapshot();
    for (const xdg::DesktopEntry& entry : snapshot->entries()) {
        InstalledApplication application = installedApplicationOf(entry);
        if (!entry.noDisplay && !entry.tryExecMissing && application.bundleIdentifier) {
            applications.push_back(std::move(application));
        }
    }
    std::stable_sort(applications.begin(), applications.end(), [](const auto& a, const auto& b) {
        return localizedStandardCompare(a.name, b.name) < 0;
    });
    return applications;
}

std::unique_ptr<ApplicationChooser> LiveWorkspace::makeChooser() {
    return std::make_unique<ApplicationChooserDialog>(
        choosableApplications(),
        [this](const InstalledApplication& application) { return icon(application); });
}

} // namespace platform
