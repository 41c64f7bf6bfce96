#pragma once
// Helpers of the hot-key tests: a screen-reader source set by hand, and shortcuts printed by name.

#include <ostream>

#include "tidewright/core/FixedShortcut.hpp"
#include "tidewright/windowcontrol/VoiceOverReading.hpp"

namespace tidewright {

inline void PrintTo(FixedShortcut shortcut, std::ostream* out) {
    *out << rawValue(shortcut);
}

class FakeVoiceOver final : public VoiceOverReading {
public:
    bool isEnabled() const override { return enabled; }
    void start() override { ++starts; }
    void stop() override { ++stops; }
    // What the platform would report: the state may have changed.
    void report() {
        if (onChange) {
            onChange();
        }
    }

    bool enabled = false;
    int starts = 0;
    int stops = 0;
};

} // namespace tidewright
