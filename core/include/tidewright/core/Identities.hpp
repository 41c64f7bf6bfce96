#pragma once
// Who an application is, which run of it a process is, and which window, opening opportunity and
// window request belong to it: small immutable values used as keys throughout the system.

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "tidewright/core/DecodingError.hpp"
#include "tidewright/core/Hashing.hpp"

namespace tidewright {

// The one refusal of identity construction; thrown as the value itself.
enum class IdentityError {
    invalidBundleID,
};

// An application's bundle identifier: at most 255 bytes, at least two non-empty dot-separated
// parts, only ASCII letters, digits, "-" and ".". Stored exactly as supplied.
class BundleID {
public:
    // Throws IdentityError::invalidBundleID when the text is refused.
    explicit BundleID(std::string rawValue);

    static bool isValid(std::string_view text) noexcept;

    const std::string& rawValue() const noexcept { return rawValue_; }

    bool operator==(const BundleID&) const = default;
    // Byte order of the text: "com.Example" < "com.example", "com.a" < "com.a.b".
    std::strong_ordering operator<=>(const BundleID& other) const noexcept {
        return rawValue_.compare(other.rawValue_) <=> 0;
    }

private:
    std::string rawValue_;
};

struct ProcessID {
    BundleID app;
    std::int32_t pid;
    // Issued by the application catalog, so a reused process number is a new identity.
    std::uint64_t incarnation;

    bool operator==(const ProcessID&) const = default;
};

struct WindowID {
    ProcessID process;
    std::uint64_t token;

    bool operator==(const WindowID&) const = default;
};

struct OpeningCycleID {
    ProcessID process;
    std::uint64_t ordinal;

    bool operator==(const OpeningCycleID&) const = default;
};

struct RequestID {
    std::uint64_t ordinal;

    bool operator==(const RequestID&) const = default;
};

} // namespace tidewright

template <>
struct std::hash<tidewright::BundleID> {
    std::size_t operator()(const tidewright::BundleID& id) const noexcept {
        return tidewright::hashFields(id.rawValue());
    }
};

template <>
struct std::hash<tidewright::ProcessID> {
    std::size_t operator()(const tidewright::ProcessID& id) const noexcept {
        return tidewright::hashFields(id.app, id.pid, id.incarnation);
    }
};

template <>
struct std::hash<tidewright::WindowID> {
    std::size_t operator()(const tidewright::WindowID& id) const noexcept {
        return tidewright::hashFields(id.process, id.token);
    }
};

template <>
struct std::hash<tidewright::OpeningCycleID> {
    std::size_t operator()(const tidewright::OpeningCycleID& id) const noexcept {
        return tidewright::hashFields(id.process, id.ordinal);
    }
};

template <>
struct std::hash<tidewright::RequestID> {
    std::size_t operator()(const tidewright::RequestID& id) const noexcept {
        return tidewright::hashFields(id.ordinal);
    }
};

// A bundle identifier codes as one bare JSON string. Decoding a refused text throws
// IdentityError::invalidBundleID itself; a value that is not a string throws
// DecodingError::typeMismatch.
template <>
struct nlohmann::adl_serializer<tidewright::BundleID> {
    static tidewright::BundleID from_json(const nlohmann::json& j) {
        if (!j.is_string()) {
            throw tidewright::DecodingError{tidewright::DecodingError::Kind::typeMismatch,
                                            "a bundle identifier must be a string"};
        }
        return tidewright::BundleID(j.get<std::string>());
    }
    static void to_json(nlohmann::json& j, const tidewright::BundleID& id) { j = id.rawValue(); }
};
