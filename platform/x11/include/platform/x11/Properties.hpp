#pragma once
// Window properties as requests and typed values: the one place that reads 32-bit lists and
// strings out of GetProperty replies.

#include "platform/x11/XcbConnection.hpp"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace platform::x11 {

using PropertyReply = Reply<xcb_get_property_reply_t>;

// Reads at most this many 32-bit values of a list property; far above any real client list.
inline constexpr std::uint32_t maxListLength = 1U << 16;

// Asks for at most `length` 32-bit units of the property, of the given type (XCB_GET_PROPERTY_TYPE_ANY
// for any).
PendingReply<xcb_get_property_reply_t> requestProperty(XcbConnection& connection, xcb_window_t window,
                                                       xcb_atom_t property, xcb_atom_t type,
                                                       std::uint32_t length = maxListLength);

// The values of a format-32 property of this type; empty for an absent property or one of another
// type or format.
std::vector<std::uint32_t> valuesOf(const PropertyReply& reply, xcb_atom_t type);

// The bytes of a format-8 property of any type, without trailing NULs; nothing when the property is
// absent, and an empty text when it has another format.
std::optional<std::string> textOf(const PropertyReply& reply);

} // namespace platform::x11
