// The checker over an in-memory record store that outlives each simulated launch, a scripted feed,
// a manual executor and a hand-set date.

#include "corbel/updates/UpdateChecker.hpp"

#include <gtest/gtest.h>

#include <cfloat>
#include <deque>
#include <functional>
#include <limits>
#include <map>
#include <new>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/concurrency/Continuation.hpp"
#include "platform/concurrency/ManualExecutor.hpp"

namespace corbel {
namespace {

constexpr double start = 1'800'000'000;
constexpr double fifteenDays = 1'296'000;
constexpr double oneHour = 3'600;

std::string feedOf(const std::string& version) {
    return R"({"format": 1, "apps": {"tidewright": ")" + version + R"(", "other": "9"}})";
}

// Each fetch takes the next scripted answer: the body it returns, or what it throws. A held feed
// keeps each fetch waiting until the test releases it.
class ScriptedFeed final : public UpdateFeed {
public:
    using Answer = std::function<std::string()>;

    platform::Async<std::string> fetch() override {
        ++fetches;
        if (hold) {
            co_await platform::withContinuation<>(
                "held fetch",
                [this](platform::Continuation<> continuation) { held.push_back(std::move(continuation)); });
        }
        Answer answer = [] {
            return std::string();
        };
        if (!answers.empty()) {
            answer = std::move(answers.front());
            answers.pop_front();
        }
        co_return answer();
    }

    void releaseAll() {
        for (auto& continuation : std::exchange(held, {})) {
            continuation.resume();
        }
    }

    std::deque<Answer> answers;
    bool hold = false;
    int fetches = 0;
    std::vector<platform::Continuation<>> held;
};

ScriptedFeed::Answer body(std::string text) {
    return [text] {
        return text;
    };
}
ScriptedFeed::Answer failing(UpdateFailure failure) {
    return [failure]() -> std::string {
        throw failure;
    };
}

// The stored records, typed as the user defaults keep them: a key holds a date or a text.
class MemoryRecordStore final : public UpdateRecordStore {
public:
    std::optional<double> date(std::string_view key) const override {
        const auto found = values.find(std::string(key));
        if (found == values.end() || !std::holds_alternative<double>(found->second)) {
            return std::nullopt;
        }
        return std::get<double>(found->second);
    }
    std::optional<std::string> string(std::string_view key) const override {
        const auto found = values.find(std::string(key));
        if (found == values.end() || !std::holds_alternative<std::string>(found->second)) {
            return std::nullopt;
        }
        return std::get<std::string>(found->second);
    }
    void setDate(std::string_view key, double secondsSince1970) override {
        values.insert_or_assign(std::string(key), secondsSince1970);
    }
    void setString(std::string_view key, std::string text) override {
        values.insert_or_assign(std::string(key), std::move(text));
    }
    void remove(std::string_view key) override { values.erase(std::string(key)); }

    std::map<std::string, std::variant<double, std::string>> values;
};

class UpdateCheckerTest : public ::testing::Test {
protected:
    UpdateCheckerTest() { launch(); }
    ~UpdateCheckerTest() override { quit(); }

    void launch(std::optional<std::string> current = "1.4") {
        checker = UpdateChecker::make(
            "tidewright", std::move(current), feed, *defaults, [this] { return now(); }, executor);
        subscription = checker->observeAvailable([this](const auto& offer) { offers.push_back(offer); });
    }
    // Ends the process: the checker goes, what it stored stays.
    void quit() {
        executor.runUntilIdle();
        subscription.reset();
        checker.reset();
        executor.runUntilIdle();
    }
    void relaunch(std::optional<std::string> current = "1.4") {
        quit();
        launch(std::move(current));
    }

    Date now() const { return *Date::fromSecondsSince1970(clock); }

    // One checkIfDue at the given date, run to its end; answers whether it fetched.
    bool checkAt(double at) {
        clock = at;
        const int before = feed->fetches;
        checker->checkIfDue();
        executor.runUntilIdle();
        return feed->fetches > before;
    }

    std::optional<std::string> offeredVersion() const {
        const auto& offer = checker->available();
        return offer ? std::optional(offer->version) : std::nullopt;
    }
    std::optional<double> storedDate() const { return defaults->date(UpdateChecker::lastAnswerKey); }

    platform::ManualExecutor executor;
    std::shared_ptr<ScriptedFeed> feed = std::make_shared<ScriptedFeed>();
    double clock = start;
    std::optional<MemoryRecordStore> defaults{std::in_place};
    std::shared_ptr<UpdateChecker> checker;
    platform::Subscription subscription;
    std::vector<std::optional<AvailableUpdate>> offers;
};

TEST_F(UpdateCheckerTest, FirstLaunchFetchesAndOffersTheNewerVersionWithTheDownloadAddress) {
    EXPECT_EQ(checker->available(), std::nullopt);
    feed->answers.push_back(body(feedOf("1.5")));
    ASSERT_TRUE(checkAt(start));

    const AvailableUpdate expected{
        "1.5", QUrl(QStringLiteral("https://corbelthane.app/downloads/tidewright-latest.dmg"))};
    EXPECT_EQ(checker->available(), expected);
    EXPECT_EQ(checker->download(), expected.download);
    EXPECT_EQ(offers, (std::vector<std::optional<AvailableUpdate>>{expected}));
    EXPECT_EQ(storedDate(), start);
    EXPECT_EQ(defaults->string(UpdateChecker::publishedKey), "1.5");

    // The same offer after the next answer notifies nobody.
    feed->answers.push_back(body(feedOf("1.5")));
    ASSERT_TRUE(checkAt(start + fifteenDays));
    EXPECT_EQ(offers.size(), 1u);
}

struct OutcomeCase {
    const char* name;
    ScriptedFeed::Answer answer;
    bool storesTheDate;
    // The published text stored afterwards; "1.3" was stored before.
    std::optional<std::string> published;
    // How long until the next check is due.
    double wait;
};

void PrintTo(const OutcomeCase& c, std::ostream* os) {
    *os << c.name;
}

class CheckOutcome : public UpdateCheckerTest, public ::testing::WithParamInterface<OutcomeCase> {};

TEST_P(CheckOutcome, StoresWhatTheSiteSaidAndWaitsAccordingly) {
    const auto& c = GetParam();
    defaults->setDate(UpdateChecker::lastAnswerKey, start - fifteenDays);
    defaults->setString(UpdateChecker::publishedKey, "1.3");
    relaunch();

    feed->answers.push_back(c.answer);
    ASSERT_TRUE(checkAt(start));
    EXPECT_EQ(storedDate(), c.storesTheDate ? start : start - fifteenDays);
    EXPECT_EQ(defaults->string(UpdateChecker::publishedKey), c.published);

    // The check is over whatever it met: the next one starts exactly when it is due.
    EXPECT_FALSE(checkAt(start + c.wait - 1));
    EXPECT_TRUE(checkAt(start + c.wait));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CheckOutcome,
    ::testing::Values(
        OutcomeCase{"newerVersion", body(feedOf("1.5")), true, "1.5", fifteenDays},
        OutcomeCase{"noEntryForTheApplication", body(R"({"format": 1, "apps": {"other": "2"}})"), true,
                    std::nullopt, fifteenDays},
        OutcomeCase{"entryNotAVersion", body(R"({"format": 1, "apps": {"tidewright": 5}})"), true,
                    std::nullopt, fifteenDays},
        OutcomeCase{"unreadableBody", body("<html>"), true, "1.3", fifteenDays},
        OutcomeCase{"unreadableFromTheFeed", failing(UpdateFailure::unreadable()), true, "1.3", fifteenDays},
        OutcomeCase{"unknownFormat", body(R"({"format": 2, "apps": {}})"), true, "1.3", fifteenDays},
        OutcomeCase{"unreachable", failing(UpdateFailure::unreachable()), false, "1.3", oneHour},
        // Not a failure of the feed's kinds: recorded as the site's silence, never left hanging.
        OutcomeCase{"outOfMemory", []() -> std::string { throw std::bad_alloc(); }, false, "1.3", oneHour},
        OutcomeCase{"cancelled", []() -> std::string { throw platform::CancellationError(); }, false, "1.3",
                    oneHour}));

TEST_F(UpdateCheckerTest, ASecondCheckIfDueWhileOneIsOutStartsNothing) {
    feed->hold = true;
    feed->answers.push_back(body(feedOf("1.5")));
    clock = start;
    checker->checkIfDue();
    checker->checkIfDue();
    executor.runUntilIdle();
    checker->checkIfDue();
    executor.runUntilIdle();
    EXPECT_EQ(feed->fetches, 1);
    EXPECT_EQ(checker->available(), std::nullopt);

    feed->releaseAll();
    executor.runUntilIdle();
    EXPECT_EQ(offeredVersion(), "1.5");
    EXPECT_EQ(feed->fetches, 1);
}

TEST_F(UpdateCheckerTest, AFeedThatAnswersWithoutWaitingStillEndsTheCheck) {
    // Unreachable waits an hour; had the check stayed set, no later check would ever run.
    feed->answers.push_back(failing(UpdateFailure::unreachable()));
    feed->answers.push_back(body(feedOf("1.5")));
    ASSERT_TRUE(checkAt(start));
    ASSERT_TRUE(checkAt(start + oneHour));
    EXPECT_EQ(offeredVersion(), "1.5");
}

TEST_F(UpdateCheckerTest, ASetAsideOfferStaysHiddenAcrossRelaunchesUntilANewerVersion) {
    feed->answers.push_back(body(feedOf("1.5")));
    ASSERT_TRUE(checkAt(start));
    checker->setAside();
    EXPECT_EQ(checker->available(), std::nullopt);
    EXPECT_EQ(defaults->string(UpdateChecker::setAsideKey), "1.5");

    relaunch();
    EXPECT_EQ(checker->available(), std::nullopt);
    feed->answers.push_back(body(feedOf("1.5.0")));
    ASSERT_TRUE(checkAt(start + fifteenDays));
    EXPECT_EQ(checker->available(), std::nullopt);

    feed->answers.push_back(body(feedOf("1.6")));
    ASSERT_TRUE(checkAt(start + 2 * fifteenDays));
    EXPECT_EQ(offeredVersion(), "1.6");
    EXPECT_EQ(offers.back(), checker->available());
}

TEST_F(UpdateCheckerTest, SetAsideWithNothingPublishedDoesNothing) {
    checker->setAside();
    EXPECT_EQ(defaults->string(UpdateChecker::setAsideKey), std::nullopt);
    EXPECT_TRUE(offers.empty());
}

TEST_F(UpdateCheckerTest, AnEqualVersionIsNotOffered) {
    feed->answers.push_back(body(feedOf("1.4.0")));
    ASSERT_TRUE(checkAt(start));
    EXPECT_EQ(checker->available(), std::nullopt);
    EXPECT_EQ(defaults->string(UpdateChecker::publishedKey), "1.4.0");
}

TEST_F(UpdateCheckerTest, ARunningVersionThatDoesNotParseNeverChecksNorOffers) {
    defaults->setDate(UpdateChecker::lastAnswerKey, start);
    defaults->setString(UpdateChecker::publishedKey, "9.0");
    for (const std::optional<std::string>& current :
         {std::optional<std::string>("1.2 beta"), std::optional<std::string>()}) {
        relaunch(current);
        EXPECT_FALSE(checkAt(start + 10 * fifteenDays));
        EXPECT_EQ(checker->available(), std::nullopt);
    }
}

TEST_F(UpdateCheckerTest, TheStoredAnswerOffersAtLaunchAndKeepsTheNextCheckAwayAcrossRelaunches) {
    feed->answers.push_back(body(feedOf("1.5")));
    ASSERT_TRUE(checkAt(start));
    relaunch();
    EXPECT_EQ(offeredVersion(), "1.5");
    EXPECT_FALSE(checkAt(start + fifteenDays - 1));
    EXPECT_TRUE(checkAt(start + fifteenDays));
}

TEST_F(UpdateCheckerTest, AfterARelaunchOnlyTheLastStoredAnswerCountsNotASilence) {
    feed->answers.push_back(body(feedOf("1.5")));
    ASSERT_TRUE(checkAt(start));
    feed->answers.push_back(failing(UpdateFailure::unreachable()));
    ASSERT_TRUE(checkAt(start + fifteenDays));
    relaunch();
    // In the old process the next check was an hour away; now it counts from the stored answer.
    EXPECT_TRUE(checkAt(start + fifteenDays + 1));
}

struct StoredDateCase {
    const char* name;
    std::function<void(MemoryRecordStore&)> store;
    bool publishedCounts;
};

void PrintTo(const StoredDateCase& c, std::ostream* os) {
    *os << c.name;
}

class StoredDate : public UpdateCheckerTest, public ::testing::WithParamInterface<StoredDateCase> {};

TEST_P(StoredDate, OnlyAFiniteDateIsAnAnswerAndAFutureOneMakesACheckDueAtOnce) {
    GetParam().store(*defaults);
    defaults->setString(UpdateChecker::publishedKey, "1.5");
    relaunch();
    // Without a date the published text is ignored; with one, it is offered.
    EXPECT_EQ(offeredVersion(),
              GetParam().publishedCounts ? std::optional<std::string>("1.5") : std::nullopt);
    feed->answers.push_back(body(feedOf("1.6")));
    EXPECT_TRUE(checkAt(start));
    EXPECT_EQ(offeredVersion(), "1.6");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StoredDate,
    ::testing::Values(
        StoredDateCase{"absent", [](MemoryRecordStore&) {}, false},
        StoredDateCase{"textInsteadOfADate",
                       [](MemoryRecordStore& d) { d.setString(UpdateChecker::lastAnswerKey, "2026-01-01"); },
                       false},
        StoredDateCase{"infinite",
                       [](MemoryRecordStore& d) {
                           d.setDate(UpdateChecker::lastAnswerKey, std::numeric_limits<double>::infinity());
                       },
                       false},
        StoredDateCase{"notANumber",
                       [](MemoryRecordStore& d) {
                           d.setDate(UpdateChecker::lastAnswerKey, std::numeric_limits<double>::quiet_NaN());
                       },
                       false},
        StoredDateCase{"farFuture",
                       [](MemoryRecordStore& d) { d.setDate(UpdateChecker::lastAnswerKey, 1e300); }, true},
        StoredDateCase{"largestDate",
                       [](MemoryRecordStore& d) { d.setDate(UpdateChecker::lastAnswerKey, DBL_MAX); },
                       true}));

} // namespace
} // namespace corbel
