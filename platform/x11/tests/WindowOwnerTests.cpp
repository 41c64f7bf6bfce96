#include "platform/x11/WindowOwner.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>

namespace platform::x11 {
namespace {

TEST(WindowOwner, TheServerFirstThenTheWrittenPidOnlyFromThisHostAndOnlyInRange) {
    constexpr std::uint32_t largest = 0x7fffffff;
    struct Case {
        const char* name;
        OwnerClues clues;
        std::optional<std::int32_t> owner;
    };
    const Case cases[] = {
        {"the server's pid wins over a written one", {7, 9, std::nullopt}, 7},
        {"the server's pid wins from another host", {7, 9, "elsewhere"}, 7},
        {"written pid, no client machine", {std::nullopt, 9, std::nullopt}, 9},
        {"written pid from this host", {std::nullopt, 9, "here"}, 9},
        {"host names compare without case", {std::nullopt, 9, "HERE"}, 9},
        {"written pid from another host", {std::nullopt, 9, "elsewhere"}, std::nullopt},
        {"a host name that only starts alike", {std::nullopt, 9, "here.example"}, std::nullopt},
        {"an empty client machine names no host", {std::nullopt, 9, ""}, std::nullopt},
        {"nothing known", {}, std::nullopt},
        {"pid zero written", {std::nullopt, 0, std::nullopt}, std::nullopt},
        {"largest pid written", {std::nullopt, largest, std::nullopt}, 0x7fffffff},
        {"pid past the range written", {std::nullopt, largest + 1, std::nullopt}, std::nullopt},
        {"all bits written", {std::nullopt, 0xffffffff, std::nullopt}, std::nullopt},
        // A server that cannot say falls back on the window's word.
        {"server pid zero", {0, 9, std::nullopt}, 9},
        {"server pid out of range", {0xffffffff, 9, "here"}, 9},
        {"server pid out of range, written from elsewhere", {0xffffffff, 9, "elsewhere"}, std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ownerFrom(c.clues, "here"), c.owner) << c.name;
    }
}

} // namespace
} // namespace platform::x11
