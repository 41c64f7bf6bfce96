#pragma once
// A workspace that a test scripts: its running list, its frontmost application, its installed
// applications, messages posted on demand, and choosers the test answers.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/workspace/Workspace.hpp"
#include "platform/workspace/WorkspaceObservers.hpp"

namespace tidewright::testing {

class FakeWorkspace;

class FakeChooser final : public platform::ApplicationChooser {
public:
    explicit FakeChooser(FakeWorkspace& workspace) : workspace_(workspace) {}
    ~FakeChooser() override;

    void begin(std::function<void(Answer)> completion) override { completion_ = std::move(completion); }
    void cancel() override { answer(Answer{}); }

    // Answers as the user would; a chooser answers at most once.
    void answer(Answer answer);

private:
    FakeWorkspace& workspace_;
    std::function<void(Answer)> completion_;
};

class FakeWorkspace final : public platform::Workspace {
public:
    std::vector<platform::RunningApplication> running;
    std::optional<platform::RunningApplication> frontmost;
    std::map<std::string, platform::InstalledApplication> installed; // by bundle identifier

    std::vector<platform::RunningApplication> runningApplications() const override { return running; }
    std::optional<platform::RunningApplication> frontmostApplication() const override { return frontmost; }

    platform::WorkspaceObservation
    observe(platform::WorkspaceMessage message,
            std::function<void(const platform::RunningApplication&)> handler) override {
        return observers_.add(message, std::move(handler));
    }

    std::optional<platform::InstalledApplication> installedApplication(const BundleID& id) const override {
        auto found = installed.find(id.rawValue());
        return found == installed.end() ? std::nullopt : std::optional(found->second);
    }
    QIcon icon(const platform::InstalledApplication&) const override { return QIcon(); }

    std::unique_ptr<platform::ApplicationChooser> makeChooser() override {
        auto chooser = std::make_unique<FakeChooser>(*this);
        chooser_ = chooser.get();
        ++choosersMade;
        return chooser;
    }

    // Delivers a message to its observers, as the live workspace does on the main thread.
    void post(platform::WorkspaceMessage message, const platform::RunningApplication& application) {
        observers_.deliver(message, application);
    }

    std::size_t observerCount() const { return observers_.count(); }
    // The chooser made last, while it lives.
    FakeChooser* chooser() const { return chooser_; }

    int choosersMade = 0;
    int answers = 0;

private:
    friend class FakeChooser;
    platform::WorkspaceObservers observers_;
    FakeChooser* chooser_ = nullptr;
};

inline FakeChooser::~FakeChooser() {
    answer(Answer{});
    if (workspace_.chooser_ == this) {
        workspace_.chooser_ = nullptr;
    }
}

inline void FakeChooser::answer(Answer answer) {
    if (auto completion = std::exchange(completion_, {})) {
        ++workspace_.answers;
        completion(std::move(answer));
    }
}

} // namespace tidewright::testing
