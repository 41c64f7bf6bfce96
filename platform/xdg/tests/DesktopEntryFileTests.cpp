#include "platform/xdg/DesktopEntry.hpp"
#include "platform/xdg/DesktopEntryFile.hpp"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace platform::xdg {
namespace {

const QString group = QStringLiteral("Desktop Entry");

DesktopEntryFile parsed(const char* text) {
    auto file = DesktopEntryFile::parse(QByteArray(text));
    EXPECT_TRUE(file.has_value()) << text;
    return file.value_or(*DesktopEntryFile::parse("[Desktop Entry]\n"));
}

TEST(DesktopEntryFileTests, RefusesWhatIsNotADesktopEntry) {
    const std::vector<QByteArray> refused = {
        "",
        "# only a comment\n",
        "[Other Group]\nName=A\n",
        "Name=before any group\n[Desktop Entry]\n",
        "[Desktop Entry]\nthis line has no equals sign\n",
        "[Desktop Entry]\nNa me=space in key\n",
        "[Desktop Entry]\nName[=open locale\n",
        "[Desktop Entry\nName=A\n",
        QByteArray("[Desktop Entry]\nName=\xff\xfe\n"), // not UTF-8
    };
    for (const QByteArray& text : refused) {
        EXPECT_FALSE(DesktopEntryFile::parse(text).has_value()) << text.toStdString();
    }
}

TEST(DesktopEntryFileTests, ReadsGroupsKeysAndKeepsFirstOfARepeat) {
    auto file = parsed("# comment\n\n[Desktop Entry]\r\nName = Editor\nName=Second\nExec=edit  \n"
                       "[Desktop Action new]\nName=New Window\n[Desktop Entry]\nIcon=ignored\n");
    EXPECT_EQ(file.string(group, QStringLiteral("Name")), QStringLiteral("Editor"));
    EXPECT_EQ(file.rawValue(group, QStringLiteral("Exec")), QStringLiteral("edit  ")); // trailing blanks stay
    EXPECT_FALSE(file.rawValue(group, QStringLiteral("Icon")).has_value());
    EXPECT_TRUE(file.hasGroup(QStringLiteral("Desktop Action new")));
    EXPECT_EQ(file.string(QStringLiteral("Desktop Action new"), QStringLiteral("Name")),
              QStringLiteral("New Window"));
}

TEST(DesktopEntryFileTests, ResolvesStringEscapesAndSplitsLists) {
    auto file = parsed("[Desktop Entry]\nComment=a\\sb\\nc\\td\\\\e\\;f\\q\n"
                       "Categories=One;Two\\;Half;Back\\\\slash;\nEmpty=\nLast=x;y\n");
    EXPECT_EQ(file.string(group, QStringLiteral("Comment")), QStringLiteral("a b\nc\td\\e\\;f\\q"));
    EXPECT_EQ(
        file.list(group, QStringLiteral("Categories")),
        (QStringList{QStringLiteral("One"), QStringLiteral("Two;Half"), QStringLiteral("Back\\slash")}));
    EXPECT_TRUE(file.list(group, QStringLiteral("Empty")).isEmpty());
    EXPECT_EQ(file.list(group, QStringLiteral("Last")),
              (QStringList{QStringLiteral("x"), QStringLiteral("y")}));
}

TEST(DesktopEntryFileTests, BooleansAreTheTwoWordsOnly) {
    auto file = parsed("[Desktop Entry]\nA=true\nB=false\nC=True\nD=1\n");
    EXPECT_EQ(file.boolean(group, QStringLiteral("A")), true);
    EXPECT_EQ(file.boolean(group, QStringLiteral("B")), false);
    EXPECT_FALSE(file.boolean(group, QStringLiteral("C")).has_value());
    EXPECT_FALSE(file.boolean(group, QStringLiteral("D")).has_value());
    EXPECT_FALSE(file.boolean(group, QStringLiteral("Missing")).has_value());
}

TEST(DesktopEntryFileTests, LocaleSuffixesGoFromMostToLeastSpecific) {
    struct Case {
        const char* locale;
        QStringList suffixes;
    };
    const std::vector<Case> cases = {
        {"sr_YU.UTF-8@Latn",
         {QStringLiteral("sr_YU@Latn"), QStringLiteral("sr_YU"), QStringLiteral("sr@Latn"),
          QStringLiteral("sr")}},
        {"de_DE.UTF-8", {QStringLiteral("de_DE"), QStringLiteral("de")}},
        {"fr", {QStringLiteral("fr")}},
        {"ca@valencia", {QStringLiteral("ca@valencia"), QStringLiteral("ca")}},
        {"C.UTF-8", {}},
        {"POSIX", {}},
        {"", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(localeSuffixes(QString::fromUtf8(c.locale)), c.suffixes) << c.locale;
    }
}

TEST(DesktopEntryFileTests, PicksTheLocalisedValueForTheLocale) {
    auto file = parsed("[Desktop Entry]\nName=Files\nName[de]=Dateien\nName[de_AT]=Dateien AT\n"
                       "Name[sr@Latn]=Datoteke\n");
    struct Case {
        const char* locale;
        const char* name;
    };
    const std::vector<Case> cases = {
        {"de_AT.UTF-8", "Dateien AT"}, {"de_CH.UTF-8", "Dateien"},
        {"sr_RS@Latn", "Datoteke"},    {"sr_RS", "Files"},
        {"C.UTF-8", "Files"},          {"en_US.UTF-8", "Files"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(
            file.localeString(group, QStringLiteral("Name"), localeSuffixes(QString::fromUtf8(c.locale))),
            QString::fromUtf8(c.name))
            << c.locale;
    }
}

TEST(DesktopEntryTests, DesktopIdReplacesSlashesAndDropsTheSuffix) {
    EXPECT_EQ(desktopIdFor(QStringLiteral("org.gnome.Nautilus.desktop")),
              QStringLiteral("org.gnome.Nautilus"));
    EXPECT_EQ(desktopIdFor(QStringLiteral("kde4/kate.desktop")), QStringLiteral("kde4-kate"));
    EXPECT_FALSE(desktopIdFor(QStringLiteral("readme.txt")).has_value());
    EXPECT_FALSE(desktopIdFor(QStringLiteral(".desktop")).has_value());
}

TEST(DesktopEntryTests, ApplicationEntryNeedsTypeAndNameAndIsNotHidden) {
    const QStringList none;
    struct Case {
        const char* text;
        bool application;
    };
    const std::vector<Case> cases = {
        {"[Desktop Entry]\nType=Application\nName=A\n", true},
        {"[Desktop Entry]\nType=Link\nName=A\nURL=x\n", false},
        {"[Desktop Entry]\nName=A\n", false},
        {"[Desktop Entry]\nType=Application\n", false},
        {"[Desktop Entry]\nType=Application\nName=A\nHidden=true\n", false},
        {"[Desktop Entry]\nType=Application\nName=A\nNoDisplay=true\n", true},
    };
    for (const Case& c : cases) {
        auto entry =
            applicationEntry(parsed(c.text), QStringLiteral("a"), QStringLiteral("/a.desktop"), none, none);
        EXPECT_EQ(entry.has_value(), c.application) << c.text;
    }
}

TEST(DesktopEntryTests, TryExecIsLookedUpInTheSearchPath) {
    QTemporaryDir bin;
    ASSERT_TRUE(bin.isValid());
    QFile program(bin.filePath(QStringLiteral("present")));
    ASSERT_TRUE(program.open(QIODevice::WriteOnly));
    program.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    program.close();
    QFile plain(bin.filePath(QStringLiteral("not-executable")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();

    const QStringList path{QStringLiteral("/nonexistent"), bin.path()};
    struct Case {
        QString tryExec;
        bool missing;
    };
    const std::vector<Case> cases = {
        {QStringLiteral("present"), false},
        {bin.filePath(QStringLiteral("present")), false},
        {QStringLiteral("absent"), true},
        {QStringLiteral("not-executable"), true},
        {bin.path(), true}, // a folder is no program
    };
    for (const Case& c : cases) {
        auto file = parsed(
            ("[Desktop Entry]\nType=Application\nName=A\nTryExec=" + c.tryExec.toStdString() + "\n").c_str());
        auto entry = applicationEntry(file, QStringLiteral("a"), QStringLiteral("/a.desktop"), {}, path);
        ASSERT_TRUE(entry.has_value());
        EXPECT_EQ(entry->tryExecMissing, c.missing) << c.tryExec.toStdString();
    }
}

} // namespace
} // namespace platform::xdg
