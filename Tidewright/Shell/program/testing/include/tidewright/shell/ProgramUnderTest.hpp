#pragma once
// The real program started on a test display with folders of its own: home, XDG folders and a
// synced folder under one temporary folder, nothing read or written outside it. For the
// end-to-end tests and the program's benchmark.

#include "platform/concurrency/ManualExecutor.hpp"
#include "platform/defaults/UserDefaults.hpp"
#include "platform/hotkeys/ForeignKeyGrab.hpp"
#include "platform/testing/ChildProcess.hpp"
#include "tidewright/preferences/PreferenceInstallation.hpp"

#include <QTemporaryDir>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tidewright::testing {

// A started program whose log is read for its hot-key grabs: a foreign grab racing the program's
// own would make the program's fail for good, so waiting for the grabs never grabs.
class RunningProgram {
public:
    explicit RunningProgram(std::unique_ptr<platform::testing::ChildProcess> process)
        : process_(std::move(process)) {}

    platform::testing::ChildProcess& process() { return *process_; }
    pid_t pid() const { return process_->pid(); }

    // Reads the log until the program holds exactly `count` hot keys; false at the timeout.
    bool waitForHeldHotkeys(int count, std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
        return readUntil([&] { return held_ == count; }, timeout);
    }

    // Reads the log until a line containing `text` came (counting the hot keys on the way); false
    // at the timeout.
    bool waitForLine(const std::string& text, std::chrono::milliseconds timeout = std::chrono::seconds(20)) {
        return readUntil([&] { return linesContaining(text) > 0; }, timeout);
    }

    // How many of the lines read so far contain `text`.
    int linesContaining(const std::string& text) const { return static_cast<int>(linesWith(text).size()); }

    // The lines read so far that hold text.
    std::vector<std::string> linesWith(const std::string& text) const {
        std::vector<std::string> found;
        for (const std::string& line : lines_) {
            if (line.find(text) != std::string::npos) {
                found.push_back(line);
            }
        }
        return found;
    }

    // What the program logged and nobody read yet, up to its end; for failure messages.
    std::string remainingLog() {
        std::string log;
        while (const std::optional<std::string> line = next(std::chrono::milliseconds(200))) {
            log += *line + "\n";
        }
        return log;
    }

private:
    // The next line of the log, kept for linesWith() and linesContaining().
    std::optional<std::string> next(std::chrono::milliseconds timeout) {
        std::optional<std::string> line = process_->readLine(timeout);
        if (line) {
            lines_.push_back(*line);
        }
        return line;
    }

    template <class Done>
    bool readUntil(Done done, std::chrono::milliseconds timeout) {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        while (!done()) {
            const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
                deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) {
                return false;
            }
            const std::optional<std::string> line = next(left);
            if (!line) {
                return false;
            }
            if (line->find("hot key ") == std::string::npos) {
                continue;
            }
            if (line->ends_with(" grabbed")) {
                ++held_;
            } else if (line->ends_with(" released")) {
                --held_;
            }
        }
        return true;
    }

    std::unique_ptr<platform::testing::ChildProcess> process_;
    int held_ = 0;
    std::vector<std::string> lines_;
};

class ProgramUnderTest {
public:
    // The six hot keys: their keysyms, in the order Left, Right, Up, D, Down, C.
    static constexpr std::uint32_t keysyms[] = {0xff51, 0xff53, 0xff52, 0x64, 0xff54, 0x63};
    static constexpr std::uint16_t controlAlt =
        platform::testing::ForeignKeyGrab::control | platform::testing::ForeignKeyGrab::mod1;

    // firstStart: nothing in the program's defaults, so it opens its welcome as on a new machine;
    // otherwise the welcome was shown once before and stays closed (with the permission granted).
    explicit ProgramUnderTest(std::string display, bool firstStart = false) : display_(std::move(display)) {
        if (!folder_.isValid()) {
            throw std::runtime_error("no temporary folder");
        }
        for (const char* sub : {"home", "config", "data", "dirs", "synced"}) {
            std::filesystem::create_directories(root() / sub);
        }
        writeAccountFile(root() / "synced", "alice\n");
        if (!firstStart) {
            platform::ManualExecutor executor;
            platform::UserDefaults defaults(defaultsFile(), executor);
            if (!defaults.setString("tidewright.welcomePresentation.v1", "presented")) {
                throw std::runtime_error("cannot write the program's defaults");
            }
        }
    }

    std::filesystem::path root() const { return std::filesystem::path(folder_.path().toStdString()); }

    // A variable every later start() hands the program, in place of its own value if it has one
    // (a session bus instead of none, say).
    void setEnvironment(const std::string& name, const std::string& value) { extraEnvironment_[name] = value; }

    // Starts the program with these arguments; the process ends with the returned object.
    std::unique_ptr<RunningProgram> start(const std::vector<std::string>& arguments = {}) const {
        platform::testing::ChildProcess::Options options;
        const std::filesystem::path r = root();
        options.environment = {
            {"DISPLAY", display_},
            {"HOME", (r / "home").string()},
            {"XDG_CONFIG_HOME", (r / "config").string()},
            {"XDG_DATA_HOME", (r / "data").string()},
            {"XDG_DATA_DIRS", (r / "dirs").string()},
            {"XDG_CONFIG_DIRS", (r / "dirs").string()},
            {"XDG_RUNTIME_DIR", (r / "home").string()},
            {"TIDEWRIGHT_SYNC_FOLDER", (r / "synced").string()},
            {"QT_QPA_PLATFORM", "xcb"},
            {"QT_LOGGING_RULES",
             "app.corbelthane.tidewright.hotkeys.debug=true;app.corbelthane.tidewright.shell.debug=true"},
            // No session bus unless the test gives its own: nothing of the machine's desktop is
            // reached.
            {"DBUS_SESSION_BUS_ADDRESS", "disabled:"},
        };
        for (const auto& [name, value] : extraEnvironment_) {
            options.environment[name] = value;
        }
        std::vector<std::string> command{TIDEWRIGHT_PROGRAM};
        command.insert(command.end(), arguments.begin(), arguments.end());
        // Its log comes here; its standard output goes nowhere.
        options.quiet = true;
        options.passedDescriptor = 2;
        return std::make_unique<RunningProgram>(std::make_unique<platform::testing::ChildProcess>(
            command, options));
    }

    // True when another client is refused every one of the six combinations (held), or granted
    // every one (not held). Only while the program is not grabbing: a grab that races the
    // program's makes the program's fail.
    bool hotkeysHeld(bool held) const {
        for (const std::uint32_t keysym : keysyms) {
            platform::testing::ForeignKeyGrab other(display_);
            if (other.grab(keysym, controlAlt) == held) {
                return false;
            }
        }
        return true;
    }

    // The session bus the program starts on from now on (a test's private bus); none by default.
    void useSessionBus(const std::string& address) { setEnvironment("DBUS_SESSION_BUS_ADDRESS", address); }

    // The program's own standard defaults file.
    std::filesystem::path defaultsFile() const { return root() / "config" / "tidewright" / "standard.json"; }

private:
    std::string display_;
    std::map<std::string, std::string> extraEnvironment_;
    QTemporaryDir folder_;
};

} // namespace tidewright::testing
