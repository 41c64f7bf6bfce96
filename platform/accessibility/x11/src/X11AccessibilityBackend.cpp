#include "platform/accessibility/x11/X11AccessibilityBackend.hpp"

#include "platform/accessibility/AccessibilityNames.hpp"
#include "platform/x11/X11Desktop.hpp"

#include <signal.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <condition_variable>
#include <utility>

namespace platform {

namespace {

using x11::Deadline;
using x11::X11Desktop;
using x11::XcbFailure;

// The platform's timeout when none was set.
constexpr float defaultTimeout = 6.0F;
constexpr double longestTimeout = 365.0 * 24 * 3600;

struct TimedObject : AXElementObject {
    // Zero: no timeout of its own. The only thing that changes, hence atomic.
    mutable std::atomic<float> timeout{0.0F};
};
struct SystemWideObject final : TimedObject {};
struct ApplicationObject final : TimedObject {
    explicit ApplicationObject(std::int32_t pid) : pid(pid) {}
    const std::int32_t pid;
};
struct WindowObject final : TimedObject {
    explicit WindowObject(xcb_window_t window) : window(window) {}
    const xcb_window_t window;
};

AXUIElement windowElement(xcb_window_t window) {
    return AXUIElement(std::make_shared<WindowObject>(window));
}

bool contains(const std::vector<xcb_atom_t>& values, xcb_atom_t value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

[[noreturn]] void windowGone() {
    throw XcbFailure(XcbFailure::Kind::xError, XCB_WINDOW);
}

enum class WindowKind { normal, dialog, utility, other };

// A window's transient-for read, asked for together with the other reads of a step and taken at
// most once: both the window's kind and its parent may need it, and a read that neither needs is
// dropped unread, errors and all.
class TransientRead {
public:
    TransientRead(X11Desktop& desktop, xcb_window_t window)
        : desktop_(desktop), window_(window), pending_(std::in_place, desktop.requestTransientFor(window)) {}

    std::optional<xcb_window_t> get(Deadline deadline) {
        if (pending_) {
            X11Desktop::PendingProperty pending = std::move(*pending_);
            pending_.reset();
            try {
                value_ = desktop_.transientFrom(std::move(pending), window_, deadline);
            } catch (const XcbFailure& failure) {
                failure_ = failure;
            }
        }
        if (failure_)
            throw *failure_;
        return value_;
    }

private:
    X11Desktop& desktop_;
    xcb_window_t window_;
    std::optional<X11Desktop::PendingProperty> pending_;
    std::optional<xcb_window_t> value_;
    std::optional<XcbFailure> failure_;
};

// The reads that tell a window's owner and kind, sent together.
struct OwnerAndKindReads {
    OwnerAndKindReads(X11Desktop& desktop, xcb_window_t window)
        : owner(x11::requestOwner(desktop.connection(), window)), types(desktop.requestTypes(window)),
          transient(desktop, window) {}
    x11::PendingOwner owner;
    X11Desktop::PendingProperty types;
    TransientRead transient;
};

// The first standard type decides; an untyped window is a dialog when it is transient.
WindowKind kindOf(X11Desktop& desktop, X11Desktop::PendingProperty types, TransientRead& transient,
                  Deadline deadline) {
    const x11::Atoms& a = desktop.atoms();
    for (xcb_atom_t type : desktop.atomsFrom(std::move(types), deadline)) {
        if (type == a.netWmWindowTypeNormal)
            return WindowKind::normal;
        if (type == a.netWmWindowTypeDialog)
            return WindowKind::dialog;
        if (type == a.netWmWindowTypeUtility)
            return WindowKind::utility;
        if (std::find(std::begin(a.netWmWindowTypeOthers), std::end(a.netWmWindowTypeOthers), type) !=
            std::end(a.netWmWindowTypeOthers)) {
            return WindowKind::other;
        }
    }
    // Only types of other standards: judged as if untyped.
    return transient.get(deadline) ? WindowKind::dialog : WindowKind::normal;
}

WindowKind kindOf(X11Desktop& desktop, xcb_window_t window, Deadline deadline) {
    auto types = desktop.requestTypes(window);
    TransientRead transient(desktop, window);
    return kindOf(desktop, std::move(types), transient, deadline);
}

bool belongsTo(x11::PendingOwner owner, std::int32_t pid, Deadline deadline) {
    try {
        return x11::ownerFrom(std::move(owner), deadline) == pid;
    } catch (const XcbFailure& failure) {
        if (failure.isBadWindow())
            return false; // gone meanwhile: it belongs to nobody now
        throw;
    }
}

bool belongsTo(X11Desktop& desktop, xcb_window_t window, std::int32_t pid, Deadline deadline) {
    return belongsTo(x11::requestOwner(desktop.connection(), window), pid, deadline);
}

bool isNormal(X11Desktop& desktop, X11Desktop::PendingProperty types, TransientRead& transient,
              Deadline deadline) {
    try {
        return kindOf(desktop, std::move(types), transient, deadline) == WindowKind::normal;
    } catch (const XcbFailure& failure) {
        if (failure.isBadWindow())
            return false;
        throw;
    }
}

// Owned by the process and normal; the kind is judged only for a window of the process.
bool isOwnNormal(X11Desktop& desktop, OwnerAndKindReads& reads, std::int32_t pid, Deadline deadline) {
    return belongsTo(std::move(reads.owner), pid, deadline) &&
           isNormal(desktop, std::move(reads.types), reads.transient, deadline);
}

bool isViewable(X11Desktop& desktop, X11Desktop::PendingAttributes attributes, Deadline deadline) {
    try {
        return desktop.viewableFrom(std::move(attributes), deadline);
    } catch (const XcbFailure& failure) {
        if (failure.isBadWindow())
            return false;
        throw;
    }
}

// Only the windows the window manager shows, as the window-created signal and the window list's
// on-screen flag count them: a window listed before it is shown must not count yet, or the opening
// rules would take it for a window from before and never act on it.
std::vector<xcb_window_t> windowsOf(X11Desktop& desktop, std::int32_t pid, Deadline deadline) {
    // Every window's reads go out at once; a window not of the process has its map state dropped.
    struct Reads {
        xcb_window_t window;
        x11::PendingOwner owner;
        X11Desktop::PendingAttributes attributes;
    };
    std::vector<Reads> reads;
    for (xcb_window_t window : desktop.clientList(deadline)) {
        reads.push_back(Reads{window, x11::requestOwner(desktop.connection(), window),
                              desktop.requestAttributes(window)});
    }
    std::vector<xcb_window_t> result;
    for (Reads& read : reads) {
        if (belongsTo(std::move(read.owner), pid, deadline) &&
            isViewable(desktop, std::move(read.attributes), deadline)) {
            result.push_back(read.window);
        }
    }
    return result;
}

std::optional<xcb_window_t> activeOf(X11Desktop& desktop, std::int32_t pid, Deadline deadline) {
    std::optional<xcb_window_t> active = desktop.activeWindow(deadline);
    if (active && belongsTo(desktop, *active, pid, deadline))
        return active;
    return std::nullopt;
}

std::optional<xcb_window_t> mainWindowOf(X11Desktop& desktop, std::int32_t pid, Deadline deadline) {
    if (std::optional<xcb_window_t> active = desktop.activeWindow(deadline)) {
        OwnerAndKindReads reads(desktop, *active);
        if (isOwnNormal(desktop, reads, pid, deadline))
            return active;
        std::optional<xcb_window_t> parent;
        try {
            parent = reads.transient.get(deadline);
        } catch (const XcbFailure& failure) {
            if (!failure.isBadWindow())
                throw;
        }
        // Toolkits name an unmapped group leader as the parent; only a managed window can be main.
        if (parent) {
            auto clients = desktop.requestClientList();
            auto owner = x11::requestOwner(desktop.connection(), *parent);
            if (desktop.isManaged(std::move(clients), *parent, deadline) &&
                belongsTo(std::move(owner), pid, deadline)) {
                return parent;
            }
        }
    }
    std::vector<xcb_window_t> stacking = desktop.clientListStacking(deadline);
    for (auto it = stacking.rbegin(); it != stacking.rend(); ++it) {
        OwnerAndKindReads reads(desktop, *it);
        if (isOwnNormal(desktop, reads, pid, deadline))
            return *it;
    }
    return std::nullopt;
}

bool processExists(std::int32_t pid) {
    return pid > 0 && (::kill(pid, 0) == 0 || errno == EPERM);
}

// A fullscreen window's allowed actions describe the fullscreen state, which a move leaves first
// (window managers take resizing, and some moving, away from it): they say nothing of the window.
bool allows(X11Desktop& desktop, X11Desktop::PendingProperty states, X11Desktop::PendingProperty allowed,
            xcb_atom_t action, Deadline deadline) {
    if (contains(desktop.atomsFrom(std::move(states), deadline), desktop.atoms().netWmStateFullscreen))
        return true;
    std::vector<xcb_atom_t> actions = desktop.atomsFrom(std::move(allowed), deadline);
    return actions.empty() || contains(actions, action);
}

bool sizeSettable(X11Desktop& desktop, xcb_window_t window, Deadline deadline) {
    auto hintsRead = desktop.requestSizeHints(window);
    auto states = desktop.requestStates(window);
    auto allowed = desktop.requestAllowedActions(window);
    x11::SizeHints hints = desktop.sizeHintsFrom(std::move(hintsRead), deadline);
    if (hints.minimum && hints.maximum && *hints.minimum == *hints.maximum)
        return false;
    return allows(desktop, std::move(states), std::move(allowed), desktop.atoms().netWmActionResize,
                  deadline);
}

bool positionSettable(X11Desktop& desktop, xcb_window_t window, Deadline deadline) {
    auto states = desktop.requestStates(window);
    auto allowed = desktop.requestAllowedActions(window);
    return allows(desktop, std::move(states), std::move(allowed), desktop.atoms().netWmActionMove, deadline);
}

bool isApplicationAttribute(std::string_view name) {
    return name == ax::frontmostAttribute || name == ax::mainWindowAttribute ||
           name == ax::focusedWindowAttribute || name == ax::windowsAttribute;
}

bool isWindowAttribute(std::string_view name) {
    return name == ax::modalAttribute || name == ax::minimizedAttribute || name == ax::roleAttribute ||
           name == ax::subroleAttribute || name == ax::positionAttribute || name == ax::sizeAttribute;
}

// X coordinates and sizes are 16-bit on the wire.
std::optional<std::int32_t> pixels(double value) {
    if (!std::isfinite(value) || std::fabs(value) > 32767.0)
        return std::nullopt;
    return static_cast<std::int32_t>(std::lround(value));
}

} // namespace

// One call at a time uses the connection. The turn is a flag under a condition variable rather
// than a timed mutex, whose deadline wait the thread checker cannot follow.
struct X11AccessibilityBackend::Session {
    class Turn {
    public:
        explicit Turn(Session& session) : session_(&session) {}
        Turn(Turn&& other) noexcept : session_(std::exchange(other.session_, nullptr)) {}
        Turn& operator=(Turn&&) = delete;
        ~Turn() {
            if (session_ == nullptr)
                return;
            {
                std::lock_guard lock(session_->mutex);
                session_->busy = false;
            }
            session_->freed.notify_one();
        }

    private:
        Session* session_;
    };
    // The connection's turn, or nothing when another call keeps it past the deadline.
    std::optional<Turn> take(Deadline deadline) {
        std::unique_lock lock(mutex);
        if (!freed.wait_until(lock, deadline, [&] { return !busy; }))
            return std::nullopt;
        busy = true;
        return std::optional<Turn>(std::in_place, *this);
    }

    std::mutex mutex;
    std::condition_variable freed;
    bool busy = false;
    // Used only by the call that has the turn.
    std::unique_ptr<x11::XcbConnection> connection;
    std::unique_ptr<X11Desktop> desktop;
};

X11AccessibilityBackend::X11AccessibilityBackend(std::string display)
    : display_(std::move(display)), systemTimeout_(defaultTimeout), operations_(std::make_unique<Session>()),
      trust_(std::make_unique<Session>()) {}

X11AccessibilityBackend::~X11AccessibilityBackend() {
    for (Session* session : {operations_.get(), trust_.get()})
        session->desktop.reset();
}

float X11AccessibilityBackend::timeoutOf(const AXUIElement& element) const {
    if (const auto* timed = element.as<TimedObject>()) {
        float own = timed->timeout.load();
        if (own > 0)
            return own;
    }
    return systemTimeout_.load();
}

template <class Body>
AXError X11AccessibilityBackend::withSession(Session& session, const AXUIElement& element, Body&& body,
                                             Access access) {
    return withSession(session, timeoutOf(element), std::forward<Body>(body), access);
}

template <class Body>
AXError X11AccessibilityBackend::withSession(Session& session, float timeout, Body&& body, Access access) {
    // Any finite timeout is allowed; past a year it is as good as none, and the cap keeps the
    // deadline within the clock's range.
    const double seconds = std::min(static_cast<double>(timeout), longestTimeout);
    const Deadline deadline = x11::Clock::now() + std::chrono::duration_cast<x11::Clock::duration>(
                                                      std::chrono::duration<double>(seconds));
    // Waiting for the connection counts against the timeout like waiting for the server.
    std::optional<Session::Turn> turn = session.take(deadline);
    if (!turn)
        return AXError::cannotComplete;
    try {
        if (!session.connection || session.connection->broken()) {
            session.desktop.reset();
            session.connection.reset();
            session.connection = x11::XcbConnection::open(display_, deadline);
            // Every step of a window operation asks for trust and reads the same few properties of
            // the same window: they are kept between calls while the server reports no change.
            session.connection->keepReplies();
            session.desktop = std::make_unique<X11Desktop>(*session.connection);
        }
        session.connection->discardEvents();
        // A read sees every write before it applied, as if each write had waited for it.
        if (access == Access::read)
            session.desktop->settle(deadline);
        return body(*session.desktop, deadline);
    } catch (const XcbFailure& failure) {
        if (failure.isBadWindow())
            return AXError::invalidUIElement;
        if (failure.kind == XcbFailure::Kind::xError)
            return AXError::failure;
        return AXError::cannotComplete;
    }
}

bool X11AccessibilityBackend::isProcessTrusted() {
    bool trusted = false;
    // The process-wide timeout is the time left to the operation that set it last, a few
    // milliseconds near its deadline; the trust check is no part of that operation.
    withSession(*trust_, defaultTimeout, [&](X11Desktop& desktop, Deadline deadline) {
        // The supported list rides along with the root's check; it is read only when a window
        // manager runs.
        auto check = desktop.requestSupportingCheck();
        auto supportedRead = desktop.requestSupported();
        if (!desktop.windowManagerRuns(std::move(check), deadline))
            return AXError::success;
        const x11::Atoms& a = desktop.atoms();
        std::vector<xcb_atom_t> supported = desktop.atomsFrom(std::move(supportedRead), deadline);
        trusted = true;
        for (xcb_atom_t needed : {a.netClientList, a.netClientListStacking, a.netActiveWindow,
                                  a.netFrameExtents, a.netRequestFrameExtents, a.netMoveresizeWindow,
                                  a.netWmState, a.netWmStateMaximizedVert, a.netWmStateMaximizedHorz}) {
            trusted = trusted && contains(supported, needed);
        }
        return AXError::success;
    });
    return trusted;
}

AXUIElement X11AccessibilityBackend::createApplication(std::int32_t pid) {
    return AXUIElement(std::make_shared<ApplicationObject>(pid));
}

AXUIElement X11AccessibilityBackend::createSystemWide() {
    return AXUIElement(std::make_shared<SystemWideObject>());
}

AXError X11AccessibilityBackend::setMessagingTimeout(const AXUIElement& element, float seconds) {
    const auto* timed = element.as<TimedObject>();
    if (timed == nullptr)
        return AXError::illegalArgument;
    if (!std::isfinite(seconds))
        return AXError::illegalArgument;
    const float value = seconds > 0 ? seconds : 0.0F;
    if (element.as<SystemWideObject>() != nullptr) {
        systemTimeout_.store(value > 0 ? value : defaultTimeout);
    } else {
        timed->timeout.store(value);
    }
    return AXError::success;
}

AXError X11AccessibilityBackend::copyAttributeValue(const AXUIElement& element, std::string_view attribute,
                                                    std::optional<AXAttributeValue>& value) {
    if (const auto* application = element.as<ApplicationObject>()) {
        if (!isApplicationAttribute(attribute))
            return AXError::attributeUnsupported;
        if (!processExists(application->pid))
            return AXError::invalidUIElement;
        const std::int32_t pid = application->pid;
        return withSession(*operations_, element, [&](X11Desktop& desktop, Deadline deadline) {
            std::optional<AXAttributeValue> result;
            if (attribute == ax::frontmostAttribute) {
                result = activeOf(desktop, pid, deadline).has_value();
            } else if (attribute == ax::focusedWindowAttribute) {
                if (auto active = activeOf(desktop, pid, deadline))
                    result = windowElement(*active);
            } else if (attribute == ax::mainWindowAttribute) {
                if (auto main = mainWindowOf(desktop, pid, deadline))
                    result = windowElement(*main);
            } else {
                AXElementArray windows;
                for (xcb_window_t window : windowsOf(desktop, pid, deadline)) {
                    windows.push_back(windowElement(window));
                }
                result = std::move(windows);
            }
            value = std::move(result);
            return AXError::success;
        });
    }
    if (const auto* window = element.as<WindowObject>()) {
        if (!isWindowAttribute(attribute))
            return AXError::attributeUnsupported;
        const xcb_window_t id = window->window;
        return withSession(*operations_, element, [&](X11Desktop& desktop, Deadline deadline) {
            auto managed = desktop.requestClientList();
            const x11::Atoms& a = desktop.atoms();
            AXAttributeValue result;
            if (attribute == ax::modalAttribute) {
                result = contains(desktop.states(id, deadline), a.netWmStateModal);
            } else if (attribute == ax::minimizedAttribute) {
                auto states = desktop.requestStates(id);
                auto wmState = desktop.requestWmState(id);
                result = contains(desktop.atomsFrom(std::move(states), deadline), a.netWmStateHidden) ||
                         desktop.iconicFrom(std::move(wmState), deadline);
            } else if (attribute == ax::roleAttribute) {
                result = std::string(ax::windowRole);
            } else if (attribute == ax::subroleAttribute) {
                switch (kindOf(desktop, id, deadline)) {
                case WindowKind::normal:
                    result = std::string(ax::standardWindowSubrole);
                    break;
                case WindowKind::dialog:
                    result = std::string(ax::dialogSubrole);
                    break;
                case WindowKind::utility:
                    result = std::string(ax::floatingWindowSubrole);
                    break;
                case WindowKind::other:
                    result = std::string(ax::unknownSubrole);
                    break;
                }
            } else {
                x11::PixelRect frame = desktop.frame(id, deadline);
                if (attribute == ax::positionAttribute) {
                    result = AXValue(CGPoint{static_cast<double>(frame.x), static_cast<double>(frame.y)});
                } else {
                    result =
                        AXValue(CGSize{static_cast<double>(frame.width), static_cast<double>(frame.height)});
                }
            }
            if (!desktop.isManaged(std::move(managed), id, deadline))
                windowGone();
            value = std::move(result);
            return AXError::success;
        });
    }
    return AXError::attributeUnsupported;
}

AXError X11AccessibilityBackend::getAttributeValueCount(const AXUIElement& element,
                                                        std::string_view attribute, std::int64_t& count) {
    const auto* application = element.as<ApplicationObject>();
    if (application != nullptr && attribute == ax::windowsAttribute) {
        if (!processExists(application->pid))
            return AXError::invalidUIElement;
        return withSession(*operations_, element, [&](X11Desktop& desktop, Deadline deadline) {
            count = static_cast<std::int64_t>(windowsOf(desktop, application->pid, deadline).size());
            return AXError::success;
        });
    }
    if ((application != nullptr && isApplicationAttribute(attribute)) ||
        (element.as<WindowObject>() != nullptr && isWindowAttribute(attribute))) {
        return AXError::illegalArgument;
    }
    return AXError::attributeUnsupported;
}

AXError X11AccessibilityBackend::isAttributeSettable(const AXUIElement& element, std::string_view attribute,
                                                     bool& settable) {
    if (const auto* application = element.as<ApplicationObject>()) {
        if (!isApplicationAttribute(attribute))
            return AXError::attributeUnsupported;
        if (!processExists(application->pid))
            return AXError::invalidUIElement;
        settable = false;
        return AXError::success;
    }
    if (const auto* window = element.as<WindowObject>()) {
        if (!isWindowAttribute(attribute))
            return AXError::attributeUnsupported;
        return withSession(*operations_, element, [&](X11Desktop& desktop, Deadline deadline) {
            auto managed = desktop.requestClientList();
            bool result = false;
            if (attribute == ax::sizeAttribute)
                result = sizeSettable(desktop, window->window, deadline);
            if (attribute == ax::positionAttribute) {
                result = positionSettable(desktop, window->window, deadline);
            }
            if (!desktop.isManaged(std::move(managed), window->window, deadline))
                windowGone();
            settable = result;
            return AXError::success;
        });
    }
    return AXError::attributeUnsupported;
}

AXError X11AccessibilityBackend::setAttributeValue(const AXUIElement& element, std::string_view attribute,
                                                   const AXAttributeValue& value) {
    const auto* window = element.as<WindowObject>();
    if (window == nullptr || (attribute != ax::positionAttribute && attribute != ax::sizeAttribute)) {
        return AXError::attributeUnsupported;
    }
    const auto* boxed = std::get_if<AXValue>(&value);
    std::optional<x11::PixelPoint> position;
    std::optional<x11::PixelSize> size;
    if (attribute == ax::positionAttribute) {
        std::optional<CGPoint> point = boxed != nullptr ? boxed->point() : std::nullopt;
        if (!point)
            return AXError::illegalArgument;
        auto x = pixels(point->x);
        auto y = pixels(point->y);
        if (!x || !y)
            return AXError::illegalArgument;
        position = x11::PixelPoint{*x, *y};
    } else {
        std::optional<CGSize> wanted = boxed != nullptr ? boxed->size() : std::nullopt;
        if (!wanted)
            return AXError::illegalArgument;
        auto width = pixels(wanted->width);
        auto height = pixels(wanted->height);
        if (!width || !height || *width < 1 || *height < 1)
            return AXError::illegalArgument;
        size = x11::PixelSize{*width, *height};
    }
    // The write returns once sent: the window manager applies the writes of one window in order,
    // and the next read waits until it has.
    return withSession(
        *operations_, element,
        [&](X11Desktop& desktop, Deadline deadline) {
            desktop.sendMoveResize(desktop.requestClientList(), window->window, position, size, deadline);
            return AXError::success;
        },
        Access::write);
}

} // namespace platform
