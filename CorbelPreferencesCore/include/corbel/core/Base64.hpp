#pragma once
// Base64 with the standard alphabet and padding, as JSON coders write bytes.

#include <optional>
#include <string>
#include <string_view>

namespace corbel {

std::string base64Encode(std::string_view bytes);

// None unless the text is exactly what base64Encode() makes of some bytes: the standard alphabet,
// padded to a multiple of four, no line breaks, unused bits zero.
std::optional<std::string> base64Decode(std::string_view text);

} // namespace corbel
