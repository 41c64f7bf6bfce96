#include "platform/cloud/CloudFolderLocation.hpp"

namespace platform {

namespace {
bool absolute(const std::optional<std::string>& path) {
    return path && std::filesystem::path(*path).is_absolute();
}
} // namespace

std::filesystem::path cloudFolderRoot(const std::optional<std::string>& chosen,
                                      const std::optional<std::string>& xdgDataHome,
                                      const std::string& home) {
    if (absolute(chosen)) {
        return *chosen;
    }
    const std::filesystem::path data = absolute(xdgDataHome)
                                           ? std::filesystem::path(*xdgDataHome)
                                           : std::filesystem::path(home) / ".local" / "share";
    return data / "tidewright" / "synced";
}

} // namespace platform
