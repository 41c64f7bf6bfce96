#pragma once
// A folder of compiled string tables with one file per localisation ("<stem>_<localisation>.qm"),
// each file holding the tables as its translation contexts. The application's own bundle is the
// folder of the executable, where the build puts the tables named after the executable.

#include <QLocale>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <optional>

class QTranslator;

namespace corbel {

class StringBundle {
public:
    // `localizations` are those the bundle declares, whether or not their files exist.
    StringBundle(QString folder, QString stem, QStringList localizations, QString developmentLocalization);

    // The tables beside an executable and named after it, one localisation per file found; English
    // is the development localisation.
    static StringBundle beside(const QString& executablePath);
    // The tables beside this process's executable. REQUIRES a QCoreApplication; main thread.
    static const StringBundle& main();

    const QString& folder() const noexcept { return folder_; }
    const QStringList& localizations() const noexcept { return localizations_; }
    const QString& developmentLocalization() const noexcept { return development_; }

    // The declared localisation that suits the locale best: the same language, territory and
    // script, then the same language. With no match, the development localisation. Empty only when
    // nothing suits and the development localisation is not declared.
    QStringList preferredLocalizations(const QLocale& locale) const;

    // The bundle of one localisation, when its file exists and loads.
    std::optional<StringBundle> localizationBundle(const QString& localization) const;

    // The bundle's own lookup: a localisation's bundle reads its one file; any other reads the
    // localisation preferred for the process's locale. A key without an entry comes back unchanged.
    // REQUIRES the main thread.
    QString localizedString(const QString& key, const QString& table) const;

private:
    struct Cache;

    QString pathOf(const QString& localization) const;
    const QTranslator* translator(const QString& localization) const;

    QString folder_;
    QString stem_;
    QStringList localizations_;
    QString development_;
    std::optional<QString> only_; // set in a localisation's bundle
    std::shared_ptr<Cache> cache_;
};

// The text of a key for a locale: the locale's localisation is chosen explicitly, so a view can
// show another language than the process's own. A chosen localisation whose file is missing falls
// back to the bundle's own lookup. REQUIRES the main thread.
QString localizedString(const QString& key, const QString& table, const QLocale& locale,
                        const StringBundle& bundle);

} // namespace corbel
