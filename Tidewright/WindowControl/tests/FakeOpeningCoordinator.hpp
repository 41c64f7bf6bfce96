#pragma once
// A coordinator that writes down every call the execution owner makes, answers claims and completions
// as the test says, and can hold its asynchronous calls until the test lets them go.

#include <cstddef>
#include <string>
#include <vector>

#include "tidewright/openingfacts/OpeningObservationCoordinating.hpp"

#include "HeldCalls.hpp"

namespace tidewright {

class FakeOpeningCoordinator final : public OpeningObservationCoordinating {
public:
    // Each call as one line: "start 40,41", "stop", "track 40", "receive launched 40", "refresh",
    // "claim", "complete"; the asynchronous ones are written when they begin.
    std::vector<std::string> log;
    bool claims = true;
    bool completes = true;
    // While held, start, track, receive and complete wait until the test releases them.
    HeldCalls held;
    std::vector<OpeningObservationProposal> completed;

    static std::string describe(const std::vector<ProcessID>& processes) {
        std::string text;
        for (const ProcessID& process : processes) {
            text += (text.empty() ? "" : ",") + std::to_string(process.pid);
        }
        return text;
    }

    static const char* describe(ApplicationLifecycle::Case kind) {
        switch (kind) {
        case ApplicationLifecycle::Case::launched:
            return "launched";
        case ApplicationLifecycle::Case::activated:
            return "activated";
        case ApplicationLifecycle::Case::deactivated:
            return "deactivated";
        case ApplicationLifecycle::Case::terminated:
            return "terminated";
        }
        return "?";
    }

    platform::Async<void> start(std::vector<ProcessID> processes) override {
        log.push_back("start " + describe(processes));
        co_await held.pause();
    }
    void stop() override { log.emplace_back("stop"); }
    platform::Async<void> track(std::vector<ProcessID> processes) override {
        log.push_back("track " + describe(processes));
        co_await held.pause();
    }
    platform::Async<void> receive(ApplicationLifecycle event, platform::ContinuousInstant) override {
        log.push_back(std::string("receive ") + describe(event.kind) + " " +
                      std::to_string(event.process.pid));
        co_await held.pause();
    }
    void refreshFacts() override { log.emplace_back("refresh"); }
    bool claim(const OpeningObservationProposal&) override {
        log.emplace_back("claim");
        return claims;
    }
    platform::Async<bool> complete(OpeningObservationProposal proposal, platform::ContinuousInstant,
                                   DesktopFrame) override {
        log.emplace_back("complete");
        completed.push_back(proposal);
        co_await held.pause();
        co_return completes;
    }

    // The lines of log that begin with prefix, in order.
    std::vector<std::string> calls(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const std::string& line : log) {
            if (line.rfind(prefix, 0) == 0) {
                found.push_back(line);
            }
        }
        return found;
    }
};

} // namespace tidewright
