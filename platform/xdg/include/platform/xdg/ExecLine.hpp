#pragma once
// The command of a desktop entry's Exec key, split and expanded by the Desktop Entry rules.

#include <QString>
#include <QStringList>

#include <optional>

namespace platform::xdg {

// Splits an Exec value (its string escapes already resolved) into arguments: blanks separate
// them outside double quotes; inside, \" \` \$ and \\ stand for the character. Field codes stay
// as written. Nothing when a quote is left open or the line holds no argument.
std::optional<QStringList> splitExec(const QString& exec);

struct FieldValues {
    QString icon;     // %i becomes "--icon" and this, when it is not empty
    QString name;     // %c
    QString location; // %k: the entry's file
};

// Expands the field codes for a launch without files: %f %u %F %U and the deprecated codes
// vanish (an argument that was only such a code goes away), %i %c %k take their values, %%
// is "%".
QStringList expandFieldCodes(const QStringList& arguments, const FieldValues& values);

} // namespace platform::xdg
