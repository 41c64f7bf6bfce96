#pragma once
// A private xcb connection with replies owned by RAII, every wait bounded by a deadline, and X
// errors returned to the caller as thrown values instead of a global flag.

#ifndef TIDEWRIGHT_XCB_LAYER
#error "xcb stays inside platform/: link PlatformX11 from a platform target, or use its xcb-free headers"
#endif

#include "platform/x11/Atoms.hpp"
#include "platform/x11/Deadline.hpp"

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

namespace platform::x11 {

static_assert(std::is_same_v<WindowId, xcb_window_t>);

struct FreeDeleter {
    void operator()(void* pointer) const noexcept { std::free(pointer); }
};
// An xcb reply or error, freed with free() as libxcb requires.
template <class T>
using Reply = std::unique_ptr<T, FreeDeleter>;

// Why an X request did not deliver what was asked.
struct XcbFailure : std::runtime_error {
    enum class Kind {
        timedOut,         // no answer before the deadline
        connectionBroken, // no display, or the connection closed
        xError,           // the server answered with an error
    };
    XcbFailure(Kind kind, std::uint8_t errorCode = 0, std::uint8_t majorOpcode = 0);
    Kind kind;
    std::uint8_t errorCode; // XCB_WINDOW, XCB_MATCH, ... when kind is xError
    std::uint8_t majorOpcode;

    bool isBadWindow() const {
        return kind == Kind::xError && (errorCode == XCB_WINDOW || errorCode == XCB_DRAWABLE);
    }
};

class XcbConnection;

// The bytes of a whole reply: its fixed 32 and its length field's words.
template <class R>
std::size_t replySize(const R& reply) {
    return 32 + 4 * static_cast<std::size_t>(reinterpret_cast<const xcb_generic_reply_t&>(reply).length);
}

// A request whose reply is still on its way, or a reply kept from an earlier one. Dropping it
// unfetched discards the reply, so a failed step never leaves replies queued in the connection.
template <class R>
class PendingReply {
public:
    PendingReply(XcbConnection& connection, unsigned int sequence)
        : connection_(&connection), sequence_(sequence) {}
    explicit PendingReply(Reply<R> kept) : connection_(nullptr), sequence_(0), kept_(std::move(kept)) {}
    PendingReply(PendingReply&& other) noexcept
        : connection_(std::exchange(other.connection_, nullptr)), sequence_(other.sequence_),
          kept_(std::move(other.kept_)), keep_(std::move(other.keep_)) {}
    PendingReply& operator=(PendingReply&&) = delete;
    ~PendingReply();

    // Waits for the reply until the deadline. THROWS XcbFailure.
    Reply<R> get(Deadline deadline);
    // Hands a copy of the reply to keep once it arrives.
    void whenFetched(std::function<void(const R&)> keep) { keep_ = std::move(keep); }

private:
    XcbConnection* connection_;
    unsigned int sequence_;
    Reply<R> kept_;
    std::function<void(const R&)> keep_;
};

// Replies kept between requests while the server reports no change to what they read: property
// replies until a PropertyNotify of their window and property, and every reply about a window
// until its DestroyNotify. A window is watched for those events before its first kept request is
// sent, so a change after a reply is always reported after it.
class KeptReplies {
public:
    // (window, property, type, length); property XCB_NONE for a window's X-Resource client ids.
    using Key = std::tuple<xcb_window_t, xcb_atom_t, xcb_atom_t, std::uint32_t>;

    // Whether the window is watched; if not, it is from now on (the caller sends the selection).
    bool watch(xcb_window_t window) { return !watched_.insert(window).second; }
    // A copy of the kept reply, freed like one libxcb delivers, or null.
    template <class R>
    Reply<R> find(const Key& key) const {
        const auto found = replies_.find(key);
        if (found == replies_.end())
            return nullptr;
        void* copy = std::malloc(found->second.size());
        if (copy == nullptr)
            throw std::bad_alloc();
        std::memcpy(copy, found->second.data(), found->second.size());
        return Reply<R>(static_cast<R*>(copy));
    }
    template <class R>
    void keep(const Key& key, const R& reply) {
        const auto* bytes = reinterpret_cast<const std::uint8_t*>(&reply);
        replies_[key] = std::vector<std::uint8_t>(bytes, bytes + replySize(reply));
    }
    // Forgets what an event says may have changed.
    void note(const xcb_generic_event_t& event);

private:
    std::map<Key, std::vector<std::uint8_t>> replies_;
    std::set<xcb_window_t> watched_;
};

// One xcb connection of our own (never Qt's). Not safe for concurrent use: its owner serialises.
class XcbConnection {
public:
    // Connects to the display (empty: $DISPLAY) and interns the atoms within the deadline.
    // THROWS XcbFailure (connectionBroken when there is no display).
    static std::unique_ptr<XcbConnection> open(const std::string& display, Deadline deadline);
    ~XcbConnection();
    XcbConnection(const XcbConnection&) = delete;
    XcbConnection& operator=(const XcbConnection&) = delete;

    xcb_connection_t* raw() const { return connection_; }
    xcb_window_t root() const { return screen_->root; }
    const Atoms& atoms() const { return atoms_; }
    bool broken() const { return xcb_connection_has_error(connection_) != 0; }
    // Whether the server has these extensions. A request of an absent one would close the
    // connection, so callers ask first.
    bool hasRandr() const { return hasRandr_; }
    bool hasResources() const { return hasResources_; }

    template <class R>
    PendingReply<R> pending(unsigned int sequence) {
        lastPending_ = sequence;
        return PendingReply<R>(*this, sequence);
    }
    // The reply (or error) of a request, waited for until the deadline. THROWS XcbFailure.
    void* awaitReply(unsigned int sequence, Deadline deadline);
    // Waits until a void request made with a _checked call is processed. THROWS XcbFailure.
    void check(xcb_void_cookie_t cookie, Deadline deadline);
    // Waits until every request sent so far is processed. THROWS XcbFailure.
    void sync(Deadline deadline);
    // The next event, or null when none arrived before the deadline. THROWS XcbFailure when the
    // connection breaks.
    Reply<xcb_generic_event_t> waitForEvent(Deadline deadline);
    void discard(unsigned int sequence) { xcb_discard_reply(connection_, sequence); }

    // Keeps the replies of property and client-id requests made through requestProperty and
    // requestOwner between calls, while the server reports no change (KeptReplies); off unless
    // turned on. For a connection that its owner drains of events at each use.
    void keepReplies() { kept_ = std::make_unique<KeptReplies>(); }
    KeptReplies* kept() const { return kept_.get(); }
    // Asks for the events that tell a kept reply of the window out of date, once per window.
    void watchForKeeping(xcb_window_t window);
    // Adds these to the events the connection receives for the root window: its mask there is the
    // union of what every user of the connection asked for, as a new mask replaces the old.
    void selectRootEvents(std::uint32_t mask);
    // Drops every event that has arrived, so events of windows we watch never pile up.
    void discardEvents();
    // Sees every event taken from the connection through waitForEvent and discardEvents, before it
    // is handed on or dropped: what its owner counts must not be lost to a drop.
    std::function<void(const xcb_generic_event_t&)> onEvent;

private:
    XcbConnection(xcb_connection_t* connection, xcb_screen_t* screen);
    // Waits for the socket to become readable; false at the deadline.
    bool waitReadable(Deadline deadline);

    xcb_connection_t* connection_;
    xcb_screen_t* screen_;
    Atoms atoms_{};
    std::unique_ptr<KeptReplies> kept_;
    std::uint32_t rootMask_ = 0;
    bool hasRandr_ = false;
    bool hasResources_ = false;
    // For counting round trips: the newest request with a reply, and the newest one that had gone
    // out when the last trip began.
    unsigned int lastPending_ = 0;
    unsigned int tripCovers_ = 0;
};

template <class R>
PendingReply<R>::~PendingReply() {
    if (connection_ != nullptr)
        connection_->discard(sequence_);
}

template <class R>
Reply<R> PendingReply<R>::get(Deadline deadline) {
    if (kept_)
        return std::move(kept_);
    XcbConnection* connection = std::exchange(connection_, nullptr);
    Reply<R> reply(static_cast<R*>(connection->awaitReply(sequence_, deadline)));
    if (keep_)
        keep_(*reply);
    return reply;
}

} // namespace platform::x11
