#pragma once
// What the app model needs of each service it owns, one narrow interface per service, so that the
// model can be driven by fakes. The composition root adapts the live services to them.
// All of them: main thread only; every hook is called on the main thread.

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "platform/concurrency/ContinuousClock.hpp"
#include "platform/concurrency/Task.hpp"
#include "tidewright/core/AppPolicy.hpp"
#include "tidewright/core/FixedShortcut.hpp"
#include "tidewright/core/Identities.hpp"
#include "tidewright/core/OpeningAction.hpp"
#include "tidewright/core/PreferenceSummary.hpp"
#include "tidewright/openingfacts/ApplicationLifecycle.hpp"
#include "tidewright/openingfacts/OpeningObservationFacts.hpp"
#include "tidewright/windowcontrol/WindowOperationOutcome.hpp"

namespace tidewright {

// The synced preferences: the summary the model reconciles from.
class PreferenceRepositoryDriving {
public:
    virtual ~PreferenceRepositoryDriving() = default;
    // Computed afresh on each read.
    virtual PreferenceSummary summary() const = 0;
    // Does nothing while running.
    virtual void start() = 0;
    // Re-reads the synced store; a change arrives through the change hook.
    virtual void refresh() = 0;
    virtual void stop() = 0;
    // Called whenever the summary may have changed.
    virtual void setOnChange(std::function<void()> onChange) = 0;
};

// The Accessibility permission: reads, and the requests the views start.
class PermissionServiceDriving {
public:
    enum class RequestOwner {
        preferences,
        welcome,
    };

    virtual ~PermissionServiceDriving() = default;
    // The last completed read; unknown until the first one.
    virtual WindowPermissions permissions() const = 0;
    // Starts a read, or asks for another one after the read in flight.
    virtual void refresh() = 0;
    // The read or request in flight; it never ends with an error.
    virtual std::optional<platform::Task<>> task() const = 0;
    // Abandons the request in flight when owner started it.
    virtual void cancelRequest(RequestOwner owner) = 0;
    // Abandons everything in flight; the permission keeps its last value.
    virtual void stop() = 0;
    // Called after each completed read or request, changed or not.
    virtual void setOnChange(std::function<void()> onChange) = 0;
};

// The global hot keys.
class HotkeyServiceDriving {
public:
    using Registrations = std::unordered_map<FixedShortcut, ShortcutRegistration>;

    virtual ~HotkeyServiceDriving() = default;
    virtual const Registrations& registrations() const = 0;
    // Registers or withdraws hot keys so that registrations follow desired. Synchronous.
    virtual void apply(const std::unordered_set<FixedShortcut>& desired) = 0;
    // Withdraws every hot key and forgets the desired set.
    virtual void stop() = 0;
    // A press of a registered hot key.
    virtual void setOnShortcut(std::function<void(FixedShortcut)> onShortcut) = 0;
    // The registrations changed by themselves (a screen reader came or went).
    virtual void setOnChange(std::function<void()> onChange) = 0;
};

// The window execution owner with the opening machinery behind it.
class WindowExecutionDriving {
public:
    virtual ~WindowExecutionDriving() = default;
    // processes: sorted by pid, then incarnation. Does nothing while running.
    virtual void start(const std::vector<ProcessID>& processes) = 0;
    virtual void stop() = 0;
    // Re-reads the facts; ignored while stopped.
    virtual void factsChanged(const std::vector<ProcessID>& processes) = 0;
    virtual void perform(FixedShortcut shortcut) = 0;
    // Ignored while stopped.
    virtual void receive(const ApplicationLifecycle& event, platform::ContinuousInstant at) = 0;
};

// What the model hands over when it has the execution machinery built: every closure holds the
// model weakly and answers the fallback (no facts, no processes, refused) once it is gone.
struct WindowExecutionHooks {
    std::function<OpeningObservationFacts()> facts;
    // Sorted by pid, then incarnation.
    std::function<std::vector<ProcessID>()> processes;
    std::function<platform::Async<bool>()> authorize;
    std::function<void(const WindowOperationOutcome&)> completed;
};

using WindowExecutionFactory = std::function<std::shared_ptr<WindowExecutionDriving>(WindowExecutionHooks)>;

// The opening-rules model behind the preferences' rules page.
class OpeningRulesDriving {
public:
    virtual ~OpeningRulesDriving() = default;
    virtual void start() = 0;
    // Also cancels a pending application choice.
    virtual void stop() = 0;
    // Stores the usable rules and rebuilds the lists.
    virtual void apply(const std::map<BundleID, OpeningAction>& usableRules) = 0;
    // Rebuilds the lists from the catalog and the rules last applied.
    virtual void refresh() = 0;
    virtual void cancelChooser() = 0;
};

// Open at login.
class OpenAtLoginDriving {
public:
    virtual ~OpenAtLoginDriving() = default;
    virtual void start() = 0;
    // Also cancels a change in flight.
    virtual void stop() = 0;
    // Re-reads the login state while running.
    virtual void refresh() = 0;
    // The end of a change: true when it succeeded.
    virtual void setOnResult(std::function<void(bool)> onResult) = 0;
};

// The notices that the window manager (and so the permission) may have changed.
class TrustNoticesDriving {
public:
    virtual ~TrustNoticesDriving() = default;
    // handler is called a short while after each notice, also after stop() for notices already
    // received. Does nothing when already started.
    virtual void start(std::function<void()> handler) = 0;
    virtual void stop() = 0;
};

// The desktop's settings application.
class SystemSettingsDriving {
public:
    virtual ~SystemSettingsDriving() = default;
    // True when its launch was started.
    virtual bool open() = 0;
    // Its identity, which the workspace reports in its lifecycle events; none when the desktop has
    // no settings application that we know.
    virtual std::optional<BundleID> application() const = 0;
};

} // namespace tidewright
