#include "platform/concurrency/Continuation.hpp"

#include <cstdio>
#include <cstdlib>

namespace platform::detail {

void continuationResumedTwice(const std::string& label) noexcept {
    std::fprintf(stderr, "platform: continuation %s resumed twice\n", label.c_str());
    std::abort();
}

void continuationDropped(const std::string& label) noexcept {
    std::fprintf(stderr, "platform: continuation %s dropped without being resumed\n", label.c_str());
}

} // namespace platform::detail
