#pragma once
// The live window list on X11: the managed windows of _NET_CLIENT_LIST_STACKING, front to back,
// each with its owner (the one owner function; windows without a real owner are left out) and its
// visible frame (the one frame function, so it equals the Accessibility read to the bit).
// Layer 0 for normal, dialog and untyped windows not kept above; 3 for every other window. On
// screen: viewable and not hidden.

#include "platform/windowserver/WindowServer.hpp"

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

namespace platform {

namespace x11 {
class XcbConnection;
}

// Safe for concurrent access: reads take turns on one connection of its own. A read ends within
// two seconds: a server that does not answer, or a read still waiting for the connection, answers
// nothing.
class X11WindowServer final : public WindowServer {
public:
    // display: empty for $DISPLAY. Connects on first use, and again after a failed read.
    explicit X11WindowServer(std::string display = {});
    ~X11WindowServer() override;

    std::optional<WindowInfoList> copyWindowInfo() override;

private:
    std::string display_;
    std::mutex mutex_;
    std::condition_variable idle_;
    bool busy_ = false; // a read has the connection
    std::unique_ptr<x11::XcbConnection> connection_;
    std::uint32_t above_ = 0; // _NET_WM_STATE_ABOVE
};

} // namespace platform
