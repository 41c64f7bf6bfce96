#include "tidewright/app/LocalWelcomeHistory.hpp"

#include <string>

namespace tidewright {

bool LocalWelcomeHistory::hasPresented() const {
    return defaults_.string(key) == std::string(presented);
}

void LocalWelcomeHistory::markPresented() {
    defaults_.setString(key, std::string(presented));
}

} // namespace tidewright
