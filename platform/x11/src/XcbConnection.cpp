#include "platform/x11/XcbConnection.hpp"

#include "platform/x11/ServerWaits.hpp"

#include <xcb/randr.h>
#include <xcb/res.h>
#include <xcb/xcbext.h>

#include <X11/Xauth.h>

#include <poll.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <condition_variable>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace platform::x11 {

namespace {

const char* describe(XcbFailure::Kind kind) {
    switch (kind) {
    case XcbFailure::Kind::timedOut:
        return "the X server did not answer in time";
    case XcbFailure::Kind::connectionBroken:
        return "no connection to the X server";
    case XcbFailure::Kind::xError:
        return "the X server answered with an error";
    }
    return "X failure";
}

std::atomic<std::uint64_t> repliesTaken{0};
std::atomic<std::uint64_t> repliesBlockedFor{0};
std::atomic<std::uint64_t> roundTripsMade{0};
std::atomic<std::uint64_t> eventsBlockedFor{0};
std::atomic<std::int64_t> nanosecondsBlocked{0};

// Counts one blocked wait; the clock is read only when a wait blocks, never for a ready answer.
class BlockedWait {
public:
    explicit BlockedWait(std::atomic<std::uint64_t>& count) : start_(std::chrono::steady_clock::now()) {
        count.fetch_add(1, std::memory_order_relaxed);
    }
    ~BlockedWait() {
        nanosecondsBlocked.fetch_add((std::chrono::steady_clock::now() - start_).count(),
                                     std::memory_order_relaxed);
    }
    BlockedWait(const BlockedWait&) = delete;
    BlockedWait& operator=(const BlockedWait&) = delete;

private:
    std::chrono::steady_clock::time_point start_;
};

XcbFailure failureFrom(Reply<xcb_generic_error_t> error) {
    return XcbFailure(XcbFailure::Kind::xError, error->error_code, error->major_code);
}

} // namespace

XcbFailure::XcbFailure(Kind kind, std::uint8_t errorCode, std::uint8_t majorOpcode)
    : std::runtime_error(describe(kind)), kind(kind), errorCode(errorCode), majorOpcode(majorOpcode) {}

namespace {

// xcb_connect blocks until the server sends its setup, with no timeout of its own: a server that
// accepts the connection but does not answer would hold the caller for good. So it runs on a
// thread of its own; a caller that gives up leaves it to close what it eventually gets.
struct ConnectAttempt {
    std::mutex mutex;
    std::condition_variable done;
    bool finished = false;
    bool abandoned = false;
    xcb_connection_t* connection = nullptr;
    int screenNumber = 0;
};

// The connect threads of the whole process. libXau keeps the authority file's name in a buffer
// that it frees at exit; a connect given up on may still be reading it then, so exit waits a
// little for the threads that still run. Never destroyed: a thread may outlive every static.
class ConnectThreads {
public:
    static ConnectThreads& shared() {
        static ConnectThreads* threads = [] {
            auto* made = new ConnectThreads;
            // libXau registers its exit cleanup on its first use; using it before registering ours
            // makes ours run first.
            {
                std::lock_guard serialised(made->connecting_);
                (void)XauFileName();
            }
            std::atexit([] { shared().waitForAll(std::chrono::seconds(2)); });
            return made;
        }();
        return *threads;
    }

    void started() {
        std::lock_guard lock(mutex_);
        ++running_;
    }
    void ended() {
        std::lock_guard lock(mutex_);
        --running_;
        idle_.notify_all();
    }
    // libXau's buffer also makes two connects at once race, so they take turns.
    std::mutex& connecting() { return connecting_; }

private:
    void waitForAll(std::chrono::seconds bound) {
        std::unique_lock lock(mutex_);
        idle_.wait_for(lock, bound, [&] { return running_ == 0; });
    }

    std::mutex mutex_;
    std::condition_variable idle_;
    int running_ = 0;
    std::mutex connecting_;
};

xcb_connection_t* connectWithin(const std::string& display, Deadline deadline, int& screenNumber) {
    auto attempt = std::make_shared<ConnectAttempt>();
    ConnectThreads& threads = ConnectThreads::shared();
    threads.started();
    std::thread([attempt, display, &threads] {
        int screen = 0;
        xcb_connection_t* connection = nullptr;
        {
            std::lock_guard serialised(threads.connecting());
            connection = xcb_connect(display.empty() ? nullptr : display.c_str(), &screen);
        }
        {
            std::lock_guard lock(attempt->mutex);
            if (attempt->abandoned) {
                xcb_disconnect(connection);
            } else {
                attempt->connection = connection;
                attempt->screenNumber = screen;
                attempt->finished = true;
                attempt->done.notify_all();
            }
        }
        threads.ended();
    }).detach();
    std::unique_lock lock(attempt->mutex);
    if (!attempt->done.wait_until(lock, deadline, [&] { return attempt->finished; })) {
        attempt->abandoned = true;
        throw XcbFailure(XcbFailure::Kind::timedOut);
    }
    screenNumber = attempt->screenNumber;
    return attempt->connection;
}

} // namespace

std::unique_ptr<XcbConnection> XcbConnection::open(const std::string& display, Deadline deadline) {
    int screenNumber = 0;
    xcb_connection_t* raw = connectWithin(display, deadline, screenNumber);
    if (xcb_connection_has_error(raw) != 0) {
        xcb_disconnect(raw);
        throw XcbFailure(XcbFailure::Kind::connectionBroken);
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(raw));
    for (int i = 0; i < screenNumber && screens.rem > 0; ++i)
        xcb_screen_next(&screens);
    if (screens.rem == 0) {
        xcb_disconnect(raw);
        throw XcbFailure(XcbFailure::Kind::connectionBroken);
    }
    std::unique_ptr<XcbConnection> connection(new XcbConnection(raw, screens.data));

    // All atoms in one round trip.
    std::vector<PendingReply<xcb_intern_atom_reply_t>> pending;
    pending.reserve(atomNames.size());
    for (const char* name : atomNames) {
        auto cookie = xcb_intern_atom(raw, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
        pending.push_back(connection->pending<xcb_intern_atom_reply_t>(cookie.sequence));
    }
    // libxcb looks an extension up on its first request with a wait that has no bound; asked now,
    // the answers are in before the round trip below ends, and the later look-ups do not wait.
    xcb_prefetch_extension_data(raw, &xcb_randr_id);
    xcb_prefetch_extension_data(raw, &xcb_res_id);
    auto* atoms = reinterpret_cast<xcb_atom_t*>(&connection->atoms_);
    for (std::size_t i = 0; i < pending.size(); ++i)
        atoms[i] = pending[i].get(deadline)->atom;
    connection->sync(deadline);
    const auto present = [&](xcb_extension_t& extension) {
        const xcb_query_extension_reply_t* data = xcb_get_extension_data(raw, &extension);
        return data != nullptr && data->present != 0;
    };
    connection->hasRandr_ = present(xcb_randr_id);
    connection->hasResources_ = present(xcb_res_id);
    return connection;
}

XcbConnection::XcbConnection(xcb_connection_t* connection, xcb_screen_t* screen)
    : connection_(connection), screen_(screen) {}

XcbConnection::~XcbConnection() {
    xcb_disconnect(connection_);
}

bool XcbConnection::waitReadable(Deadline deadline) {
    for (;;) {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return false;
        pollfd descriptor{xcb_get_file_descriptor(connection_), POLLIN, 0};
        // A far deadline is waited for in slices that poll can take; the loop goes on after each.
        const auto slice = std::min<std::chrono::milliseconds::rep>(left.count(), INT_MAX);
        int result = ::poll(&descriptor, 1, static_cast<int>(slice));
        if (result > 0)
            return true;
        if (result < 0 && errno != EINTR)
            throw XcbFailure(XcbFailure::Kind::connectionBroken);
    }
}

ServerWaits serverWaits() noexcept {
    return {repliesTaken.load(std::memory_order_relaxed), roundTripsMade.load(std::memory_order_relaxed),
            eventsBlockedFor.load(std::memory_order_relaxed),
            std::chrono::nanoseconds(nanosecondsBlocked.load(std::memory_order_relaxed)),
            repliesBlockedFor.load(std::memory_order_relaxed)};
}

void* XcbConnection::awaitReply(unsigned int sequence, Deadline deadline) {
    if (broken())
        throw XcbFailure(XcbFailure::Kind::connectionBroken);
    xcb_flush(connection_);
    repliesTaken.fetch_add(1, std::memory_order_relaxed);
    // A reply to a request that went out before the last trip began comes with that trip, however
    // its answer trickles in; any other reply costs a trip of its own.
    if (static_cast<int>(sequence - tripCovers_) > 0) {
        roundTripsMade.fetch_add(1, std::memory_order_relaxed);
        tripCovers_ = lastPending_;
    }
    std::optional<BlockedWait> blocked;
    for (;;) {
        void* reply = nullptr;
        xcb_generic_error_t* error = nullptr;
        if (xcb_poll_for_reply(connection_, sequence, &reply, &error) != 0) {
            if (error != nullptr)
                throw failureFrom(Reply<xcb_generic_error_t>(error));
            if (reply == nullptr)
                throw XcbFailure(XcbFailure::Kind::connectionBroken);
            return reply;
        }
        if (broken())
            throw XcbFailure(XcbFailure::Kind::connectionBroken);
        if (!blocked)
            blocked.emplace(repliesBlockedFor);
        if (!waitReadable(deadline)) {
            discard(sequence);
            throw XcbFailure(XcbFailure::Kind::timedOut);
        }
    }
}

void XcbConnection::sync(Deadline deadline) {
    auto cookie = xcb_get_input_focus(connection_);
    pending<xcb_get_input_focus_reply_t>(cookie.sequence).get(deadline);
}

void XcbConnection::check(xcb_void_cookie_t cookie, Deadline deadline) {
    // Once a later reply has arrived the request is complete, so the check below cannot block.
    sync(deadline);
    if (xcb_generic_error_t* error = xcb_request_check(connection_, cookie)) {
        throw failureFrom(Reply<xcb_generic_error_t>(error));
    }
}

void KeptReplies::note(const xcb_generic_event_t& event) {
    const auto forget = [&](xcb_window_t window, std::optional<xcb_atom_t> property) {
        for (auto it = replies_.lower_bound(Key{window, 0, 0, 0});
             it != replies_.end() && std::get<0>(it->first) == window;) {
            if (!property || std::get<1>(it->first) == *property)
                it = replies_.erase(it);
            else
                ++it;
        }
    };
    switch (event.response_type & 0x7f) {
    case XCB_PROPERTY_NOTIFY: {
        const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(event);
        forget(notify.window, notify.atom);
        break;
    }
    case XCB_DESTROY_NOTIFY: {
        const xcb_window_t window = reinterpret_cast<const xcb_destroy_notify_event_t&>(event).window;
        forget(window, std::nullopt);
        watched_.erase(window);
        break;
    }
    case 0: {
        // A window gone before it could be watched: it must be watched anew if its id comes back.
        const auto& error = reinterpret_cast<const xcb_generic_error_t&>(event);
        if (error.major_code == XCB_CHANGE_WINDOW_ATTRIBUTES)
            watched_.erase(error.resource_id);
        break;
    }
    default:
        break;
    }
}

void XcbConnection::watchForKeeping(xcb_window_t window) {
    if (!kept_ || kept_->watch(window))
        return;
    // The root only for its properties; a client window for its properties and its end.
    if (window == root()) {
        selectRootEvents(XCB_EVENT_MASK_PROPERTY_CHANGE);
        return;
    }
    const std::uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY | XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_change_window_attributes(connection_, window, XCB_CW_EVENT_MASK, &mask);
}

void XcbConnection::selectRootEvents(std::uint32_t mask) {
    if ((rootMask_ | mask) == rootMask_)
        return;
    rootMask_ |= mask;
    xcb_change_window_attributes(connection_, root(), XCB_CW_EVENT_MASK, &rootMask_);
}

void XcbConnection::discardEvents() {
    while (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
        if (kept_)
            kept_->note(*event);
        if (onEvent)
            onEvent(*event);
        std::free(event);
    }
}

Reply<xcb_generic_event_t> XcbConnection::waitForEvent(Deadline deadline) {
    xcb_flush(connection_);
    std::optional<BlockedWait> blocked;
    for (;;) {
        if (xcb_generic_event_t* event = xcb_poll_for_event(connection_)) {
            if (kept_)
                kept_->note(*event);
            if (onEvent)
                onEvent(*event);
            return Reply<xcb_generic_event_t>(event);
        }
        if (broken())
            throw XcbFailure(XcbFailure::Kind::connectionBroken);
        if (!blocked)
            blocked.emplace(eventsBlockedFor);
        if (!waitReadable(deadline))
            return nullptr;
    }
}

} // namespace platform::x11
