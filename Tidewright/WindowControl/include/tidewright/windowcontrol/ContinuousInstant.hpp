#pragma once
// Deadlines of window operations are instants of the runtime's continuous clock.

#include "platform/concurrency/ContinuousClock.hpp"

namespace tidewright {

using platform::ContinuousDuration;
using platform::ContinuousInstant;

} // namespace tidewright
