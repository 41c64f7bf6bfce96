// The string tables are complete: every interface-text key and every kit label has a text in each
// language, no table holds a key that nothing uses, and placeholders survive translation.

#include "corbel/ui/KitLabels.hpp"
#include "tidewright/views/TidewrightCopy.hpp"

#include <QFile>
#include <QRegularExpression>
#include <QTranslator>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

#include <map>
#include <set>

namespace tidewright {
namespace {

const QStringList languages{QStringLiteral("en"), QStringLiteral("de")};
const QString presentation = QStringLiteral("TidewrightPresentation");
const QString kitTable = QStringLiteral("Default");

QString fromView(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::set<QString> copyKeys() {
    std::set<QString> keys;
    for (TidewrightCopy copy : allTidewrightCopies) {
        keys.insert(copyKey(copy));
    }
    return keys;
}

std::set<QString> kitKeys() {
    std::set<QString> keys;
    for (corbel::KitLabel label : corbel::allKitLabels) {
        keys.insert(fromView(corbel::key(label)));
    }
    return keys;
}

struct Entry {
    QString translation;
    bool finished = true;
};

// context -> source -> entry, as written in a Linguist source.
using Table = std::map<QString, std::map<QString, Entry>>;

Table readSource(const QString& language) {
    QFile file(QStringLiteral(TIDEWRIGHT_STRING_TABLE_SOURCES "/Tidewright_") + language +
               QStringLiteral(".ts"));
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << file.fileName().toStdString();
    Table table;
    QXmlStreamReader xml(&file);
    QString context;
    QString source;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        if (xml.name() == u"name") {
            context = xml.readElementText();
        } else if (xml.name() == u"source") {
            source = xml.readElementText();
        } else if (xml.name() == u"translation") {
            const QStringView type = xml.attributes().value(QStringLiteral("type"));
            Entry entry{QString(), type.isEmpty()};
            entry.translation = xml.readElementText();
            EXPECT_FALSE(table[context].contains(source)) << "twice: " << source.toStdString();
            table[context][source] = entry;
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    return table;
}

std::set<QString> keysOf(const std::map<QString, Entry>& entries) {
    std::set<QString> keys;
    for (const auto& [key, entry] : entries) {
        keys.insert(key);
    }
    return keys;
}

TEST(StringTableTest, EachLanguageHasExactlyTheKnownKeysWithFinishedTexts) {
    for (const QString& language : languages) {
        SCOPED_TRACE(language.toStdString());
        const Table table = readSource(language);
        EXPECT_EQ(table.size(), 2u) << "a context nothing reads";
        EXPECT_EQ(keysOf(table.at(presentation)), copyKeys());
        EXPECT_EQ(keysOf(table.at(kitTable)), kitKeys());
        for (const auto& [context, entries] : table) {
            for (const auto& [key, entry] : entries) {
                EXPECT_TRUE(entry.finished && !entry.translation.trimmed().isEmpty()) << key.toStdString();
            }
        }
    }
}

TEST(StringTableTest, PlaceholdersSurviveTranslation) {
    static const QRegularExpression placeholder(QStringLiteral("%\\d"));
    const auto placeholders = [](const QString& text) {
        std::multiset<QString> found;
        for (const QRegularExpressionMatch& match : placeholder.globalMatch(text)) {
            found.insert(match.captured());
        }
        return found;
    };
    for (const QString& language : languages) {
        for (const auto& [context, entries] : readSource(language)) {
            for (const auto& [key, entry] : entries) {
                EXPECT_EQ(placeholders(entry.translation), placeholders(key))
                    << language.toStdString() << ": " << key.toStdString();
            }
        }
    }
}

TEST(StringTableTest, CompiledTablesAnswerEveryKey) {
    for (const QString& language : languages) {
        QTranslator translator;
        ASSERT_TRUE(translator.load(QStringLiteral(TIDEWRIGHT_STRING_TABLE_FOLDER "/Tidewright_") + language +
                                    QStringLiteral(".qm")))
            << language.toStdString();
        for (const auto& [context, keys] :
             {std::pair{presentation, copyKeys()}, std::pair{kitTable, kitKeys()}}) {
            for (const QString& key : keys) {
                EXPECT_FALSE(
                    translator.translate(context.toUtf8().constData(), key.toUtf8().constData()).isEmpty())
                    << language.toStdString() << ": " << key.toStdString();
            }
        }
    }
}

TEST(StringTableTest, KitLabelsFollowTheLocaleAndShowAsWrittenWithoutAnEntry) {
    const corbel::StringBundle tables(QStringLiteral(TIDEWRIGHT_STRING_TABLE_FOLDER),
                                      QStringLiteral("Tidewright"), languages, QStringLiteral("en"));
    const QLocale german(QLocale::German);
    const QLocale english(QLocale::English);
    EXPECT_EQ(corbel::kitLabel(corbel::KitLabel::quit, german, tables), QStringLiteral("Beenden"));
    EXPECT_EQ(corbel::kitLabel(corbel::KitLabel::quit, english, tables), QStringLiteral("Quit"));
    EXPECT_EQ(corbel::kitLabel(corbel::KitLabel::versionIsHere, german, tables).arg(QStringLiteral("1.1")),
              QStringLiteral("Version 1.1 ist da"));
    // The update's instructions say what is true on this system, in the kit's own words too.
    for (const QLocale& locale : {english, german, QLocale::c()}) {
        const QString instructions = corbel::kitLabel(corbel::KitLabel::updateInstructions, locale, tables);
        EXPECT_FALSE(instructions.contains(QStringLiteral("Applications"))) << instructions.toStdString();
        EXPECT_FALSE(instructions.contains(QStringLiteral("drag"))) << instructions.toStdString();
    }
    EXPECT_EQ(corbel::kitLabel(corbel::KitLabel::updateInstructions, english, tables),
              fromView(corbel::key(corbel::KitLabel::updateInstructions)));

    const corbel::StringBundle empty(QStringLiteral("/nonexistent"), QStringLiteral("Tidewright"), languages,
                                     QStringLiteral("en"));
    for (corbel::KitLabel label : corbel::allKitLabels) {
        EXPECT_EQ(corbel::kitLabel(label, german, empty), fromView(corbel::key(label)));
    }
}

} // namespace
} // namespace tidewright
