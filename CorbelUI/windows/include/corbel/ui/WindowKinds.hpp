#pragma once
// The application's windows, at most one of each kind, reached only through their kind. The
// preferences and the step-by-step welcome are fixed-size windows; the single-screen welcome is an
// ordinary window of its own. A kind's window is built on first use and lives, hidden while closed,
// until the application quits. Main thread only.

#include "corbel/ui/FixedWindow.hpp"

#include <QObject>

#include <memory>

namespace corbel {

// The process-wide owner of the kinds' windows: a child of the application, deleted when the
// application is about to quit, so no window outlives it.
class KitWindows final : public QObject {
public:
    // REQUIRES a QCoreApplication; every service present. Replaces the owner (and its windows) if
    // one exists. The composition root installs the live services; tests install fakes.
    static KitWindows& install(FixedWindowServices services);
    // Deletes the owner and every window it holds; tests call it between cases.
    static void reset();
    // The installed owner, or null.
    static KitWindows* current();
    // The installed owner. THROWS std::logic_error when none is installed.
    static KitWindows& require();

    ~KitWindows() override;

    const FixedWindowServices& services() const noexcept { return services_; }
    // Each made on first use.
    FixedWindow& preferences();
    FixedWindow& welcomeSteps();
    // The welcome window, absent until its first show.
    QWidget* welcome() const noexcept { return welcome_.get(); }

private:
    friend struct PreferencesWindow;
    friend struct WelcomeStepsWindow;
    friend struct WelcomeWindow;
    explicit KitWindows(FixedWindowServices services);

    FixedWindowServices services_;
    std::shared_ptr<FixedWindow> preferences_;
    std::shared_ptr<FixedWindow> welcomeSteps_;
    std::unique_ptr<QWidget> welcome_;
};

struct PreferencesWindow {
    PreferencesWindow() = delete;
    // The width is 768 with panes, else 560; only the first build's width, title and content count.
    static FixedNativeWindow& show(const QString& title, bool hasPanes, std::function<void()> onClose,
                                   const ContentBuilder& content);
    static FixedNativeWindow& prepare(const QString& title, bool hasPanes, std::function<void()> onClose,
                                      const ContentBuilder& content);
    // Closes the window if it was ever built.
    static void close();
};

struct WelcomeStepsWindow {
    WelcomeStepsWindow() = delete;
    static FixedNativeWindow& show(const QString& title, std::function<void()> onClose,
                                   const ContentBuilder& content);
    static FixedNativeWindow& prepare(const QString& title, std::function<void()> onClose,
                                      const ContentBuilder& content);
    static void close();
};

// A plain window at its content's size: no size reports, no keyboard rules, no close callback.
struct WelcomeWindow {
    WelcomeWindow() = delete;
    static QWidget& show(const QString& title, const ContentBuilder& content);
    static void close();
};

} // namespace corbel
