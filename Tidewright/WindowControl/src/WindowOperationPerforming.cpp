#include "tidewright/windowcontrol/WindowOperationPerforming.hpp"

#include <stdexcept>
#include <utility>

namespace tidewright {

MainWindowServicePerformer::MainWindowServicePerformer(std::shared_ptr<MainWindowService> service)
    : service_(std::move(service)) {
    if (service_ == nullptr) {
        throw std::invalid_argument("MainWindowServicePerformer needs a service");
    }
}

platform::Async<WindowOperationOutcome> MainWindowServicePerformer::perform(FixedShortcut shortcut,
                                                                            Authorize authorize) {
    return service_->perform(shortcut, std::move(authorize));
}

platform::Async<WindowOperationOutcome>
MainWindowServicePerformer::performCorrelated(OpeningObservationProposal proposal, Authorize authorize,
                                              Observe observe) {
    return service_->performCorrelated(std::move(proposal), std::move(authorize), std::move(observe));
}

void MainWindowServicePerformer::cancel() {
    service_->cancel();
}

} // namespace tidewright
