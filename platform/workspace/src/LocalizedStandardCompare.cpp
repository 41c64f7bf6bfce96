#include "platform/workspace/LocalizedStandardCompare.hpp"

#include <unicode/ucol.h>

#include <map>
#include <memory>
#include <string>

namespace platform {

namespace {

struct CollatorCloser {
    void operator()(UCollator* collator) const noexcept { ucol_close(collator); }
};
using Collator = std::unique_ptr<UCollator, CollatorCloser>;

Collator openCollator(const char* locale) {
    UErrorCode status = U_ZERO_ERROR;
    Collator collator(ucol_open(locale, &status));
    if (U_FAILURE(status)) {
        // The root collation is always there.
        status = U_ZERO_ERROR;
        collator.reset(ucol_open("", &status));
    }
    if (collator) {
        ucol_setAttribute(collator.get(), UCOL_NUMERIC_COLLATION, UCOL_ON, &status);
        ucol_setStrength(collator.get(), UCOL_SECONDARY);
    }
    return collator;
}

UCollator* collatorFor(const char* locale) {
    thread_local std::map<std::string, Collator> collators;
    auto& slot = collators[locale];
    if (!slot) {
        slot = openCollator(locale);
    }
    return slot.get();
}

std::weak_ordering compare(UCollator* collator, const QString& left, const QString& right) {
    if (collator == nullptr) {
        return left.compare(right) <=> 0;
    }
    const UCollationResult result = ucol_strcoll(
        collator, reinterpret_cast<const UChar*>(left.constData()), static_cast<int32_t>(left.size()),
        reinterpret_cast<const UChar*>(right.constData()), static_cast<int32_t>(right.size()));
    return result == UCOL_LESS      ? std::weak_ordering::less
           : result == UCOL_GREATER ? std::weak_ordering::greater
                                    : std::weak_ordering::equivalent;
}

} // namespace

std::weak_ordering localizedStandardCompare(const QString& left, const QString& right) {
    // An empty name opens ICU's default locale, which it takes from the environment.
    return compare(collatorFor(""), left, right);
}

std::weak_ordering localizedStandardCompare(const QString& left, const QString& right, const char* locale) {
    return compare(collatorFor(locale), left, right);
}

} // namespace platform
