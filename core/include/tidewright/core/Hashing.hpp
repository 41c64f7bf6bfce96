#pragma once
// Field-by-field hashing for the core's value types: fields are fed in declaration order, so equal
// values hash equally and nested identities hash as their fields.

#include <cstddef>
#include <functional>

namespace tidewright {

inline void hashCombine(std::size_t& seed, std::size_t value) {
    seed ^= value + 0x9e3779b97f4a7c15ULL + (seed << 6) + (seed >> 2);
}

template <typename... Fields>
std::size_t hashFields(const Fields&... fields) {
    std::size_t seed = 0;
    (hashCombine(seed, std::hash<Fields>{}(fields)), ...);
    return seed;
}

} // namespace tidewright
