#pragma once
// A one-shot continuation: a suspended task that some other code resumes, exactly once, with a
// value or an error.

#include <atomic>
#include <coroutine>
#include <exception>
#include <memory>
#include <string>
#include <type_traits>
#include <utility>

#include "platform/concurrency/Task.hpp"

namespace platform {

namespace detail {

template <class T, class Setup>
class ContinuationAwaiter;

// Reports a continuation resumed a second time and aborts: that is always a bug.
[[noreturn]] void continuationResumedTwice(const std::string& label) noexcept;
// Reports a continuation dropped without being resumed; its task is released.
void continuationDropped(const std::string& label) noexcept;

template <class T>
class ContinuationState {
public:
    ContinuationState(std::string label, std::shared_ptr<TaskCore> task, std::coroutine_handle<> handle,
                      Outcome<T>* slot)
        : label_(std::move(label)), task_(std::move(task)), handle_(handle), slot_(slot) {}

    ~ContinuationState() {
        if (!resumed_.load()) {
            continuationDropped(label_);
            // The task's frame must end on its executor, not wherever the last copy went.
            Executor& executor = task_->executor();
            executor.post([task = std::move(task_)] {});
        }
    }

    void resume(Outcome<T> outcome) {
        if (resumed_.exchange(true)) {
            continuationResumedTwice(label_);
        }
        *slot_ = std::move(outcome); // the frame is alive: this state holds its task
        TaskCore::resumeLater(std::move(task_), handle_);
    }

private:
    std::string label_;
    std::atomic<bool> resumed_ = false;
    std::shared_ptr<TaskCore> task_;
    std::coroutine_handle<> handle_;
    Outcome<T>* slot_;
};

} // namespace detail

// Copies refer to the same continuation. Resuming is safe from any thread; the task resumes on
// its own executor on a later turn. A second resume is a bug and aborts with the label.
template <class T = void>
class Continuation {
public:
    template <class U = T>
    requires(!std::is_void_v<T>) && std::is_convertible_v<U&&, T> void resume(U&& value) const {
        detail::Outcome<T> outcome;
        outcome.setValue(std::forward<U>(value));
        state_->resume(std::move(outcome));
    }
    void resume() const requires std::is_void_v<T> {
        detail::Outcome<T> outcome;
        outcome.setValue();
        state_->resume(std::move(outcome));
    }
    void resumeThrowing(std::exception_ptr error) const {
        detail::Outcome<T> outcome;
        outcome.setError(std::move(error));
        state_->resume(std::move(outcome));
    }
    template <class E>
    void resumeThrowing(E error) const {
        resumeThrowing(std::make_exception_ptr(std::move(error)));
    }

    friend bool operator==(const Continuation&, const Continuation&) = default;

private:
    using State = detail::ContinuationState<T>;
    template <class, class>
    friend class detail::ContinuationAwaiter;

    explicit Continuation(std::shared_ptr<State> state) : state_(std::move(state)) {}
    std::shared_ptr<State> state_;
};

namespace detail {

template <class T, class Setup>
class ContinuationAwaiter {
public:
    ContinuationAwaiter(std::string label, Setup setup)
        : label_(std::move(label)), setup_(std::move(setup)) {}

    bool await_ready() const noexcept { return false; }
    void await_suspend(std::coroutine_handle<> handle) {
        auto state = std::make_shared<ContinuationState<T>>(
            std::move(label_), requireCurrentTask().shared_from_this(), handle, &outcome_);
        setup_(Continuation<T>(std::move(state)));
    }
    T await_resume() { return outcome_.take(); }

private:
    std::string label_;
    Setup setup_;
    Outcome<T> outcome_;
};

} // namespace detail

// Suspends the current task and hands setup its continuation; the task resumes with what the
// continuation is resumed with (or rethrows it). setup runs while the task is suspended, so it
// may store the continuation or resume it at once.
// REQUIRES: awaited in a task; setup does not throw.
template <class T = void, class Setup>
detail::ContinuationAwaiter<T, Setup> withContinuation(std::string label, Setup setup) {
    return {std::move(label), std::move(setup)};
}

} // namespace platform
