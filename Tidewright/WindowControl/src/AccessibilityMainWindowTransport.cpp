#include "tidewright/windowcontrol/AccessibilityMainWindowTransport.hpp"

namespace tidewright {

// The one transport the application builds, compiled once here.
template class AccessibilityMainWindowTransport<LiveAccessibilityCalls>;

} // namespace tidewright
