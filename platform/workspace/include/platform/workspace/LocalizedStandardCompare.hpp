#pragma once
// The order in which lists of applications are shown: the user's collation with numbers compared
// by value ("Item 2" before "Item 10") and case ignored, accents not.

#include <QString>

#include <compare>

namespace platform {

// Compares with a collator of ICU's default locale, numeric, at secondary strength. Safe for
// concurrent access (each thread keeps its own collator).
std::weak_ordering localizedStandardCompare(const QString& left, const QString& right);

// The same with a collator of the named locale ("de", "sv_SE"), for tests and tools.
std::weak_ordering localizedStandardCompare(const QString& left, const QString& right, const char* locale);

} // namespace platform
