#include "platform/instance/DisplayInstance.hpp"

#include "platform/concurrency/LoopDescriptor.hpp"
#include "platform/x11/XcbConnection.hpp"

#include <QLoggingCategory>

#include <fcntl.h>

#include <array>
#include <chrono>
#include <stdexcept>
#include <utility>

Q_LOGGING_CATEGORY(instanceLog, "app.corbelthane.tidewright.instance")

namespace platform {

namespace {

using x11::Clock;
using x11::Deadline;
using x11::XcbConnection;
using x11::XcbFailure;

// A local X server answers in microseconds; these bound a stalled one.
constexpr std::chrono::seconds connectTimeout(5);
constexpr std::chrono::seconds requestTimeout(2);
// An owner found but gone before its request arrived: look again, a few times.
constexpr int claimAttempts = 3;

// The number of the connection's screen, which the selection's name carries (ICCCM's "_S<n>").
int screenNumber(const XcbConnection& connection) {
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(connection.raw()));
    for (int number = 0; screens.rem > 0; ++number, xcb_screen_next(&screens)) {
        if (screens.data->root == connection.root()) {
            return number;
        }
    }
    return 0;
}

// Holds the server still from the look at the owner to the taking, so that two starts at once
// cannot both find the selection free.
class ServerGrab {
public:
    explicit ServerGrab(xcb_connection_t* connection) : connection_(connection) { xcb_grab_server(connection_); }
    ~ServerGrab() {
        xcb_ungrab_server(connection_);
        xcb_flush(connection_);
    }
    ServerGrab(const ServerGrab&) = delete;
    ServerGrab& operator=(const ServerGrab&) = delete;

private:
    xcb_connection_t* connection_;
};

xcb_client_message_event_t clientMessage(xcb_window_t window, xcb_atom_t type, std::array<std::uint32_t, 5> data) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    for (std::size_t i = 0; i < data.size(); ++i) {
        message.data.data32[i] = data[i];
    }
    return message;
}

} // namespace

class DisplayInstance::State {
public:
    State(std::unique_ptr<XcbConnection> made, const std::string& applicationId, Deadline deadline)
        : connection(std::move(made)),
          selectionName(applicationId + "_S" + std::to_string(screenNumber(*connection))) {
        xcb_connection_t* c = connection->raw();
        const std::array<std::string, 3> names{selectionName, "MANAGER", applicationId + ".showPanel"};
        std::vector<x11::PendingReply<xcb_intern_atom_reply_t>> pending;
        for (const std::string& name : names) {
            pending.push_back(connection->pending<xcb_intern_atom_reply_t>(
                xcb_intern_atom(c, 0, static_cast<std::uint16_t>(name.size()), name.data()).sequence));
        }
        selection = pending[0].get(deadline)->atom;
        manager = pending[1].get(deadline)->atom;
        showPanel = pending[2].get(deadline)->atom;

        // Unmapped and ignored by the window manager; property changes only for the timestamp.
        window = xcb_generate_id(c);
        const std::uint32_t values[] = {1, XCB_EVENT_MASK_PROPERTY_CHANGE};
        xcb_create_window(c, XCB_COPY_FROM_PARENT, window, connection->root(), -1, -1, 1, 1, 0,
                          XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT,
                          XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK, values);
    }

    ~State() {
        xcb_destroy_window(connection->raw(), window);
        xcb_flush(connection->raw());
    }
    State(const State&) = delete;
    State& operator=(const State&) = delete;

    // A timestamp of the server's, as ICCCM wants for taking a selection (never CurrentTime): the
    // time of a property change on our own window.
    xcb_timestamp_t serverTime(Deadline deadline) {
        xcb_change_property(connection->raw(), XCB_PROP_MODE_APPEND, window, selection, XCB_ATOM_STRING, 8, 0,
                            nullptr);
        for (;;) {
            const x11::Reply<xcb_generic_event_t> event = connection->waitForEvent(deadline);
            if (!event) {
                throw XcbFailure(XcbFailure::Kind::timedOut);
            }
            if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
                const auto& notify = reinterpret_cast<const xcb_property_notify_event_t&>(*event);
                if (notify.window == window) {
                    return notify.time;
                }
            }
        }
    }

    xcb_window_t owner(Deadline deadline) {
        return connection
            ->pending<xcb_get_selection_owner_reply_t>(xcb_get_selection_owner(connection->raw(), selection).sequence)
            .get(deadline)
            ->owner;
    }

    // Our window when the selection was free and is ours now; else whoever holds it (none when it
    // changed hands meanwhile).
    xcb_window_t take(xcb_timestamp_t time, Deadline deadline) {
        const ServerGrab held(connection->raw());
        const xcb_window_t found = owner(deadline);
        if (found != XCB_NONE) {
            return found;
        }
        xcb_set_selection_owner(connection->raw(), window, selection, time);
        return owner(deadline);
    }

    // ICCCM 2.8: a new manager tells the root's clients which window owns the selection.
    void announce(xcb_timestamp_t time, Deadline deadline) {
        const xcb_client_message_event_t message =
            clientMessage(connection->root(), manager, {time, selection, window, 0, 0});
        xcb_send_event(connection->raw(), 0, connection->root(), XCB_EVENT_MASK_STRUCTURE_NOTIFY,
                       reinterpret_cast<const char*>(&message));
        connection->sync(deadline);
    }

    // False when the owner window is gone. Once the server has taken the request, the message
    // waits in the owner's queue even if this process ends at once.
    bool askToShowPanel(xcb_window_t owner, xcb_timestamp_t time, Deadline deadline) {
        const xcb_client_message_event_t message = clientMessage(owner, showPanel, {time, window, 0, 0, 0});
        // No event mask: the event goes to the client that made the window.
        const xcb_void_cookie_t cookie = xcb_send_event_checked(connection->raw(), 0, owner, XCB_EVENT_MASK_NO_EVENT,
                                                                reinterpret_cast<const char*>(&message));
        try {
            connection->check(cookie, deadline);
            return true;
        } catch (const XcbFailure& failure) {
            if (failure.isBadWindow()) {
                return false;
            }
            throw;
        }
    }

    std::unique_ptr<XcbConnection> connection;
    std::string selectionName;
    xcb_atom_t selection = XCB_NONE;
    xcb_atom_t manager = XCB_NONE;
    xcb_atom_t showPanel = XCB_NONE;
    xcb_window_t window = XCB_NONE;
};

DisplayInstance::Claim DisplayInstance::claim(const std::string& display, const std::string& applicationId) {
    std::unique_ptr<XcbConnection> connection;
    try {
        connection = XcbConnection::open(display, Clock::now() + connectTimeout);
    } catch (const XcbFailure&) {
        throw std::runtime_error("no X server answers on " + (display.empty() ? "$DISPLAY" : display));
    }
    try {
        const Deadline deadline = Clock::now() + requestTimeout;
        auto state = std::make_unique<State>(std::move(connection), applicationId, deadline);
        const xcb_timestamp_t time = state->serverTime(deadline);
        for (int attempt = 0; attempt < claimAttempts; ++attempt) {
            const xcb_window_t owner = state->take(time, deadline);
            if (owner == state->window) {
                state->announce(time, deadline);
                qCDebug(instanceLog, "%s taken", state->selectionName.c_str());
                return Claim{std::unique_ptr<DisplayInstance>(new DisplayInstance(std::move(state)))};
            }
            if (owner != XCB_NONE && state->askToShowPanel(owner, time, deadline)) {
                qCDebug(instanceLog, "%s is held by window 0x%x: asked it to show its panel",
                        state->selectionName.c_str(), owner);
                return Claim{};
            }
        }
        throw std::runtime_error("the selection changed hands at every attempt");
    } catch (const XcbFailure& failure) {
        throw std::runtime_error(std::string("the display's instance selection: ") + failure.what());
    }
}

DisplayInstance::DisplayInstance(std::unique_ptr<State> state) : state_(std::move(state)) {}

DisplayInstance::~DisplayInstance() = default;

const std::string& DisplayInstance::selectionName() const noexcept {
    return state_->selectionName;
}

std::uint32_t DisplayInstance::window() const noexcept {
    return state_->window;
}

class DisplayInstance::Watch::Delivery : public std::enable_shared_from_this<Delivery> {
public:
    Delivery(DisplayInstance& instance, Executor& main) : instance_(instance), main_(main) {}

    // REQUIRES: owned by a shared_ptr (the drain jobs hold it weakly).
    void start() {
        // The descriptor's watcher closes what it watches, and xcb closes its own: it gets a copy.
        descriptor_ = std::make_unique<LoopDescriptor>(
            ::fcntl(xcb_get_file_descriptor(connection().raw()), F_DUPFD_CLOEXEC, 0), "fcntl", [this] { drain(); });
        // What came before the watch already sits in xcb's queue, where the socket no longer shows it.
        scheduleDrain();
    }

private:
    XcbConnection& connection() { return *instance_.state_->connection; }

    void scheduleDrain() {
        main_.post([weak = weak_from_this()] {
            if (auto self = weak.lock()) {
                self->drain();
            }
        });
    }

    void drain() {
        while (xcb_generic_event_t* raw = xcb_poll_for_event(connection().raw())) {
            const x11::Reply<xcb_generic_event_t> event(raw);
            handle(*event);
        }
        xcb_flush(connection().raw());
        if (connection().broken() && descriptor_ != nullptr) {
            // A broken socket reads as readable for ever; the watcher goes on a later turn, since
            // it may not be destroyed from inside its own callback.
            qCWarning(instanceLog, "the X connection of %s broke: requests of later starts are lost",
                      instance_.state_->selectionName.c_str());
            main_.post([weak = weak_from_this()] {
                if (auto self = weak.lock()) {
                    self->descriptor_.reset();
                }
            });
        }
    }

    void handle(const xcb_generic_event_t& event) {
        State& state = *instance_.state_;
        switch (event.response_type & 0x7f) {
        case XCB_CLIENT_MESSAGE: {
            const auto& message = reinterpret_cast<const xcb_client_message_event_t&>(event);
            if (message.window == state.window && message.type == state.showPanel && message.format == 32) {
                if (instance_.onShowPanelRequested) {
                    instance_.onShowPanelRequested();
                }
            }
            break;
        }
        case XCB_SELECTION_CLEAR: {
            const auto& clear = reinterpret_cast<const xcb_selection_clear_event_t&>(event);
            if (clear.selection == state.selection) {
                qCWarning(instanceLog, "another program took %s", state.selectionName.c_str());
                if (instance_.onSelectionLost) {
                    instance_.onSelectionLost();
                }
            }
            break;
        }
        case XCB_SELECTION_REQUEST:
            refuse(reinterpret_cast<const xcb_selection_request_event_t&>(event));
            break;
        default:
            break;
        }
    }

    // The selection carries no data: a client that asks to convert it is told so at once rather
    // than left waiting.
    void refuse(const xcb_selection_request_event_t& request) {
        xcb_selection_notify_event_t notify{};
        notify.response_type = XCB_SELECTION_NOTIFY;
        notify.time = request.time;
        notify.requestor = request.requestor;
        notify.selection = request.selection;
        notify.target = request.target;
        notify.property = XCB_NONE;
        xcb_send_event(connection().raw(), 0, request.requestor, XCB_EVENT_MASK_NO_EVENT,
                       reinterpret_cast<const char*>(&notify));
    }

    DisplayInstance& instance_;
    Executor& main_;
    std::unique_ptr<LoopDescriptor> descriptor_;
};

std::unique_ptr<DisplayInstance::Watch> DisplayInstance::watch(Executor& main) {
    auto delivery = std::make_shared<Watch::Delivery>(*this, main);
    delivery->start();
    return std::unique_ptr<Watch>(new Watch(std::move(delivery)));
}

DisplayInstance::Watch::Watch(std::shared_ptr<Delivery> delivery) : delivery_(std::move(delivery)) {}

DisplayInstance::Watch::~Watch() = default;

} // namespace platform
