#include "platform/defaults/DefaultsLocation.hpp"

namespace platform {

std::filesystem::path userDefaultsFile(const std::optional<std::string>& xdgConfigHome,
                                       const std::string& home, std::string_view suite) {
    std::filesystem::path folder;
    if (xdgConfigHome && std::filesystem::path(*xdgConfigHome).is_absolute()) {
        folder = *xdgConfigHome;
    } else {
        folder = std::filesystem::path(home) / ".config";
    }
    return folder / "tidewright" / (std::string(suite) + ".json");
}

} // namespace platform
