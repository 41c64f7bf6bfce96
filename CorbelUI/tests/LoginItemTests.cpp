// The login item over a real autostart entry in a temporary configuration folder, its writes run
// by hand on a manual queue.

#include "corbel/ui/LoginItem.hpp"

#include "LoginItemTesting.hpp"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace corbel {
namespace {

class LoginItemTest : public ::testing::Test, protected TemporaryLogin {
protected:
    void SetUp() override { LoginItem::reset(); }
    void TearDown() override { LoginItem::reset(); }

    // Observes `item`, recording every value it announces.
    platform::Subscription record(LoginItem& item) {
        return item.subscribe([this](bool enabled) { heard.push_back(enabled); });
    }

    std::vector<bool> heard;
};

TEST_F(LoginItemTest, RegisteringAndUnregisteringShowTheEntryReadBackAndNotifyOncePerChange) {
    const std::shared_ptr<LoginItem> shared = LoginItem::make(backend());
    LoginItem& item = *shared;
    const platform::Subscription subscription = record(item);
    EXPECT_FALSE(item.isEnabled());

    item.setEnabled(true);
    // Nothing is written inside the call: the write waits for the queue.
    EXPECT_FALSE(item.isEnabled());
    EXPECT_FALSE(QFileInfo::exists(entryPath()));
    settle();
    EXPECT_TRUE(item.isEnabled());
    EXPECT_TRUE(QFileInfo::exists(entryPath()));

    item.setEnabled(false);
    settle();
    EXPECT_FALSE(item.isEnabled());
    EXPECT_FALSE(QFileInfo::exists(entryPath()));
    EXPECT_EQ(heard, (std::vector<bool>{true, false}));

    // Asking for the state it already has writes again and tells nobody.
    item.setEnabled(false);
    settle();
    EXPECT_EQ(heard, (std::vector<bool>{true, false}));
}

TEST_F(LoginItemTest, AFailedWriteIsLoggedOnceAndTheStateIsReadBack) {
    const std::shared_ptr<LoginItem> shared = LoginItem::make(backend());
    LoginItem& item = *shared;
    const platform::Subscription subscription = record(item);
    blockAutostartFolder();
    LogCapture log;

    item.setEnabled(true); // no exception reaches the caller
    settle();

    EXPECT_FALSE(item.isEnabled());
    EXPECT_TRUE(heard.empty());
    ASSERT_EQ(LogCapture::lines().size(), 1u);
    const LogLine& line = LogCapture::lines().front();
    EXPECT_EQ(line.type, QtCriticalMsg);
    EXPECT_EQ(line.category, QStringLiteral("app.corbelthane.tidewright.login"));
    EXPECT_TRUE(line.message.startsWith(QStringLiteral("login item change failed: ")))
        << line.message.toStdString();
}

TEST_F(LoginItemTest, RefreshFollowsChangesMadeElsewhereAndIsSilentWithoutOne) {
    const std::shared_ptr<LoginItem> shared = LoginItem::make(backend());
    LoginItem& item = *shared;
    const platform::Subscription subscription = record(item);
    item.refresh();
    EXPECT_TRUE(heard.empty());

    // Another program (the shell, the desktop's settings) writes the entry...
    entry()->registerItem();
    EXPECT_FALSE(item.isEnabled()); // ...which shows only once the item reads it again.
    item.refresh();
    item.refresh();
    EXPECT_TRUE(item.isEnabled());

    // The user turns it off in the desktop's settings, which hides the entry.
    QFile file(entryPath());
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write("Hidden=true\n");
    file.close();
    item.refresh();
    EXPECT_FALSE(item.isEnabled());
    EXPECT_EQ(heard, (std::vector<bool>{true, false}));
}

TEST_F(LoginItemTest, ChangesAskedForDuringAWriteEndAtTheLastOne) {
    const std::shared_ptr<LoginItem> shared = LoginItem::make(backend());
    LoginItem& item = *shared;
    const platform::Subscription subscription = record(item);
    item.setEnabled(true);
    item.setEnabled(false);
    item.setEnabled(true);
    item.setEnabled(false);
    settle();
    EXPECT_FALSE(item.isEnabled());
    EXPECT_FALSE(QFileInfo::exists(entryPath()));
    // The first write shows before the last one undoes it.
    EXPECT_EQ(heard, (std::vector<bool>{true, false}));
}

TEST_F(LoginItemTest, AnItemGoneDuringAWriteIsLeftAlone) {
    auto item = LoginItem::make(backend());
    item->setEnabled(true);
    executor.runUntilIdle();
    item.reset();
    settle();
    EXPECT_TRUE(QFileInfo::exists(entryPath())); // the write itself still ran to its end
}

TEST_F(LoginItemTest, AnEntryNeedsAnExecutorAndAQueue) {
    EXPECT_THROW(LoginItem::make({entry(), nullptr, &queue}), std::invalid_argument);
    EXPECT_THROW(LoginItem::make({entry(), &executor, nullptr}), std::invalid_argument);
}

TEST_F(LoginItemTest, TheSharedItemLivesUntilResetAndIsInertUntilInstalled) {
    LoginItem& first = LoginItem::shared();
    EXPECT_EQ(&LoginItem::shared(), &first);
    EXPECT_EQ(first.weak_from_this().lock().get(), &first);

    {
        LogCapture log;
        first.setEnabled(true);
        EXPECT_FALSE(first.isEnabled());
        ASSERT_EQ(LogCapture::lines().size(), 1u);
        EXPECT_EQ(LogCapture::lines().front().type, QtCriticalMsg);
    }

    LoginItem& installed = LoginItem::install(backend());
    EXPECT_EQ(&LoginItem::shared(), &installed);
    installed.setEnabled(true);
    settle();
    EXPECT_TRUE(LoginItem::shared().isEnabled());

    // A new shared item reads the entry as it is.
    const std::weak_ptr<LoginItem> old = installed.weak_from_this();
    LoginItem::reset();
    EXPECT_TRUE(old.expired());
    EXPECT_FALSE(LoginItem::shared().isEnabled()); // inert again: no entry behind it
    EXPECT_TRUE(LoginItem::install(backend()).isEnabled());
}

} // namespace
} // namespace corbel
