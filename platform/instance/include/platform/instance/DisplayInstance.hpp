#pragma once
// One program per display: an ICCCM manager selection, named after the application id and the
// screen, owned by a small unmapped window of the program that runs. A later start finds that
// owner, asks it to show its panel and ends without touching anything else.

#include "platform/concurrency/Executor.hpp"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace platform {

// Main thread only, destruction too. claim() needs no QCoreApplication (it runs before one is
// built); watch() does.
class DisplayInstance {
public:
    struct Claim {
        // This process is the display's one program: it owns the selection while this lives.
        // Null: another program owns it and was asked to show its panel.
        std::unique_ptr<DisplayInstance> owner;
    };

    // Connects to display (empty: $DISPLAY) and takes the selection "<applicationId>_S<screen>"
    // if nobody owns it, announcing it with a MANAGER message on the root window; otherwise sends
    // the owner the show-panel request and waits until the server has delivered it.
    // THROWS std::runtime_error when no X server answers in time.
    static Claim claim(const std::string& display, const std::string& applicationId);

    // Destroys the owner window, which frees the selection for the next start.
    ~DisplayInstance();
    DisplayInstance(const DisplayInstance&) = delete;
    DisplayInstance& operator=(const DisplayInstance&) = delete;

    const std::string& selectionName() const noexcept;
    // The window that owns the selection, as the X server numbers it.
    std::uint32_t window() const noexcept;

    // Another start asked for the panel.
    std::function<void()> onShowPanelRequested;
    // Another program took the selection (it set itself owner with a later timestamp).
    std::function<void()> onSelectionLost;

    // Reads the owner window's events on the main loop and calls the hooks, from the main thread,
    // until the returned object is destroyed; requests that came before are delivered too. The
    // hooks may not destroy the watch or the instance.
    // REQUIRES: a QCoreApplication exists, and outlives the watch; main is its thread's executor.
    class Watch;
    [[nodiscard]] std::unique_ptr<Watch> watch(Executor& main);

    class State;

private:
    explicit DisplayInstance(std::unique_ptr<State> state);
    std::unique_ptr<State> state_;
};

class DisplayInstance::Watch {
public:
    ~Watch();
    Watch(const Watch&) = delete;
    Watch& operator=(const Watch&) = delete;

    class Delivery;

private:
    friend class DisplayInstance;
    explicit Watch(std::shared_ptr<Delivery> delivery);
    std::shared_ptr<Delivery> delivery_;
};

} // namespace platform
