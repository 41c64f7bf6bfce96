#pragma once
// The observers of a workspace's messages, for the workspaces to share. Main thread only.

#include <functional>
#include <map>
#include <memory>
#include <utility>

#include "platform/workspace/Workspace.hpp"

namespace platform {

class WorkspaceObservers {
public:
    using Handler = std::function<void(const RunningApplication&)>;

    // The observation removes the handler when it goes, even after these observers have gone.
    WorkspaceObservation add(WorkspaceMessage message, Handler handler) {
        const int id = state_->nextId++;
        state_->handlers.emplace(id, std::make_pair(message, std::move(handler)));
        return WorkspaceObservation([weak = std::weak_ptr<State>(state_), id] {
            if (auto state = weak.lock()) {
                state->handlers.erase(id);
            }
        });
    }

    // Calls the handlers of the message in the order they were added; a handler added or removed
    // meanwhile takes effect from the next message.
    void deliver(WorkspaceMessage message, const RunningApplication& application) const {
        std::vector<Handler> handlers;
        for (const auto& [id, entry] : state_->handlers) {
            if (entry.first == message) {
                handlers.push_back(entry.second);
            }
        }
        for (const Handler& handler : handlers) {
            handler(application);
        }
    }

    std::size_t count() const { return state_->handlers.size(); }

private:
    struct State {
        std::map<int, std::pair<WorkspaceMessage, Handler>> handlers;
        int nextId = 0;
    };
    std::shared_ptr<State> state_ = std::make_shared<State>();
};

} // namespace platform
