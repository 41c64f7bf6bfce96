#include "tidewright/core/EnhancedInterfacePolicy.hpp"

#include <gtest/gtest.h>

namespace tidewright {
namespace {

TEST(EnhancedInterfacePolicy, BrowsersKeepTheInterfaceOffUnlessAssistiveTechnologyRuns) {
    struct Case {
        const char* app;
        bool restoresWithoutAssistiveTechnology;
    };
    const Case cases[] = {
        {"com.google.Chrome", false},
        {"com.google.Chrome.canary", false},
        {"com.google.ChromeX", true},
        {"com.google.chrome", true},
        {"com.openai.atlas", false},
        {"com.operasoftware.OperaGXNightly", false},
        {"com.operasoftware.OperaGXNightly2", true},
        {"org.chromium", true},
        {"com.example.editor", true},
    };
    for (const auto& c : cases) {
        const BundleID app(c.app);
        EXPECT_EQ(EnhancedInterfacePolicy::restoresAfterMove(app, false),
                  c.restoresWithoutAssistiveTechnology)
            << c.app;
        EXPECT_TRUE(EnhancedInterfacePolicy::restoresAfterMove(app, true)) << c.app;
    }
}

} // namespace
} // namespace tidewright
