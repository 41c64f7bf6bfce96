#pragma once
// Whether a screen reader runs, as the hot-key service reads it: while one does, the system's hot
// keys are withdrawn so that they never shadow the reader's own commands.

#include <functional>

namespace tidewright {

// REQUIRES: used on the main thread; onChange is called there.
class VoiceOverReading {
public:
    virtual ~VoiceOverReading() = default;

    virtual bool isEnabled() const = 0;
    // Change reports reach onChange only between start() and stop().
    virtual void start() = 0;
    virtual void stop() = 0;

    // The state may have changed; read isEnabled() for the value.
    std::function<void()> onChange;
};

} // namespace tidewright
