#pragma once
// The kit's fourteen text roles. Views name a role, never a font, so one table decides the whole
// product's type scale. Sizes are pixels (one point of the views is one device-independent pixel)
// times the text-size factor, which the accessibility text sizes set.

#include <QFont>
#include <QString>

#include <array>

class QWidget;

namespace corbel {

enum class CorbelFont {
    title,
    text,
    textSemibold,
    support, // body text; the application font
    supportSemibold,
    heading,
    welcomeTitle,
    mark,
    detail,
    detailSemibold,
    keyCap,
    versionLine,
    footerSymbol,
    readout, // its digits need equal widths: draw it with drawEqualWidthText (QtWorkarounds.hpp)
};

inline constexpr std::array<CorbelFont, 14> allCorbelFonts{
    CorbelFont::title,           CorbelFont::text,
    CorbelFont::textSemibold,    CorbelFont::support,
    CorbelFont::supportSemibold, CorbelFont::heading,
    CorbelFont::welcomeTitle,    CorbelFont::mark,
    CorbelFont::detail,          CorbelFont::detailSemibold,
    CorbelFont::keyCap,          CorbelFont::versionLine,
    CorbelFont::footerSymbol,    CorbelFont::readout,
};

// The text styles the roles are built on, each with its standard size in pixels.
enum class TextStyle {
    largeTitle, // 26
    title,      // 22
    title2,     // 17
    title3,     // 15
    headline,   // 13, bold
    callout,    // 12
    caption,    // 10
};

int standardPixelSize(TextStyle style) noexcept;
TextStyle textStyle(CorbelFont role) noexcept;

// The role's font in the kit's family at the style's size times `textSizeFactor` (rounded to whole
// pixels, at least 1), unhinted and without subpixel antialiasing so drawings match everywhere.
// Loads the kit's fonts on first use. REQUIRES a QGuiApplication; main thread.
QFont roleFont(CorbelFont role, double textSizeFactor = 1);

// Sets the role's font on a widget and, as Qt propagates fonts, its descendants.
void setCorbelFont(QWidget& widget, CorbelFont role, double textSizeFactor = 1);

// The kit's family, loaded from its files by absolute path so that every machine draws with the
// same faces. Answers whether all three faces (Regular, SemiBold, Bold) loaded; loads once.
// REQUIRES a QGuiApplication; main thread.
bool loadKitFonts();
QString kitFontFamily();

} // namespace corbel
