#pragma once
// Where the synced folder is: the folder named by the environment variable cloudFolderVariable,
// else $XDG_DATA_HOME/tidewright/synced. The composition root reads the environment and passes the
// values in; nothing here reads it. The folder must be local (see CloudFolder.hpp).

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

inline constexpr std::string_view cloudFolderVariable = "TIDEWRIGHT_SYNC_FOLDER";

// chosen (the variable's value) counts when it is an absolute path, xdgDataHome likewise; without
// either the data folder is home/.local/share.
std::filesystem::path cloudFolderRoot(const std::optional<std::string>& chosen,
                                      const std::optional<std::string>& xdgDataHome, const std::string& home);

} // namespace platform
