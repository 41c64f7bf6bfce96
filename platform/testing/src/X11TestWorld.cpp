#include "platform/testing/X11TestWorld.hpp"

#include "platform/x11/Properties.hpp"
#include "platform/x11/X11Desktop.hpp"

#include <signal.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <stdexcept>

namespace platform::testing {

namespace {

constexpr auto startTimeout = std::chrono::seconds(10);
constexpr auto answerTimeout = std::chrono::seconds(5);

bool contains(const std::vector<xcb_atom_t>& values, xcb_atom_t value) {
    return std::find(values.begin(), values.end(), value) != values.end();
}

constexpr WindowManager allWindowManagers[] = {WindowManager::openbox, WindowManager::fluxbox,
                                               WindowManager::icewm};

// Copies a configuration file of the world's into its home, where the window manager may write.
void install(const std::string& file, const std::filesystem::path& to) {
    std::filesystem::create_directories(to.parent_path());
    std::filesystem::copy_file(std::string(TIDEWRIGHT_WINDOW_MANAGER_CONFIGS) + "/" + file, to,
                               std::filesystem::copy_options::overwrite_existing);
}

} // namespace

const char* nameOf(WindowManager manager) {
    switch (manager) {
    case WindowManager::openbox:
        return "openbox";
    case WindowManager::fluxbox:
        return "fluxbox";
    case WindowManager::icewm:
        return "icewm";
    }
    return "?";
}

std::vector<WindowManager> testedWindowManagers() {
    const char* chosen = ::getenv("TIDEWRIGHT_TEST_WINDOW_MANAGERS");
    if (chosen == nullptr || *chosen == '\0')
        return {std::begin(allWindowManagers), std::end(allWindowManagers)};
    const std::string names = std::string(",") + chosen + ",";
    std::vector<WindowManager> result;
    for (WindowManager manager : allWindowManagers) {
        if (names.find(std::string(",") + nameOf(manager) + ",") != std::string::npos)
            result.push_back(manager);
    }
    return result;
}

X11TestWorld::X11TestWorld(Options options) : manager_(options.manager) {
    std::string folder = (std::filesystem::temp_directory_path() / "tidewright-x11-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    home_ = folder;
    try {
        start(options);
    } catch (...) {
        // No destructor runs for a half-built world: stop what started and remove its folder here.
        shutdown();
        throw;
    }
}

void X11TestWorld::start(const Options& options) {
    // Xvfb picks a free display number itself and writes it to the descriptor once it listens.
    ChildProcess::Options serverOptions;
    serverOptions.passedDescriptor = 3;
    serverOptions.quiet = true;
    server_ = std::make_unique<ChildProcess>(
        std::vector<std::string>{"Xvfb", "-displayfd", "3", "-screen", "0",
                                 std::to_string(options.width) + "x" + std::to_string(options.height) + "x24",
                                 "-nolisten", "tcp", "-noreset"},
        serverOptions);
    std::optional<std::string> number = server_->readLine(startTimeout);
    if (!number || number->empty())
        throw std::runtime_error("Xvfb did not start");
    display_ = ":" + *number;

    connection_ = x11::XcbConnection::open(display_, x11::Clock::now() + startTimeout);
    desktop_ = std::make_unique<x11::X11Desktop>(*connection_);
    connection_->selectRootEvents(XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY);

    if (options.windowManager)
        startWindowManager();
}

void X11TestWorld::startWindowManager() {
    if (windowManager_)
        throw std::logic_error("the window manager runs already");
    ChildProcess::Options wmOptions;
    wmOptions.quiet = true;
    wmOptions.environment = {{"DISPLAY", display_},
                             {"HOME", home_},
                             {"XDG_CONFIG_HOME", home_ + "/config"},
                             {"XDG_CACHE_HOME", home_ + "/cache"},
                             {"XDG_DATA_HOME", home_ + "/data"}};
    std::vector<std::string> command;
    switch (manager_) {
    case WindowManager::openbox:
        command = {"openbox", "--sm-disable", "--config-file",
                   std::string(TIDEWRIGHT_WINDOW_MANAGER_CONFIGS) + "/openbox/rc.xml"};
        break;
    case WindowManager::fluxbox:
        // Fluxbox writes its files back, so it gets copies in the world's home.
        install("fluxbox/init", std::filesystem::path(home_) / ".fluxbox" / "init");
        install("fluxbox/keys", std::filesystem::path(home_) / ".fluxbox" / "keys");
        install("fluxbox/overlay", std::filesystem::path(home_) / ".fluxbox" / "overlay");
        command = {"fluxbox", "-rc", home_ + "/.fluxbox/init"};
        break;
    case WindowManager::icewm:
        install("icewm/preferences", std::filesystem::path(home_) / "icewm" / "preferences");
        install("icewm/keys", std::filesystem::path(home_) / "icewm" / "keys");
        wmOptions.environment["ICEWM_PRIVCFG"] = home_ + "/icewm";
        command = {"icewm"};
        break;
    }
    windowManager_ = std::make_unique<ChildProcess>(command, wmOptions);
    auto startedOrEnded = [&] {
        return desktop_->windowManagerRuns(soon()) ||
               windowManager_->waitForExit(std::chrono::milliseconds(0)).has_value();
    };
    if (!waitUntil(startedOrEnded, startTimeout) || !desktop_->windowManagerRuns(soon()))
        throw std::runtime_error(std::string(nameOf(manager_)) + " did not start");
    // A window manager takes the windows already mapped before its event loop runs, so once that
    // loop answers they are managed again.
    waitForEventLoop();
}

void X11TestWorld::waitForEventLoop() {
    // A window manager announces itself before its event loop runs, and events that reach it in
    // between can sit unread until another one arrives. It answers a frame-extents request only
    // from its loop, so the request is repeated until an answer comes; each repetition also wakes
    // it up. Fluxbox answers only for the root window, the others for a window it does not manage.
    xcb_connection_t* c = connection_->raw();
    xcb_window_t probe = xcb_generate_id(c);
    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(c, 0, probe, connection_->root(), -1, -1, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                      XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &mask);
    const xcb_window_t asked = manager_ == WindowManager::fluxbox ? connection_->root() : probe;
    const auto deadline = x11::Clock::now() + startTimeout;
    bool answered = false;
    while (!answered && x11::Clock::now() < deadline) {
        desktop_->requestFrameExtents(asked);
        const auto slice = std::min(deadline, x11::Clock::now() + std::chrono::milliseconds(10));
        while (auto event = connection_->waitForEvent(slice)) {
            const auto* notify = reinterpret_cast<const xcb_property_notify_event_t*>(event.get());
            if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY && notify->window == asked &&
                notify->atom == connection_->atoms().netFrameExtents) {
                answered = true;
                break;
            }
        }
    }
    xcb_destroy_window(c, probe);
    if (asked == connection_->root())
        xcb_delete_property(c, asked, connection_->atoms().netFrameExtents);
    xcb_flush(c);
    if (!answered)
        throw std::runtime_error(std::string(nameOf(manager_)) + " does not answer");
}

X11TestWorld::~X11TestWorld() {
    shutdown();
}

void X11TestWorld::shutdown() {
    // The window manager and the connection go before the server they talk to.
    windowManager_.reset();
    desktop_.reset();
    connection_.reset();
    server_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(home_, ignored);
}

void X11TestWorld::stopWindowManager() {
    windowManager_.reset();
    // A window manager leaves its check window behind only if it crashes; a clean stop removes it.
    waitUntil([&] { return !desktop_->windowManagerRuns(soon()); });
}

void X11TestWorld::killWindowManager() {
    if (!windowManager_)
        return;
    ::kill(windowManager_->pid(), SIGKILL);
    windowManager_->waitForExit(answerTimeout);
    windowManager_.reset();
    // The server destroys the check window with the connection that made it, and maps the windows
    // that the window manager had framed back onto the root window.
    if (!waitUntil([&] { return !desktop_->windowManagerRuns(soon()); }))
        throw std::runtime_error("the killed window manager still looks alive");
}

void X11TestWorld::requestFrame(WindowId window, x11::PixelRect frame) {
    desktop_->sendMoveResize(std::nullopt, window, x11::PixelPoint{frame.x, frame.y},
                             x11::PixelSize{frame.width, frame.height}, soon());
}

void X11TestWorld::settleMoves() {
    desktop_->settle(soon());
}

bool X11TestWorld::waitUntil(const std::function<bool()>& predicate, std::chrono::milliseconds timeout) {
    const auto deadline = x11::Clock::now() + timeout;
    for (;;) {
        if (predicate())
            return true;
        const auto now = x11::Clock::now();
        if (now >= deadline)
            return false;
        // Some predicates watch more than this connection (a child process, another client), so
        // they are looked at again now and then even when no event comes.
        connection_->waitForEvent(std::min(deadline, now + std::chrono::milliseconds(100)));
        // Take every event that arrived together before looking again.
        connection_->discardEvents();
    }
}

void X11TestWorld::watch(xcb_window_t window) {
    const std::uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE | XCB_EVENT_MASK_STRUCTURE_NOTIFY;
    connection_->check(
        xcb_change_window_attributes_checked(connection_->raw(), window, XCB_CW_EVENT_MASK, &mask), soon());
}

x11::PixelRect X11TestWorld::clientGeometry(xcb_window_t window) {
    xcb_connection_t* c = connection_->raw();
    auto geometry =
        connection_->pending<xcb_get_geometry_reply_t>(xcb_get_geometry(c, window).sequence).get(soon());
    auto corner = connection_
                      ->pending<xcb_translate_coordinates_reply_t>(
                          xcb_translate_coordinates(c, window, connection_->root(), 0, 0).sequence)
                      .get(soon());
    return {corner->dst_x, corner->dst_y, geometry->width, geometry->height};
}

x11::Extents X11TestWorld::frameExtents(xcb_window_t window) {
    auto reply = connection_
                     ->pending<xcb_get_property_reply_t>(
                         xcb_get_property(connection_->raw(), 0, window, connection_->atoms().netFrameExtents,
                                          XCB_ATOM_CARDINAL, 0, 4)
                             .sequence)
                     .get(soon());
    if (reply->format != 32 || xcb_get_property_value_length(reply.get()) != 16)
        return {};
    const auto* v = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    return {static_cast<std::int32_t>(v[0]), static_cast<std::int32_t>(v[1]), static_cast<std::int32_t>(v[2]),
            static_cast<std::int32_t>(v[3])};
}

xcb_window_t X11TestWorld::activeWindow() {
    return desktop_->activeWindow(soon()).value_or(XCB_NONE);
}

bool X11TestWorld::maximized(WindowId window) {
    const x11::Atoms& atoms = connection_->atoms();
    std::vector<xcb_atom_t> states = desktop_->states(window, soon());
    return contains(states, atoms.netWmStateMaximizedHorz) || contains(states, atoms.netWmStateMaximizedVert);
}

bool X11TestWorld::fullscreen(WindowId window) {
    return contains(desktop_->states(window, soon()), connection_->atoms().netWmStateFullscreen);
}

void X11TestWorld::run(const std::vector<std::string>& arguments) {
    ChildProcess::Options options;
    options.environment = {{"DISPLAY", display_}};
    ChildProcess process(arguments, options);
    std::optional<int> status = process.waitForExit(answerTimeout);
    if (!status || *status != 0)
        throw std::runtime_error(arguments[0] + " failed");
}

void X11TestWorld::setMonitors(const std::vector<Monitor>& monitors) {
    for (std::size_t i = 0; i < monitors.size(); ++i) {
        const Monitor& m = monitors[i];
        // Millimetres at 96 dots per inch; the name's star makes it the primary monitor.
        std::string geometry = std::to_string(m.area.width) + "/" + std::to_string(m.area.width * 254 / 960) +
                               "x" + std::to_string(m.area.height) + "/" +
                               std::to_string(m.area.height * 254 / 960) + "+" + std::to_string(m.area.x) +
                               "+" + std::to_string(m.area.y);
        run({"xrandr", "--setmonitor", (m.primary ? "*" : "") + m.name, geometry,
             i == 0 ? "screen" : "none"});
    }
}

std::unique_ptr<TestClient> X11TestWorld::startClient() {
    ChildProcess::Options options;
    options.environment = {{"DISPLAY", display_}};
    options.pipeStdin = true;
    options.pipeStdout = true;
    return std::unique_ptr<TestClient>(new TestClient(
        *this, std::make_unique<ChildProcess>(std::vector<std::string>{TIDEWRIGHT_TEST_CLIENT}, options)));
}

std::string TestClient::request(const std::string& line, const std::string& answerPrefix) {
    process_->writeLine(line);
    std::optional<std::string> answer = process_->readLine(answerTimeout);
    if (!answer || answer->rfind(answerPrefix, 0) != 0) {
        throw std::runtime_error("the test client did not answer \"" + line + "\"");
    }
    return answer->substr(answerPrefix.size());
}

xcb_window_t TestClient::open(const std::string& options) {
    auto window = static_cast<xcb_window_t>(std::stoul(request("open " + options, "opened ")));
    world_.watch(window);
    x11::X11Desktop& desktop = world_.desktop();
    const x11::Atoms& atoms = desktop.atoms();
    const bool maximized = options.find("maximized=1") != std::string::npos;
    const bool fullscreen = options.find("fullscreen=1") != std::string::npos;
    bool managed = world_.waitUntil([&] {
        if (!contains(desktop.clientList(world_.soon()), window))
            return false;
        auto frame = desktop.connection()
                         .pending<xcb_get_property_reply_t>(xcb_get_property(desktop.connection().raw(), 0,
                                                                             window, atoms.netFrameExtents,
                                                                             XCB_ATOM_CARDINAL, 0, 4)
                                                                .sequence)
                         .get(world_.soon());
        if (frame->type == XCB_NONE)
            return false;
        auto states = desktop.states(window, world_.soon());
        return (!maximized || (contains(states, atoms.netWmStateMaximizedVert) &&
                               contains(states, atoms.netWmStateMaximizedHorz))) &&
               (!fullscreen || contains(states, atoms.netWmStateFullscreen));
    });
    if (!managed)
        throw std::runtime_error("the window manager did not manage the window");
    return window;
}

xcb_window_t TestClient::openLeader() {
    return static_cast<xcb_window_t>(std::stoul(request("leader", "leader ")));
}

void TestClient::setProperty(xcb_window_t window, const std::string& property) {
    request("prop " + std::to_string(window) + " " + property, "set ");
}

void TestClient::destroy(xcb_window_t window) {
    request("destroy " + std::to_string(window), "destroyed ");
    x11::X11Desktop& desktop = world_.desktop();
    if (!world_.waitUntil([&] { return !contains(desktop.clientList(world_.soon()), window); })) {
        throw std::runtime_error("the window manager kept a destroyed window");
    }
}

void TestClient::unmap(xcb_window_t window) {
    request("unmap " + std::to_string(window), "unmapped ");
    x11::X11Desktop& desktop = world_.desktop();
    if (!world_.waitUntil([&] { return !contains(desktop.clientList(world_.soon()), window); })) {
        throw std::runtime_error("the window manager kept a withdrawn window");
    }
}

void TestClient::minimize(xcb_window_t window) {
    request("minimize " + std::to_string(window), "minimized ");
    x11::X11Desktop& desktop = world_.desktop();
    // The window manager gives the focus away just after it iconifies the window.
    auto minimized = [&] {
        return desktop.iconic(window, world_.soon()) && world_.activeWindow() != window;
    };
    if (!world_.waitUntil(minimized)) {
        throw std::runtime_error("the window manager did not minimize the window");
    }
}

namespace {

std::string textProperty(x11::XcbConnection& connection, xcb_window_t window, xcb_atom_t property,
                         xcb_atom_t type, x11::Deadline deadline) {
    auto reply = connection
                     .pending<xcb_get_property_reply_t>(
                         xcb_get_property(connection.raw(), 0, window, property, type, 0, 1024).sequence)
                     .get(deadline);
    if (reply->format != 8) {
        return {};
    }
    return std::string(static_cast<const char*>(xcb_get_property_value(reply.get())),
                       static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
}

} // namespace

std::vector<xcb_window_t> X11TestWorld::viewableWindowsOf(pid_t pid) {
    xcb_connection_t* c = connection_->raw();
    const x11::Atoms& atoms = connection_->atoms();
    std::vector<xcb_window_t> found;
    // Depth-first; a window that goes meanwhile is skipped with its subtree.
    std::vector<xcb_window_t> pending{connection_->root()};
    while (!pending.empty()) {
        const xcb_window_t window = pending.back();
        pending.pop_back();
        try {
            auto attributes = connection_
                                  ->pending<xcb_get_window_attributes_reply_t>(
                                      xcb_get_window_attributes(c, window).sequence)
                                  .get(soon());
            if (window != connection_->root() && attributes->map_state != XCB_MAP_STATE_VIEWABLE) {
                continue;
            }
            const std::vector<std::uint32_t> owner =
                x11::valuesOf(x11::requestProperty(*connection_, window, atoms.netWmPid, XCB_ATOM_CARDINAL, 1)
                                  .get(soon()),
                              XCB_ATOM_CARDINAL);
            if (owner.size() == 1 && owner[0] == static_cast<std::uint32_t>(pid)) {
                found.push_back(window);
            }
            auto tree = connection_->pending<xcb_query_tree_reply_t>(xcb_query_tree(c, window).sequence).get(soon());
            const xcb_window_t* first = xcb_query_tree_children(tree.get());
            pending.insert(pending.end(), std::make_reverse_iterator(first + xcb_query_tree_children_length(tree.get())),
                           std::make_reverse_iterator(first));
        } catch (const x11::XcbFailure&) {
        }
    }
    return found;
}

bool X11TestWorld::selectionOwned(const std::string& selection) {
    xcb_connection_t* c = connection_->raw();
    auto atom = connection_
                    ->pending<xcb_intern_atom_reply_t>(
                        xcb_intern_atom(c, 0, static_cast<std::uint16_t>(selection.size()), selection.data()).sequence)
                    .get(soon());
    auto owner =
        connection_->pending<xcb_get_selection_owner_reply_t>(xcb_get_selection_owner(c, atom->atom).sequence)
            .get(soon());
    return owner->owner != XCB_WINDOW_NONE;
}

std::optional<xcb_window_t> X11TestWorld::windowEmbeddedIn(pid_t client, pid_t host) {
    const std::vector<xcb_window_t> hosts = viewableWindowsOf(host);
    for (const xcb_window_t window : viewableWindowsOf(client)) {
        for (std::optional<xcb_window_t> up = parentOf(window); up; up = parentOf(*up)) {
            if (std::find(hosts.begin(), hosts.end(), *up) != hosts.end()) {
                return window;
            }
        }
    }
    return std::nullopt;
}

std::optional<xcb_window_t> X11TestWorld::parentOf(xcb_window_t window) {
    try {
        auto tree = connection_->pending<xcb_query_tree_reply_t>(xcb_query_tree(connection_->raw(), window).sequence)
                        .get(soon());
        if (tree->parent == XCB_WINDOW_NONE) {
            return std::nullopt;
        }
        return tree->parent;
    } catch (const x11::XcbFailure&) {
        return std::nullopt;
    }
}

std::vector<xcb_window_t> X11TestWorld::mappedWindowsTitled(const std::string& title) {
    xcb_connection_t* c = connection_->raw();
    const x11::Atoms& atoms = connection_->atoms();
    std::vector<xcb_window_t> found;
    const auto childrenOf = [&](xcb_window_t parent) {
        std::vector<xcb_window_t> children;
        try {
            auto tree = connection_->pending<xcb_query_tree_reply_t>(xcb_query_tree(c, parent).sequence).get(soon());
            const xcb_window_t* first = xcb_query_tree_children(tree.get());
            children.assign(first, first + xcb_query_tree_children_length(tree.get()));
        } catch (const x11::XcbFailure&) {
            // Gone meanwhile: no children.
        }
        return children;
    };
    const auto matches = [&](xcb_window_t window) {
        try {
            auto attributes = connection_
                                  ->pending<xcb_get_window_attributes_reply_t>(
                                      xcb_get_window_attributes(c, window).sequence)
                                  .get(soon());
            if (attributes->map_state != XCB_MAP_STATE_VIEWABLE) {
                return false;
            }
            std::string name = textProperty(*connection_, window, atoms.netWmName, atoms.utf8String, soon());
            if (name.empty()) {
                name = textProperty(*connection_, window, atoms.wmName, XCB_ATOM_STRING, soon());
            }
            return name == title;
        } catch (const x11::XcbFailure&) {
            return false;
        }
    };
    for (xcb_window_t top : childrenOf(connection_->root())) {
        if (matches(top)) {
            found.push_back(top);
            continue;
        }
        for (xcb_window_t inner : childrenOf(top)) {
            if (matches(inner)) {
                found.push_back(inner);
            }
        }
    }
    return found;
}

std::optional<WindowImage> X11TestWorld::windowImage(xcb_window_t window) {
    xcb_connection_t* c = connection_->raw();
    try {
        auto geometry =
            connection_->pending<xcb_get_geometry_reply_t>(xcb_get_geometry(c, window).sequence).get(soon());
        auto image = connection_
                         ->pending<xcb_get_image_reply_t>(xcb_get_image(c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0, 0,
                                                                        geometry->width, geometry->height,
                                                                        ~0U)
                                                              .sequence)
                         .get(soon());
        WindowImage result;
        result.width = geometry->width;
        result.height = geometry->height;
        result.depth = image->depth;
        const std::size_t count = static_cast<std::size_t>(result.width) * static_cast<std::size_t>(result.height);
        if (static_cast<std::size_t>(xcb_get_image_data_length(image.get())) < count * 4) {
            return std::nullopt; // not 32 bits a pixel: not a layout the world's server uses
        }
        const auto* data = reinterpret_cast<const std::uint32_t*>(xcb_get_image_data(image.get()));
        result.pixels.assign(data, data + count);
        if (result.depth < 32) {
            for (std::uint32_t& pixel : result.pixels) {
                pixel |= 0xff000000U;
            }
        }
        return result;
    } catch (const x11::XcbFailure&) {
        return std::nullopt;
    }
}

} // namespace platform::testing
