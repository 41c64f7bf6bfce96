#pragma once
// Where the update checker reads the feed document from.

#include <string>

#include "platform/concurrency/Task.hpp"

namespace corbel {

class UpdateFeed {
public:
    virtual ~UpdateFeed() = default;

    // The body of the feed document, at most UpdateManifest::maximumSize bytes; it is not decoded
    // here. THROWS UpdateFailure: unreachable or unreadable.
    // REQUIRES: awaited in a task on the main thread; the feed outlives the await.
    virtual platform::Async<std::string> fetch() = 0;
};

} // namespace corbel
