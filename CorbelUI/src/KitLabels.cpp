#include "corbel/ui/KitLabels.hpp"

#include <cstddef>

namespace corbel {

std::string_view key(KitLabel label) noexcept {
    constexpr std::array<std::string_view, allKitLabels.size()> keys{
        "Quit",
        "Getting Started",
        "Preferences",
        "Turn on",
        "Turn off",
        "Not now",
        "Download",
        "Open at Login",
        "Allowed",
        "Not allowed yet",
        "Optional",
        "Get Started",
        "Version %1 is here",
        "Download the new version and install it. Your settings stay.",
        "No data collected",
        "No internet, no data collected",
    };
    return keys[static_cast<std::size_t>(label)];
}

QString kitLabel(KitLabel label, const QLocale& locale) {
    return kitLabel(label, locale, StringBundle::main());
}

QString kitLabel(KitLabel label, const QLocale& locale, const StringBundle& bundle) {
    const std::string_view text = key(label);
    return localizedString(
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())),
        QString::fromUtf8(kitLabelTable.data(), static_cast<qsizetype>(kitLabelTable.size())), locale,
        bundle);
}

} // namespace corbel
