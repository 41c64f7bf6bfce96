#pragma once
// Whether assistive technology that drives the desktop by keyboard is running: a screen reader
// (the platform's VoiceOver state) or switch control, with change notices for the first.

#include <functional>
#include <memory>

namespace platform {

// A live observation; its handler is never called after invalidate() returns or after it is
// destroyed. REQUIRES: invalidated and destroyed on the main thread.
class ScreenReaderObservation {
public:
    virtual ~ScreenReaderObservation() = default;
    virtual void invalidate() = 0;
};

// REQUIRES: used on the main thread.
class ScreenReaderStatus {
public:
    virtual ~ScreenReaderStatus() = default;

    // The last known state; false while it is not known yet.
    virtual bool isVoiceOverEnabled() const = 0;
    virtual bool isSwitchControlEnabled() const = 0;

    // handler runs after isVoiceOverEnabled() changed; callers must not assume which thread, and
    // read the value themselves.
    virtual std::unique_ptr<ScreenReaderObservation>
    observeVoiceOverEnabled(std::function<void()> handler) = 0;
};

} // namespace platform
