#pragma once
// Whether the window transport switches an application's enhanced user interface back on after a
// move. A fixed list of browsers keeps it off, unless assistive technology needs it.

#include "tidewright/core/Identities.hpp"

#include <array>
#include <string_view>

namespace tidewright {

struct EnhancedInterfacePolicy {
    EnhancedInterfacePolicy() = delete;

    // Matched exactly or as a prefix followed by ".", case-sensitive.
    static constexpr std::array<std::string_view, 17> browsers{
        "com.google.Chrome",
        "org.chromium.Chromium",
        "com.microsoft.edgemac",
        "com.brave.Browser",
        "com.vivaldi.Vivaldi",
        "com.operasoftware.Opera",
        "com.operasoftware.OperaNext",
        "com.operasoftware.OperaDeveloper",
        "com.operasoftware.OperaNightly",
        "com.operasoftware.OperaGX",
        "com.operasoftware.OperaGXNext",
        "com.operasoftware.OperaGXDeveloper",
        "com.operasoftware.OperaGXNightly",
        "company.thebrowser.Browser",
        "company.thebrowser.dia",
        "ai.perplexity.comet",
        "com.openai.atlas",
    };

    // True when the transport should switch the enhanced interface on again after a move.
    // Pure; safe to call from any thread.
    static bool restoresAfterMove(const BundleID& app, bool assistiveTechnologyRunning) noexcept;
};

} // namespace tidewright
