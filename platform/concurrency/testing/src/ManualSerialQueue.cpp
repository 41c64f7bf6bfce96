#include "platform/concurrency/ManualSerialQueue.hpp"

namespace platform {

bool ManualSerialQueue::step() {
    auto job = jobs_.tryPop();
    if (!job) {
        return false;
    }
    (*job)();
    return true;
}

} // namespace platform
