#pragma once
// Whether the application opens at login, as one shared model that kit views bind their switches
// to. It shows only what the autostart entry says: a change is written, then the state is read back,
// so a refused change leaves the switch where the entry is. The shell's open-at-login reads the same
// entry; the two agree again at their next refresh.

#include "platform/concurrency/Executor.hpp"
#include "platform/concurrency/Task.hpp"
#include "platform/concurrency/WorkQueue.hpp"
#include "platform/login/AutostartLoginItem.hpp"
#include "platform/observation/Observable.hpp"

#include <functional>
#include <memory>
#include <optional>

namespace corbel {

// Main thread only.
class LoginItem : public std::enable_shared_from_this<LoginItem> {
public:
    // Writes go to `queue` (the disk may be slow) and come back on `main`. Without an entry behind
    // it (`entry` null) the item reads off and every change fails and is logged.
    // REQUIRES: main and queue outlive the item and every change it starts.
    struct Backend {
        std::shared_ptr<const platform::AutostartLoginItem> entry;
        platform::Executor* main = nullptr;
        platform::WorkQueue* queue = nullptr;
    };

    // The process-wide item, made on first use. Until install() gives it an entry it has none.
    // It belongs to the application and goes when the application quits.
    // REQUIRES a QCoreApplication.
    static LoginItem& shared();
    // Replaces the process-wide item by one over `backend` (the composition root's call).
    // REQUIRES a QCoreApplication; an entry comes with an executor and a queue.
    static LoginItem& install(Backend backend);
    // Deletes the process-wide item (tests, between cases); the next shared() makes a new one.
    static void reset();
    // Deletes the process-wide item if it is still `installed`: the composition root's call before
    // the queue it was given goes.
    static void withdraw(const LoginItem& installed);

    // Changes in flight hold the item weakly, so it is always shared. THROWS std::invalid_argument
    // for an entry without an executor or a queue.
    static std::shared_ptr<LoginItem> make(Backend backend);

    struct Token {
        explicit Token() = default;
    };
    LoginItem(Token, Backend backend);
    LoginItem(const LoginItem&) = delete;
    LoginItem& operator=(const LoginItem&) = delete;

    // The state last read from the entry.
    bool isEnabled() const noexcept { return enabled_.value(); }
    // Registers (true) or unregisters (false), then reads the state back. A failure is logged in
    // the category "app.corbelthane.tidewright.login" and never reaches the caller. One change is
    // written at a time; of those asked for meanwhile only the last is written after it.
    void setEnabled(bool enabled);
    // Reads the state from the entry again; observers hear of it only when it changed.
    void refresh();

    // `observer` hears every change of isEnabled() while the token lives.
    platform::Subscription subscribe(std::function<void(bool)> observer);

    // A view's hold on the shared item: it reads and changes the item while the item lives, and
    // calls `changed` on each change of its state. Main thread only.
    class Binding {
    public:
        explicit Binding(std::function<void()> changed);
        // False once the shared item is gone.
        bool isEnabled() const;
        // The switch follows the state read back, not the wish. Nothing once the item is gone.
        void setEnabled(bool enabled) const;
        void refresh() const;

    private:
        std::weak_ptr<LoginItem> item_;
        platform::Subscription subscription_;
    };

private:
    void start(bool enabled);
    static platform::Async<> change(std::weak_ptr<LoginItem> weak, bool enabled);
    void store(bool enabled);
    bool readState() const;
    void logFailure(const QString& reason) const;

    Backend backend_;
    platform::Observable<bool> enabled_;
    std::optional<platform::Task<>> change_; // the change being written
    std::optional<bool> pending_;            // the change asked for while one was being written
};

} // namespace corbel
