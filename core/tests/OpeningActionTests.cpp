#include "tidewright/core/OpeningAction.hpp"

#include <gtest/gtest.h>

#include "tidewright/core/DecodingError.hpp"

namespace tidewright {
namespace {

TEST(OpeningAction, RawValuesAreExact) {
    EXPECT_EQ(openingActionFromRawValue("center"), OpeningAction::center);
    EXPECT_EQ(openingActionFromRawValue("maximize"), OpeningAction::maximize);
    for (const char* refused : {"Center", "", " center", "MAXIMIZE"}) {
        EXPECT_EQ(openingActionFromRawValue(refused), std::nullopt) << refused;
    }
    EXPECT_EQ(windowAction(OpeningAction::center), WindowAction::center);
    EXPECT_EQ(windowAction(OpeningAction::maximize), WindowAction::maximize);
    EXPECT_EQ(allOpeningActions.front(), OpeningAction::maximize);
}

TEST(OpeningAction, JsonCoding) {
    EXPECT_EQ(nlohmann::json(OpeningAction::center).dump(), "\"center\"");
    EXPECT_EQ(nlohmann::json::parse("\"maximize\"").get<OpeningAction>(), OpeningAction::maximize);
    const std::pair<const char*, DecodingError::Kind> refused[] = {
        {"\"Maximize\"", DecodingError::Kind::dataCorrupted},
        {"\"\"", DecodingError::Kind::dataCorrupted},
        {"1", DecodingError::Kind::typeMismatch},
        {"[\"center\"]", DecodingError::Kind::typeMismatch},
    };
    for (const auto& [text, kind] : refused) {
        try {
            (void)nlohmann::json::parse(text).get<OpeningAction>();
            ADD_FAILURE() << text << " decoded";
        } catch (const DecodingError& error) {
            EXPECT_EQ(error.kind, kind) << text;
        }
    }
}

} // namespace
} // namespace tidewright
