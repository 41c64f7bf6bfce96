#pragma once
// A key-to-bytes store in memory that records its writes, for tests of the layers above.

#include <map>
#include <string>
#include <vector>

#include "corbel/preferences/PreferenceStorage.hpp"

namespace corbel {

class MemoryPreferenceStorage : public PreferenceStorage {
public:
    std::optional<std::string> data(std::string_view key) override {
        const auto found = values.find(std::string(key));
        if (found == values.end()) {
            return std::nullopt;
        }
        return found->second;
    }
    void set(std::string_view key, std::string bytes) override {
        writes.push_back("set " + std::string(key));
        values[std::string(key)] = std::move(bytes);
    }
    void removeObject(std::string_view key) override {
        writes.push_back("remove " + std::string(key));
        values.erase(std::string(key));
    }

    std::map<std::string, std::string> values;
    // Every set and remove, in order, as "set KEY" or "remove KEY".
    std::vector<std::string> writes;
};

} // namespace corbel
