#pragma once
// The XDG base directories: where this user's configuration and data go, and the system's folders
// searched after them (the login item looks for autostart/ in each configuration folder). One
// resolution of the variables with one set of fallbacks, for the composition root, main() and the
// tools alike.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace platform::xdg {

// The variables as the environment holds them; nullopt when unset.
struct BaseDirectoryVariables {
    std::string home;
    std::optional<std::string> configHome; // XDG_CONFIG_HOME
    std::optional<std::string> dataHome;   // XDG_DATA_HOME
    std::optional<std::string> configDirs; // XDG_CONFIG_DIRS, ":"-separated
    std::optional<std::string> dataDirs;   // XDG_DATA_DIRS, ":"-separated

    // The process's own: HOME (the user's home folder when unset) and the four XDG variables.
    static BaseDirectoryVariables fromEnvironment();
};

struct BaseDirectories {
    std::filesystem::path configHome;
    std::filesystem::path dataHome;
    std::vector<std::filesystem::path> configDirs;
    std::vector<std::filesystem::path> dataDirs;

    // Where data files are looked for, most important first: dataHome, then dataDirs.
    std::vector<std::filesystem::path> dataFolders() const;
    friend bool operator==(const BaseDirectories&, const BaseDirectories&) = default;
};

// A home variable counts only when it is an absolute path; otherwise home/.config and
// home/.local/share. An unset or empty list is /etc/xdg and /usr/local/share:/usr/share; its empty
// entries are skipped.
std::filesystem::path configHome(const std::optional<std::string>& xdgConfigHome, const std::string& home);
std::filesystem::path dataHome(const std::optional<std::string>& xdgDataHome, const std::string& home);
BaseDirectories baseDirectories(const BaseDirectoryVariables& variables);

} // namespace platform::xdg
