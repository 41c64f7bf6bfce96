// Which settings entry stands for the desktop, and what a resolve reads back, over temporary XDG
// data folders.

#include "platform/settings/DesktopSettings.hpp"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace platform {
namespace {

class DesktopSettingsTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(root.isValid()); }

    void install(const QString& id, const QByteArray& extra = {}) {
        ASSERT_TRUE(QDir().mkpath(root.filePath(QStringLiteral("applications"))));
        QFile file(root.filePath(QStringLiteral("applications/") + id + QStringLiteral(".desktop")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("[Desktop Entry]\nType=Application\nName=Settings\nExec=true\n" + extra);
    }

    DesktopSettings settings(const QString& currentDesktop) const {
        const xdg::IndexSettings folders{{root.path()}, QStringLiteral("C"), {QStringLiteral("/usr/bin")}};
        return DesktopSettings(
            currentDesktop,
            [folders] {
                return std::make_shared<const xdg::DesktopEntrySnapshot>(
                    xdg::DesktopEntrySnapshot::scan(folders));
            },
            folders.searchPath);
    }

    QTemporaryDir root;
};

TEST_F(DesktopSettingsTest, TheCurrentDesktopChoosesTheSettingsEntry) {
    struct Case {
        const char* currentDesktop;
        QStringList installed;
        const char* identifier;
    };
    const Case cases[] = {
        {"GNOME", {QStringLiteral("org.gnome.Settings")}, "org.gnome.Settings"},
        {"ubuntu:GNOME", {}, "org.gnome.Settings"}, // none installed: still the desktop's own
        {"KDE", {QStringLiteral("kdesystemsettings")}, "desktop.kdesystemsettings"},
        {"KDE",
         {QStringLiteral("systemsettings"), QStringLiteral("kdesystemsettings")},
         "desktop.systemsettings"},
        {"XFCE", {QStringLiteral("org.gnome.Settings")}, "desktop.xfce--settings--manager"},
        {"LXQt", {QStringLiteral("lxqt-config")}, "desktop.lxqt--config"},
        {"mate", {QStringLiteral("matecc")}, "desktop.matecc"},
        {"X-Cinnamon", {QStringLiteral("cinnamon-settings")}, "desktop.cinnamon--settings"},
        // A desktop outside the table tries the whole table in order.
        {"Openbox", {QStringLiteral("matecc"), QStringLiteral("lxqt-config")}, "desktop.lxqt--config"},
        {"", {}, "org.gnome.Settings"},
    };
    for (const Case& c : cases) {
        QDir(root.filePath(QStringLiteral("applications"))).removeRecursively();
        for (const QString& id : c.installed) {
            install(id);
        }
        EXPECT_EQ(settings(QString::fromUtf8(c.currentDesktop)).identifier(),
                  tidewright::BundleID(c.identifier))
            << c.currentDesktop << " " << c.installed.join(u' ').toStdString();
    }
}

TEST(SettingsDesktopIds, FollowTheOrderOfTheNamedDesktops) {
    EXPECT_EQ(settingsDesktopIds(QStringLiteral("MATE:GNOME")),
              (QStringList{QStringLiteral("matecc"), QStringLiteral("org.gnome.Settings")}));
    EXPECT_EQ(settingsDesktopIds(QStringLiteral("Openbox")).size(), 7);
}

TEST_F(DesktopSettingsTest, AResolveReadsTheIdentifierBackFromTheEntryFile) {
    install(QStringLiteral("lxqt-config"));
    const DesktopSettings lxqt = settings(QStringLiteral("LXQt"));
    const auto found = lxqt.resolve(lxqt.identifier());
    ASSERT_TRUE(found);
    EXPECT_EQ(found->path, root.filePath(QStringLiteral("applications/lxqt-config.desktop")));
    EXPECT_EQ(found->bundleID, tidewright::BundleID("desktop.lxqt--config"));
    EXPECT_FALSE(lxqt.resolve(tidewright::BundleID("org.gnome.Settings")));

    // An entry whose TryExec is not there counts as not installed.
    QDir(root.filePath(QStringLiteral("applications"))).removeRecursively();
    install(QStringLiteral("lxqt-config"), "TryExec=/nonexistent/lxqt-config\n");
    EXPECT_FALSE(lxqt.resolve(tidewright::BundleID("desktop.lxqt--config")));
}

} // namespace
} // namespace platform
