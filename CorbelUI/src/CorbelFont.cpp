#include "corbel/ui/CorbelFont.hpp"

#include <QFontDatabase>
#include <QLoggingCategory>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace corbel {
namespace {

Q_LOGGING_CATEGORY(fontsLog, "app.corbelthane.tidewright.ui.fonts")

// The faces of the pinned package (fonts-inter), by absolute path.
constexpr std::array<const char*, 3> kitFontFiles{
    "/usr/share/fonts/opentype/inter/Inter-Regular.otf",
    "/usr/share/fonts/opentype/inter/Inter-SemiBold.otf",
    "/usr/share/fonts/opentype/inter/Inter-Bold.otf",
};

struct Role {
    TextStyle style;
    QFont::Weight weight;
};

constexpr std::array<Role, allCorbelFonts.size()> roles{{
    {TextStyle::largeTitle, QFont::Bold},  // title
    {TextStyle::title2, QFont::Normal},    // text
    {TextStyle::title2, QFont::DemiBold},  // textSemibold
    {TextStyle::title3, QFont::Normal},    // support
    {TextStyle::title3, QFont::DemiBold},  // supportSemibold
    {TextStyle::headline, QFont::Bold},    // heading: the headline style is bold by itself
    {TextStyle::title2, QFont::Bold},      // welcomeTitle
    {TextStyle::title2, QFont::Normal},    // mark
    {TextStyle::callout, QFont::Normal},   // detail
    {TextStyle::callout, QFont::DemiBold}, // detailSemibold
    {TextStyle::callout, QFont::DemiBold}, // keyCap
    {TextStyle::caption, QFont::Normal},   // versionLine
    {TextStyle::title3, QFont::Normal},    // footerSymbol
    {TextStyle::title, QFont::DemiBold},   // readout
}};

} // namespace

int standardPixelSize(TextStyle style) noexcept {
    switch (style) {
    case TextStyle::largeTitle:
        return 26;
    case TextStyle::title:
        return 22;
    case TextStyle::title2:
        return 17;
    case TextStyle::title3:
        return 15;
    case TextStyle::headline:
        return 13;
    case TextStyle::callout:
        return 12;
    case TextStyle::caption:
        break;
    }
    return 10;
}

TextStyle textStyle(CorbelFont role) noexcept {
    return roles[static_cast<std::size_t>(role)].style;
}

bool loadKitFonts() {
    static const bool loaded = [] {
        bool all = true;
        for (const char* file : kitFontFiles) {
            if (QFontDatabase::addApplicationFont(QString::fromUtf8(file)) < 0) {
                qCWarning(fontsLog, "cannot load font %s", file);
                all = false;
            }
        }
        return all;
    }();
    return loaded;
}

QString kitFontFamily() {
    return QStringLiteral("Inter");
}

QFont roleFont(CorbelFont role, double textSizeFactor) {
    loadKitFonts();
    const Role& entry = roles[static_cast<std::size_t>(role)];
    QFont result(kitFontFamily());
    const double size = standardPixelSize(entry.style) * textSizeFactor;
    result.setPixelSize(std::max(1, static_cast<int>(std::lround(size))));
    result.setWeight(entry.weight);
    result.setHintingPreference(QFont::PreferNoHinting);
    result.setStyleStrategy(QFont::StyleStrategy(QFont::PreferAntialias | QFont::NoSubpixelAntialias));
    return result;
}

void setCorbelFont(QWidget& widget, CorbelFont role, double textSizeFactor) {
    widget.setFont(roleFont(role, textSizeFactor));
}

} // namespace corbel
