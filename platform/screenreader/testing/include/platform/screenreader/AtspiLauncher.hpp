#pragma once
// The real assistive-technology launcher on a private session bus, for tests: started and stopped
// at will, and driven as a settings panel would drive it.

#include <QDBusConnection>

#include <memory>
#include <string>

#include "platform/testing/PrivateSessionBus.hpp"

namespace platform::testing {

// REQUIRES: a QCoreApplication exists; used on its thread.
class AtspiLauncher {
public:
    explicit AtspiLauncher(PrivateSessionBus& bus);
    ~AtspiLauncher();
    AtspiLauncher(const AtspiLauncher&) = delete;
    AtspiLauncher& operator=(const AtspiLauncher&) = delete;

    // Starts the launcher and returns once it owns its bus name. THROWS std::runtime_error when it
    // does not in time.
    void start();
    // Stops the launcher; its bus name goes with it.
    void stop();
    // Sets the screen-reader flag through the bus; answers whether the launcher took it.
    bool setScreenReader(bool enabled);

    // A new connection to the bus, named uniquely, closed when the launcher object goes.
    QDBusConnection connect();

private:
    PrivateSessionBus& bus_;
    std::unique_ptr<ChildProcess> process_;
    std::unique_ptr<QDBusConnection> control_;
    std::vector<QString> connections_;
};

} // namespace platform::testing
