#include "platform/concurrency/WorkerThreads.hpp"

#include <pthread.h>

#include <algorithm>

namespace platform::detail {

WorkerThreads::WorkerThreads(std::size_t threads, std::string label) {
    label.resize(std::min<std::size_t>(label.size(), 15)); // the kernel's limit for thread names
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
