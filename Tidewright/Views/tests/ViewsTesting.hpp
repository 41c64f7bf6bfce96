#pragma once
// What the preferences and welcome tests share: hosts in the kit's palette and a language, the
// goldens of this module, readable names and the fixtures' rules.

#include "corbel/ui/ColorScheme.hpp"
#include "corbel/ui/KitColors.hpp"
#include "corbel/ui/QtWorkarounds.hpp"
#include "corbel/ui/testing/GoldenImages.hpp"
#include "tidewright/applications/TidewrightRulePresentation.hpp"

#include <QAccessible>
#include <QLocale>
#include <QPainter>
#include <QPixmap>
#include <QWidget>

#include <ostream>
#include <string>
#include <vector>

inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace tidewright::testing {

inline corbel::testing::GoldenImages goldens() {
    return {QStringLiteral(CORBEL_GOLDEN_FOLDER), QStringLiteral(CORBEL_GOLDEN_FAILURE_FOLDER)};
}

inline const QLocale english{QLocale::English, QLocale::UnitedStates};
inline const QLocale german{QLocale::German, QLocale::Germany};

// A window in the kit's palette for the scheme, in a language.
inline void prepareHost(QWidget& host, corbel::ColorScheme scheme, const QLocale& locale = english) {
    host.setPalette(corbel::kitPalette(scheme, false, corbel::systemColor(corbel::SystemColor::accent, scheme)));
    host.setAutoFillBackground(true);
    host.setLocale(locale);
}

inline const char* schemeName(corbel::ColorScheme scheme) {
    return scheme == corbel::ColorScheme::dark ? "dark" : "light";
}

inline QString accessibleText(QWidget& widget, QAccessible::Text text = QAccessible::Name) {
    QAccessibleInterface* interface = QAccessible::queryAccessibleInterface(&widget);
    return interface != nullptr ? interface->text(text) : QString();
}

// A plain coloured square with a letter, as an application icon.
inline QIcon letterIcon(QColor color, QChar letter) {
    QPixmap pixmap(64, 64);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(color);
    painter.drawRoundedRect(QRectF(2, 2, 60, 60), 14, 14);
    QFont font = painter.font();
    font.setPixelSize(34);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(QRectF(0, 0, 64, 64), Qt::AlignCenter, QString(letter));
    painter.end();
    return QIcon(pixmap);
}

inline TidewrightRulePresentation rule(const std::string& id, const QString& name, OpeningAction action,
                                       std::optional<QIcon> icon = std::nullopt) {
    return {BundleID(id), name, action, std::move(icon)};
}

} // namespace tidewright::testing
