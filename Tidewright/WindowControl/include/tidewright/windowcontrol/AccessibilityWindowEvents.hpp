#pragma once
// The logic of one window operation on another application: which window counts as its main
// window, how the frame is read, what is checked before a write, the order of the writes, and how
// every platform error becomes a WindowOperationFailure. Built afresh for each operation and run
// synchronously on the transport's worker thread.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <stdexcept>
#include <utility>

#include "platform/accessibility/AccessibilityNames.hpp"
#include "tidewright/core/Geometry.hpp"
#include "tidewright/core/OpeningWindowPresence.hpp"
#include "tidewright/core/WindowPlacement.hpp"
#include "tidewright/windowcontrol/AccessibilityCalls.hpp"
#include "tidewright/windowcontrol/AccessibilityError.hpp"
#include "tidewright/windowcontrol/ContinuousInstant.hpp"
#include "tidewright/windowcontrol/WindowOperationFailure.hpp"
#include "tidewright/windowcontrol/WindowOperationPermit.hpp"

namespace tidewright {

// The one table from a call-layer error to a failure: no value, an unsupported attribute and a gone
// element mean there is no eligible window; a disabled interface invalidates the request; a call
// that did not complete is the transport's; every other code is the target's.
WindowOperationFailure windowOperationFailure(const AccessibilityError& error) noexcept;

// Every operation throws only WindowOperationFailure (presence throws nothing) and keeps no state
// between calls. The permit is the only state shared with other threads.
template <AccessibilityCalls Calls>
class AccessibilityWindowEvents {
public:
    using Element = typename Calls::Element;
    // The current instant of the continuous clock.
    using Now = std::function<ContinuousInstant()>;

    // The longest that one platform call may wait.
    static constexpr double longestMessagingTimeout = 2.0;

    // REQUIRES: permit and now are set (std::invalid_argument otherwise).
    AccessibilityWindowEvents(Calls calls, ContinuousInstant deadline,
                              std::shared_ptr<const WindowOperationPermit> permit,
                              bool restoresEnhancedInterface, Now now)
        : calls_(std::move(calls)), deadline_(deadline), permit_(std::move(permit)),
          restoresEnhancedInterface_(restoresEnhancedInterface), now_(std::move(now)) {
        if (permit_ == nullptr || !now_) {
            throw std::invalid_argument("AccessibilityWindowEvents needs a permit and a clock");
        }
    }

    // How many windows the process shows; unknown on any failure. The application need not be
    // frontmost.
    OpeningWindowPresence presence(std::int32_t pid) const {
        try {
            const Element application = applicationElement(pid);
            const std::int64_t count =
                guarded([&] { return calls_.valueCount(AccessibilityAttribute::windows, application); });
            checkPermit();
            if (count < 0) {
                return OpeningWindowPresence::unknown;
            }
            if (count == 0) {
                return OpeningWindowPresence::none;
            }
            return count == 1 ? OpeningWindowPresence::one : OpeningWindowPresence::several;
        } catch (const WindowOperationFailure&) {
            return OpeningWindowPresence::unknown;
        }
    }

    DesktopFrame mainWindowFrame(std::int32_t pid) const {
        const Element application = applicationElement(pid);
        return frame(eligibleMainWindow(application));
    }

    // fixed with the caller's size when the size of an unmoved window cannot be set; unknown when it
    // can, or when the window moved since the caller read frame. Never resizable.
    SizeCapabilities sizeCapabilities(std::int32_t pid, const DesktopFrame& frameRead) const {
        const Element application = applicationElement(pid);
        const Element window = eligibleMainWindow(application);
        if (frame(window) != frameRead) {
            return SizeCapabilities::unknown();
        }
        checkPermit();
        bool settable = false;
        try {
            settable = calls_.isSettable(AccessibilityAttribute::size, window);
        } catch (const AccessibilityError& error) {
            if (isMissing(error)) {
                return SizeCapabilities::unknown();
            }
            throw windowOperationFailure(error);
        }
        return settable ? SizeCapabilities::unknown() : SizeCapabilities::fixed(frameRead.size());
    }

    // Writes size, origin and size again, only if the window still has the expected frame exactly.
    void setFrame(std::int32_t pid, const DesktopFrame& expected, const DesktopFrame& target) const {
        const Element application = applicationElement(pid);
        const Element window = unchangedMainWindow(application, expected);
        const platform::CGSize size{target.size().width().value(), target.size().height().value()};
        const platform::CGPoint origin = point(target.origin());
        withEnhancedInterfaceSuspended(application, [&] {
            guarded([&] { calls_.setSize(AccessibilityAttribute::size, size, window); });
            guarded([&] { calls_.setPoint(AccessibilityAttribute::position, origin, window); });
            // A window may clamp the first size to the screen it was on; the second lands it on the new one.
            guarded([&] { calls_.setSize(AccessibilityAttribute::size, size, window); });
        });
    }

    // Writes the origin, only if the window still has the expected frame exactly.
    void setOrigin(std::int32_t pid, const DesktopFrame& expected, const DesktopPoint& target) const {
        const Element application = applicationElement(pid);
        const Element window = unchangedMainWindow(application, expected);
        withEnhancedInterfaceSuspended(application, [&] {
            guarded([&] { calls_.setPoint(AccessibilityAttribute::position, point(target), window); });
        });
    }

private:
    static bool isMissing(const AccessibilityError& error) noexcept {
        return error.code == platform::AXError::noValue ||
               error.code == platform::AXError::attributeUnsupported;
    }

    static platform::CGPoint point(const DesktopPoint& point) noexcept {
        return {point.x.value(), point.y.value()};
    }

    void checkPermit() const { permit_->check(deadline_, now_()); }

    // Checks the permit, then runs the call with its errors mapped.
    template <class Call>
    auto guarded(Call&& call) const {
        checkPermit();
        try {
            return std::forward<Call>(call)();
        } catch (const AccessibilityError& error) {
            throw windowOperationFailure(error);
        }
    }

    Element applicationElement(std::int32_t pid) const {
        if (pid < 1) {
            throw WindowOperationFailure::noUniqueEligibleWindow();
        }
        checkPermit();
        if (!calls_.isProcessTrusted()) {
            throw WindowOperationFailure::invalidated();
        }
        const double remaining = std::chrono::duration<double>(deadline_ - now_()).count();
        if (!(remaining > 0)) {
            throw WindowOperationFailure::deadlineExceeded();
        }
        calls_.setMessagingTimeout(static_cast<float>(std::min(remaining, longestMessagingTimeout)));
        return calls_.application(pid);
    }

    Element eligibleMainWindow(const Element& application) const {
        using A = AccessibilityAttribute;
        if (!guarded([&] { return calls_.boolean(A::frontmost, application); })) {
            throw WindowOperationFailure::noUniqueEligibleWindow();
        }
        const Element window = guarded([&] {
            try {
                return calls_.element(A::mainWindow, application);
            } catch (const AccessibilityError& error) {
                if (!isMissing(error)) {
                    throw;
                }
                return calls_.element(A::focusedWindow, application);
            }
        });
        // All four are read before any is judged.
        const bool modal = guarded([&] { return calls_.boolean(A::modal, window); });
        const bool minimized = guarded([&] { return calls_.boolean(A::minimized, window); });
        const std::string role = guarded([&] { return calls_.string(A::role, window); });
        const std::string subrole = guarded([&] { return calls_.string(A::subrole, window); });
        if (modal || minimized || role != platform::ax::windowRole ||
            subrole != platform::ax::standardWindowSubrole) {
            throw WindowOperationFailure::noUniqueEligibleWindow();
        }
        return window;
    }

    DesktopFrame frame(const Element& window) const {
        const platform::CGPoint position =
            guarded([&] { return calls_.point(AccessibilityAttribute::position, window); });
        const platform::CGSize size =
            guarded([&] { return calls_.size(AccessibilityAttribute::size, window); });
        if (!std::isfinite(position.x) || !std::isfinite(position.y) || !std::isfinite(size.width) ||
            !std::isfinite(size.height)) {
            throw WindowOperationFailure::geometry(GeometryError{GeometryError::Kind::nonFinitePoints});
        }
        try {
            const WindowSize windowSize(Points(size.width), Points(size.height));
            return DesktopFrame(DesktopPoint{Points(position.x), Points(position.y)}, windowSize);
        } catch (const GeometryError& error) {
            throw WindowOperationFailure::geometry(error);
        }
    }

    // The eligible main window, when its frame is still exactly the one the caller read: a window
    // that moved by any amount is left alone.
    Element unchangedMainWindow(const Element& application, const DesktopFrame& expected) const {
        const Element window = eligibleMainWindow(application);
        if (frame(window) != expected) {
            throw WindowOperationFailure::noUniqueEligibleWindow();
        }
        return window;
    }

    // Some applications animate or refuse moves while their enhanced interface is on; it is off for
    // the writes, and on again afterwards when the transport asks for it.
    template <class Body>
    void withEnhancedInterfaceSuspended(const Element& application, Body&& body) const {
        using A = AccessibilityAttribute;
        bool suspended = false;
        try {
            if (calls_.boolean(A::enhancedUserInterface, application)) {
                calls_.setBool(A::enhancedUserInterface, false, application);
                suspended = true;
            }
        } catch (const AccessibilityError&) {
            // Not reported, or not switched off: write as it is.
        }
        const auto restore = [&] {
            if (suspended && restoresEnhancedInterface_) {
                try {
                    calls_.setBool(A::enhancedUserInterface, true, application);
                } catch (const AccessibilityError&) {
                    // The move is done; a failed restore must not turn it into a failure.
                }
            }
        };
        try {
            std::forward<Body>(body)();
        } catch (...) {
            restore();
            throw;
        }
        restore();
    }

    Calls calls_;
    ContinuousInstant deadline_;
    std::shared_ptr<const WindowOperationPermit> permit_;
    bool restoresEnhancedInterface_;
    Now now_;
};

} // namespace tidewright
