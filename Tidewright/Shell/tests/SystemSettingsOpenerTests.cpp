// The settings opener: its checks with scripted resolve and launch functions, then the live pair
// over temporary XDG data folders, where a settings entry that opens writes a marker file.

#include "tidewright/shell/SystemSettingsOpening.hpp"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <chrono>

#include "platform/concurrency/ManualExecutor.hpp"
#include "platform/concurrency/Task.hpp"
#include "platform/settings/DesktopSettings.hpp"

namespace tidewright {
namespace {

const BundleID settingsID("org.gnome.Settings");

TEST(SystemSettingsOpener, LaunchesOnlyAFileThatIsTheSettingsApplication) {
    const QUrl file =
        QUrl::fromLocalFile(QStringLiteral("/usr/share/applications/org.gnome.Settings.desktop"));
    struct Case {
        const char* name;
        std::optional<SystemSettingsApplication> resolved;
        bool launchAnswer;
        bool opened;
        bool launched;
    };
    const Case cases[] = {
        {"nothing found", std::nullopt, true, false, false},
        {"another application", SystemSettingsApplication{file, BundleID("org.example.Other")}, true, false,
         false},
        {"no identifier", SystemSettingsApplication{file, std::nullopt}, true, false, false},
        {"not a file", SystemSettingsApplication{QUrl(QStringLiteral("https://example.org/")), settingsID},
         true, false, false},
        {"launched", SystemSettingsApplication{file, settingsID}, true, true, true},
        {"launch refused", SystemSettingsApplication{file, settingsID}, false, false, true},
    };
    for (const Case& c : cases) {
        std::vector<QUrl> launches;
        SystemSettingsOpener opener(
            settingsID, [&] { return c.resolved; },
            [&](const QUrl& url) {
                launches.push_back(url);
                return c.launchAnswer;
            });
        EXPECT_EQ(opener.open(), c.opened) << c.name;
        EXPECT_EQ(launches.size(), c.launched ? 1U : 0U) << c.name;
        if (c.launched && !launches.empty()) {
            EXPECT_EQ(launches.front(), file) << c.name;
        }
    }
}

TEST(SystemSettingsOpener, InACancelledTaskNothingIsLookedUp) {
    platform::ManualExecutor executor;
    int resolves = 0;
    SystemSettingsOpener opener(
        settingsID,
        [&]() -> std::optional<SystemSettingsApplication> {
            ++resolves;
            return std::nullopt;
        },
        [](const QUrl&) { return true; });
    std::optional<bool> answer;
    platform::Task<> task = platform::spawn(executor, [&]() -> platform::Async<> {
        answer = opener.open();
        co_return;
    });
    task.cancel();
    executor.runUntilIdle();
    EXPECT_EQ(answer, false);
    EXPECT_EQ(resolves, 0);
}

// Waits for a file to appear, on inotify events; false when it did not within the limit.
bool appears(const QString& path, std::chrono::milliseconds limit) {
    const int fd = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (fd < 0) {
        return false;
    }
    ::inotify_add_watch(fd, QFileInfo(path).absolutePath().toLocal8Bit().constData(),
                        IN_CREATE | IN_MOVED_TO | IN_CLOSE_WRITE);
    const auto deadline = std::chrono::steady_clock::now() + limit;
    bool found = QFile::exists(path);
    while (!found && std::chrono::steady_clock::now() < deadline) {
        pollfd descriptor{fd, POLLIN, 0};
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        ::poll(&descriptor, 1, static_cast<int>(std::max<std::int64_t>(left.count(), 0)));
        char buffer[4096];
        while (::read(fd, buffer, sizeof buffer) > 0) {
        }
        found = QFile::exists(path);
    }
    ::close(fd);
    return found;
}

TEST(SystemSettingsOpenerLive, OpensTheDesktopsSettingsEntryFromTheDataFolders) {
    const QByteArray opens = "touch \"@MARKER@\"";
    const QByteArray missing = "/nonexistent/xfce4-settings-manager";
    struct Case {
        const char* name;
        std::optional<QByteArray> systemExec; // an entry in the system folder, with this Exec
        std::optional<QByteArray> userExec;   // and in the user's; "hidden" writes a hidden one
        bool opened;
    };
    const Case cases[] = {
        {"an entry that starts", opens, std::nullopt, true},
        {"a program that is not there", missing, std::nullopt, false},
        {"no entry", std::nullopt, std::nullopt, false},
        {"an entry the user hid", opens, QByteArray("hidden"), false},
        {"the user's entry over the system's", missing, opens, true},
    };
    for (const Case& c : cases) {
        QTemporaryDir root;
        ASSERT_TRUE(root.isValid());
        const QString marker = root.filePath(QStringLiteral("opened"));
        const QString user = root.filePath(QStringLiteral("user"));
        const QString system = root.filePath(QStringLiteral("system"));
        auto write = [&](const QString& folder, const QByteArray& exec) {
            ASSERT_TRUE(QDir().mkpath(folder + QStringLiteral("/applications")));
            QFile file(folder + QStringLiteral("/applications/xfce-settings-manager.desktop"));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
            QByteArray text = "[Desktop Entry]\nType=Application\nName=Settings Manager\n";
            text += exec == "hidden" ? QByteArray("Hidden=true\n") : "Exec=" + exec + "\n";
            file.write(text.replace("@MARKER@", marker.toUtf8()));
        };
        if (c.systemExec) {
            write(system, *c.systemExec);
        }
        if (c.userExec) {
            write(user, *c.userExec);
        }
        const platform::xdg::IndexSettings folders{
            {user, system}, QStringLiteral("C"), {QStringLiteral("/usr/bin"), QStringLiteral("/bin")}};
        const platform::DesktopSettings settings(
            QStringLiteral("XFCE"),
            [folders] {
                return std::make_shared<const platform::xdg::DesktopEntrySnapshot>(
                    platform::xdg::DesktopEntrySnapshot::scan(folders));
            },
            folders.searchPath);
        SystemSettingsOpener opener = SystemSettingsOpener::live(settings);
        EXPECT_EQ(opener.identifier(), BundleID("desktop.xfce--settings--manager")) << c.name;
        EXPECT_EQ(opener.open(), c.opened) << c.name;
        if (c.opened) {
            EXPECT_TRUE(appears(marker, std::chrono::seconds(10))) << c.name;
        }
    }
}

} // namespace
} // namespace tidewright
