#include "platform/windowserver/X11WindowServer.hpp"

#include "platform/x11/X11Desktop.hpp"

#include <algorithm>
#include <chrono>
#include <cstring>

namespace platform {

namespace {

using x11::Deadline;
using x11::XcbFailure;

constexpr auto readLimit = std::chrono::seconds(2);
constexpr double otherLayer = 3;

bool contains(const std::vector<xcb_atom_t>& values, xcb_atom_t value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

// The first standard type decides; a window without one is an application window.
bool applicationType(const x11::Atoms& a, const std::vector<xcb_atom_t>& types) {
    for (xcb_atom_t type : types) {
        if (type == a.netWmWindowTypeNormal || type == a.netWmWindowTypeDialog)
            return true;
        if (type == a.netWmWindowTypeUtility ||
            std::find(std::begin(a.netWmWindowTypeOthers), std::end(a.netWmWindowTypeOthers), type) !=
                std::end(a.netWmWindowTypeOthers)) {
            return false;
        }
    }
    return true;
}

WindowInfoValue number(double value) {
    return WindowInfoValue{WindowInfoNumber{value}};
}

} // namespace

X11WindowServer::X11WindowServer(std::string display) : display_(std::move(display)) {}

X11WindowServer::~X11WindowServer() = default;

std::optional<WindowInfoList> X11WindowServer::copyWindowInfo() {
    const Deadline deadline = x11::Clock::now() + readLimit;
    {
        std::unique_lock lock(mutex_);
        if (!idle_.wait_until(lock, deadline, [this] { return !busy_; }))
            return std::nullopt;
        busy_ = true;
    }
    struct Release {
        X11WindowServer& server;
        ~Release() {
            {
                std::lock_guard lock(server.mutex_);
                server.busy_ = false;
            }
            server.idle_.notify_one();
        }
    } release{*this};
    try {
        if (!connection_ || connection_->broken()) {
            connection_.reset();
            auto connection = x11::XcbConnection::open(display_, deadline);
            const char* name = "_NET_WM_STATE_ABOVE";
            auto atom = connection->pending<xcb_intern_atom_reply_t>(
                xcb_intern_atom(connection->raw(), 0, static_cast<std::uint16_t>(std::strlen(name)), name)
                    .sequence);
            above_ = atom.get(deadline)->atom;
            connection_ = std::move(connection);
        }
        x11::X11Desktop desktop(*connection_);
        const x11::Atoms& a = desktop.atoms();
        std::vector<xcb_window_t> stacking = desktop.clientListStacking(deadline);
        WindowInfoList list;
        for (auto it = stacking.rbegin(); it != stacking.rend(); ++it) {
            const xcb_window_t window = *it;
            try {
                auto attributes = connection_->pending<xcb_get_window_attributes_reply_t>(
                    xcb_get_window_attributes(connection_->raw(), window).sequence);
                const std::optional<std::int32_t> pid = desktop.processOf(window, deadline);
                if (!pid)
                    continue; // no real owner: left out rather than spoiling the list
                const std::vector<xcb_atom_t> states = desktop.states(window, deadline);
                const bool layerZero =
                    applicationType(a, desktop.types(window, deadline)) && !contains(states, above_);
                const x11::PixelRect frame = desktop.frame(window, deadline);
                const bool viewable = attributes.get(deadline)->map_state == XCB_MAP_STATE_VIEWABLE;
                auto bounds =
                    std::make_shared<const WindowInfo>(WindowInfo{{"X", number(frame.x)},
                                                                  {"Y", number(frame.y)},
                                                                  {"Width", number(frame.width)},
                                                                  {"Height", number(frame.height)}});
                list.push_back(
                    WindowInfo{{windowNumberKey, number(window)},
                               {windowOwnerPIDKey, number(*pid)},
                               {windowLayerKey, number(layerZero ? 0 : otherLayer)},
                               {windowBoundsKey, WindowInfoValue{std::move(bounds)}},
                               {windowIsOnscreenKey,
                                WindowInfoValue{viewable && !contains(states, a.netWmStateHidden)}}});
            } catch (const XcbFailure& failure) {
                if (!failure.isBadWindow())
                    throw;
                // Gone while we read it: it is no longer in the list.
            }
        }
        return list;
    } catch (const XcbFailure&) {
        connection_.reset(); // a timed-out connection may still deliver stale replies
        return std::nullopt;
    }
}

} // namespace platform
