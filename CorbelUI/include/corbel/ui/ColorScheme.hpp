#pragma once
// The two appearances the kit draws. Qt 6.4 cannot tell the desktop's scheme; QtWorkarounds.hpp
// decides it.

namespace corbel {

enum class ColorScheme {
    light,
    dark,
};

} // namespace corbel
