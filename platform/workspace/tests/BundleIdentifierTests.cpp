#include "platform/workspace/BundleIdentifier.hpp"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace platform {
namespace {

// Reads an escaped text back; nothing when it is not one escapeIdentifier could give. Escaping is
// injective exactly when every output reads back to its input.
std::optional<std::string> unescape(const std::string& text) {
    auto hexValue = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'A' && c <= 'F')
            return c - 'A' + 10;
        return -1;
    };
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '-') {
            bytes.push_back(text[i]);
            continue;
        }
        if (i + 1 < text.size() && text[i + 1] == '-') {
            bytes.push_back('-');
            ++i;
            continue;
        }
        if (i + 2 >= text.size() || hexValue(text[i + 1]) < 0 || hexValue(text[i + 2]) < 0) {
            return std::nullopt;
        }
        bytes.push_back(static_cast<char>(hexValue(text[i + 1]) * 16 + hexValue(text[i + 2])));
        i += 2;
    }
    return bytes;
}

TEST(BundleIdentifierTests, EscapeTable) {
    struct Case {
        std::string input;
        std::string escaped;
    };
    const std::vector<Case> cases = {
        {"firefox", "firefox"},
        {"org.gnome.Nautilus", "org.gnome.Nautilus"},
        {"my-app", "my--app"},
        {"kde4-kate", "kde4--kate"},
        {"a b", "a-20b"},
        {"a_b", "a-5Fb"},
        {".hidden", "-2Ehidden"},
        {"trailing.", "trailing-2E"},
        {"a..b", "a.-2Eb"},
        {"a.-.b", "a.--.b"},
        {"-2E", "--2E"},
        {".", "-2E"},
        {"", ""},
        {std::string("nul\0byte", 8), "nul-00byte"},
        {"\xff\x80", "-FF-80"},
        {"caf\xc3\xa9", "caf-C3-A9"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(escapeIdentifier(c.input), c.escaped) << c.input;
        EXPECT_EQ(unescape(c.escaped), c.input) << c.escaped;
    }
}

TEST(BundleIdentifierTests, DesktopIdsAndWindowClasses) {
    struct Case {
        std::string desktopId;
        std::optional<std::string> bundleIdentifier;
    };
    const std::vector<Case> desktopIds = {
        {"org.gnome.Nautilus", "org.gnome.Nautilus"},
        {"org.example.App-Beta", "org.example.App-Beta"},
        {"firefox", "desktop.firefox"},
        {"firefox-esr", "desktop.firefox--esr"},
        {"kde4-kate", "desktop.kde4--kate"},
        {"org.example.my_app", "desktop.org.example.my-5Fapp"},
        // Ids in the two reserved spaces are escaped too, so they never meet a derived one.
        {"desktop.firefox", "desktop.desktop.firefox"},
        {"wmclass.Foo", "desktop.wmclass.Foo"},
        {"", std::nullopt},
        {std::string(300, 'a') + ".b", std::nullopt}, // too long for a bundle identifier
    };
    for (const Case& c : desktopIds) {
        auto id = bundleIdentifierForDesktopId(c.desktopId);
        EXPECT_EQ(id ? std::optional(id->rawValue()) : std::nullopt, c.bundleIdentifier) << c.desktopId;
    }
    const std::vector<Case> classes = {
        {"Xterm", "wmclass.Xterm"},
        {"Google-chrome", "wmclass.Google--chrome"},
        {"jetbrains-idea.ce", "wmclass.jetbrains--idea.ce"},
        {"", std::nullopt},
    };
    for (const Case& c : classes) {
        auto id = bundleIdentifierForWindowClass(c.desktopId);
        EXPECT_EQ(id ? std::optional(id->rawValue()) : std::nullopt, c.bundleIdentifier) << c.desktopId;
    }
}

// Random byte strings over an alphabet rich in the characters the escape treats specially, so
// that near-collisions ("-", ".", "2", "E", hex digits) come up often.
TEST(BundleIdentifierTests, DistinctInputsGiveDistinctValidIdentifiers) {
    std::mt19937 random(20261210);
    const std::string special = "-.2EeF0a_ /\xff";
    std::uniform_int_distribution<int> length(0, 12);
    std::uniform_int_distribution<int> pick(0, 3);
    std::uniform_int_distribution<int> anyByte(0, 255);
    std::uniform_int_distribution<std::size_t> specialIndex(0, special.size() - 1);

    std::map<std::string, std::string> inputOf;
    for (int round = 0; round < 200000; ++round) {
        std::string input;
        for (int i = length(random); i > 0; --i) {
            input.push_back(pick(random) == 0 ? static_cast<char>(anyByte(random))
                                              : special[specialIndex(random)]);
        }
        const std::string escaped = escapeIdentifier(input);
        auto [slot, fresh] = inputOf.emplace(escaped, input);
        ASSERT_TRUE(fresh || slot->second == input)
            << "\"" << input << "\" and \"" << slot->second << "\" both escape to " << escaped;
        ASSERT_EQ(unescape(escaped), input) << escaped;
        if (!input.empty()) {
            auto fromClass = bundleIdentifierForWindowClass(input);
            auto fromId = bundleIdentifierForDesktopId(input);
            ASSERT_TRUE(fromClass.has_value()) << input;
            ASSERT_TRUE(fromId.has_value()) << input;
            ASSERT_EQ(fromClass->rawValue(), "wmclass." + escaped);
        }
    }
}

} // namespace
} // namespace platform
