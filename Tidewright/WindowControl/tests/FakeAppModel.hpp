#pragma once
// The app model's side of a window operation as a test sets it: the facts it answers, its clock, its
// authorisation and, for automatic actions, the coordinator's answer to each observed frame.

#include <chrono>
#include <deque>
#include <functional>
#include <utility>
#include <vector>

#include "platform/concurrency/Task.hpp"
#include "tidewright/windowcontrol/MainWindowService.hpp"

namespace tidewright {

struct FakeAppModel {
    explicit FakeAppModel(WindowOperationFacts facts) : facts(std::move(facts)) {}

    WindowOperationFacts facts;
    ContinuousInstant now{std::chrono::hours(1)};
    // What authorize answers; runs before it answers, like the permission refresh it stands for.
    bool authorizes = true;
    std::function<void()> whileAuthorizing;
    int authorizations = 0;
    // Answers of observe in order; true once they run out.
    std::deque<bool> observeAnswers;
    struct Observation {
        ContinuousInstant deadline;
        DesktopFrame frame;
    };
    std::vector<Observation> observations;

    MainWindowService::Facts factsClosure() {
        return [this] {
            return facts;
        };
    }
    MainWindowService::Now clock() {
        return [this] {
            return now;
        };
    }
    MainWindowService::Authorize authorize() {
        return [this]() -> platform::Async<bool> {
            ++authorizations;
            if (whileAuthorizing) {
                whileAuthorizing();
            }
            co_return authorizes;
        };
    }
    MainWindowService::Observe observe() {
        return [this](ContinuousInstant deadline, DesktopFrame frame) -> platform::Async<bool> {
            observations.push_back({deadline, frame});
            bool answer = true;
            if (!observeAnswers.empty()) {
                answer = observeAnswers.front();
                observeAnswers.pop_front();
            }
            co_return answer;
        };
    }
};

} // namespace tidewright
