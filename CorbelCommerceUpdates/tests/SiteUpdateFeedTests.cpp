// The feed client against a real HTTP server of ours on 127.0.0.1, through Qt Network.

#include "corbel/updates/SiteUpdateFeed.hpp"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>
#include <variant>

#include "corbel/updates/UpdateFailure.hpp"
#include "platform/concurrency/LiveClock.hpp"
#include "platform/concurrency/MainExecutor.hpp"
#include "platform/testing/LoopbackHttpServer.hpp"

namespace corbel {
namespace {

using namespace std::chrono_literals;
using platform::testing::LoopbackHttpServer;
using Response = LoopbackHttpServer::Response;
using Result = std::variant<std::string, UpdateFailure>;

constexpr std::size_t limit = 65'536;

std::string bodyOfSize(std::size_t size) {
    std::string body;
    body.reserve(size);
    for (std::size_t i = 0; i < size; ++i) {
        body.push_back(static_cast<char>('a' + i % 26));
    }
    return body;
}

std::string describe(const Result& result) {
    if (const auto* failure = std::get_if<UpdateFailure>(&result)) {
        return std::string(failure->name());
    }
    return std::to_string(std::get<std::string>(result).size()) + " bytes";
}

class SiteUpdateFeedTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "CorbelCommerceUpdatesTests";
        static char* argv[] = {name, nullptr};
        application = new QCoreApplication(argc, argv);
    }
    static void TearDownTestSuite() {
        delete application;
        application = nullptr;
    }

    // Runs one fetch on the event loop to its end; the stalls end by the feed's own time-outs.
    std::optional<Result> fetch(SiteUpdateFeed& feed, bool cancelAtOnce = false) {
        std::optional<Result> result;
        int ends = 0;
        QEventLoop loop;
        auto task = platform::spawn(executor, [&]() -> platform::Async<> {
            try {
                result = co_await feed.fetch();
            } catch (const UpdateFailure& failure) {
                result = failure;
            }
            ++ends;
            loop.quit();
        });
        if (cancelAtOnce) {
            task.cancel();
        }
        QTimer safety;
        safety.setSingleShot(true);
        QObject::connect(&safety, &QTimer::timeout, &loop, [&] { loop.quit(); });
        safety.start(20s);
        loop.exec();
        EXPECT_LE(ends, 1);
        return result;
    }

    std::optional<Result> fetch(const std::string& path, SiteUpdateFeed::Timeouts timeouts = {}) {
        SiteUpdateFeed feed(clock, QUrl(QString::fromStdString(server.url(path))), timeouts);
        return fetch(feed);
    }

    std::vector<std::string> requestedTargets() const {
        std::vector<std::string> targets;
        for (const auto& request : server.requests()) {
            targets.push_back(request.target);
        }
        return targets;
    }

    static inline QCoreApplication* application = nullptr;
    platform::MainExecutor executor;
    platform::LiveClock clock;
    LoopbackHttpServer server;
};

TEST_F(SiteUpdateFeedTest, ReturnsTheBodyOfAnOkAnswerUnchanged) {
    const std::string document = R"({"format": 1, "apps": {"tidewright": "1.5"}})";
    server.route("/downloads/versions.json",
                 Response{.headers = {{"Content-Type", "application/json"}}, .body = document});
    EXPECT_EQ(fetch("/downloads/versions.json"), Result(document));
}

struct AnswerCase {
    const char* name;
    Response response;
    std::optional<Result> expected;
};

void PrintTo(const AnswerCase& c, std::ostream* os) {
    *os << c.name;
}

class FeedAnswer : public SiteUpdateFeedTest, public ::testing::WithParamInterface<AnswerCase> {};

TEST_P(FeedAnswer, GivesTheBodyOrItsFailure) {
    server.route("/feed", GetParam().response);
    // A redirect's target would answer, were it ever requested.
    server.route("/elsewhere", Response{.body = "{}"});
    const auto result = fetch("/feed");
    ASSERT_TRUE(result) << "the fetch did not end";
    EXPECT_EQ(*result, *GetParam().expected) << describe(*result);
    // Qt may send a GET again when the connection drops; the redirect target is never asked for.
    for (const auto& target : requestedTargets()) {
        EXPECT_EQ(target, "/feed");
    }
}

Response withStatus(int status, std::vector<std::pair<std::string, std::string>> headers = {}) {
    return Response{.status = status, .headers = std::move(headers), .body = R"({"format": 1, "apps": {}})"};
}

INSTANTIATE_TEST_SUITE_P(
    Statuses, FeedAnswer,
    ::testing::Values(AnswerCase{"movedPermanently", withStatus(301, {{"Location", "/elsewhere"}}),
                                 UpdateFailure::unreachable()},
                      AnswerCase{"found", withStatus(302, {{"Location", "/elsewhere"}}),
                                 UpdateFailure::unreachable()},
                      AnswerCase{"temporaryRedirect", withStatus(307, {{"Location", "/elsewhere"}}),
                                 UpdateFailure::unreachable()},
                      AnswerCase{"notFoundWithABody", withStatus(404), UpdateFailure::unreachable()},
                      AnswerCase{"serverError", withStatus(500), UpdateFailure::unreachable()},
                      AnswerCase{"noContent", Response{.status = 204}, UpdateFailure::unreachable()},
                      AnswerCase{"okButEmpty", Response{.status = 200}, Result(std::string())}));

INSTANTIATE_TEST_SUITE_P(
    Sizes, FeedAnswer,
    ::testing::Values(
        AnswerCase{"exactlyTheLimit", Response{.body = bodyOfSize(limit)}, Result(bodyOfSize(limit))},
        AnswerCase{"oneByteOver", Response{.body = bodyOfSize(limit + 1)}, UpdateFailure::unreadable()},
        AnswerCase{
            "exactlyTheLimitChunked",
            Response{.body = bodyOfSize(limit), .framing = Response::Framing::chunked, .chunkSize = 1000},
            Result(bodyOfSize(limit))},
        AnswerCase{
            "oneByteOverChunked",
            Response{.body = bodyOfSize(limit + 1), .framing = Response::Framing::chunked, .chunkSize = 1000},
            UpdateFailure::unreadable()},
        AnswerCase{"oneByteOverUntilClose",
                   Response{.body = bodyOfSize(limit + 1), .framing = Response::Framing::closeDelimited},
                   UpdateFailure::unreadable()},
        // Only the first bytes of a large answer are read: it stops at the cap.
        AnswerCase{"farOverTheLimit", Response{.body = bodyOfSize(8 * 1024 * 1024)},
                   UpdateFailure::unreadable()},
        // The server goes away mid-body: an error, reported once, as the site's silence. (Qt 6.4
        // may take a chunked body cut by the server's close as complete; the decoder then finds
        // the document unreadable.)
        AnswerCase{"cutShort",
                   Response{.body = bodyOfSize(1000),
                            .ending = Response::Ending::closeInBody,
                            .endAfterBodyBytes = 10},
                   UpdateFailure::unreachable()}));

// A body that Qt decodes: the cap counts decoded bytes, so a small compressed answer that inflates
// past it is refused.
Response deflated(std::size_t decodedSize) {
    const QByteArray plain = QByteArray::fromStdString(bodyOfSize(decodedSize));
    // qCompress gives a zlib stream after a four-byte length, which is what "deflate" means in HTTP.
    const QByteArray compressed = qCompress(plain, 9).mid(4);
    return Response{.headers = {{"Content-Encoding", "deflate"}}, .body = compressed.toStdString()};
}

INSTANTIATE_TEST_SUITE_P(
    Encoded, FeedAnswer,
    ::testing::Values(AnswerCase{"inflatesToTheLimit", deflated(limit), Result(bodyOfSize(limit))},
                      AnswerCase{"inflatesPastTheLimit", deflated(limit + 1), UpdateFailure::unreadable()}));

TEST_F(SiteUpdateFeedTest, AServerThatSaysNothingTimesOutAfterTheInactivityLimit) {
    server.route("/feed", Response{.body = "{}", .ending = Response::Ending::stallBeforeHead});
    EXPECT_EQ(fetch("/feed", {.inactivity = 100ms, .total = 60s}), Result(UpdateFailure::unreachable()));
}

TEST_F(SiteUpdateFeedTest, ABodyThatNeverEndsTimesOutAfterTheTotalLimit) {
    server.route(
        "/feed",
        Response{.body = bodyOfSize(100), .ending = Response::Ending::stallInBody, .endAfterBodyBytes = 10});
    EXPECT_EQ(fetch("/feed", {.inactivity = 60'000ms, .total = 200ms}), Result(UpdateFailure::unreachable()));
}

TEST_F(SiteUpdateFeedTest, ARefusedConnectionIsUnreachable) {
    std::string address;
    {
        LoopbackHttpServer gone;
        address = gone.url("/feed");
    }
    SiteUpdateFeed feed(clock, QUrl(QString::fromStdString(address)));
    EXPECT_EQ(fetch(feed), Result(UpdateFailure::unreachable()));
}

TEST_F(SiteUpdateFeedTest, ACancelledFetchIsUnreachable) {
    server.route("/feed", Response{.body = "{}", .ending = Response::Ending::stallBeforeHead});
    SiteUpdateFeed feed(clock, QUrl(QString::fromStdString(server.url("/feed"))));
    EXPECT_EQ(fetch(feed, true), Result(UpdateFailure::unreachable()));
}

TEST_F(SiteUpdateFeedTest, SendsOnlyItsOwnHeadersBesideThoseOfHttpAndNoCookieOrConditionOnTheNextFetch) {
    server.route("/feed", Response{.headers = {{"Set-Cookie", "session=abc; Path=/"},
                                               {"ETag", "\"v1\""},
                                               {"Last-Modified", "Wed, 01 Jan 2025 00:00:00 GMT"},
                                               {"Cache-Control", "max-age=3600"}},
                                   .body = "{}"});
    SiteUpdateFeed feed(clock, QUrl(QString::fromStdString(server.url("/feed"))));
    EXPECT_EQ(fetch(feed), Result(std::string("{}")));
    EXPECT_EQ(fetch(feed), Result(std::string("{}")));

    const auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    for (const auto& request : requests) {
        EXPECT_EQ(request.method, "GET");
        EXPECT_EQ(request.header("User-Agent"), "CorbelThane");
        EXPECT_EQ(request.header("Accept"), "application/json");
        EXPECT_EQ(request.header("Accept-Language"), "*");
        // Anything else is what HTTP itself needs; each header comes once.
        std::multiset<std::string> names;
        for (const auto& [name, value] : request.headers) {
            std::string lower;
            for (const char c : name) {
                lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
            }
            names.insert(lower);
        }
        const std::set<std::string> allowed{"host",       "connection", "accept-encoding",
                                            "user-agent", "accept",     "accept-language"};
        for (const auto& name : names) {
            EXPECT_TRUE(allowed.contains(name)) << "unexpected header " << name;
            EXPECT_EQ(names.count(name), 1u) << name;
        }
    }
}

} // namespace
} // namespace corbel
