#include "platform/workspace/ApplicationIcon.hpp"

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace platform {
namespace {

TEST(ApplicationIconTests, FileThenThemeThenGeneric) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString file = folder.filePath(QStringLiteral("editor.png"));
    QImage(8, 8, QImage::Format_ARGB32).save(file);

    const std::set<QString> theme{QStringLiteral("editor"), QStringLiteral("application-x-executable")};
    auto themeHas = [&](const QString& name) {
        return theme.contains(name);
    };
    auto bareTheme = [](const QString&) {
        return false;
    };
    using Source = IconChoice::Source;
    struct Case {
        QString key;
        bool withTheme;
        IconChoice choice;
    };
    const std::vector<Case> cases = {
        {file, true, {Source::file, file}},
        {QStringLiteral("editor"), true, {Source::theme, QStringLiteral("editor")}},
        {QStringLiteral("missing"), true, {Source::theme, QStringLiteral("application-x-executable")}},
        // An absolute path is never looked up in the theme.
        {QStringLiteral("/nonexistent/editor"),
         true,
         {Source::theme, QStringLiteral("application-x-executable")}},
        {QString(), true, {Source::theme, QStringLiteral("application-x-executable")}},
        {QStringLiteral("missing"), false, {Source::generic, {}}},
        {QString(), false, {Source::generic, {}}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(chooseIcon(c.key, c.withTheme ? std::function<bool(const QString&)>(themeHas) : bareTheme),
                  c.choice)
            << c.key.toStdString();
    }
}

TEST(ApplicationIconTests, NeverAbsent) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    const QString image = folder.filePath(QStringLiteral("editor.png"));
    QImage(16, 16, QImage::Format_ARGB32).save(image);
    const QString notImage = folder.filePath(QStringLiteral("notes.png"));
    QFile text(notImage);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("not an image");
    text.close();

    for (const QString& key : {image, notImage, QStringLiteral("no-such-icon-anywhere"), QString()}) {
        EXPECT_FALSE(applicationIcon(key).pixmap(32).isNull()) << key.toStdString();
    }
    EXPECT_FALSE(iconFor(IconChoice{IconChoice::Source::generic, {}}).pixmap(32).isNull());
}

} // namespace
} // namespace platform
