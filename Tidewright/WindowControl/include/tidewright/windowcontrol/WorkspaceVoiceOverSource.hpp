#pragma once
// The screen-reader state as the hot-key service reads it, over the platform's status: change
// reports hop to the main executor and are dropped when the source stopped (or was restarted)
// meanwhile.

#include <cstdint>
#include <memory>

#include "platform/concurrency/Executor.hpp"
#include "platform/screenreader/ScreenReaderStatus.hpp"
#include "tidewright/windowcontrol/VoiceOverReading.hpp"

namespace tidewright {

// REQUIRES: used on the main thread, whose executor is mainExecutor; both outlive the source.
class WorkspaceVoiceOverSource final : public VoiceOverReading,
                                       public std::enable_shared_from_this<WorkspaceVoiceOverSource> {
    struct Token {};

public:
    static std::shared_ptr<WorkspaceVoiceOverSource> make(platform::ScreenReaderStatus& workspace,
                                                          platform::Executor& mainExecutor);
    WorkspaceVoiceOverSource(Token, platform::ScreenReaderStatus& workspace, platform::Executor& mainExecutor)
        : workspace_(workspace), mainExecutor_(mainExecutor) {}
    ~WorkspaceVoiceOverSource() override;
    WorkspaceVoiceOverSource(const WorkspaceVoiceOverSource&) = delete;
    WorkspaceVoiceOverSource& operator=(const WorkspaceVoiceOverSource&) = delete;

    bool isEnabled() const override { return workspace_.isVoiceOverEnabled(); }
    void start() override;
    void stop() override;

private:
    platform::ScreenReaderStatus& workspace_;
    platform::Executor& mainExecutor_;
    std::unique_ptr<platform::ScreenReaderObservation> observation_;
    std::uint64_t epoch_ = 0;
};

} // namespace tidewright
