#include "platform/defaults/DefaultsLocation.hpp"

#include "platform/xdg/BaseDirectories.hpp"

namespace platform {

std::filesystem::path userDefaultsFile(const std::optional<std::string>& xdgConfigHome,
                                       const std::string& home, std::string_view suite) {
    return xdg::configHome(xdgConfigHome, home) / "tidewright" / (std::string(suite) + ".json");
}

} // namespace platform
