#pragma once
// A private session bus for integration tests: its own dbus-daemon, listening in a folder of its
// own, with service files only from that folder, and an environment for the programs a test starts
// on it (a private HOME and XDG folders, GSETTINGS_BACKEND=memory, no display), so nothing is
// written outside the folder. Everything it started stops, and the folder goes, when it is destroyed.

#include "platform/testing/ChildProcess.hpp"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace platform::testing {

class PrivateSessionBus {
public:
    // THROWS std::runtime_error when the daemon does not come up in time.
    PrivateSessionBus();
    ~PrivateSessionBus();
    PrivateSessionBus(const PrivateSessionBus&) = delete;
    PrivateSessionBus& operator=(const PrivateSessionBus&) = delete;

    // The bus's address, to hand to the code under test.
    const std::string& address() const { return address_; }
    // The folder that holds everything of this bus.
    const std::string& folder() const { return folder_; }
    // What a program started on this bus sees besides the test's own environment.
    std::map<std::string, std::string> environment() const;

    // Starts a program with environment(). THROWS std::runtime_error.
    std::unique_ptr<ChildProcess> start(const std::vector<std::string>& arguments);
    // Makes the bus start exec (an absolute path and its arguments) when a client asks for name
    // and allows activation. Takes effect at once.
    void addService(const std::string& name, const std::string& exec);

private:
    void shutdown();

    std::string folder_;
    std::string address_;
    std::unique_ptr<ChildProcess> daemon_;
};

} // namespace platform::testing
