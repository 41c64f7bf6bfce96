#pragma once
// The live Accessibility backend on X11: application elements per process id, window elements per
// managed client window, read and moved through an EWMH window manager over connections of its own.
//
// Main window: X11 has no such notion, so the backend answers AXMainWindow with
//   1. the active window (_NET_ACTIVE_WINDOW) when it belongs to the process and is a normal window;
//   2. else the active window's WM_TRANSIENT_FOR parent when that is a managed window of the
//      process (toolkits often name an unmapped group leader there);
//   3. else the process's topmost normal window in _NET_CLIENT_LIST_STACKING (minimized or not);
//   4. else no value.
// A normal window is one whose first known _NET_WM_WINDOW_TYPE is NORMAL, or that has no type and
// is not transient; it is the one whose AXSubrole is AXStandardWindow.

#include "platform/accessibility/AccessibilityBackend.hpp"

#include <atomic>
#include <memory>
#include <mutex>
#include <string>

namespace platform {

namespace x11 {
class XcbConnection;
class X11Desktop;
} // namespace x11

// Safe for concurrent access: operations run one at a time on one connection, and the trust test
// has a connection of its own so that it never waits behind a write. A call that cannot have the
// connection within its timeout answers cannotComplete.
class X11AccessibilityBackend final : public AccessibilityBackend {
public:
    // display: the X display to use; empty for $DISPLAY. Connects on first use, and again after a
    // broken connection.
    explicit X11AccessibilityBackend(std::string display = {});
    ~X11AccessibilityBackend() override;

    // True when an EWMH window manager runs (_NET_SUPPORTING_WM_CHECK) and _NET_SUPPORTED lists what
    // the backend uses: the client lists, the active window, the window state with both maximized
    // states, the frame extents and their request, and _NET_MOVERESIZE_WINDOW.
    // It waits at most the platform's default timeout, whatever timeout the calls were given.
    bool isProcessTrusted() override;
    AXUIElement createApplication(std::int32_t pid) override;
    AXUIElement createSystemWide() override;
    AXError setMessagingTimeout(const AXUIElement& element, float seconds) override;
    AXError copyAttributeValue(const AXUIElement& element, std::string_view attribute,
                               std::optional<AXAttributeValue>& value) override;
    AXError getAttributeValueCount(const AXUIElement& element, std::string_view attribute,
                                   std::int64_t& count) override;
    AXError isAttributeSettable(const AXUIElement& element, std::string_view attribute,
                                bool& settable) override;
    AXError setAttributeValue(const AXUIElement& element, std::string_view attribute,
                              const AXAttributeValue& value) override;

private:
    struct Session;
    // read: waits until the window manager applied the writes before; write: may leave its own
    // for the next read to wait for.
    enum class Access { read, write };
    template <class Body>
    AXError withSession(Session& session, const AXUIElement& element, Body&& body, Access access = Access::read);
    template <class Body>
    AXError withSession(Session& session, float timeout, Body&& body, Access access = Access::read);
    float timeoutOf(const AXUIElement& element) const;

    std::string display_;
    std::atomic<float> systemTimeout_;
    std::unique_ptr<Session> operations_;
    std::unique_ptr<Session> trust_;
};

} // namespace platform
