// The two stores' adapters and the writer identity.

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <filesystem>

#include "corbel/preferences/DefaultsPreferenceStorage.hpp"
#include "corbel/preferences/UbiquitousPreferenceStorage.hpp"
#include "corbel/preferences/WriterIdentity.hpp"
#include "platform/cloud/ScriptedKeyValueStore.hpp"
#include "platform/concurrency/ManualExecutor.hpp"

namespace corbel {
namespace {

using platform::KeyValueStoreChange;
using platform::PropertyValue;
using Reason = platform::KeyValueStoreChangeReason;

class UbiquitousPreferenceStorageTest : public ::testing::Test {
protected:
    void SetUp() override {
        storage->setOnExternalChange([this](const std::set<std::string>& keys) { calls.push_back(keys); });
    }

    platform::ManualExecutor executor;
    std::shared_ptr<platform::ScriptedKeyValueStore> store =
        std::make_shared<platform::ScriptedKeyValueStore>();
    std::shared_ptr<UbiquitousPreferenceStorage> storage =
        UbiquitousPreferenceStorage::create(store, executor);
    std::vector<std::set<std::string>> calls;
};

TEST_F(UbiquitousPreferenceStorageTest, ANoticeBecomesOneLaterCallAndTheIssue) {
    using Dictionary = PropertyValue::Dictionary;
    const auto keys = [](PropertyValue::Array names) {
        return Dictionary{{"reason", PropertyValue::integer(0)},
                          {"changedKeys", PropertyValue::array(std::move(names))}};
    };
    const auto reason = [](PropertyValue value) {
        return Dictionary{{"reason", std::move(value)}};
    };
    const struct {
        const char* what;
        KeyValueStoreChange change;
        std::optional<PreferenceCloudIssue> issue;
        std::set<std::string> keys;
    } cases[] = {
        {"server change",
         {keys({PropertyValue::string("a"), PropertyValue::string("b")})},
         std::nullopt,
         {"a", "b"}},
        {"initial sync", {reason(PropertyValue::integer(1))}, std::nullopt, {}},
        {"quota", {reason(PropertyValue::integer(2))}, PreferenceCloudIssue::quotaExceeded, {}},
        {"account change", {reason(PropertyValue::integer(3))}, PreferenceCloudIssue::accountChanged, {}},
        {"unknown reason", {reason(PropertyValue::integer(7))}, std::nullopt, {}},
        {"reason as text", {reason(PropertyValue::string("2"))}, std::nullopt, {}},
        {"reason as real", {reason(PropertyValue::real(2))}, std::nullopt, {}},
        {"no reason", {Dictionary{}}, std::nullopt, {}},
        {"no user information", {std::nullopt}, std::nullopt, {}},
        {"a key that is not a string",
         {keys({PropertyValue::string("a"), PropertyValue::integer(5)})},
         std::nullopt,
         {}},
        {"keys that are no list",
         {Dictionary{{"reason", PropertyValue::integer(2)}, {"changedKeys", PropertyValue::string("a")}}},
         PreferenceCloudIssue::quotaExceeded,
         {}},
    };
    for (const auto& [what, change, issue, changed] : cases) {
        calls.clear();
        store->deliver(change);
        EXPECT_TRUE(calls.empty()) << what << ": handled on a later turn";
        executor.runUntilIdle();
        ASSERT_EQ(calls.size(), 1u) << what;
        EXPECT_EQ(calls[0], changed) << what;
        EXPECT_EQ(storage->issue(), issue) << what;
    }
}

TEST_F(UbiquitousPreferenceStorageTest, TheNextServerChangeClearsAQuotaIssue) {
    store->deliver(Reason::quotaViolationChange, {});
    executor.runUntilIdle();
    EXPECT_EQ(storage->issue(), PreferenceCloudIssue::quotaExceeded);
    store->deliver(Reason::serverChange, {"k"});
    executor.runUntilIdle();
    EXPECT_EQ(storage->issue(), std::nullopt);
}

TEST_F(UbiquitousPreferenceStorageTest, ANoticeAfterTheStorageWentAwayDoesNothing) {
    store->deliver(Reason::serverChange, {"k"});
    storage.reset();
    EXPECT_NO_FATAL_FAILURE(executor.runUntilIdle());
    EXPECT_TRUE(calls.empty());
    EXPECT_FALSE(store->hasObservers()) << "the observation ends with the storage";
}

TEST_F(UbiquitousPreferenceStorageTest, ANoticeOfAnotherStoreIsNotSeen) {
    auto other = std::make_shared<platform::ScriptedKeyValueStore>();
    auto otherStorage = UbiquitousPreferenceStorage::create(other, executor);
    other->deliver(Reason::quotaViolationChange, {"k"});
    executor.runUntilIdle();
    EXPECT_TRUE(calls.empty());
    EXPECT_EQ(storage->issue(), std::nullopt);
    EXPECT_EQ(otherStorage->issue(), PreferenceCloudIssue::quotaExceeded);
}

TEST_F(UbiquitousPreferenceStorageTest, AHandlerMayReplaceItselfWhileCalled) {
    int replacementCalls = 0;
    storage->setOnExternalChange([&](const std::set<std::string>&) {
        storage->setOnExternalChange([&](const std::set<std::string>&) { ++replacementCalls; });
        calls.push_back({"first"});
    });
    store->deliver(Reason::serverChange, {});
    store->deliver(Reason::serverChange, {});
    executor.runUntilIdle();
    EXPECT_EQ(calls.size(), 1u);
    EXPECT_EQ(replacementCalls, 1);
}

TEST_F(UbiquitousPreferenceStorageTest, ForwardsBytesToTheStore) {
    storage->set("k", "bytes");
    EXPECT_EQ(store->data("k"), "bytes");
    EXPECT_EQ(storage->data("k"), "bytes");
    store->values.insert_or_assign("text", PropertyValue::string("not bytes"));
    EXPECT_EQ(storage->data("text"), std::nullopt);
    storage->removeObject("k");
    storage->removeObject("missing");
    EXPECT_EQ(storage->data("k"), std::nullopt);
    store->synchronizeAnswer = false;
    storage->synchronize();
    EXPECT_EQ(store->synchronizeCalls, 1);
}

class DefaultsTest : public ::testing::Test {
protected:
    std::shared_ptr<platform::UserDefaults> makeDefaults() {
        return std::make_shared<platform::UserDefaults>(
            std::filesystem::path(directory.path().toStdString()) / "suite.json", executor);
    }

    QTemporaryDir directory;
    platform::ManualExecutor executor;
};

TEST_F(DefaultsTest, DefaultsStorageReadsOnlyBytes) {
    auto defaults = makeDefaults();
    DefaultsPreferenceStorage storage(defaults);
    defaults->setString("text", "not bytes");
    EXPECT_EQ(storage.data("text"), std::nullopt);
    storage.set("k", std::string("\x00\x01", 2));
    EXPECT_EQ(defaults->data("k"), std::string("\x00\x01", 2));
    storage.removeObject("k");
    storage.removeObject("missing");
    EXPECT_EQ(storage.data("k"), std::nullopt);
}

TEST_F(DefaultsTest, AnUnusableWriterIdentityIsReplacedOnceAndThenKept) {
    const std::string key = "writer";
    const PropertyValue unusable[] = {
        PropertyValue::string(""),
        PropertyValue::string(std::string(129, 'w')),
        PropertyValue::data("writer"),
        PropertyValue::integer(1),
    };
    for (const auto& stored : unusable) {
        auto defaults = makeDefaults();
        defaults->set(key, stored);
        const std::string writer = checkedWriterIdentity(*defaults, key);
        EXPECT_TRUE(isValidWriterIdentity(writer));
        EXPECT_EQ(writer.size(), 36u);
        EXPECT_EQ(defaults->string(key), writer);
        EXPECT_EQ(checkedWriterIdentity(*defaults, key), writer) << "read back on every later start";
    }
    // Ill-formed UTF-8 cannot even be stored in the defaults; a writer read from elsewhere is checked too.
    EXPECT_FALSE(isValidWriterIdentity("\xff"));
    EXPECT_FALSE(isValidWriterIdentity("\xc3"));

    auto defaults = makeDefaults();
    defaults->remove(key);
    const std::string made = checkedWriterIdentity(*defaults, key);
    EXPECT_EQ(checkedWriterIdentity(*defaults, key), made);
    for (const std::string& valid :
         {std::string("writer-1"), std::string(128, 'w'), std::string("\xc3\xa9")}) {
        defaults->setString(key, valid);
        EXPECT_EQ(checkedWriterIdentity(*defaults, key), valid);
    }
}

} // namespace
} // namespace corbel
