#pragma once
// The size of a value written as an XML property list: the measure of the synced store's limits.
//
// How the bytes are counted: the text is UTF-8 and every line ends in one "\n".
//   "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"   39 bytes
//   "<plist version=\"1.0\">\n"                       22 bytes
//   the root value at depth 0
//   "</plist>\n"                                        9 bytes
// A value at depth d is d tab characters followed by one of:
//   data        "<data>" base64 (standard alphabet, padded, one line: 4 per 3 bytes begun) "</data>\n"
//   string      "<string>" the text with & < > as &amp; &lt; &gt; "</string>\n"
//   integer     "<integer>" decimal, "-" when negative "</integer>\n"
//   real        "<real>" the shortest decimal that reads back as the same double "</real>\n"
//   bool        "<true/>\n" or "<false/>\n"
//   date        "<date>" YYYY-MM-DDTHH:MM:SSZ, the UTC second the instant falls in "</date>\n"
//   array       "<array/>\n" when empty, else "<array>\n", the items at depth d+1, d tabs, "</array>\n"
//   dictionary  "<dict/>\n" when empty, else "<dict>\n", per entry in byte order of the keys d+1
//               tabs, "<key>" the escaped key "</key>\n" and the value at depth d+1, then d tabs
//               and "</dict>\n"
// So an empty dictionary takes 78 bytes, and each entry of the top dictionary adds its key line
// and its value lines to the 85 bytes of the rest.
// A value cannot be written when a string or key holds a control character other than tab, line
// feed and carriage return (XML cannot carry it), a real is not finite, or a date lies outside the
// years 1 to 9999.

#include <cstddef>
#include <optional>
#include <string>

#include "platform/defaults/PropertyValue.hpp"

namespace platform {

std::optional<std::string> xmlPropertyList(const PropertyValue& root);
std::optional<std::size_t> xmlPropertyListSize(const PropertyValue& root);

// The bytes one entry of a top-level dictionary adds (its key line and value lines at depth 1),
// so that a dictionary's size is a sum over its entries.
std::optional<std::size_t> xmlPropertyListEntrySize(const std::string& key, const PropertyValue& value);
// The size of a dictionary whose entries add up to entryBytes: 78 when it has no entry, else
// 85 + entryBytes.
constexpr std::size_t xmlPropertyListDictionarySize(std::size_t entryCount, std::size_t entryBytes) {
    return entryCount == 0 ? 78 : 85 + entryBytes;
}

} // namespace platform
