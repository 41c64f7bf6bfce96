#pragma once
// Whole-file reads and writes for tests that look at or tamper with what a store left on disk.

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace platform::testing {

inline std::string readFile(const std::filesystem::path& path) {
    std::ifstream input(path, std::ios::binary);
    std::stringstream text;
    text << input.rdbuf();
    return text.str();
}

inline void writeFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

} // namespace platform::testing
