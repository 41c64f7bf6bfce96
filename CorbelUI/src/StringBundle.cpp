#include "corbel/ui/StringBundle.hpp"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTranslator>

#include <utility>

namespace corbel {

// Loaded files by localisation; a file that failed to load is remembered as null. Shared by the
// copies of one bundle, used on the main thread only.
struct StringBundle::Cache {
    std::map<QString, std::unique_ptr<QTranslator>> translators;
};

StringBundle::StringBundle(QString folder, QString stem, QStringList localizations,
                           QString developmentLocalization)
    : folder_(std::move(folder)), stem_(std::move(stem)), localizations_(std::move(localizations)),
      development_(std::move(developmentLocalization)), cache_(std::make_shared<Cache>()) {}

StringBundle StringBundle::beside(const QString& executablePath) {
    const QFileInfo executable(executablePath);
    const QString stem = executable.fileName();
    const QString prefix = stem + QLatin1Char('_');
    QStringList localizations;
    const QStringList files =
        executable.dir().entryList({prefix + QStringLiteral("*.qm")}, QDir::Files, QDir::Name);
    for (const QString& file : files) {
        localizations.append(file.mid(prefix.size(), file.size() - prefix.size() - 3));
    }
    return StringBundle(executable.absolutePath(), stem, localizations, QStringLiteral("en"));
}

const StringBundle& StringBundle::main() {
    static const StringBundle bundle = beside(QCoreApplication::applicationFilePath());
    return bundle;
}

QStringList StringBundle::preferredLocalizations(const QLocale& locale) const {
    // QLocale("de") reads as German in Germany, so only a localisation that names its territory
    // matches on territory; after that a bare language beats another territory's variant.
    enum Fit { sameRegion, bareLanguage, otherRegion, none };
    const auto fit = [&](const QString& localization) {
        const QLocale candidate(localization);
        if (locale.language() == QLocale::C || candidate.language() != locale.language()) {
            return none;
        }
        if (!localization.contains(QLatin1Char('_')) && !localization.contains(QLatin1Char('-'))) {
            return bareLanguage;
        }
        return candidate.territory() == locale.territory() && candidate.script() == locale.script()
                   ? sameRegion
                   : otherRegion;
    };
    const QString* best = nullptr;
    Fit bestFit = none;
    for (const QString& localization : localizations_) {
        if (const Fit f = fit(localization); f < bestFit) {
            best = &localization;
            bestFit = f;
        }
    }
    if (best != nullptr) {
        return {*best};
    }
    if (localizations_.contains(development_)) {
        return {development_};
    }
    return {};
}

QString StringBundle::pathOf(const QString& localization) const {
    return folder_ + QLatin1Char('/') + stem_ + QLatin1Char('_') + localization + QStringLiteral(".qm");
}

const QTranslator* StringBundle::translator(const QString& localization) const {
    auto [entry, inserted] = cache_->translators.try_emplace(localization);
    if (inserted) {
        auto loaded = std::make_unique<QTranslator>();
        if (loaded->load(pathOf(localization))) {
            entry->second = std::move(loaded);
        }
    }
    return entry->second.get();
}

std::optional<StringBundle> StringBundle::localizationBundle(const QString& localization) const {
    if (!QFileInfo(pathOf(localization)).isFile() || translator(localization) == nullptr) {
        return std::nullopt;
    }
    StringBundle bundle = *this;
    bundle.only_ = localization;
    return bundle;
}

QString StringBundle::localizedString(const QString& key, const QString& table) const {
    QString localization;
    if (only_) {
        localization = *only_;
    } else {
        const QStringList preferred = preferredLocalizations(QLocale());
        if (preferred.isEmpty()) {
            return key;
        }
        localization = preferred.first();
    }
    const QTranslator* source = translator(localization);
    if (source == nullptr) {
        return key;
    }
    const QString text = source->translate(table.toUtf8().constData(), key.toUtf8().constData());
    return text.isEmpty() ? key : text;
}

QString localizedString(const QString& key, const QString& table, const QLocale& locale,
                        const StringBundle& bundle) {
    const QStringList preferred = bundle.preferredLocalizations(locale);
    if (!preferred.isEmpty()) {
        if (std::optional<StringBundle> localized = bundle.localizationBundle(preferred.first())) {
            return localized->localizedString(key, table);
        }
    }
    return bundle.localizedString(key, table);
}

} // namespace corbel
