#include "tidewright/windowcontrol/WorkspaceVoiceOverSource.hpp"

namespace tidewright {

std::shared_ptr<WorkspaceVoiceOverSource>
WorkspaceVoiceOverSource::make(platform::ScreenReaderStatus& workspace, platform::Executor& mainExecutor) {
    return std::make_shared<WorkspaceVoiceOverSource>(Token{}, workspace, mainExecutor);
}

WorkspaceVoiceOverSource::~WorkspaceVoiceOverSource() {
    stop();
}

void WorkspaceVoiceOverSource::start() {
    if (observation_ != nullptr) {
        return;
    }
    std::weak_ptr<WorkspaceVoiceOverSource> weak = weak_from_this();
    const std::uint64_t epoch = epoch_;
    platform::Executor& executor = mainExecutor_;
    // The handler may run on any thread: it only captures values and posts.
    observation_ = workspace_.observeVoiceOverEnabled([weak, epoch, &executor] {
        executor.post([weak, epoch] {
            auto self = weak.lock();
            if (self && self->epoch_ == epoch && self->observation_ != nullptr && self->onChange) {
                self->onChange();
            }
        });
    });
}

void WorkspaceVoiceOverSource::stop() {
    ++epoch_;
    if (observation_ != nullptr) {
        observation_->invalidate();
        observation_.reset();
    }
}

} // namespace tidewright
