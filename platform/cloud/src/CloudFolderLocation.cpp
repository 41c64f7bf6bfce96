#include "platform/cloud/CloudFolderLocation.hpp"

#include "platform/xdg/BaseDirectories.hpp"

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
    return xdg::dataHome(xdgDataHome, home) / "tidewright" / "synced";
}

} // namespace platform
