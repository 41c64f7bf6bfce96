#pragma once
// Stops the fuzzer with the property that failed.

#include <cstdio>
#include <cstdlib>

inline void require(bool condition, const char* what) {
    if (!condition) {
        std::fprintf(stderr, "violated: %s\n", what);
        std::abort();
    }
}
