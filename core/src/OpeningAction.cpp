#include "tidewright/core/OpeningAction.hpp"

#include <string>

#include "tidewright/core/DecodingError.hpp"

namespace tidewright {

void to_json(nlohmann::json& j, OpeningAction action) {
    j = std::string(rawValue(action));
}

void from_json(const nlohmann::json& j, OpeningAction& action) {
    if (!j.is_string()) {
        throw DecodingError{DecodingError::Kind::typeMismatch, "an opening action must be a string"};
    }
    const auto parsed = openingActionFromRawValue(j.get_ref<const std::string&>());
    if (!parsed) {
        throw DecodingError{DecodingError::Kind::dataCorrupted,
                            "unknown opening action \"" + j.get<std::string>() + "\""};
    }
    action = *parsed;
}

} // namespace tidewright
