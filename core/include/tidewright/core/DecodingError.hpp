#pragma once
// The core's JSON decoding failure. The three kinds stay apart so that a caller can tell a value of
// the wrong type from a missing key and from data that is well-formed but means nothing.

#include <string>

namespace tidewright {

struct DecodingError {
    enum class Kind {
        typeMismatch,
        keyNotFound,
        dataCorrupted,
    };

    Kind kind;
    // What was being decoded and why it failed, for logs only.
    std::string detail;

    bool operator==(const DecodingError&) const = default;
};

} // namespace tidewright
