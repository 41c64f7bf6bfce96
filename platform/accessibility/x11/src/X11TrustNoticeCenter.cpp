#include "platform/accessibility/x11/X11TrustNoticeCenter.hpp"

#include "platform/x11/Properties.hpp"
#include "platform/x11/XcbConnection.hpp"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {

namespace {

using x11::Deadline;
using x11::XcbFailure;

constexpr auto connectLimit = std::chrono::seconds(5);
constexpr auto replyLimit = std::chrono::seconds(2);

xcb_atom_t intern(x11::XcbConnection& connection, const std::string& name, Deadline deadline) {
    auto cookie = xcb_intern_atom(connection.raw(), 0, static_cast<std::uint16_t>(name.size()), name.c_str());
    return connection.pending<xcb_intern_atom_reply_t>(cookie.sequence).get(deadline)->atom;
}

// The number of the connection's screen, which names its window manager's selection.
int screenNumber(x11::XcbConnection& connection) {
    int number = 0;
    for (auto screens = xcb_setup_roots_iterator(xcb_get_setup(connection.raw())); screens.rem > 0;
         xcb_screen_next(&screens), ++number) {
        if (screens.data->root == connection.root()) {
            return number;
        }
    }
    return 0;
}

} // namespace

// What the reader thread shares with the centre; the thread keeps it alive after a stop.
struct X11TrustNoticeCenter::Reader {
    std::string display;
    Executor* main = nullptr;
    std::shared_ptr<X11TrustNoticeCenter*> target;
    int stopFd = -1;
    std::atomic<bool> listening{false};

    std::mutex mutex; // posting against stopping
    bool stopped = false;

    // The reader thread's own.
    std::unique_ptr<x11::XcbConnection> connection;
    xcb_atom_t manager = XCB_NONE;
    xcb_atom_t selection = XCB_NONE;

    ~Reader() {
        if (stopFd >= 0) {
            ::close(stopFd);
        }
    }

    void post() {
        std::lock_guard lock(mutex);
        if (stopped) {
            return;
        }
        main->post([target = target] {
            if (X11TrustNoticeCenter* centre = *target) {
                centre->deliver();
            }
        });
    }

    // Watches the check window the root names now, so that its end is noticed too.
    void follow() {
        const Deadline deadline = x11::Clock::now() + replyLimit;
        const xcb_window_t root = connection->root();
        const std::vector<std::uint32_t> named =
            x11::valuesOf(x11::requestProperty(*connection, root, connection->atoms().netSupportingWmCheck,
                                               XCB_ATOM_WINDOW, 1)
                              .get(deadline),
                          XCB_ATOM_WINDOW);
        const xcb_window_t check = named.empty() ? XCB_NONE : named.front();
        if (check == XCB_NONE) {
            return;
        }
        const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
        try {
            connection->check(
                xcb_change_window_attributes_checked(connection->raw(), check, XCB_CW_EVENT_MASK, &mask),
                deadline);
        } catch (const XcbFailure& failure) {
            // A stale name left by a window manager that has gone: nothing to follow.
            if (!failure.isBadWindow()) {
                throw;
            }
        }
    }

    // Whether the event is one of the window manager's changes.
    bool isChange(const xcb_generic_event_t& event) const {
        switch (event.response_type & 0x7F) {
        case XCB_PROPERTY_NOTIFY: {
            const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
            return notify.window == connection->root() &&
                   (notify.atom == connection->atoms().netSupportingWmCheck ||
                    notify.atom == connection->atoms().netSupported);
        }
        case XCB_DESTROY_NOTIFY:
            // Only check windows are watched for their end (the root never ends). One that the
            // root no longer names may still be the one that went: a window manager can leave
            // just after a change, while its check window is being followed anew.
            return true;
        case XCB_CLIENT_MESSAGE: {
            const auto& message = reinterpret_cast<const xcb_client_message_event_t&>(event);
            return message.type == manager && message.format == 32 && message.data.data32[1] == selection;
        }
        default:
            return false;
        }
    }

    void run() {
        try {
            const Deadline deadline = x11::Clock::now() + connectLimit;
            connection = x11::XcbConnection::open(display, deadline);
            manager = intern(*connection, "MANAGER", deadline);
            selection = intern(*connection, "WM_S" + std::to_string(screenNumber(*connection)), deadline);
            // The MANAGER message goes to the root with the structure mask.
            const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
            connection->check(xcb_change_window_attributes_checked(connection->raw(), connection->root(),
                                                                   XCB_CW_EVENT_MASK, &mask),
                              deadline);
            follow();
            listening = true;
            for (;;) {
                // Events that came in while a reply was awaited sit in xcb's queue and never make
                // the socket readable again, so the queue is emptied before every wait.
                while (auto event = x11::Reply<xcb_generic_event_t>(xcb_poll_for_event(connection->raw()))) {
                    if (isChange(*event)) {
                        post();
                        follow();
                    }
                }
                if (connection->broken()) {
                    break;
                }
                pollfd fds[2] = {{xcb_get_file_descriptor(connection->raw()), POLLIN, 0},
                                 {stopFd, POLLIN, 0}};
                if (::poll(fds, 2, -1) < 0 && errno != EINTR) {
                    break;
                }
                if (fds[1].revents != 0) {
                    break;
                }
            }
        } catch (const XcbFailure&) {
            // The display went away or stopped answering: the centre falls silent.
        }
        listening = false;
        connection.reset();
    }
};

X11TrustNoticeCenter::X11TrustNoticeCenter(std::string display, Executor& main)
    : display_(std::move(display)), main_(main), self_(std::make_shared<X11TrustNoticeCenter*>(this)) {}

X11TrustNoticeCenter::~X11TrustNoticeCenter() {
    *self_ = nullptr;
    stopReader();
}

TrustNoticeCenter::ObserverID X11TrustNoticeCenter::addObserver(std::function<void()> handler) {
    const ObserverID id = observers_.add(std::move(handler));
    if (!reader_) {
        auto reader = std::make_shared<Reader>();
        reader->display = display_;
        reader->main = &main_;
        reader->target = self_;
        reader->stopFd = ::eventfd(0, EFD_CLOEXEC);
        if (reader->stopFd >= 0) {
            reader_ = reader;
            // Not joined: a stop never waits for a reply in flight; the thread ends on its own.
            std::thread([reader] { reader->run(); }).detach();
        }
    }
    return id;
}

void X11TrustNoticeCenter::removeObserver(ObserverID id) {
    observers_.remove(id);
    if (observers_.size() == 0) {
        stopReader();
    }
}

bool X11TrustNoticeCenter::listening() const {
    return reader_ && reader_->listening.load();
}

void X11TrustNoticeCenter::stopReader() {
    if (!reader_) {
        return;
    }
    {
        std::lock_guard lock(reader_->mutex);
        reader_->stopped = true;
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] auto written = ::write(reader_->stopFd, &one, sizeof one);
    reader_.reset();
}

void X11TrustNoticeCenter::deliver() {
    observers_.deliver();
}

} // namespace platform
