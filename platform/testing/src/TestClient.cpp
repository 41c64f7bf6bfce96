// A small X client for the integration tests. It reads commands on its standard input, one a
// line, and answers each with one line on its standard output:
//   open title=T [x= y= w= h=] [pid=0] [min=WxH] [max=WxH] [inc=WxH] [gtk=L,R,T,B] [decor=0]
//        [transient=ID] [modal=1] [maximized=1] [fullscreen=1] [type=normal|dialog|utility|...]
//        [types=T1,T2,...]
//        [resize=ignore|clamp:WxH]
//        [strut=L,R,T,B] [strutpartial=L,R,T,B,LSY,LEY,RSY,REY,TSX,TEX,BSX,BEX]
//        [prop=NAME:TYPE:FORMAT:V1,V2,... prop2=...] -> "opened ID"
//   leader                                          -> "leader ID"
//   prop ID NAME:TYPE:FORMAT:V1,V2,...              -> "set ID"
//   destroy ID                                      -> "destroyed ID"
//   minimize ID                                     -> "minimized ID"
//   unmap ID                                        -> "unmapped ID"
//   quit
// A window told to ignore resizes asks for its own size back after each resize; one told to
// clamp asks for at most the given size. Each prop option writes that property last, as any client
// may, whatever it holds (FORMAT 8, 16 or 32; no values for an empty one).

#include <xcb/xcb.h>
#include <xcb/xcb_icccm.h>

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

xcb_connection_t* connection = nullptr;
xcb_screen_t* screen = nullptr;

xcb_atom_t atom(const char* name) {
    auto cookie = xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    xcb_atom_t result = reply != nullptr ? reply->atom : XCB_NONE;
    std::free(reply);
    return result;
}

struct Size {
    int width = 0;
    int height = 0;
};

Size parseSize(const std::string& text) {
    Size size;
    std::sscanf(text.c_str(), "%dx%d", &size.width, &size.height);
    return size;
}

enum class ResizePolicy { obey, ignore, clamp };

struct Behaviour {
    ResizePolicy policy = ResizePolicy::obey;
    Size own; // the size the window insists on (ignore) or at most accepts (clamp)
};
std::map<xcb_window_t, Behaviour> behaviours;

void setAtoms(xcb_window_t window, const char* property, const std::vector<xcb_atom_t>& values) {
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atom(property), XCB_ATOM_ATOM, 32,
                        static_cast<uint32_t>(values.size()), values.data());
}

void setCardinals(xcb_window_t window, const char* property, const std::vector<uint32_t>& values) {
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atom(property), XCB_ATOM_CARDINAL, 32,
                        static_cast<uint32_t>(values.size()), values.data());
}

// NAME:TYPE:FORMAT:V1,V2,...
void setRaw(xcb_window_t window, const std::string& text) {
    std::istringstream fields(text);
    std::string name, type, format, list;
    std::getline(fields, name, ':');
    std::getline(fields, type, ':');
    std::getline(fields, format, ':');
    std::getline(fields, list);
    const int bits = std::atoi(format.c_str());
    if (bits != 8 && bits != 16 && bits != 32) {
        std::cerr << "tidewright-test-client: property format must be 8, 16 or 32: " << text << "\n";
        return;
    }
    // Items go in this client's own byte order, as the server expects them.
    std::vector<uint8_t> bytes;
    auto append = [&](const auto item) {
        const auto* raw = reinterpret_cast<const uint8_t*>(&item);
        bytes.insert(bytes.end(), raw, raw + sizeof item);
    };
    uint32_t count = 0;
    std::istringstream values(list);
    for (std::string item; std::getline(values, item, ','); ++count) {
        const auto value = static_cast<uint32_t>(std::stoul(item, nullptr, 0));
        if (bits == 8)
            append(static_cast<uint8_t>(value));
        else if (bits == 16)
            append(static_cast<uint16_t>(value));
        else
            append(value);
    }
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atom(name.c_str()), atom(type.c_str()),
                        static_cast<uint8_t>(bits), count, bytes.data());
}

xcb_window_t open(std::map<std::string, std::string> options) {
    auto number = [&](const char* key, int fallback) {
        return options.contains(key) ? std::atoi(options[key].c_str()) : fallback;
    };
    const int x = number("x", 100);
    const int y = number("y", 100);
    const int width = number("w", 400);
    const int height = number("h", 300);

    xcb_window_t window = xcb_generate_id(connection);
    const uint32_t values[] = {screen->white_pixel, XCB_EVENT_MASK_STRUCTURE_NOTIFY};
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, static_cast<int16_t>(x),
                      static_cast<int16_t>(y), static_cast<uint16_t>(width), static_cast<uint16_t>(height), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);

    std::string title = options.contains("title") ? options["title"] : "window";
    xcb_icccm_set_wm_name(connection, window, XCB_ATOM_STRING, 8, static_cast<uint32_t>(title.size()),
                          title.c_str());
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atom("_NET_WM_NAME"), atom("UTF8_STRING"),
                        8, static_cast<uint32_t>(title.size()), title.c_str());
    // Instance and class, each ending in a NUL: the length counts both terminators.
    static constexpr char windowClass[] = "tidewright-test\0TidewrightTest";
    xcb_icccm_set_wm_class(connection, window, sizeof windowClass, windowClass);
    if (number("pid", 1) != 0) {
        char host[256] = {};
        ::gethostname(host, sizeof host - 1);
        xcb_icccm_set_wm_client_machine(connection, window, XCB_ATOM_STRING, 8,
                                        static_cast<uint32_t>(std::strlen(host)), host);
        setCardinals(window, "_NET_WM_PID", {static_cast<uint32_t>(::getpid())});
    }

    xcb_size_hints_t hints{};
    xcb_icccm_size_hints_set_position(&hints, 1, x, y);
    xcb_icccm_size_hints_set_size(&hints, 1, width, height);
    if (options.contains("min")) {
        Size s = parseSize(options["min"]);
        xcb_icccm_size_hints_set_min_size(&hints, s.width, s.height);
    }
    if (options.contains("max")) {
        Size s = parseSize(options["max"]);
        xcb_icccm_size_hints_set_max_size(&hints, s.width, s.height);
    }
    if (options.contains("inc")) {
        Size s = parseSize(options["inc"]);
        xcb_icccm_size_hints_set_resize_inc(&hints, s.width, s.height);
        // The base size makes the increments count from the initial size.
        xcb_icccm_size_hints_set_base_size(&hints, width % s.width, height % s.height);
    }
    xcb_icccm_set_wm_normal_hints(connection, window, &hints);

    if (options.contains("gtk")) {
        uint32_t l = 0, r = 0, t = 0, b = 0;
        std::sscanf(options["gtk"].c_str(), "%u,%u,%u,%u", &l, &r, &t, &b);
        setCardinals(window, "_GTK_FRAME_EXTENTS", {l, r, t, b});
    }
    if (number("decor", 1) == 0) {
        const uint32_t motif[] = {2, 0, 0, 0, 0}; // decorations flag set, no decorations
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, atom("_MOTIF_WM_HINTS"),
                            atom("_MOTIF_WM_HINTS"), 32, 5, motif);
    }
    if (options.contains("transient")) {
        auto parent = static_cast<xcb_window_t>(std::stoul(options["transient"]));
        xcb_icccm_set_wm_transient_for(connection, window, parent);
    }
    if (options.contains("type"))
        options["types"] = options["type"];
    if (options.contains("types")) {
        std::vector<xcb_atom_t> types;
        std::istringstream names(options["types"]);
        for (std::string name; std::getline(names, name, ',');) {
            std::string type = "_NET_WM_WINDOW_TYPE_" + name;
            std::transform(type.begin(), type.end(), type.begin(), ::toupper);
            types.push_back(atom(type.c_str()));
        }
        setAtoms(window, "_NET_WM_WINDOW_TYPE", types);
    }
    std::vector<xcb_atom_t> states;
    if (number("modal", 0) != 0)
        states.push_back(atom("_NET_WM_STATE_MODAL"));
    if (number("maximized", 0) != 0) {
        states.push_back(atom("_NET_WM_STATE_MAXIMIZED_VERT"));
        states.push_back(atom("_NET_WM_STATE_MAXIMIZED_HORZ"));
    }
    if (number("fullscreen", 0) != 0)
        states.push_back(atom("_NET_WM_STATE_FULLSCREEN"));
    if (!states.empty())
        setAtoms(window, "_NET_WM_STATE", states);

    if (options.contains("strut"))
        setRaw(window, "_NET_WM_STRUT:CARDINAL:32:" + options["strut"]);
    if (options.contains("strutpartial"))
        setRaw(window, "_NET_WM_STRUT_PARTIAL:CARDINAL:32:" + options["strutpartial"]);

    for (const auto& [key, value] : options) {
        if (key.rfind("prop", 0) == 0)
            setRaw(window, value);
    }

    if (options.contains("resize")) {
        const std::string& policy = options["resize"];
        if (policy == "ignore")
            behaviours[window] = {ResizePolicy::ignore, {width, height}};
        if (policy.rfind("clamp:", 0) == 0) {
            behaviours[window] = {ResizePolicy::clamp, parseSize(policy.substr(6))};
        }
    }
    xcb_map_window(connection, window);
    xcb_flush(connection);
    return window;
}

// An unmapped window with the process id, as toolkits make for a group leader: the window manager
// never manages it, yet a dialog may name it as the window it is transient for.
xcb_window_t leader() {
    xcb_window_t window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, 0, nullptr);
    setCardinals(window, "_NET_WM_PID", {static_cast<uint32_t>(::getpid())});
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    return window;
}

void minimize(xcb_window_t window) {
    xcb_client_message_event_t message{};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = atom("WM_CHANGE_STATE");
    message.data.data32[0] = XCB_ICCCM_WM_STATE_ICONIC;
    xcb_send_event(connection, 0, screen->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection);
}

// Withdraws the window as a client does: unmaps it and tells the window manager with a synthetic
// UnmapNotify, which also reaches it when the real one went to a frame that is gone.
void unmap(xcb_window_t window) {
    xcb_unmap_window(connection, window);
    xcb_unmap_notify_event_t notify{};
    notify.response_type = XCB_UNMAP_NOTIFY;
    notify.event = screen->root;
    notify.window = window;
    xcb_send_event(connection, 0, screen->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&notify));
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
}

void handle(xcb_generic_event_t* event) {
    if ((event->response_type & 0x7f) != XCB_CONFIGURE_NOTIFY)
        return;
    auto* notify = reinterpret_cast<xcb_configure_notify_event_t*>(event);
    auto found = behaviours.find(notify->window);
    if (found == behaviours.end() || (event->response_type & 0x80) != 0)
        return;
    const Behaviour& behaviour = found->second;
    Size wanted{notify->width, notify->height};
    if (behaviour.policy == ResizePolicy::ignore)
        wanted = behaviour.own;
    if (behaviour.policy == ResizePolicy::clamp) {
        wanted = {std::min(wanted.width, behaviour.own.width), std::min(wanted.height, behaviour.own.height)};
    }
    if (wanted.width == notify->width && wanted.height == notify->height)
        return;
    const uint32_t values[] = {static_cast<uint32_t>(wanted.width), static_cast<uint32_t>(wanted.height)};
    xcb_configure_window(connection, notify->window, XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT,
                         values);
    xcb_flush(connection);
}

bool command(const std::string& line) {
    std::istringstream words(line);
    std::string verb;
    words >> verb;
    if (verb == "quit")
        return false;
    if (verb == "open") {
        std::map<std::string, std::string> options;
        for (std::string word; words >> word;) {
            auto equals = word.find('=');
            if (equals != std::string::npos)
                options[word.substr(0, equals)] = word.substr(equals + 1);
        }
        std::cout << "opened " << open(options) << std::endl;
    } else if (verb == "leader") {
        std::cout << "leader " << leader() << std::endl;
    } else if (verb == "prop") {
        unsigned long id = 0;
        std::string property;
        words >> id >> property;
        setRaw(static_cast<xcb_window_t>(id), property);
        // Answered once the server has applied it, so any reader after the answer sees it.
        std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
        std::cout << "set " << id << std::endl;
    } else if (verb == "destroy" || verb == "minimize" || verb == "unmap") {
        unsigned long id = 0;
        words >> id;
        auto window = static_cast<xcb_window_t>(id);
        if (verb == "destroy") {
            behaviours.erase(window);
            xcb_destroy_window(connection, window);
            std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
            std::cout << "destroyed " << id << std::endl;
        } else if (verb == "unmap") {
            unmap(window);
            std::cout << "unmapped " << id << std::endl;
        } else {
            minimize(window);
            std::cout << "minimized " << id << std::endl;
        }
    } else {
        std::cout << "error unknown command" << std::endl;
    }
    return true;
}

} // namespace

int main() {
    int screenNumber = 0;
    connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection) != 0) {
        std::cerr << "tidewright-test-client: cannot connect to the display\n";
        return 1;
    }
    auto roots = xcb_setup_roots_iterator(xcb_get_setup(connection));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&roots);
    screen = roots.data;

    std::string pending;
    for (;;) {
        while (xcb_generic_event_t* event = xcb_poll_for_event(connection)) {
            handle(event);
            std::free(event);
        }
        if (xcb_connection_has_error(connection) != 0)
            return 1;
        pollfd descriptors[] = {{0, POLLIN, 0}, {xcb_get_file_descriptor(connection), POLLIN, 0}};
        if (::poll(descriptors, 2, -1) < 0)
            continue;
        if ((descriptors[0].revents & (POLLIN | POLLHUP)) != 0) {
            char chunk[1024];
            ssize_t count = ::read(0, chunk, sizeof chunk);
            if (count <= 0)
                return 0;
            pending.append(chunk, static_cast<std::size_t>(count));
            for (auto end = pending.find('\n'); end != std::string::npos; end = pending.find('\n')) {
                std::string line = pending.substr(0, end);
                pending.erase(0, end + 1);
                if (!command(line))
                    return 0;
            }
        }
    }
}
