#pragma once
// The two Accessibility reads of the opening coordinator, each through the transport under a
// permit of its own and the caller's deadline, and only while the app model's facts still allow
// opening rules for that process. Lives on the main executor.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/concurrency/Clock.hpp"
#include "tidewright/applications/OpeningAdapters.hpp"
#include "tidewright/openingfacts/OpeningObservationFacts.hpp"
#include "tidewright/windowcontrol/MainWindowTransporting.hpp"
#include "tidewright/windowcontrol/WindowOperationPermit.hpp"
#include "tidewright/windowcontrol/WindowPresenceTransporting.hpp"

namespace tidewright {

class OpeningMetadataReader final : public OpeningPresenceReading,
                                    public OpeningMainReading,
                                    public std::enable_shared_from_this<OpeningMetadataReader> {
public:
    using Facts = std::function<OpeningObservationFacts()>;
    // The processes the catalog knows, sorted by pid then incarnation.
    using Processes = std::function<std::vector<ProcessID>()>;

    // REQUIRES: clock outlives the reader and its reads.
    static std::shared_ptr<OpeningMetadataReader> create(std::shared_ptr<MainWindowTransporting> main,
                                                         std::shared_ptr<WindowPresenceTransporting> presence,
                                                         Facts facts, Processes processes,
                                                         platform::Clock& clock);
    ~OpeningMetadataReader() override;

    platform::Async<OpeningWindowPresence> windowPresence(ProcessID process,
                                                          ContinuousInstant deadline) override;
    platform::Async<std::optional<DesktopFrame>> mainWindowFrame(ProcessID process,
                                                                 ContinuousInstant deadline) override;

    // Revokes and forgets every permit of a read in flight; those reads answer unknown or nothing.
    void revokeAllPermits();
    std::size_t permitsInFlight() const { return permits_.size(); }

private:
    OpeningMetadataReader(std::shared_ptr<MainWindowTransporting> main,
                          std::shared_ptr<WindowPresenceTransporting> presence, Facts facts,
                          Processes processes, platform::Clock& clock);

    bool isListed(const ProcessID& process) const;
    bool allows(const OpeningObservationFacts& facts, const ProcessID& process) const;
    // The read's permit, stored under a key of its own.
    std::pair<std::uint64_t, std::shared_ptr<WindowOperationPermit>> issuePermit();

    std::shared_ptr<MainWindowTransporting> main_;
    std::shared_ptr<WindowPresenceTransporting> presenceTransport_;
    Facts facts_;
    Processes processes_;
    platform::Clock& clock_;
    std::map<std::uint64_t, std::shared_ptr<WindowOperationPermit>> permits_;
    std::uint64_t nextPermit_ = 0;
};

} // namespace tidewright
