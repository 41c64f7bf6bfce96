#include "platform/workspace/LocalizedStandardCompare.hpp"

#include <gtest/gtest.h>

#include <compare>
#include <vector>

namespace platform {
namespace {

TEST(LocalizedStandardCompareTests, NumbersByValueCaseIgnoredAccentsNot) {
    struct Case {
        const char* left;
        const char* right;
        std::weak_ordering order;
    };
    const std::vector<Case> cases = {
        {"Item 2", "Item 10", std::weak_ordering::less},
        {"Item 10", "Item 9", std::weak_ordering::greater},
        {"item", "ITEM", std::weak_ordering::equivalent},
        {"resume", "r\xc3\xa9sum\xc3\xa9", std::weak_ordering::less},
        {"apple", "Banana", std::weak_ordering::less},
        {"Zebra", "\xc3\x84pfel", std::weak_ordering::greater}, // Ä sorts with A in the root order
        {"", "a", std::weak_ordering::less},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(localizedStandardCompare(QString::fromUtf8(c.left), QString::fromUtf8(c.right), "en"),
                  c.order)
            << c.left << " / " << c.right;
    }
}

TEST(LocalizedStandardCompareTests, FollowsTheLocalesOwnOrder) {
    // Swedish puts Ä after Z; English puts it with A.
    const QString a = QString::fromUtf8("\xc3\x84ngel");
    const QString z = QStringLiteral("Zebra");
    EXPECT_EQ(localizedStandardCompare(a, z, "sv"), std::weak_ordering::greater);
    EXPECT_EQ(localizedStandardCompare(a, z, "en"), std::weak_ordering::less);
}

} // namespace
} // namespace platform
