#pragma once
// The decoded update feed: the latest version the site announces for each application key.
//   {"format": 1, "apps": {"tidewright": "1.4.2", ...}}

#include <cstddef>
#include <map>
#include <string>
#include <string_view>

#include "corbel/updates/AppVersion.hpp"

namespace corbel {

struct UpdateManifest {
    // The only feed format this version understands.
    static constexpr int format = 1;
    // The largest body, in bytes, that is decoded at all.
    static constexpr std::size_t maximumSize = 65'536;

    // Decodes the bytes of a feed document. Throws UpdateFailure: unreadable for a body over
    // maximumSize or one that is not a feed document, unknownFormat for another format. An entry
    // of "apps" that is not a valid version text is skipped.
    static UpdateManifest decoding(std::string_view data);

    std::map<std::string, AppVersion> versions;

    bool operator==(const UpdateManifest&) const = default;
};

} // namespace corbel
