// Two installations on one synced folder, with real inotify: one folder object each, reading
// inotify when a test says so, and the notices drained from a manual executor. The last test
// lets the live event loop read inotify by itself.

#include <QCoreApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/cloud/CloudFolder.hpp"
#include "platform/cloud/KeyFileName.hpp"
#include "platform/cloud/PropertyListSize.hpp"
#include "platform/cloud/StoredValueFile.hpp"
#include "platform/concurrency/MainExecutor.hpp"
#include "platform/concurrency/ManualExecutor.hpp"
#include "platform/defaults/FileContents.hpp"

namespace platform {
namespace {

namespace fs = std::filesystem;

using testing::readFile;
using testing::writeFile;

// "reason keys…" of a notice.
std::string describe(const KeyValueStoreChange& change) {
    const auto reason = changeReason(change);
    std::string text = reason ? std::to_string(*reason) : "no reason";
    for (const auto& key : changedKeys(change)) {
        text += " " + key;
    }
    return text;
}

// One installation: its folder object, one store and what each reported.
struct Installation {
    Installation(const fs::path& root, Executor& executor, std::vector<std::string>& log, std::string name)
        : folder(CloudFolder::open(root, executor, CloudFolder::Watching::manually)),
          store(folder->makeStore()) {
        storeObservation =
            store->observeExternalChanges([&log, name, this](const KeyValueStoreChange& change) {
                notices.push_back(describe(change));
                log.push_back(name + " store " + describe(change));
            });
        identityObservation = folder->observeIdentityChanges([&log, name, this] {
            ++identityNotices;
            log.push_back(name + " identity");
        });
    }

    std::shared_ptr<CloudFolder> folder;
    std::shared_ptr<KeyValueStore> store;
    std::vector<std::string> notices;
    int identityNotices = 0;
    Subscription storeObservation;
    Subscription identityObservation;
};

class CloudFolderTest : public ::testing::Test {
protected:
    fs::path root() const { return fs::path(directory.path().toStdString()) / "sync"; }

    void open() {
        a = std::make_unique<Installation>(root(), executor, log, "A");
        b = std::make_unique<Installation>(root(), executor, log, "B");
    }
    // Both installations read what inotify queued, then the loop turns until idle.
    void settle() {
        a->folder->processPendingEvents();
        b->folder->processPendingEvents();
        executor.runUntilIdle();
    }
    void writeValue(const std::string& key, const PropertyValue& value) {
        writeFile(root() / keyFileName(key), *encodeStoredValue(value));
    }

    QTemporaryDir directory;
    ManualExecutor executor;
    std::vector<std::string> log;
    std::unique_ptr<Installation> a;
    std::unique_ptr<Installation> b;
};

TEST_F(CloudFolderTest, AWriteReachesTheOtherInstallationAsOneNoticeAndNeverItsWriter) {
    open();
    a->store->setData("k", "one");
    EXPECT_TRUE(log.empty()) << "nothing is reported inside the call";
    settle();
    EXPECT_EQ(b->store->data("k"), "one");
    EXPECT_EQ(b->notices, std::vector<std::string>{"0 k"});
    EXPECT_TRUE(a->notices.empty());

    a->store->remove("k");
    settle();
    EXPECT_EQ(b->store->object("k"), std::nullopt);
    EXPECT_EQ(b->notices, (std::vector<std::string>{"0 k", "0 k"}));
    EXPECT_TRUE(a->notices.empty());
}

TEST_F(CloudFolderTest, AnOwnWriteOverwrittenByAnotherInstallationIsReported) {
    open();
    a->store->setData("k", "from A");
    b->store->setData("k", "from B"); // B reads A's write first, then overwrites it
    settle();
    EXPECT_EQ(a->store->data("k"), "from B");
    EXPECT_EQ(a->notices, std::vector<std::string>{"0 k"});
    EXPECT_EQ(b->notices, std::vector<std::string>{"0 k"}) << "B saw A's write before its own";
    EXPECT_EQ(b->store->data("k"), "from B");
}

TEST_F(CloudFolderTest, NoticesGoOnlyToObserversOfALiveStoreObject) {
    open();
    auto second = b->folder->makeStore();
    std::vector<std::string> secondNotices;
    auto observation = second->observeExternalChanges(
        [&](const KeyValueStoreChange& change) { secondNotices.push_back(describe(change)); });
    auto third = b->folder->makeStore();
    a->store->setData("k", "v");
    b->folder->processPendingEvents();
    third.reset();
    b->storeObservation.reset();
    executor.runUntilIdle();
    EXPECT_EQ(secondNotices, std::vector<std::string>{"0 k"});
    EXPECT_TRUE(b->notices.empty()) << "an ended observation hears nothing, even of a notice already posted";

    second->setData("other", "v");
    b->folder->processPendingEvents();
    executor.runUntilIdle();
    EXPECT_EQ(secondNotices.size(), 1u) << "stores of one installation never hear each other's writes";
    EXPECT_EQ(b->store->data("other"), "v");
}

TEST_F(CloudFolderTest, ConflictCopiesAndTemporaryFilesAreInvisible) {
    open();
    const std::string name = keyFileName("k");
    const std::string value = *encodeStoredValue(PropertyValue::data("copy"));
    writeFile(root() / ("k (conflicted copy).kv"), value);
    writeFile(root() / (name.substr(0, name.size() - 3) + ".sync-conflict-20261210-ABC.kv"), value);
    writeFile(root() / (name + ".AbCdEf"), value);
    settle();
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(b->store->dictionaryRepresentation().empty());
    Installation late(root(), executor, log, "C");
    EXPECT_TRUE(late.store->dictionaryRepresentation().empty());
}

TEST_F(CloudFolderTest, ATornFileReadsAsItsBytesUntouchedAndRecoversWhenCompleted) {
    open();
    const std::string complete = *encodeStoredValue(PropertyValue::data("{\"version\":1}"));
    const std::string torn = complete.substr(0, complete.size() / 2);
    writeFile(root() / keyFileName("k"), torn);
    settle();
    EXPECT_EQ(a->store->data("k"), torn);
    EXPECT_EQ(a->notices, std::vector<std::string>{"0 k"});
    EXPECT_EQ(readFile(root() / keyFileName("k")), torn) << "never repaired";

    writeFile(root() / keyFileName("k"), complete);
    settle();
    EXPECT_EQ(a->store->data("k"), "{\"version\":1}");
    EXPECT_EQ(b->notices, (std::vector<std::string>{"0 k", "0 k"}));
}

TEST_F(CloudFolderTest, AFolderOfTheMaximumKeysRefusesANewKeyAndReportsItLater) {
    fs::create_directories(root());
    for (std::size_t i = 0; i < CloudFolder::maximumKeys; ++i) {
        writeValue("key" + std::to_string(i), PropertyValue::data("x"));
    }
    open();
    a->store->setData("one too many", "x");
    EXPECT_TRUE(a->notices.empty());
    EXPECT_FALSE(fs::exists(root() / keyFileName("one too many")));
    EXPECT_EQ(a->store->object("one too many"), std::nullopt);
    executor.runUntilIdle();
    EXPECT_EQ(a->notices, std::vector<std::string>{"2 one too many"});

    a->store->setData("key7", "replaced"); // the count does not grow
    EXPECT_EQ(a->store->data("key7"), "replaced");
}

TEST_F(CloudFolderTest, KeysWrittenByTheOtherInstallationCountAtWriteTime) {
    open();
    for (std::size_t i = 0; i < CloudFolder::maximumKeys; ++i) {
        writeValue("key" + std::to_string(i), PropertyValue::data("x"));
    }
    a->store->setData("late", "x"); // A has not turned its loop since, yet sees the full folder
    executor.runUntilIdle();
    EXPECT_EQ(a->notices.back(), "2 late");
    EXPECT_FALSE(fs::exists(root() / keyFileName("late")));
}

TEST_F(CloudFolderTest, TheByteLimitHoldsToTheByte) {
    // 85 + "\t<key>abc</key>\n" 16 + "\t<data>" 7 + base64 of 786345 bytes 1048460 + "</data>\n" 8
    const auto exactly = PropertyValue::data(std::string(786345, 'x'));
    ASSERT_EQ(xmlPropertyListSize(PropertyValue::dictionary({{"abc", exactly}})), CloudFolder::maximumBytes);
    open();
    a->store->set("abc", PropertyValue::data(std::string(786346, 'x')));
    executor.runUntilIdle();
    EXPECT_EQ(a->notices, std::vector<std::string>{"2 abc"});
    a->store->set("abc", exactly);
    EXPECT_EQ(a->store->object("abc"), exactly);
    a->store->setData("d", ""); // any other key is one too many bytes
    executor.runUntilIdle();
    EXPECT_EQ(a->notices, (std::vector<std::string>{"2 abc", "2 d"}));
}

TEST_F(CloudFolderTest, RefusesKeysAndValuesItCannotHold) {
    open();
    a->store->setData(std::string(129, 'k'), "x");
    a->store->setData("", "x");
    a->store->setData("\xff", "x");
    a->store->set("n", PropertyValue::real(NAN));
    a->store->set("c", PropertyValue::string("\x01"));
    executor.runUntilIdle();
    EXPECT_EQ(a->notices.size(), 5u);
    EXPECT_TRUE(a->store->dictionaryRepresentation().empty());
    a->store->setData(std::string(128, 'k'), "x");
    EXPECT_EQ(a->store->data(std::string(128, 'k')), "x");
}

TEST_F(CloudFolderTest, AnAccountChangeGivesOneIdentityNoticeThenOneAccountNoticePerStore) {
    fs::create_directories(root());
    writeFile(root() / "account", "first\n");
    open();
    ASSERT_TRUE(a->folder->identityToken());
    EXPECT_EQ(a->folder->identityToken(), b->folder->identityToken());
    settle();
    EXPECT_TRUE(log.empty()) << "an account that was there at start is no change";

    writeFile(root() / "account", "second");
    settle();
    EXPECT_EQ(log, (std::vector<std::string>{"A identity", "A store 3", "B identity", "B store 3"}));
    EXPECT_NE(a->folder->identityToken(), std::nullopt);

    log.clear();
    writeFile(root() / "account", "second\r\n");
    settle();
    EXPECT_TRUE(log.empty()) << "the same token written again is no change";

    const auto token = a->folder->identityToken();
    fs::remove(root() / "account");
    settle();
    EXPECT_EQ(a->folder->identityToken(), std::nullopt);
    EXPECT_EQ(a->identityNotices, 2);
    EXPECT_EQ(b->notices, (std::vector<std::string>{"3", "3"}));
    EXPECT_TRUE(token);
}

TEST_F(CloudFolderTest, WithoutAnAccountFileThereIsNoAccount) {
    open();
    EXPECT_EQ(a->folder->identityToken(), std::nullopt);
    writeFile(root() / "account", " \n");
    settle();
    EXPECT_EQ(a->folder->identityToken(), std::nullopt);
    EXPECT_TRUE(log.empty());
}

TEST_F(CloudFolderTest, AFolderThatGoesAwayDropsItsPostedNotices) {
    open();
    a->store->setData("k", "v");
    b->folder->processPendingEvents();
    b.reset();
    EXPECT_NO_FATAL_FAILURE(executor.runUntilIdle());
    EXPECT_TRUE(log.empty());
}

TEST(CloudFolderIdentityToken, ArchivesAndReadsBackOnlyItsOwnArchive) {
    std::array<std::uint8_t, 32> digest{};
    digest[0] = 0xff;
    const CloudIdentityToken token(digest);
    EXPECT_EQ(CloudIdentityToken::unarchive(token.archive()), token);
    const std::string archive = token.archive();
    EXPECT_EQ(CloudIdentityToken::unarchive(archive.substr(1)), std::nullopt);
    EXPECT_EQ(CloudIdentityToken::unarchive(archive + "x"), std::nullopt);
    EXPECT_EQ(CloudIdentityToken::unarchive("XWID" + archive.substr(4)), std::nullopt);
    EXPECT_EQ(CloudIdentityToken::unarchive(""), std::nullopt);
}

// The live folder reads inotify on the event loop by itself.
class LiveCloudFolderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "PlatformCloudTests";
        static char* argv[] = {name, nullptr};
        application = new QCoreApplication(argc, argv);
    }
    static void TearDownTestSuite() {
        delete application;
        application = nullptr;
    }

    // Turns the event loop until done() holds or a safety limit passes.
    bool runUntil(const std::function<bool()>& done) {
        QEventLoop loop;
        QTimer check;
        QObject::connect(&check, &QTimer::timeout, &loop, [&] {
            if (done()) {
                loop.quit();
            }
        });
        QTimer safety;
        safety.setSingleShot(true);
        QObject::connect(&safety, &QTimer::timeout, &loop, &QEventLoop::quit);
        check.start(0);
        safety.start(10000);
        loop.exec();
        return done();
    }

    static inline QCoreApplication* application = nullptr;
    QTemporaryDir directory;
};

TEST_F(LiveCloudFolderTest, TheEventLoopDeliversTheOtherInstallationsWrite) {
    MainExecutor executor;
    const fs::path root = fs::path(directory.path().toStdString());
    auto a = CloudFolder::open(root, executor);
    auto b = CloudFolder::open(root, executor);
    auto storeA = a->makeStore();
    auto storeB = b->makeStore();
    std::vector<std::string> noticesA;
    std::vector<std::string> noticesB;
    auto observeA =
        storeA->observeExternalChanges([&](const auto& change) { noticesA.push_back(describe(change)); });
    auto observeB =
        storeB->observeExternalChanges([&](const auto& change) { noticesB.push_back(describe(change)); });

    storeA->setData("first", "1");
    storeB->setData("second", "2"); // queued behind A's own write in A's inotify
    ASSERT_TRUE(runUntil([&] { return !noticesA.empty() && !noticesB.empty(); }));
    EXPECT_EQ(noticesA, std::vector<std::string>{"0 second"});
    EXPECT_EQ(noticesB, std::vector<std::string>{"0 first"}) << "B read A's write when it wrote its own";
    EXPECT_EQ(storeA->data("second"), "2");
}

} // namespace
} // namespace platform
