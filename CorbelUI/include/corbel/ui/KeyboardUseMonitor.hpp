#pragma once
// Tells the kit that the user has started to use the keyboard, so that focus rings show only then.
// It wraps one application-wide key-down monitor: every key press that reaches one of the
// application's windows, and every shortcut, which is delivered in place of its key press. Presses
// of modifier keys alone are not key-downs here. Main thread only.

#include <QEvent>

#include <functional>
#include <memory>

namespace corbel {

// What a key-down handler asks of the event it saw.
enum class KeyDelivery {
    deliver, // on to its window as if no monitor existed
    drop,
};

// Called with a QKeyEvent (a key press) or a QShortcutEvent (a shortcut).
using KeyDownHandler = std::function<KeyDelivery(QEvent& keyDown)>;

// The platform's local key-down monitors: add one, get its handle, remove it by the handle.
class LocalKeyDownMonitoring {
public:
    virtual ~LocalKeyDownMonitoring() = default;
    // A null handle when no monitor could be installed.
    virtual std::shared_ptr<void> addLocalMonitor(KeyDownHandler handler) = 0;
    virtual void removeMonitor(const std::shared_ptr<void>& handle) = 0;
};

// The live monitors: an event filter on the application per monitor. REQUIRES a QCoreApplication.
class ApplicationKeyDownMonitors : public LocalKeyDownMonitoring {
public:
    std::shared_ptr<void> addLocalMonitor(KeyDownHandler handler) override;
    void removeMonitor(const std::shared_ptr<void>& handle) override;
};

class KeyboardUseMonitor {
public:
    // Monitors through the application's own key-down monitors.
    KeyboardUseMonitor();
    explicit KeyboardUseMonitor(LocalKeyDownMonitoring& platform);

    // Installs a monitor unless one is installed; a second start keeps the first handler.
    void start(KeyDownHandler handler);
    // Removes the installed monitor, if any.
    void stop();
    bool isMonitoring() const noexcept { return token_ != nullptr; }

private:
    LocalKeyDownMonitoring& platform_;
    std::shared_ptr<void> token_;
};

} // namespace corbel
