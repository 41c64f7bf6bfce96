#include "platform/workspace/ApplicationResolution.hpp"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <vector>

namespace platform {
namespace {

class ApplicationResolutionTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(root.isValid());
        ASSERT_TRUE(QDir().mkpath(root.filePath(QStringLiteral("data/applications/vendor"))));
        ASSERT_TRUE(QDir().mkpath(root.filePath(QStringLiteral("bin"))));
        QFile tool(root.filePath(QStringLiteral("bin/tool")));
        ASSERT_TRUE(tool.open(QIODevice::WriteOnly));
        tool.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        tool.close();
        ASSERT_TRUE(QFile::link(root.filePath(QStringLiteral("bin/tool")),
                                root.filePath(QStringLiteral("bin/alias"))));

        entry("org.example.Gtk.desktop", "Gtk App", "Exec=gtk-app\n");
        entry("vendor/kde-app.desktop", "KDE App", "Exec=kde-app\n");
        entry("launched.desktop", "Launched", "Exec=launched\n");
        entry("classy.desktop", "Classy", "Exec=classy\nStartupWMClass=Classy-Window\n");
        entry("terminal.desktop", "Terminal", "Exec=term\n");
        entry("alias.desktop", "Alias", "Exec=alias --new-window %U\n");
        snapshot = xdg::DesktopEntrySnapshot::scan(
            xdg::IndexSettings{{root.filePath(QStringLiteral("data"))}, QStringLiteral("C"), searchPath()});
    }

    void entry(const char* file, const char* name, const char* more) {
        QFile out(root.filePath(QStringLiteral("data/applications/")) + QString::fromUtf8(file));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(QByteArray("[Desktop Entry]\nType=Application\nName=") + name + "\n" + more);
    }
    QStringList searchPath() const { return {root.filePath(QStringLiteral("bin"))}; }
    QString applications() const { return root.filePath(QStringLiteral("data/applications/")); }

    QTemporaryDir root;
    xdg::DesktopEntrySnapshot snapshot;
};

TEST_F(ApplicationResolutionTest, TheFirstClueThatNamesAnEntryWins) {
    struct Case {
        const char* name;
        ProcessClues clues;
        ResolvedApplication resolved;
    };
    auto app = [](const char* id, const char* name) {
        return ResolvedApplication{std::string(id), QString::fromUtf8(name)};
    };
    const QString kdePath = applications() + QStringLiteral("vendor/kde-app.desktop");
    const std::vector<Case> cases = {
        {"GTK application id",
         {QStringLiteral("org.example.Gtk"), QStringLiteral("launched"), {}, "x", "Classy-Window", {}},
         app("org.example.Gtk", "Gtk App")},
        {"unknown GTK id, KDE file name",
         {QStringLiteral("org.example.None"), QStringLiteral("vendor-kde-app.desktop"), {}, {}, {}, {}},
         app("desktop.vendor--kde--app", "KDE App")},
        {"KDE file as a path", {{}, kdePath, {}, {}, {}, {}}, app("desktop.vendor--kde--app", "KDE App")},
        {"launched desktop file",
         {{}, {}, applications() + QStringLiteral("launched.desktop"), "terminal", "Terminal", {}},
         app("desktop.launched", "Launched")},
        {"StartupWMClass equals the class",
         {{}, {}, {}, "terminal", "Classy-Window", {}},
         app("desktop.classy", "Classy")},
        {"StartupWMClass equals the instance",
         {{}, {}, {}, "Classy-Window", "Nothing", {}},
         app("desktop.classy", "Classy")},
        {"id equals the class ignoring case",
         {{}, {}, {}, "xterm", "TERMINAL", {}},
         app("desktop.terminal", "Terminal")},
        {"id equals the instance",
         {{}, {}, {}, "Terminal", "Other", {}},
         app("desktop.terminal", "Terminal")},
        {"Exec program is the executable",
         {{}, {}, {}, {}, {}, root.filePath(QStringLiteral("bin/tool"))},
         app("desktop.alias", "Alias")},
        {"no entry: the window class",
         {{}, {}, {}, "my app", "My App", QStringLiteral("/nonexistent")},
         app("wmclass.My-20App", "My App")},
        {"no entry and no class", {{}, {}, {}, "instance", "", {}}, ResolvedApplication{}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(resolveApplication(c.clues, snapshot, searchPath()), c.resolved) << c.name;
    }
}

TEST(LaunchedDesktopFileTests, CountsOnlyForTheProcessThatWasLaunched) {
    const QByteArray environment("HOME=/home/u\0GIO_LAUNCHED_DESKTOP_FILE=/usr/share/applications/a.desktop\0"
                                 "GIO_LAUNCHED_DESKTOP_FILE_PID=1234\0PATH=/bin\0",
                                 118);
    EXPECT_EQ(launchedDesktopFile(environment, 1234), QStringLiteral("/usr/share/applications/a.desktop"));
    // A child inherits the variables of the process that was launched; it is not that application.
    EXPECT_EQ(launchedDesktopFile(environment, 1235), QString());
    EXPECT_EQ(launchedDesktopFile(environment, 123), QString());
    EXPECT_EQ(launchedDesktopFile(QByteArray("GIO_LAUNCHED_DESKTOP_FILE=/a.desktop\0", 37), 1), QString());
}

} // namespace
} // namespace platform
