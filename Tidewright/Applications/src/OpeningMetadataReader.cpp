#include "tidewright/applications/OpeningMetadataReader.hpp"

#include "tidewright/windowcontrol/WindowOperationFailure.hpp"

#include <algorithm>
#include <stop_token>

namespace tidewright {

namespace {

struct RevokeOnCancel {
    std::shared_ptr<WindowOperationPermit> permit;
    void operator()() const noexcept { permit->revoke(); } // thread-safe: it only flips the flag
};

} // namespace

std::shared_ptr<OpeningMetadataReader>
OpeningMetadataReader::create(std::shared_ptr<MainWindowTransporting> main,
                              std::shared_ptr<WindowPresenceTransporting> presence, Facts facts,
                              Processes processes, platform::Clock& clock) {
    return std::shared_ptr<OpeningMetadataReader>(new OpeningMetadataReader(
        std::move(main), std::move(presence), std::move(facts), std::move(processes), clock));
}

OpeningMetadataReader::OpeningMetadataReader(std::shared_ptr<MainWindowTransporting> main,
                                             std::shared_ptr<WindowPresenceTransporting> presence,
                                             Facts facts, Processes processes, platform::Clock& clock)
    : main_(std::move(main)), presenceTransport_(std::move(presence)), facts_(std::move(facts)),
      processes_(std::move(processes)), clock_(clock) {}

OpeningMetadataReader::~OpeningMetadataReader() {
    revokeAllPermits();
}

void OpeningMetadataReader::revokeAllPermits() {
    for (auto& [key, permit] : permits_)
        permit->revoke();
    permits_.clear();
}

bool OpeningMetadataReader::isListed(const ProcessID& process) const {
    const std::vector<ProcessID> known = processes_();
    return std::find(known.begin(), known.end(), process) != known.end();
}

bool OpeningMetadataReader::allows(const OpeningObservationFacts& facts, const ProcessID& process) const {
    return facts.operationAllowed && facts.rules.contains(process.app) && isListed(process);
}

std::pair<std::uint64_t, std::shared_ptr<WindowOperationPermit>> OpeningMetadataReader::issuePermit() {
    auto permit = std::make_shared<WindowOperationPermit>();
    const std::uint64_t key = ++nextPermit_;
    permits_.emplace(key, permit);
    return {key, permit};
}

platform::Async<OpeningWindowPresence> OpeningMetadataReader::windowPresence(ProcessID process,
                                                                             ContinuousInstant deadline) {
    const OpeningObservationFacts before = facts_();
    if (!allows(before, process) || platform::isCancelled())
        co_return OpeningWindowPresence::unknown;
    auto [key, permit] = issuePermit();
    std::weak_ptr<OpeningMetadataReader> weak = weak_from_this();
    std::shared_ptr<WindowPresenceTransporting> transport = presenceTransport_;
    OpeningWindowPresence answer = OpeningWindowPresence::unknown;
    {
        std::stop_callback<RevokeOnCancel> onCancel(platform::currentStopToken(), RevokeOnCancel{permit});
        answer = co_await transport->windowPresence(process, deadline, permit);
    }
    auto self = weak.lock();
    if (!self)
        co_return OpeningWindowPresence::unknown;
    self->permits_.erase(key);
    if (platform::isCancelled())
        co_return OpeningWindowPresence::unknown;
    const OpeningObservationFacts after = self->facts_();
    if (!(after == before) || !self->allows(after, process))
        co_return OpeningWindowPresence::unknown;
    try {
        permit->check(deadline, self->clock_.now());
    } catch (const WindowOperationFailure&) {
        co_return OpeningWindowPresence::unknown;
    }
    co_return answer;
}

platform::Async<std::optional<DesktopFrame>>
OpeningMetadataReader::mainWindowFrame(ProcessID process, ContinuousInstant deadline) {
    const OpeningObservationFacts before = facts_();
    if (!allows(before, process) || before.frontmost != process || platform::isCancelled())
        co_return std::nullopt;
    auto [key, permit] = issuePermit();
    std::weak_ptr<OpeningMetadataReader> weak = weak_from_this();
    std::shared_ptr<MainWindowTransporting> transport = main_;
    std::optional<DesktopFrame> frame;
    bool failed = false;
    {
        std::stop_callback<RevokeOnCancel> onCancel(platform::currentStopToken(), RevokeOnCancel{permit});
        try {
            frame = co_await transport->mainWindowFrame(process, deadline, permit);
        } catch (const WindowOperationFailure&) {
            failed = true;
        }
    }
    auto self = weak.lock();
    if (!self)
        co_return std::nullopt;
    self->permits_.erase(key);
    if (failed || platform::isCancelled())
        co_return std::nullopt;
    const OpeningObservationFacts after = self->facts_();
    if (!(after == before) || !self->allows(after, process) || after.frontmost != process)
        co_return std::nullopt;
    try {
        permit->check(deadline, self->clock_.now());
    } catch (const WindowOperationFailure&) {
        co_return std::nullopt;
    }
    if (self->facts_().frontmost != process)
        co_return std::nullopt;
    co_return frame;
}

} // namespace tidewright
