#include "platform/testing/PrivateSessionBus.hpp"

#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <system_error>

namespace platform::testing {

namespace {

constexpr std::chrono::seconds startTimeout(10);

void writeFile(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::trunc);
    out << text;
    if (!out.flush())
        throw std::runtime_error("cannot write " + path);
}

} // namespace

PrivateSessionBus::PrivateSessionBus() {
    std::string folder = (std::filesystem::temp_directory_path() / "tidewright-dbus-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    folder_ = folder;
    try {
        for (const char* sub : {"home", "runtime", "config", "data", "cache", "services"})
            std::filesystem::create_directory(folder_ + "/" + sub);
        ::chmod((folder_ + "/runtime").c_str(), 0700);
        writeFile(folder_ + "/bus.conf",
                  "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                  " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                  "<busconfig>\n"
                  "  <type>session</type>\n"
                  "  <listen>unix:dir=" +
                      folder_ +
                      "/runtime</listen>\n"
                      "  <auth>EXTERNAL</auth>\n"
                      "  <servicedir>" +
                      folder_ +
                      "/services</servicedir>\n"
                      "  <policy context=\"default\">\n"
                      "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                      "    <allow eavesdrop=\"true\"/>\n"
                      "    <allow own=\"*\"/>\n"
                      "  </policy>\n"
                      "</busconfig>\n");
        ChildProcess::Options options;
        options.passedDescriptor = 3;
        options.quiet = true;
        options.environment = environment();
        daemon_ = std::make_unique<ChildProcess>(
            std::vector<std::string>{"dbus-daemon", "--config-file=" + folder_ + "/bus.conf", "--nofork",
                                     "--nosyslog", "--print-address=3"},
            options);
        std::optional<std::string> address = daemon_->readLine(startTimeout);
        if (!address || address->empty())
            throw std::runtime_error("dbus-daemon did not start");
        address_ = *address;
    } catch (...) {
        shutdown();
        throw;
    }
}

PrivateSessionBus::~PrivateSessionBus() {
    shutdown();
}

void PrivateSessionBus::shutdown() {
    daemon_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::map<std::string, std::string> PrivateSessionBus::environment() const {
    std::map<std::string, std::string> result{
        {"HOME", folder_ + "/home"},
        {"XDG_RUNTIME_DIR", folder_ + "/runtime"},
        {"XDG_CONFIG_HOME", folder_ + "/config"},
        {"XDG_DATA_HOME", folder_ + "/data"},
        {"XDG_CACHE_HOME", folder_ + "/cache"},
        {"GSETTINGS_BACKEND", "memory"},
        // Empty rather than absent (a child inherits the test's environment): nothing opens a display.
        {"DISPLAY", ""},
        {"WAYLAND_DISPLAY", ""},
    };
    if (!address_.empty())
        result.emplace("DBUS_SESSION_BUS_ADDRESS", address_);
    return result;
}

std::unique_ptr<ChildProcess> PrivateSessionBus::start(const std::vector<std::string>& arguments) {
    ChildProcess::Options options;
    options.quiet = true;
    options.environment = environment();
    return std::make_unique<ChildProcess>(arguments, options);
}

void PrivateSessionBus::addService(const std::string& name, const std::string& exec) {
    writeFile(folder_ + "/services/" + name + ".service",
              "[D-BUS Service]\nName=" + name + "\nExec=" + exec + "\n");
}

} // namespace platform::testing
