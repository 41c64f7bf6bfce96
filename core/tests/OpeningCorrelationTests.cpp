#include "GeometryTestSupport.hpp"
#include "tidewright/core/OpeningCorrelation.hpp"

#include <gtest/gtest.h>

namespace tidewright {
namespace {

using Windows = std::vector<OpeningObservedWindow>;
using enum OpeningWindowPresence;

const ProcessID app{BundleID("com.example.editor"), 300, 1};
const DesktopFrame mainFrame = frame(40, 60, 800, 600);

WindowID id(std::uint64_t token) {
    return WindowID{app, token};
}

OpeningObservedWindow visible(std::uint64_t token, std::optional<DesktopFrame> f = mainFrame) {
    return {id(token), 0, f, true};
}
OpeningObservedWindow otherLayer(std::uint64_t token) {
    return {id(token), 3, mainFrame, true};
}
OpeningObservedWindow offscreen(std::uint64_t token) {
    return {id(token), 0, mainFrame, false};
}

TEST(OpeningCorrelation, FirstAndUniqueCandidate) {
    struct Case {
        const char* name;
        OpeningInventoryDelta delta;
        DesktopFrame eligibleMainFrame;
        std::optional<OpeningObservedWindow> first;
        std::optional<OpeningObservedWindow> unique;
    };
    const Case cases[] = {
        {"the one new visible window among others",
         {{otherLayer(1), offscreen(2), visible(3), otherLayer(4)}, {id(1), id(2), id(3), id(4)}, one},
         mainFrame,
         visible(3),
         visible(3)},
        {"its frame differs from the main frame",
         {{visible(3)}, {id(3)}, one},
         frame(40, 60, 800, 600.5),
         visible(3),
         std::nullopt},
        {"its origin differs",
         {{visible(3)}, {id(3)}, one},
         frame(41, 60, 800, 600),
         visible(3),
         std::nullopt},
        {"seen before", {{visible(3)}, {}, one}, mainFrame, std::nullopt, std::nullopt},
        {"several windows shown", {{visible(3)}, {id(3)}, several}, mainFrame, std::nullopt, std::nullopt},
        {"presence unknown", {{visible(3)}, {id(3)}, unknown}, mainFrame, std::nullopt, std::nullopt},
        {"two visible",
         {{visible(3), visible(5)}, {id(3), id(5)}, one},
         mainFrame,
         std::nullopt,
         std::nullopt},
        {"two visible, one of them old",
         {{visible(3), visible(5)}, {id(5)}, one},
         mainFrame,
         std::nullopt,
         std::nullopt},
        {"no frame", {{visible(3, std::nullopt)}, {id(3)}, one}, mainFrame, std::nullopt, std::nullopt},
        {"nothing visible",
         {{offscreen(3), otherLayer(4)}, {id(3), id(4)}, one},
         mainFrame,
         std::nullopt,
         std::nullopt},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(OpeningCorrelation::firstCandidate(row.delta), row.first) << row.name;
        EXPECT_EQ(OpeningCorrelation::uniqueCandidate(row.delta, row.eligibleMainFrame), row.unique)
            << row.name;
    }
}

TEST(OpeningCorrelation, Confirm) {
    using enum OpeningCorrelationResult;
    struct Case {
        const char* name;
        Windows windows;
        OpeningWindowPresence presence;
        DesktopFrame eligibleMainFrame;
        OpeningCorrelationResult result;
    };
    const Case cases[] = {
        {"frames agree", {visible(3), offscreen(4), otherLayer(5)}, one, mainFrame, matched},
        {"half a point wider", {visible(3)}, one, frame(40, 60, 800.5, 600), waitingForGeometry},
        {"other origin", {visible(3)}, one, frame(40, 61, 800, 600), waitingForGeometry},
        {"presence none", {visible(3)}, none, mainFrame, rejected},
        {"presence several", {visible(3)}, several, mainFrame, rejected},
        {"presence several, frames differ", {visible(3)}, several, frame(40, 60, 800.5, 600), rejected},
        {"another visible window", {visible(4)}, one, mainFrame, rejected},
        {"two visible", {visible(3), visible(4)}, one, mainFrame, rejected},
        {"nothing visible", {offscreen(3)}, one, mainFrame, rejected},
        {"no frame", {visible(3, std::nullopt)}, one, mainFrame, rejected},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(OpeningCorrelation::confirm(id(3), row.windows, row.presence, row.eligibleMainFrame),
                  row.result)
            << row.name;
    }
}

} // namespace
} // namespace tidewright
