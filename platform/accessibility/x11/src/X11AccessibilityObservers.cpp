#include "platform/accessibility/x11/X11AccessibilityObservers.hpp"

#include "platform/x11/X11Desktop.hpp"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <set>
#include <thread>

namespace platform {

namespace {

using x11::Deadline;
using x11::XcbFailure;

constexpr float defaultTimeout = 6.0F;
constexpr auto readLimit = std::chrono::seconds(2);
// How often a new window that is not viewable yet is looked at again.
constexpr int pendingPollMs = 5;

struct ObservedApplication final : AXElementObject {
    explicit ObservedApplication(std::int32_t pid) : pid(pid) {}
    const std::int32_t pid;
    mutable std::atomic<float> timeout{0.0F};
};

// What the reader thread shares with the observer; the thread keeps it alive after a detach.
struct Reader {
    std::int32_t pid = 0;
    Executor* main = nullptr;
    AXObserverCallback callback;
    const AXObserver* observer = nullptr;
    std::unique_ptr<x11::XcbConnection> connection;
    std::set<xcb_window_t> known;   // every window seen in the client list
    std::set<xcb_window_t> pending; // ours, not yet viewable
    int stopFd = -1;

    std::mutex mutex; // posting against detaching
    bool stopped = false;
    bool live = true; // read and written on the main thread only

    ~Reader() {
        if (stopFd >= 0)
            ::close(stopFd);
    }

    // Notes the windows new to the client list; those of our process wait to become viewable.
    void refresh() {
        const Deadline deadline = x11::Clock::now() + readLimit;
        x11::X11Desktop desktop(*connection);
        const std::vector<xcb_window_t> list = desktop.clientList(deadline);
        for (xcb_window_t window : list) {
            if (!known.insert(window).second)
                continue;
            try {
                if (desktop.processOf(window, deadline) != pid)
                    continue;
            } catch (const XcbFailure& failure) {
                if (!failure.isBadWindow())
                    throw;
                continue;
            }
            const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
            xcb_change_window_attributes(connection->raw(), window, XCB_CW_EVENT_MASK, &mask);
            pending.insert(window);
        }
        std::erase_if(known,
                      [&](xcb_window_t w) { return std::find(list.begin(), list.end(), w) == list.end(); });
        std::erase_if(pending, [&](xcb_window_t w) { return !known.contains(w); });
        for (auto it = pending.begin(); it != pending.end();) {
            auto attributes = connection->pending<xcb_get_window_attributes_reply_t>(
                xcb_get_window_attributes(connection->raw(), *it).sequence);
            bool viewable = false;
            try {
                viewable = attributes.get(deadline)->map_state == XCB_MAP_STATE_VIEWABLE;
            } catch (const XcbFailure& failure) {
                if (!failure.isBadWindow())
                    throw;
                it = pending.erase(it);
                continue;
            }
            if (viewable) {
                report();
                it = pending.erase(it);
            } else {
                ++it;
            }
        }
    }

    void report() {
        std::lock_guard lock(mutex);
        if (stopped)
            return;
        main->post([self = shared_from(this)] {
            if (self->live)
                self->callback(*self->observer, windowCreatedNotification);
        });
    }

    // Set by the observer before the thread starts.
    std::weak_ptr<Reader> weakSelf;
    static std::shared_ptr<Reader> shared_from(Reader* reader) { return reader->weakSelf.lock(); }

    // Takes every event that next() hands out; whether one may have changed our windows.
    bool takeEvents(xcb_generic_event_t* (*next)(xcb_connection_t*)) {
        bool changed = false;
        while (auto event = x11::Reply<xcb_generic_event_t>(next(connection->raw()))) {
            const auto type = event->response_type & 0x7F;
            if (type == XCB_PROPERTY_NOTIFY) {
                const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event.get());
                changed = changed || notify->atom == connection->atoms().netClientList;
            } else if (type == XCB_MAP_NOTIFY) {
                changed = true;
            }
        }
        return changed;
    }

    void run() {
        try {
            refresh();
            while (true) {
                // Events that came in while a reply of the last refresh was awaited sit in xcb's
                // queue and never make the socket readable: they are looked at before any wait.
                bool changed = takeEvents(xcb_poll_for_queued_event);
                if (!changed) {
                    pollfd fds[2] = {{xcb_get_file_descriptor(connection->raw()), POLLIN, 0},
                                     {stopFd, POLLIN, 0}};
                    const int ready = ::poll(fds, 2, pending.empty() ? -1 : pendingPollMs);
                    if (ready < 0 && errno != EINTR)
                        return;
                    if (fds[1].revents != 0 || connection->broken())
                        return;
                    changed = takeEvents(xcb_poll_for_event) || !pending.empty();
                }
                if (changed)
                    refresh();
            }
        } catch (const XcbFailure&) {
            // The observer falls silent; waits end at their limit.
        }
    }
};

class X11AXObserver final : public AXObserver {
public:
    X11AXObserver(std::string display, Executor& main, std::int32_t pid, AXObserverCallback callback)
        : display_(std::move(display)), reader_(std::make_shared<Reader>()) {
        reader_->pid = pid;
        reader_->main = &main;
        reader_->callback = std::move(callback);
        reader_->observer = this;
        reader_->weakSelf = reader_;
    }
    ~X11AXObserver() override { detach(); }

    AXError addNotification(const AXUIElement& application, std::string_view notification) override {
        const auto* object = application.as<ObservedApplication>();
        if (object == nullptr || object->pid != reader_->pid)
            return AXError::illegalArgument;
        if (notification != windowCreatedNotification)
            return AXError::notificationUnsupported;
        if (reader_->connection)
            return AXError::notificationAlreadyRegistered;
        const float timeout = object->timeout.load() > 0 ? object->timeout.load() : defaultTimeout;
        const Deadline deadline = x11::Clock::now() + std::chrono::duration_cast<x11::Clock::duration>(
                                                          std::chrono::duration<float>(timeout));
        try {
            auto connection = x11::XcbConnection::open(display_, deadline);
            const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
            connection->check(xcb_change_window_attributes_checked(connection->raw(), connection->root(),
                                                                   XCB_CW_EVENT_MASK, &mask),
                              deadline);
            x11::X11Desktop desktop(*connection);
            for (xcb_window_t window : desktop.clientList(deadline))
                reader_->known.insert(window);
            reader_->connection = std::move(connection);
        } catch (const XcbFailure&) {
            return AXError::cannotComplete;
        }
        return AXError::success;
    }

    void attach() override {
        if (attached_ || !reader_->connection)
            return;
        reader_->stopFd = ::eventfd(0, EFD_CLOEXEC);
        if (reader_->stopFd < 0)
            return;
        attached_ = true;
        // Not joined: a detach never waits for a read in flight; the thread ends on its own.
        std::thread([reader = reader_] { reader->run(); }).detach();
    }

    void detach() override {
        reader_->live = false;
        if (!attached_)
            return;
        attached_ = false;
        std::lock_guard lock(reader_->mutex);
        reader_->stopped = true;
        const std::uint64_t one = 1;
        [[maybe_unused]] auto written = ::write(reader_->stopFd, &one, sizeof one);
    }

private:
    std::string display_;
    std::shared_ptr<Reader> reader_;
    bool attached_ = false;
};

} // namespace

AXError X11AccessibilityObservers::createObserver(std::int32_t pid, AXObserverCallback callback,
                                                  std::shared_ptr<AXObserver>& observer) {
    if (pid <= 0)
        return AXError::illegalArgument;
    observer = std::make_shared<X11AXObserver>(display_, main_, pid, std::move(callback));
    return AXError::success;
}

AXUIElement X11AccessibilityObservers::createApplication(std::int32_t pid) {
    return AXUIElement(std::make_shared<ObservedApplication>(pid));
}

AXError X11AccessibilityObservers::setMessagingTimeout(const AXUIElement& application, float seconds) {
    const auto* object = application.as<ObservedApplication>();
    if (object == nullptr)
        return AXError::illegalArgument;
    object->timeout.store(seconds > 0 ? seconds : 0.0F);
    return AXError::success;
}

} // namespace platform
