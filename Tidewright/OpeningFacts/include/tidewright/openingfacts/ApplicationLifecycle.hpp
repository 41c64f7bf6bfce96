#pragma once
// One workspace lifecycle event of a process, as the application catalog publishes it.

#include <utility>

#include "tidewright/core/Identities.hpp"

namespace tidewright {

struct ApplicationLifecycle {
    enum class Case {
        launched,
        activated,
        deactivated,
        terminated,
    };

    Case kind;
    ProcessID process;

    static ApplicationLifecycle launched(ProcessID process) { return {Case::launched, std::move(process)}; }
    static ApplicationLifecycle activated(ProcessID process) { return {Case::activated, std::move(process)}; }
    static ApplicationLifecycle deactivated(ProcessID process) {
        return {Case::deactivated, std::move(process)};
    }
    static ApplicationLifecycle terminated(ProcessID process) {
        return {Case::terminated, std::move(process)};
    }

    bool operator==(const ApplicationLifecycle&) const = default;
};

} // namespace tidewright
