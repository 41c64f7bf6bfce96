// The index over fixture XDG folders, and its live rescan through inotify on a temporary folder.

#include "platform/xdg/DesktopEntryIndex.hpp"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "platform/concurrency/MainExecutor.hpp"
#include "platform/concurrency/ThreadPool.hpp"

namespace platform::xdg {
namespace {

using namespace std::chrono_literals;

class DesktopEntryIndexTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "PlatformXdgTests";
        static char* argv[] = {name, nullptr};
        application = new QCoreApplication(argc, argv);
    }
    static void TearDownTestSuite() {
        delete application;
        application = nullptr;
    }

    void SetUp() override { ASSERT_TRUE(root.isValid()); }

    QString home() const { return root.filePath(QStringLiteral("home")); }
    QString system() const { return root.filePath(QStringLiteral("system")); }
    IndexSettings settings(const char* locale = "C.UTF-8") const {
        return IndexSettings{{home(), system()}, QString::fromUtf8(locale), {}};
    }

    void write(const QString& dataFolder, const QString& relative, const QByteArray& text) {
        const QString path = dataFolder + QStringLiteral("/applications/") + relative;
        ASSERT_TRUE(QDir().mkpath(QFileInfo(path).path()));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text);
    }
    static QByteArray app(const char* name, const char* more = "") {
        return QByteArray("[Desktop Entry]\nType=Application\nName=") + name + "\nExec=run\n" + more;
    }

    static QStringList ids(const DesktopEntrySnapshot& snapshot) {
        QStringList list;
        for (const DesktopEntry& entry : snapshot.entries()) {
            list.append(entry.id);
        }
        return list;
    }

    static inline QCoreApplication* application = nullptr;
    QTemporaryDir root;
};

TEST_F(DesktopEntryIndexTest, EarlierFoldersWinAndHiddenEntriesMaskLaterOnes) {
    write(system(), QStringLiteral("org.example.Editor.desktop"), app("System Editor"));
    write(home(), QStringLiteral("org.example.Editor.desktop"), app("My Editor"));
    write(system(), QStringLiteral("org.example.Removed.desktop"), app("Removed"));
    write(home(), QStringLiteral("org.example.Removed.desktop"), app("Removed", "Hidden=true\n"));
    write(system(), QStringLiteral("vendor/tool.desktop"), app("Tool"));
    write(system(), QStringLiteral("quiet.desktop"), app("Quiet", "NoDisplay=true\n"));
    write(system(), QStringLiteral("link.desktop"), "[Desktop Entry]\nType=Link\nName=Link\nURL=x\n");
    write(system(), QStringLiteral("broken.desktop"), "not a desktop entry\n");
    write(system(), QStringLiteral("notes.txt"), app("Not an entry"));

    const auto snapshot = DesktopEntrySnapshot::scan(settings());
    EXPECT_EQ(ids(snapshot), (QStringList{QStringLiteral("org.example.Editor"), QStringLiteral("quiet"),
                                          QStringLiteral("vendor-tool")}));
    ASSERT_NE(snapshot.find(QStringLiteral("org.example.Editor")), nullptr);
    EXPECT_EQ(snapshot.find(QStringLiteral("org.example.Editor"))->name, QStringLiteral("My Editor"));
    EXPECT_EQ(snapshot.find(QStringLiteral("org.example.Editor"))->path,
              home() + QStringLiteral("/applications/org.example.Editor.desktop"));
    EXPECT_TRUE(snapshot.find(QStringLiteral("quiet"))->noDisplay);
    EXPECT_EQ(snapshot.findByPath(system() + QStringLiteral("/applications/vendor/tool.desktop")),
              snapshot.find(QStringLiteral("vendor-tool")));
    // The overridden system file is not the entry its id stands for.
    EXPECT_EQ(snapshot.findByPath(system() + QStringLiteral("/applications/org.example.Editor.desktop")),
              nullptr);
}

TEST_F(DesktopEntryIndexTest, NamesFollowTheMessageLocale) {
    write(system(), QStringLiteral("files.desktop"),
          app("Files", "Name[de]=Dateien\nName[fr_FR]=Fichiers\n"));
    EXPECT_EQ(DesktopEntrySnapshot::scan(settings("de_DE.UTF-8")).entries().at(0).name,
              QStringLiteral("Dateien"));
    EXPECT_EQ(DesktopEntrySnapshot::scan(settings("fr_FR.UTF-8")).entries().at(0).name,
              QStringLiteral("Fichiers"));
    EXPECT_EQ(DesktopEntrySnapshot::scan(settings("fr_CA.UTF-8")).entries().at(0).name,
              QStringLiteral("Files"));
}

TEST_F(DesktopEntryIndexTest, PicksUpFolderChangesThroughTheWatcher) {
    write(system(), QStringLiteral("first.desktop"), app("First"));
    ASSERT_TRUE(QDir().mkpath(home())); // a data folder without applications/ yet
    MainExecutor main;
    ThreadPool background(1, "index-test");
    DesktopEntryIndex index(settings(), main, background);
    EXPECT_EQ(ids(*index.snapshot()), QStringList{QStringLiteral("first")});

    QEventLoop loop;
    index.onChange = [&] {
        loop.quit();
    };
    // Runs the loop until the snapshot satisfies done; each turn waits for a rescan that a notice
    // of the file system started, and the timer only bounds a failure.
    auto until = [&](const std::function<bool(const DesktopEntrySnapshot&)>& done) {
        QTimer safety;
        safety.setSingleShot(true);
        bool timedOut = false;
        QObject::connect(&safety, &QTimer::timeout, &loop, [&] {
            timedOut = true;
            loop.quit();
        });
        safety.start(10s);
        while (!done(*index.snapshot()) && !timedOut) {
            loop.exec();
        }
        return done(*index.snapshot());
    };

    write(system(), QStringLiteral("second.desktop"), app("Second"));
    EXPECT_TRUE(until([](const auto& s) { return s.find(QStringLiteral("second")) != nullptr; }));

    // An applications/ folder made later is found through its data folder, and then watched.
    write(home(), QStringLiteral("mine.desktop"), app("Mine"));
    EXPECT_TRUE(until([](const auto& s) { return s.find(QStringLiteral("mine")) != nullptr; }));
    write(home(), QStringLiteral("second.desktop"), app("Second", "Hidden=true\n"));
    EXPECT_TRUE(until([](const auto& s) { return s.find(QStringLiteral("second")) == nullptr; }));

    ASSERT_TRUE(QFile::remove(system() + QStringLiteral("/applications/first.desktop")));
    EXPECT_TRUE(until([](const auto& s) { return s.find(QStringLiteral("first")) == nullptr; }));
    EXPECT_EQ(ids(*index.snapshot()), QStringList{QStringLiteral("mine")});
}

} // namespace
} // namespace platform::xdg
