#pragma once
// What the app model needs of each service it owns: one narrow interface per service, declared
// beside the service, which implements it itself; the model's tests drive fakes of the same ones.
// All of them: main thread only; every hook is called on the main thread.

#include <functional>
#include <memory>
#include <vector>

#include "platform/concurrency/Task.hpp"
#include "tidewright/applications/ApplicationCatalogReading.hpp"
#include "tidewright/applications/OpeningRulesDriving.hpp"
#include "tidewright/core/Identities.hpp"
#include "tidewright/openingfacts/OpeningObservationFacts.hpp"
#include "tidewright/preferences/PreferenceRepositoryDriving.hpp"
#include "tidewright/shell/OpenAtLoginDriving.hpp"
#include "tidewright/shell/PermissionServiceDriving.hpp"
#include "tidewright/shell/SystemSettingsOpening.hpp"
#include "tidewright/shell/TrustNoticesDriving.hpp"
#include "tidewright/windowcontrol/HotkeyServiceDriving.hpp"
#include "tidewright/windowcontrol/WindowExecutionDriving.hpp"
#include "tidewright/windowcontrol/WindowOperationOutcome.hpp"

namespace tidewright {

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

} // namespace tidewright
