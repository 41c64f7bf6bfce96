#pragma once
// What a fixed-size window needs from outside: the main executor for its coalescing task, the screens
// and the mouse. The composition root hands the live ones over; tests hand fakes.

#include "corbel/ui/DesktopPointer.hpp"
#include "platform/concurrency/Executor.hpp"
#include "platform/screens/ScreenReading.hpp"

#include <memory>

namespace corbel {

struct FixedWindowServices {
    // Not owned; outlives every window that uses it.
    platform::Executor* executor = nullptr;
    std::shared_ptr<const platform::ScreenReading> screens;
    std::shared_ptr<const DesktopPointer> pointer;
};

} // namespace corbel
