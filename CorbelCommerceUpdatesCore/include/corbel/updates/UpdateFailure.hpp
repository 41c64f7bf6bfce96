#pragma once
// Why a check of the update feed gave no manifest. Thrown as itself by the feed and the decoder.

#include <string_view>

namespace corbel {

class UpdateFailure {
public:
    // Stored nowhere, but logged by name.
    enum class Case {
        // No usable answer: the request failed, timed out, was redirected, or was not a 200.
        unreachable,
        // The site answered with a body over the size limit or one that is not a feed document.
        unreadable,
        // The site answered with a feed of a format this version does not understand.
        unknownFormat,
    };

    static constexpr UpdateFailure unreachable() noexcept { return UpdateFailure(Case::unreachable); }
    static constexpr UpdateFailure unreadable() noexcept { return UpdateFailure(Case::unreadable); }
    static constexpr UpdateFailure unknownFormat() noexcept { return UpdateFailure(Case::unknownFormat); }

    constexpr Case kind() const noexcept { return kind_; }
    // Whether the site gave an answer at all; the schedule waits longer after one.
    constexpr bool siteAnswered() const noexcept { return kind_ != Case::unreachable; }
    // The case's name, for the log.
    std::string_view name() const noexcept;

    bool operator==(const UpdateFailure&) const = default;

private:
    constexpr explicit UpdateFailure(Case kind) noexcept : kind_(kind) {}
    Case kind_;
};

} // namespace corbel
