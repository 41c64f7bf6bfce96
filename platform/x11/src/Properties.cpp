#include "platform/x11/Properties.hpp"

namespace platform::x11 {

PendingReply<xcb_get_property_reply_t> requestProperty(XcbConnection& connection, xcb_window_t window,
                                                       xcb_atom_t property, xcb_atom_t type,
                                                       std::uint32_t length) {
    KeptReplies* kept = connection.kept();
    const KeptReplies::Key key{window, property, type, length};
    if (kept != nullptr) {
        if (auto reply = kept->find<xcb_get_property_reply_t>(key))
            return PendingReply<xcb_get_property_reply_t>(std::move(reply));
        connection.watchForKeeping(window);
    }
    auto cookie = xcb_get_property(connection.raw(), 0, window, property, type, 0, length);
    auto pending = connection.pending<xcb_get_property_reply_t>(cookie.sequence);
    if (kept != nullptr)
        pending.whenFetched([kept, key](const xcb_get_property_reply_t& reply) { kept->keep(key, reply); });
    return pending;
}

std::vector<std::uint32_t> valuesOf(const PropertyReply& reply, xcb_atom_t type) {
    if (reply->type != type || reply->format != 32)
        return {};
    const auto* begin = static_cast<const std::uint32_t*>(xcb_get_property_value(reply.get()));
    auto count = static_cast<std::size_t>(xcb_get_property_value_length(reply.get())) / 4;
    return {begin, begin + count};
}

std::optional<std::string> textOf(const PropertyReply& reply) {
    if (reply->type == XCB_NONE)
        return std::nullopt;
    if (reply->format != 8)
        return std::string();
    const auto* begin = static_cast<const char*>(xcb_get_property_value(reply.get()));
    std::string text(begin, static_cast<std::size_t>(xcb_get_property_value_length(reply.get())));
    while (!text.empty() && text.back() == '\0')
        text.pop_back();
    return text;
}

} // namespace platform::x11
