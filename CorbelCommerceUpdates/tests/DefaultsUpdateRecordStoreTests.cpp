// The checker's records through a real defaults file, read back by a second defaults object as a
// relaunch would.

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <optional>

#include "corbel/updates/DefaultsUpdateRecordStore.hpp"
#include "corbel/updates/UpdateChecker.hpp"
#include "platform/concurrency/ManualExecutor.hpp"

namespace corbel {
namespace {

class DefaultsUpdateRecordStoreTest : public ::testing::Test {
protected:
    std::filesystem::path file() const {
        return std::filesystem::path(folder.path().toStdString()) / "standard.json";
    }
    void relaunch() {
        defaults.reset(); // writes what is pending
        defaults.emplace(file(), executor);
    }

    QTemporaryDir folder;
    platform::ManualExecutor executor;
    std::optional<platform::UserDefaults> defaults{std::in_place, file(), executor};
};

TEST_F(DefaultsUpdateRecordStoreTest, RecordsSurviveARelaunchAndRemovalSticks) {
    {
        DefaultsUpdateRecordStore store(*defaults);
        store.setDate(UpdateChecker::lastAnswerKey, 1'790'000'000.25);
        store.setString(UpdateChecker::publishedKey, "1.4");
        store.setString(UpdateChecker::setAsideKey, "1.3");
        store.remove(UpdateChecker::setAsideKey);
    }
    relaunch();
    DefaultsUpdateRecordStore store(*defaults);
    EXPECT_EQ(store.date(UpdateChecker::lastAnswerKey), 1'790'000'000.25);
    EXPECT_EQ(store.string(UpdateChecker::publishedKey), "1.4");
    EXPECT_EQ(store.string(UpdateChecker::setAsideKey), std::nullopt);
}

TEST_F(DefaultsUpdateRecordStoreTest, AValueOfAnotherTypeOrANonFiniteDateReadsAsNothing) {
    DefaultsUpdateRecordStore store(*defaults);
    store.setString(UpdateChecker::lastAnswerKey, "2026-01-01");
    store.setDate(UpdateChecker::publishedKey, 5);
    EXPECT_EQ(store.date(UpdateChecker::lastAnswerKey), std::nullopt);
    EXPECT_EQ(store.string(UpdateChecker::publishedKey), std::nullopt);

    store.remove(UpdateChecker::lastAnswerKey);
    store.setDate(UpdateChecker::lastAnswerKey, std::numeric_limits<double>::infinity());
    store.setDate(UpdateChecker::lastAnswerKey, std::nan(""));
    relaunch();
    EXPECT_EQ(DefaultsUpdateRecordStore(*defaults).date(UpdateChecker::lastAnswerKey), std::nullopt);
}

} // namespace
} // namespace corbel
