#pragma once
// A main-window transport that runs a hook on the main thread before it forwards each call to the
// real one: the soak strikes there, the benchmark takes its per-step figures there.

#include "tidewright/windowcontrol/MainWindowTransporting.hpp"

#include <functional>
#include <memory>
#include <utility>

namespace tidewright::bench {

class HookedTransport final : public MainWindowTransporting {
public:
    // Told the name of the call about to be made.
    using Hook = std::function<void(const char* call)>;

    HookedTransport(std::shared_ptr<MainWindowTransporting> inner, Hook hook)
        : inner_(std::move(inner)), hook_(std::move(hook)) {}

    platform::Async<DesktopFrame> mainWindowFrame(ProcessID process, ContinuousInstant deadline,
                                                  std::shared_ptr<WindowOperationPermit> permit) override {
        hook_("mainWindowFrame");
        return inner_->mainWindowFrame(std::move(process), deadline, std::move(permit));
    }
    platform::Async<SizeCapabilities>
    sizeCapabilities(ProcessID process, DesktopFrame frame, ContinuousInstant deadline,
                     std::shared_ptr<WindowOperationPermit> permit) override {
        hook_("sizeCapabilities");
        return inner_->sizeCapabilities(std::move(process), frame, deadline, std::move(permit));
    }
    platform::Async<> setFrame(ProcessID process, DesktopFrame expected, DesktopFrame target,
                               ContinuousInstant deadline,
                               std::shared_ptr<WindowOperationPermit> permit) override {
        hook_("setFrame");
        return inner_->setFrame(std::move(process), expected, target, deadline, std::move(permit));
    }
    platform::Async<> setOrigin(ProcessID process, DesktopFrame expected, DesktopPoint target,
                                ContinuousInstant deadline,
                                std::shared_ptr<WindowOperationPermit> permit) override {
        hook_("setOrigin");
        return inner_->setOrigin(std::move(process), expected, target, deadline, std::move(permit));
    }

private:
    std::shared_ptr<MainWindowTransporting> inner_;
    Hook hook_;
};

} // namespace tidewright::bench
