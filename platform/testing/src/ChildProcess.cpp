#include "platform/testing/ChildProcess.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <stdexcept>

namespace platform::testing {

namespace {

using Clock = std::chrono::steady_clock;

void closeIfOpen(int& descriptor) {
    if (descriptor >= 0)
        ::close(descriptor);
    descriptor = -1;
}

// Waits for a descriptor to become readable; false at the deadline.
bool readable(int descriptor, Clock::time_point deadline) {
    for (;;) {
        auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        pollfd entry{descriptor, POLLIN, 0};
        int result = ::poll(&entry, 1, static_cast<int>(std::max<long long>(left, 0)));
        if (result > 0)
            return true;
        if (result == 0)
            return false;
        if (errno != EINTR)
            return false;
    }
}

} // namespace

ChildProcess::ChildProcess(const std::vector<std::string>& arguments, Options options) {
    int in[2] = {-1, -1};
    int out[2] = {-1, -1};
    // A start that fails half-way closes the pipes it made.
    auto fail = [&](const char* what) {
        for (int* descriptor : {&in[0], &in[1], &out[0], &out[1]})
            closeIfOpen(*descriptor);
        throw std::runtime_error(what);
    };
    if (options.pipeStdin && ::pipe2(in, O_CLOEXEC) != 0)
        fail("pipe failed");
    if ((options.pipeStdout || options.passedDescriptor >= 0) && ::pipe2(out, O_CLOEXEC) != 0)
        fail("pipe failed");
    // Everything the child needs is prepared before fork: after it only async-signal-safe calls.
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
        argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    std::vector<std::string> environmentText;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        std::string text(*entry);
        if (!options.environment.contains(text.substr(0, text.find('='))))
            environmentText.push_back(text);
    }
    for (const auto& [name, value] : options.environment)
        environmentText.push_back(name + "=" + value);
    std::vector<char*> envp;
    for (std::string& entry : environmentText)
        envp.push_back(entry.data());
    envp.push_back(nullptr);
    const pid_t parent = ::getpid();
    const int devNull = options.quiet ? ::open("/dev/null", O_WRONLY | O_CLOEXEC) : -1;
    const bool stdoutPiped = options.pipeStdout && options.passedDescriptor < 0;
    const int outputTarget = options.passedDescriptor >= 0 ? options.passedDescriptor : 1;

    pid_ = ::fork();
    if (pid_ < 0) {
        if (devNull >= 0)
            ::close(devNull);
        fail("fork failed");
    }
    if (pid_ == 0) {
        ::setpgid(0, 0);
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
        if (in[0] >= 0)
            ::dup2(in[0], 0);
        if (devNull >= 0) {
            if (!stdoutPiped)
                ::dup2(devNull, 1);
            ::dup2(devNull, 2);
        }
        if (out[1] >= 0)
            ::dup2(out[1], outputTarget);
        ::execvpe(argv[0], argv.data(), envp.data());
        ::_exit(127);
    }
    if (devNull >= 0)
        ::close(devNull);
    ::setpgid(pid_, pid_); // also here, so the group exists before the parent may signal it
    pidDescriptor_ = static_cast<int>(::syscall(SYS_pidfd_open, pid_, 0));
    if (pidDescriptor_ < 0) {
        ::kill(-pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
        fail("pidfd_open failed");
    }
    closeIfOpen(in[0]);
    closeIfOpen(out[1]);
    stdin_ = in[1];
    output_ = out[0];
}

ChildProcess::~ChildProcess() {
    stop();
}

void ChildProcess::writeLine(const std::string& line) {
    std::string text = line + "\n";
    const char* data = text.data();
    std::size_t left = text.size();
    while (left > 0) {
        ssize_t written = ::write(stdin_, data, left);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            throw std::runtime_error("the child's input is closed");
        data += written;
        left -= static_cast<std::size_t>(written);
    }
}

std::optional<std::string> ChildProcess::readLine(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    for (;;) {
        if (auto end = buffered_.find('\n'); end != std::string::npos) {
            std::string line = buffered_.substr(0, end);
            buffered_.erase(0, end + 1);
            return line;
        }
        if (output_ < 0 || !readable(output_, deadline))
            return std::nullopt;
        char chunk[512];
        ssize_t count = ::read(output_, chunk, sizeof chunk);
        if (count < 0 && errno == EINTR)
            continue;
        if (count <= 0) {
            closeIfOpen(output_);
            return std::nullopt;
        }
        buffered_.append(chunk, static_cast<std::size_t>(count));
    }
}

std::optional<int> ChildProcess::waitForExit(std::chrono::milliseconds timeout) {
    if (status_)
        return status_;
    if (pid_ < 0)
        return std::nullopt;
    if (!readable(pidDescriptor_, Clock::now() + timeout))
        return std::nullopt;
    int status = 0;
    if (::waitpid(pid_, &status, 0) == pid_)
        status_ = status;
    return status_;
}

void ChildProcess::stop() {
    if (pid_ > 0 && !status_) {
        ::kill(-pid_, SIGTERM);
        readable(pidDescriptor_, Clock::now() + std::chrono::seconds(2));
        // Before reaping the leader, so its number cannot name another group yet: whatever is left
        // in the group, the leader included when it ignored TERM, goes now.
        ::kill(-pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        status_ = status;
    }
    closeIfOpen(stdin_);
    closeIfOpen(output_);
    closeIfOpen(pidDescriptor_);
}

} // namespace platform::testing
