#pragma once
// The kit's own fixed labels. Each one's English wording is its key in the application's default
// table ("Default"); where the table has no entry the wording shows as written.

#include "corbel/ui/StringBundle.hpp"

#include <QLocale>
#include <QString>

#include <array>
#include <string_view>

namespace corbel {

inline constexpr std::string_view kitLabelTable = "Default";

enum class KitLabel {
    quit,
    gettingStarted,
    preferences,
    turnOn,
    turnOff,
    notNow,
    download,
    openAtLogin,
    allowed,
    notAllowedYet,
    optional,
    getStarted,
    versionIsHere, // "%1" is the offered version
    updateInstructions,
    noDataCollected,
    noInternetNoDataCollected,
};

inline constexpr std::array<KitLabel, 16> allKitLabels{
    KitLabel::quit,
    KitLabel::gettingStarted,
    KitLabel::preferences,
    KitLabel::turnOn,
    KitLabel::turnOff,
    KitLabel::notNow,
    KitLabel::download,
    KitLabel::openAtLogin,
    KitLabel::allowed,
    KitLabel::notAllowedYet,
    KitLabel::optional,
    KitLabel::getStarted,
    KitLabel::versionIsHere,
    KitLabel::updateInstructions,
    KitLabel::noDataCollected,
    KitLabel::noInternetNoDataCollected,
};

std::string_view key(KitLabel label) noexcept;

// The label for the locale, from the application's tables unless another bundle is given.
// REQUIRES the main thread.
QString kitLabel(KitLabel label, const QLocale& locale);
QString kitLabel(KitLabel label, const QLocale& locale, const StringBundle& bundle);

} // namespace corbel
