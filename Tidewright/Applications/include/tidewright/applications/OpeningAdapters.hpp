#pragma once
// The reads the opening coordinator makes about a process with an opening rule: the window
// server's inventory of its windows, how many windows it shows, and its main window's frame.

#include <cstdint>
#include <memory>
#include <optional>
#include <set>
#include <vector>

#include "platform/concurrency/Task.hpp"
#include "platform/concurrency/WorkQueue.hpp"
#include "platform/windowserver/WindowServer.hpp"
#include "tidewright/core/Geometry.hpp"
#include "tidewright/core/Identities.hpp"
#include "tidewright/core/OpeningObservationLedger.hpp"
#include "tidewright/core/OpeningWindowPresence.hpp"
#include "tidewright/windowcontrol/ContinuousInstant.hpp"

namespace tidewright {

struct OpeningInventoryEntry {
    std::uint64_t token;
    std::int32_t pid;
    std::int32_t layer;
    std::optional<DesktopFrame> frame;
    bool isOnscreen;

    bool operator==(const OpeningInventoryEntry&) const = default;
};

class OpeningInventoryResult {
public:
    static OpeningInventoryResult available(std::vector<OpeningInventoryEntry> entries,
                                            std::set<std::int32_t> requestedPIDs) {
        return OpeningInventoryResult(Available{std::move(entries), std::move(requestedPIDs)});
    }
    static OpeningInventoryResult unavailable() { return OpeningInventoryResult(std::nullopt); }

    bool isAvailable() const noexcept { return available_.has_value(); }
    // REQUIRES: isAvailable().
    const std::vector<OpeningInventoryEntry>& entries() const { return available_->entries; }
    const std::set<std::int32_t>& requestedPIDs() const { return available_->requestedPIDs; }

    // The windows of process in the server's order, each identified with the process's
    // incarnation; nothing when the inventory says nothing about that process.
    std::optional<std::vector<OpeningObservedWindow>> observedWindows(const ProcessID& process) const;

    bool operator==(const OpeningInventoryResult&) const = default;

private:
    struct Available {
        std::vector<OpeningInventoryEntry> entries;
        std::set<std::int32_t> requestedPIDs;
        bool operator==(const Available&) const = default;
    };
    explicit OpeningInventoryResult(std::optional<Available> available) : available_(std::move(available)) {}
    std::optional<Available> available_;
};

// The whole list is parsed strictly: one malformed window makes it unavailable, never a partial
// answer. Only windows of the requested processes are read beyond their owner.
OpeningInventoryResult parseOpeningInventory(const std::optional<platform::WindowInfoList>& list,
                                             const std::set<std::int32_t>& requested);

// Each read is awaited in a task on the main executor and never throws.
class OpeningInventoryReading {
public:
    virtual ~OpeningInventoryReading() = default;
    virtual platform::Async<OpeningInventoryResult> inventory(std::set<std::int32_t> pids) = 0;
};

class OpeningPresenceReading {
public:
    virtual ~OpeningPresenceReading() = default;
    virtual platform::Async<OpeningWindowPresence> windowPresence(ProcessID process,
                                                                  ContinuousInstant deadline) = 0;
};

class OpeningMainReading {
public:
    virtual ~OpeningMainReading() = default;
    virtual platform::Async<std::optional<DesktopFrame>> mainWindowFrame(ProcessID process,
                                                                         ContinuousInstant deadline) = 0;
};

// The window server's inventory, copied on the thread pool.
class CGOpeningInventory final : public OpeningInventoryReading {
public:
    // REQUIRES: pool outlives every read.
    CGOpeningInventory(std::shared_ptr<platform::WindowServer> server, platform::WorkQueue& pool)
        : server_(std::move(server)), pool_(pool) {}

    platform::Async<OpeningInventoryResult> inventory(std::set<std::int32_t> pids) override;

private:
    std::shared_ptr<platform::WindowServer> server_;
    platform::WorkQueue& pool_;
};

} // namespace tidewright
