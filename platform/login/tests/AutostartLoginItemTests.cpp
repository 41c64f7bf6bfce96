// The autostart login item against temporary configuration folders: what it writes, how the
// effective entry is chosen, and what its failures report.

#include "platform/login/AutostartLoginItem.hpp"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/xdg/DesktopEntry.hpp"
#include "platform/xdg/DesktopEntryFile.hpp"
#include "platform/xdg/ExecLine.hpp"

namespace platform {
namespace {

const QString entryName = QStringLiteral("app.corbelthane.tidewright.desktop");

class AutostartLoginItemTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        ASSERT_TRUE(QDir().mkpath(home()));
        ASSERT_TRUE(QDir().mkpath(system()));
        executable = makeExecutable(QStringLiteral("tidewright"));
    }

    QString home() const { return root.filePath(QStringLiteral("home")); }
    QString system() const { return root.filePath(QStringLiteral("etc-xdg")); }
    QString userEntry() const { return home() + QStringLiteral("/autostart/") + entryName; }

    // A real executable file, so the entry's program resolves as the running one would.
    QString makeExecutable(const QString& name) {
        const QString path = root.filePath(QStringLiteral("bin/") + name);
        EXPECT_TRUE(QDir().mkpath(root.filePath(QStringLiteral("bin"))));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\n");
        file.close();
        file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        return path;
    }

    AutostartLoginItem item(std::optional<QString> configHome) const {
        return AutostartLoginItem(
            {std::move(configHome), {system()}, executable, entryName, QStringLiteral("Tidewright"), {}});
    }
    AutostartLoginItem item() const { return item(home()); }

    void writeSystemEntry(const QByteArray& exec) {
        ASSERT_TRUE(QDir().mkpath(system() + QStringLiteral("/autostart")));
        QFile file(system() + QStringLiteral("/autostart/") + entryName);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Desktop Entry]\nType=Application\nName=Tidewright\nExec=" + exec + "\n");
    }

    // The user's entry as the desktop's reader sees it; nothing when it is hidden or unreadable.
    std::optional<QStringList> readBack() const {
        auto file = xdg::DesktopEntryFile::read(userEntry());
        if (!file) {
            return std::nullopt;
        }
        auto entry = xdg::applicationEntry(*file, entryName, userEntry(), {}, {});
        if (!entry) {
            return std::nullopt;
        }
        auto arguments = xdg::splitExec(entry->exec);
        if (!arguments) {
            return std::nullopt;
        }
        return xdg::expandFieldCodes(*arguments, {});
    }

    QTemporaryDir root;
    QString executable;
};

TEST_F(AutostartLoginItemTest, RegisterWritesAnEntryThatStartsThisExecutableAndUnregisterRemovesIt) {
    EXPECT_EQ(item().status(), loginItemStatus::notRegistered);
    item().registerItem();
    EXPECT_EQ(item().status(), loginItemStatus::enabled);
    EXPECT_EQ(readBack(), QStringList{executable});
    item().registerItem(); // again: still one entry, still enabled
    EXPECT_EQ(item().status(), loginItemStatus::enabled);

    item().unregisterItem();
    EXPECT_FALSE(QFile::exists(userEntry()));
    EXPECT_EQ(item().status(), loginItemStatus::notRegistered);
    item().unregisterItem(); // nothing to remove is no failure
}

TEST_F(AutostartLoginItemTest, ASystemWideEntryIsHiddenByTheUserAndShownAgainOnRegister) {
    writeSystemEntry(executable.toUtf8());
    EXPECT_EQ(item().status(), loginItemStatus::enabled);

    item().unregisterItem();
    ASSERT_TRUE(QFile::exists(userEntry()));
    auto file = xdg::DesktopEntryFile::read(userEntry());
    ASSERT_TRUE(file);
    EXPECT_EQ(file->boolean(QString::fromLatin1(xdg::desktopEntryGroup), QStringLiteral("Hidden")), true);
    EXPECT_EQ(item().status(), loginItemStatus::notRegistered);

    item().registerItem();
    EXPECT_EQ(item().status(), loginItemStatus::enabled);
}

TEST_F(AutostartLoginItemTest, AnEntryCountsOnlyWhenItStartsThisExecutable) {
    const QString other = makeExecutable(QStringLiteral("other"));
    struct Case {
        const char* name;
        QByteArray exec;
        int status;
    };
    const Case cases[] = {
        {"another program", other.toUtf8(), loginItemStatus::notRegistered},
        {"this program with arguments", executable.toUtf8() + " --hidden %U", loginItemStatus::enabled},
        {"a program that is not there", "/nonexistent/tidewright", loginItemStatus::notRegistered},
        {"an open quote", "\"" + executable.toUtf8(), loginItemStatus::notRegistered},
        {"only a field code", "%U", loginItemStatus::notRegistered},
    };
    for (const Case& c : cases) {
        writeSystemEntry(c.exec);
        EXPECT_EQ(item().status(), c.status) << c.name;
    }
}

TEST_F(AutostartLoginItemTest, APathWithBlanksQuotesAndEscapesSurvivesTheEntry) {
    // Every character that the Exec line, the string escapes or the field codes treat specially.
    executable = makeExecutable(QStringLiteral("odd name \"q\" 'a' $HOME `x` \\back %f 100% ;&|<>*?#()~"));
    item().registerItem();
    EXPECT_EQ(readBack(), QStringList{executable});
    EXPECT_EQ(item().status(), loginItemStatus::enabled);
}

TEST(ExecArgumentValue, QuotesOnlyWhatNeedsIt) {
    EXPECT_EQ(execArgumentValue(QStringLiteral("/usr/bin/tidewright")),
              QStringLiteral("/usr/bin/tidewright"));
    EXPECT_EQ(execArgumentValue(QStringLiteral("/opt/my app")), QStringLiteral("\"/opt/my app\""));
    EXPECT_EQ(execArgumentValue(QStringLiteral("/a\\b")), QStringLiteral("\"/a\\\\\\\\b\""));
    EXPECT_EQ(execArgumentValue(QStringLiteral("/50%")), QStringLiteral("/50%%"));
}

TEST_F(AutostartLoginItemTest, WithoutAConfigurationFolderTheItemIsNotFound) {
    const AutostartLoginItem noFolder = item(std::nullopt);
    EXPECT_EQ(noFolder.status(), loginItemStatus::notFound);
    EXPECT_THROW(noFolder.registerItem(), LoginItemError);
    EXPECT_THROW(noFolder.unregisterItem(), LoginItemError);
}

TEST_F(AutostartLoginItemTest, AWriteThatFailsIsReportedAndChangesNothing) {
    // A file where the folder should be: refused even for root, which CI runs as.
    QFile blocker(home() + QStringLiteral("/autostart"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_THROW(item().registerItem(), LoginItemError);
    EXPECT_EQ(item().status(), loginItemStatus::notRegistered);

    writeSystemEntry(executable.toUtf8());
    EXPECT_THROW(item().unregisterItem(), LoginItemError);
    EXPECT_EQ(item().status(), loginItemStatus::enabled); // the system-wide entry still starts us
}

} // namespace
} // namespace platform
