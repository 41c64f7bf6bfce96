#include "platform/xdg/BaseDirectories.hpp"

#include <QDir>

#include <cstdlib>
#include <string_view>

namespace platform::xdg {

namespace {

std::optional<std::string> variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? std::optional<std::string>(value) : std::nullopt;
}

bool absolute(const std::optional<std::string>& path) {
    return path && std::filesystem::path(*path).is_absolute();
}

std::vector<std::filesystem::path> folderList(const std::optional<std::string>& value, std::string_view fallback) {
    const std::string_view text = value && !value->empty() ? std::string_view(*value) : fallback;
    std::vector<std::filesystem::path> folders;
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t end = std::min(text.find(':', start), text.size());
        if (end > start) {
            folders.emplace_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return folders;
}

} // namespace

BaseDirectoryVariables BaseDirectoryVariables::fromEnvironment() {
    BaseDirectoryVariables v;
    const std::optional<std::string> home = variable("HOME");
    v.home = home && !home->empty() ? *home : QDir::homePath().toStdString();
    v.configHome = variable("XDG_CONFIG_HOME");
    v.dataHome = variable("XDG_DATA_HOME");
    v.configDirs = variable("XDG_CONFIG_DIRS");
    v.dataDirs = variable("XDG_DATA_DIRS");
    return v;
}

std::vector<std::filesystem::path> BaseDirectories::dataFolders() const {
    std::vector<std::filesystem::path> folders{dataHome};
    folders.insert(folders.end(), dataDirs.begin(), dataDirs.end());
    return folders;
}

std::filesystem::path configHome(const std::optional<std::string>& xdgConfigHome, const std::string& home) {
    return absolute(xdgConfigHome) ? std::filesystem::path(*xdgConfigHome) : std::filesystem::path(home) / ".config";
}

std::filesystem::path dataHome(const std::optional<std::string>& xdgDataHome, const std::string& home) {
    return absolute(xdgDataHome) ? std::filesystem::path(*xdgDataHome)
                                 : std::filesystem::path(home) / ".local" / "share";
}

BaseDirectories baseDirectories(const BaseDirectoryVariables& variables) {
    return BaseDirectories{
        configHome(variables.configHome, variables.home),
        dataHome(variables.dataHome, variables.home),
        folderList(variables.configDirs, "/etc/xdg"),
        folderList(variables.dataDirs, "/usr/local/share:/usr/share"),
    };
}

} // namespace platform::xdg
