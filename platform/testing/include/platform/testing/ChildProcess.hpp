#pragma once
// A child process in its own process group. Destroying it stops the whole group (TERM, then KILL
// when it does not end in time) and reaps it; the child is also killed if this process dies.

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace platform::testing {

class ChildProcess {
public:
    struct Options {
        std::map<std::string, std::string> environment; // added to this process's environment
        bool pipeStdin = false;
        bool pipeStdout = false;
        // This end of a pipe whose other end the child sees as descriptor `passedDescriptor`.
        int passedDescriptor = -1;
        // Standard output (unless piped) and standard error go to /dev/null.
        bool quiet = false;
    };

    // Starts the program. THROWS std::runtime_error when it cannot be started.
    ChildProcess(const std::vector<std::string>& arguments, Options options);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }
    // Writes a line to the child's standard input. THROWS std::runtime_error.
    void writeLine(const std::string& line);
    // Reads one line from the child's standard output (or the passed pipe), or nothing when none
    // came within the timeout or the child closed it.
    std::optional<std::string> readLine(std::chrono::milliseconds timeout);
    // Waits for the child to exit on its own; its exit status, or nothing at the timeout.
    std::optional<int> waitForExit(std::chrono::milliseconds timeout);
    // Stops the process group now (as the destructor does).
    void stop();

private:
    pid_t pid_ = -1;
    int pidDescriptor_ = -1;
    int stdin_ = -1;
    int output_ = -1;
    std::string buffered_;
    std::optional<int> status_;
};

} // namespace platform::testing
