#pragma once
// Where a suite's defaults file lives: $XDG_CONFIG_HOME/tidewright/<suite>.json. The composition
// root reads the environment and passes the values in; nothing here reads it.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// xdgConfigHome counts only when it is an absolute path (as the XDG rules say); otherwise the
// folder is home/.config. REQUIRES: suite is a plain file name.
std::filesystem::path userDefaultsFile(const std::optional<std::string>& xdgConfigHome,
                                       const std::string& home, std::string_view suite);

} // namespace platform
