#include "tidewright/core/FixedShortcut.hpp"

#include <gtest/gtest.h>

namespace tidewright {
namespace {

TEST(FixedShortcut, RawValuesAndActions) {
    struct Case {
        FixedShortcut shortcut;
        const char* raw;
        WindowAction action;
    };
    const Case cases[] = {
        {FixedShortcut::left, "left", WindowAction::leftHalf},
        {FixedShortcut::right, "right", WindowAction::rightHalf},
        {FixedShortcut::up, "up", WindowAction::maximize},
        {FixedShortcut::d, "d", WindowAction::nearlyMaximize},
        {FixedShortcut::down, "down", WindowAction::maximumHeight},
        {FixedShortcut::c, "c", WindowAction::center},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const auto& c = cases[i];
        EXPECT_EQ(allFixedShortcuts[i], c.shortcut) << c.raw;
        EXPECT_EQ(rawValue(c.shortcut), c.raw);
        EXPECT_EQ(fixedShortcutFromRawValue(c.raw), c.shortcut) << c.raw;
        EXPECT_EQ(action(c.shortcut), c.action) << c.raw;
    }
}

TEST(FixedShortcut, RawValueConstructionIsExact) {
    for (const char* refused : {"Left", "l", "", "D", " up", "down "}) {
        EXPECT_EQ(fixedShortcutFromRawValue(refused), std::nullopt) << '"' << refused << '"';
    }
}

} // namespace
} // namespace tidewright
