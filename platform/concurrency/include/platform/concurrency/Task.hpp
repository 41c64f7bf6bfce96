#pragma once
// Tasks and async functions: spawned tasks that start on a later turn of their executor, handles
// that cancel and join them, and lazy coroutines that run inside the task that awaits them.

#include <coroutine>
#include <cstddef>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/concurrency/Executor.hpp"
#include "platform/concurrency/Outcome.hpp"

namespace platform {

// Thrown by waits that end because their task was cancelled, and by checkCancellation().
struct CancellationError : std::exception {
    const char* what() const noexcept override { return "the task was cancelled"; }
};

namespace detail {

// The state every task shares with its handles and with whatever will resume it. Whoever holds
// a pending resumption holds the task, so a task lives until it ends or nothing can resume it.
class TaskCore : public std::enable_shared_from_this<TaskCore> {
public:
    explicit TaskCore(Executor& executor) : executor_(executor) {}
    virtual ~TaskCore();
    TaskCore(const TaskCore&) = delete;
    TaskCore& operator=(const TaskCore&) = delete;

    Executor& executor() const noexcept { return executor_; }
    std::stop_token stopToken() const noexcept { return stop_.get_token(); }
    void cancel() noexcept { stop_.request_stop(); }
    bool isCancelled() const noexcept { return stop_.stop_requested(); }

    // Queues the resumption of handle, a coroutine of the task, on the task's executor and hands
    // the task's reference over to that job. Safe for concurrent access.
    static void resumeLater(std::shared_ptr<TaskCore> task, std::coroutine_handle<> handle);

    // Resumes handle with this task as the current one. REQUIRES: on the executor's thread.
    void resumeNow(std::coroutine_handle<> handle);

    // Resumes waiter's handle once this task has ended (at once, through the executor, when it
    // already has). REQUIRES: on the executor's thread.
    void join(std::shared_ptr<TaskCore> waiter, std::coroutine_handle<> handle);

protected:
    // Counts the task among the unfinished ones until it finishes or is destroyed unfinished.
    void started() noexcept;
    void finish();

private:
    Executor& executor_;
    std::stop_source stop_;
    bool counted_ = false;
    bool finished_ = false;
    std::vector<std::pair<std::shared_ptr<TaskCore>, std::coroutine_handle<>>> joiners_;
};

// The task whose coroutine is running on this thread, or null outside every task.
TaskCore* currentTask() noexcept;
// As currentTask(), but a suspension outside a task is a bug and aborts.
TaskCore& requireCurrentTask() noexcept;

template <class T>
class TaskResult : public TaskCore {
public:
    using TaskCore::TaskCore;

    void complete(Outcome<T> outcome) {
        outcome_ = std::move(outcome);
        finish();
    }

    // Every joiner gets its own copy of the value, or the same error.
    T result() const { return outcome_.get(); }

private:
    Outcome<T> outcome_;
};

// The outermost coroutine of a spawned task: it catches everything the body throws, so no
// exception leaves a task.
struct RootCoroutine {
    struct promise_type {
        RootCoroutine get_return_object() noexcept {
            return {std::coroutine_handle<promise_type>::from_promise(*this)};
        }
        std::suspend_always initial_suspend() noexcept { return {}; }
        std::suspend_always final_suspend() noexcept { return {}; }
        void return_void() noexcept {}
        void unhandled_exception() noexcept { std::terminate(); }
    };
    std::coroutine_handle<promise_type> handle;
};

template <class T, class Body>
RootCoroutine runRoot(TaskResult<T>* task, std::optional<Body>* body) {
    Outcome<T> outcome;
    try {
        if constexpr (std::is_void_v<T>) {
            co_await std::invoke(**body);
            outcome.setValue();
        } else {
            outcome.setValue(co_await std::invoke(**body));
        }
    } catch (...) {
        outcome.setError(std::current_exception());
    }
    // An ended task lets go of its captures, though handles keep its outcome: a body that holds
    // the handle of an earlier task would otherwise keep every predecessor alive.
    body->reset();
    task->complete(std::move(outcome));
}

template <class T, class Body>
class TaskBody final : public TaskResult<T> {
public:
    TaskBody(Executor& executor, Body body)
        : TaskResult<T>(executor), body_(std::in_place, std::move(body)) {}
    ~TaskBody() override {
        if (root_) {
            root_.destroy();
        }
    }

    void start(std::shared_ptr<TaskBody> self) {
        root_ = runRoot<T, Body>(this, &body_).handle;
        this->started();
        TaskCore::resumeLater(std::move(self), root_);
    }

private:
    // The coroutine of a lambda refers to its captures, so the lambda lives here until the end.
    std::optional<Body> body_;
    std::coroutine_handle<> root_;
};

template <class T>
class AsyncPromiseBase {
public:
    std::suspend_always initial_suspend() noexcept { return {}; }

    // A function that ends inside its caller's await goes back by returning from resume(); one
    // that ended after a suspension of its own resumes its caller. So a loop of awaits that end
    // at once never deepens the stack, where the compiler does not make transfers tail calls.
    auto final_suspend() noexcept {
        struct ToCaller {
            bool await_ready() noexcept { return false; }
            std::coroutine_handle<> await_suspend(std::coroutine_handle<>) noexcept {
                return promise.startedInline_ ? std::noop_coroutine() : promise.continuation_;
            }
            void await_resume() noexcept {}
            AsyncPromiseBase& promise;
        };
        return ToCaller{*this};
    }

    void unhandled_exception() noexcept { outcome_.setError(std::current_exception()); }

    // Starts the function inside its caller's await; answers whether it suspended before its end.
    bool startFrom(std::coroutine_handle<> caller, std::coroutine_handle<> self) {
        continuation_ = caller;
        startedInline_ = true;
        self.resume();
        if (self.done()) {
            return false;
        }
        startedInline_ = false;
        return true;
    }

    T take() { return outcome_.take(); }

protected:
    Outcome<T> outcome_;

private:
    std::coroutine_handle<> continuation_ = std::noop_coroutine();
    bool startedInline_ = false;
};

} // namespace detail

// An ordinary async function: a lazy coroutine that starts when awaited and runs in the awaiting
// task, so it sees that task's cancellation (isCancelled(), currentStopToken()). The coroutine of
// a lambda refers to the lambda's captures, so the lambda must outlive the await (spawn keeps a
// task's body for it; a stored std::function hook does so while it is not reassigned).
template <class T = void>
class [[nodiscard]] Async {
public:
    struct promise_type;
    using Handle = std::coroutine_handle<promise_type>;

    struct promise_type : detail::AsyncPromiseBase<T> {
        Async get_return_object() noexcept { return Async(Handle::from_promise(*this)); }
        template <class U = T>
        requires(!std::is_void_v<T>) && std::is_convertible_v<U&&, T> void return_value(U&& value) {
            this->outcome_.setValue(std::forward<U>(value));
        }
    };

    Async(Async&& other) noexcept : handle_(std::exchange(other.handle_, {})) {}
    Async& operator=(Async&&) = delete;
    ~Async() {
        if (handle_) {
            handle_.destroy();
        }
    }

    auto operator co_await() && noexcept {
        struct Awaiter {
            bool await_ready() const noexcept { return false; }
            bool await_suspend(std::coroutine_handle<> caller) {
                return handle.promise().startFrom(caller, handle);
            }
            T await_resume() { return handle.promise().take(); }
            Handle handle;
        };
        return Awaiter{handle_};
    }

private:
    explicit Async(Handle handle) noexcept : handle_(handle) {}
    Handle handle_;
};

template <>
struct Async<void>::promise_type : detail::AsyncPromiseBase<void> {
    Async get_return_object() noexcept { return Async(Handle::from_promise(*this)); }
    void return_void() noexcept { outcome_.setValue(); }
};

// A handle of a spawned task. Copies refer to the same task; dropping every handle neither
// cancels nor ends the task.
template <class T = void>
class Task {
public:
    // Cancellation is cooperative: the body sees it at its next check or wait. Safe for
    // concurrent access.
    void cancel() const noexcept { state_->cancel(); }
    bool isCancelled() const noexcept { return state_->isCancelled(); }

    // Awaits the end of the task and returns its value or rethrows its error, to any number of
    // awaiters. Awaiting does not cancel the task, the awaiter's own cancellation does not cut
    // the wait short, and the awaiter resumes through its executor.
    // REQUIRES: awaited in a task of the same executor.
    auto value() const noexcept {
        struct Join {
            bool await_ready() const noexcept { return false; }
            void await_suspend(std::coroutine_handle<> awaiter) {
                state->join(detail::requireCurrentTask().shared_from_this(), awaiter);
            }
            T await_resume() const { return state->result(); }
            std::shared_ptr<detail::TaskResult<T>> state;
        };
        return Join{state_};
    }
    auto operator co_await() const noexcept { return value(); }

    friend bool operator==(const Task&, const Task&) = default;

private:
    template <class F>
    friend auto spawn(Executor& executor, F body);

    explicit Task(std::shared_ptr<detail::TaskResult<T>> state) : state_(std::move(state)) {}
    std::shared_ptr<detail::TaskResult<T>> state_;
};

namespace detail {
template <class A>
struct AsyncValue;
template <class T>
struct AsyncValue<Async<T>> {
    using type = T;
};
} // namespace detail

// Starts body (a callable returning Async<T>) as a new task: the body is queued on executor and
// starts on a later turn, never inside this call, so the caller can store the handle first.
// The task does not inherit the caller's cancellation. Safe for concurrent access.
template <class F>
auto spawn(Executor& executor, F body) {
    using T = typename detail::AsyncValue<std::invoke_result_t<F&>>::type;
    auto state = std::make_shared<detail::TaskBody<T, F>>(executor, std::move(body));
    state->start(state);
    return Task<T>(std::move(state));
}

// The current task's cancellation; false and a token that never stops outside every task.
bool isCancelled() noexcept;
std::stop_token currentStopToken() noexcept;
// Throws CancellationError when the current task is cancelled.
void checkCancellation();

// How many spawned tasks, on every executor, have neither ended nor been dropped; a program that
// ends lets these unwind before it takes their executors away. Safe for concurrent access.
std::size_t unfinishedTasks() noexcept;

// Suspends the current task and resumes it on a later turn of its executor.
inline auto yield() noexcept {
    struct Yield {
        bool await_ready() const noexcept { return false; }
        void await_suspend(std::coroutine_handle<> handle) const {
            detail::TaskCore::resumeLater(detail::requireCurrentTask().shared_from_this(), handle);
        }
        void await_resume() const noexcept {}
    };
    return Yield{};
}

} // namespace platform
