#include "platform/concurrency/WorkerThreads.hpp"

#include <pthread.h>

#include <algorithm>

namespace platform::detail {

WorkerThreads::WorkerThreads(std::size_t threads, std::string label) {
    // Thread names hold 15 characters: keep the most telling part of a reverse-DNS label.
    if (const auto dot = label.rfind('.'); dot != std::string::npos) {
        label.erase(0, dot + 1);
    }
    label.resize(std::min<std::size_t>(label.size(), 15));
    threads_.reserve(threads);
    for (std::size_t index = 0; index < threads; ++index) {
        threads_.emplace_back([this] {
            while (auto job = jobs_.waitPop()) {
                (*job)();
            }
        });
        pthread_setname_np(threads_.back().native_handle(), label.c_str());
    }
}

WorkerThreads::~WorkerThreads() {
    jobs_.close();
    for (auto& thread : threads_) {
        thread.join();
    }
}

} // namespace platform::detail
