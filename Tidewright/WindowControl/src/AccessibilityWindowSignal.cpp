#include "tidewright/windowcontrol/AccessibilityWindowSignal.hpp"

#include <functional>
#include <stop_token>
#include <utility>

namespace tidewright {

std::shared_ptr<AccessibilityWindowSignal>
AccessibilityWindowSignal::create(std::shared_ptr<platform::AccessibilityObservers> observers,
                                  platform::Executor& main, platform::WorkQueue& pool,
                                  platform::Clock& clock) {
    return std::shared_ptr<AccessibilityWindowSignal>(
        new AccessibilityWindowSignal(std::move(observers), main, pool, clock));
}

AccessibilityWindowSignal::AccessibilityWindowSignal(
    std::shared_ptr<platform::AccessibilityObservers> observers, platform::Executor& main,
    platform::WorkQueue& pool, platform::Clock& clock)
    : observers_(std::move(observers)), main_(main), pool_(pool), clock_(clock) {}

AccessibilityWindowSignal::~AccessibilityWindowSignal() {
    cancel();
}

std::shared_ptr<platform::AXObserver>
AccessibilityWindowSignal::makeObserver(platform::AccessibilityObservers& observers,
                                        const std::weak_ptr<AccessibilityWindowSignal>& weak,
                                        std::int32_t pid) {
    // The callback holds the signal weakly, as an unretained context.
    auto callback = [weak](const platform::AXObserver& from, std::string_view) {
        if (auto self = weak.lock())
            self->notified(from);
    };
    std::shared_ptr<platform::AXObserver> observer;
    if (observers.createObserver(pid, std::move(callback), observer) != platform::AXError::success)
        return nullptr;
    const platform::AXUIElement application = observers.createApplication(pid);
    observers.setMessagingTimeout(application, observerMessagingTimeout);
    if (observer->addNotification(application, platform::windowCreatedNotification) !=
        platform::AXError::success)
        return nullptr;
    return observer;
}

void AccessibilityWindowSignal::finish(bool value) {
    if (timeout_) {
        timeout_->cancel();
        timeout_.reset();
    }
    if (waiter_) {
        platform::Continuation<bool> continuation = std::move(waiter_->continuation);
        waiter_.reset();
        continuation.resume(value);
    }
}

void AccessibilityWindowSignal::finishWait(std::uint64_t token, bool value) {
    if (waiter_ && waiter_->token == token)
        finish(value);
}

void AccessibilityWindowSignal::cancel() {
    if (observer_)
        observer_->detach();
    observer_.reset();
    watched_.reset();
    created_ = false;
    ++watch_;
    registering_ = false;
    finish(false);
}

platform::Async<bool> AccessibilityWindowSignal::wait(std::int32_t pid, ContinuousDuration limit) {
    if (!watched_ || *watched_ != pid) {
        cancel();
        watched_ = pid;
    }
    if (!observer_ && !registering_) {
        registering_ = true;
        startRegistration(watch_, pid);
    }
    if (created_) {
        created_ = false;
        co_return true;
    }
    finish(false);

    const std::uint64_t token = ++lastToken_;
    const ContinuousInstant until = clock_.now() + limit;
    std::weak_ptr<AccessibilityWindowSignal> weak = weak_from_this();
    // Runs inline on whichever thread cancels the task, so it only posts.
    std::stop_callback<std::function<void()>> onCancel(platform::currentStopToken(),
                                                       [weak, token, &main = main_] {
                                                           main.post([weak, token] {
                                                               if (auto self = weak.lock())
                                                                   self->finishWait(token, false);
                                                           });
                                                       });
    // The setup captures nothing with a destructor: g++ 12 destroys such captures of a temporary
    // in a co_await twice.
    const bool value = co_await platform::withContinuation<bool>(
        "wait(for:upTo:)", [this, token, until](platform::Continuation<bool> continuation) {
            waiter_ = Waiter{token, std::move(continuation)};
            timeout_ = platform::spawn(
                main_, [weak = weak_from_this(), token, clock = &clock_, until]() -> platform::Async<> {
                    bool elapsed = true;
                    try {
                        co_await platform::sleepUntil(*clock, until);
                    } catch (const platform::CancellationError&) {
                        elapsed = false;
                    }
                    // A sleep whose timer fired returns normally even when cancelled: the token decides.
                    if (auto self = weak.lock(); elapsed && self)
                        self->finishWait(token, false);
                });
        });
    co_return value;
}

void AccessibilityWindowSignal::startRegistration(std::uint64_t watch, std::int32_t pid) {
    std::weak_ptr<AccessibilityWindowSignal> weak = weak_from_this();
    platform::spawn(main_, [weak, observers = observers_, pool = &pool_, watch, pid]() -> platform::Async<> {
        // The job refers to the frame's captures by address: see the note in wait().
        const auto* signal = &weak;
        platform::AccessibilityObservers* backend = observers.get();
        std::shared_ptr<platform::AXObserver> made =
            co_await pool->run([signal, backend, pid] { return makeObserver(*backend, *signal, pid); });
        auto self = weak.lock();
        // A cancel came in between: it has already cleared registering_.
        if (!self || self->watch_ != watch || self->watched_ != pid)
            co_return;
        self->registering_ = false;
        if (made) {
            if (self->observer_)
                self->observer_->detach();
            self->observer_ = std::move(made);
            self->observer_->attach();
        }
    });
}

void AccessibilityWindowSignal::notified(const platform::AXObserver& from) {
    if (!observer_ || observer_.get() != &from)
        return;
    if (waiter_)
        finish(true);
    else
        created_ = true;
}

} // namespace tidewright
