#pragma once
// The feed on the maker's web site, fetched over Qt Network by one narrow GET: no cookies, no cache,
// no redirects, short time-outs and a hard cap on the body.

#include <QUrl>

#include <chrono>
#include <string>

#include "corbel/updates/UpdateFeed.hpp"
#include "platform/concurrency/Clock.hpp"

namespace corbel {

// How long a fetch of the site may take.
struct SiteUpdateFeedTimeouts {
    // Without a byte moving either way for this long, the fetch ends as unreachable.
    std::chrono::milliseconds inactivity{15'000};
    // The whole fetch, from the request to the end of the body.
    platform::ContinuousDuration total = std::chrono::seconds(30);
};

class SiteUpdateFeed final : public UpdateFeed {
public:
    using Timeouts = SiteUpdateFeedTimeouts;

    // The feed's address, fixed when the application is built: an https address whose path is
    // "/downloads/versions.json". A build with any other address stops the process at first use.
    static const QUrl& address();

    // REQUIRES: a QCoreApplication exists; clock is its thread's clock and outlives the feed.
    explicit SiteUpdateFeed(platform::Clock& clock, QUrl address = SiteUpdateFeed::address(),
                            Timeouts timeouts = {});

    // One GET of the address with its own network access manager, on the main thread; Qt's HTTP
    // engine runs on a thread of its own. A cancelled task ends the fetch as unreachable.
    platform::Async<std::string> fetch() override;

private:
    platform::Clock& clock_;
    QUrl address_;
    Timeouts timeouts_;
};

} // namespace corbel
