#include "corbel/updates/UpdateFailure.hpp"

namespace corbel {

std::string_view UpdateFailure::name() const noexcept {
    switch (kind_) {
    case Case::unreachable:
        return "unreachable";
    case Case::unreadable:
        return "unreadable";
    case Case::unknownFormat:
        return "unknownFormat";
    }
    return "unknown";
}

} // namespace corbel
