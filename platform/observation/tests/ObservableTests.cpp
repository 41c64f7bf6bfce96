#include "platform/observation/Observable.hpp"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace platform {
namespace {

using Log = std::vector<std::string>;

// A subscriber that logs its name and the value it was handed.
Observable<int>::Subscriber logging(Log& log, std::string name) {
    return [&log, name](const int& value) {
        log.push_back(name + " " + std::to_string(value));
    };
}

TEST(Observable, AnAssignmentNotifiesOnlyWhenItChangesTheValueAndNotifyAlwaysDoes) {
    Observable<std::string> text("a");
    Log log;
    Subscription token = text.subscribe([&](const std::string& value) { log.push_back(value); });
    EXPECT_TRUE(log.empty()); // subscribing does not call back

    EXPECT_FALSE(text.set("a"));
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(text.set("b"));
    EXPECT_EQ(text.value(), "b");
    text.notify();
    EXPECT_EQ(log, (Log{"b", "b"}));
}

TEST(Observable, SubscribersHearInTheOrderTheySubscribed) {
    Observable<int> number;
    Log log;
    Subscription second;
    Subscription first = number.subscribe(logging(log, "first"));
    second = number.subscribe(logging(log, "second"));
    Subscription third = number.subscribe(logging(log, "third"));
    number.set(1);
    EXPECT_EQ(log, (Log{"first 1", "second 1", "third 1"}));
}

TEST(Observable, AnEndedOrDestroyedTokenHearsNothingAndAMovedOneKeepsListening) {
    Observable<int> number;
    Log log;
    Subscription reset = number.subscribe(logging(log, "reset"));
    Subscription moved;
    {
        Subscription scoped = number.subscribe(logging(log, "scoped"));
        Subscription original = number.subscribe(logging(log, "moved"));
        moved = std::move(original);
        EXPECT_FALSE(original.isActive());
    }
    reset.reset();
    reset.reset();
    EXPECT_FALSE(reset.isActive());
    EXPECT_EQ(number.subscriberCount(), 1u);

    number.set(1);
    EXPECT_EQ(log, (Log{"moved 1"}));

    // Moving a token onto a live one ends the one it replaces.
    Subscription other = number.subscribe(logging(log, "other"));
    moved = std::move(other);
    number.set(2);
    EXPECT_EQ(log, (Log{"moved 1", "other 2"}));
}

TEST(Observable, ATokenMayOutliveItsValue) {
    Subscription token;
    Subscription moved;
    {
        Observable<int> number;
        token = number.subscribe([](const int&) {});
        moved = number.subscribe([](const int&) {});
    }
    EXPECT_TRUE(token.isActive());
    token.reset();
    EXPECT_FALSE(token.isActive());
    Subscription last = std::move(moved); // destroyed after the value, at the end of the test
}

TEST(Observable, ASubscriberMayEndAnyTokenWhileBeingNotified) {
    Observable<int> number;
    Log log;
    Subscription selfEnding;
    Subscription later;
    Subscription ending = number.subscribe([&](const int& value) {
        log.push_back("ending " + std::to_string(value));
        later.reset();
    });
    auto captured = std::make_shared<std::string>("self");
    selfEnding = number.subscribe([&, captured](const int& value) {
        selfEnding.reset();
        // Its own closure, captures included, lives until it returns.
        log.push_back(*captured + " " + std::to_string(value));
    });
    later = number.subscribe(logging(log, "later"));
    captured.reset();

    number.set(1);
    number.set(2);
    EXPECT_EQ(log, (Log{"ending 1", "self 1", "ending 2"}));
}

TEST(Observable, ASubscriberAddedDuringANotificationHearsFromTheNextOneOn) {
    Observable<int> number;
    Log log;
    std::vector<Subscription> added;
    Subscription adding = number.subscribe([&](const int& value) {
        if (added.empty()) {
            added.push_back(number.subscribe(logging(log, "added")));
        }
        log.push_back("adding " + std::to_string(value));
    });
    number.set(1);
    number.set(2);
    EXPECT_EQ(log, (Log{"adding 1", "adding 2", "added 2"}));
}

TEST(Observable, AnAssignmentDuringANotificationReachesEveryoneAndNobodyHearsAnOlderValueLast) {
    Observable<int> number;
    Log log;
    Subscription before = number.subscribe(logging(log, "before"));
    Subscription clamping = number.subscribe([&](const int& value) {
        log.push_back("clamping " + std::to_string(value));
        number.set(value > 10 ? 10 : value);
    });
    Subscription after = number.subscribe(logging(log, "after"));

    number.set(50);
    EXPECT_EQ(number.value(), 10);
    EXPECT_EQ(log, (Log{"before 50", "clamping 50", "before 10", "clamping 10", "after 10"}));
}

TEST(Observable, AValueDestroyedDuringANotificationNotifiesNobodyElse) {
    std::optional<Observable<int>> number(std::in_place);
    Log log;
    Subscription destroying = number->subscribe([&](const int& value) {
        log.push_back("destroying " + std::to_string(value));
        number.reset();
    });
    Subscription after = number->subscribe(logging(log, "after"));

    number->set(1);
    EXPECT_FALSE(number.has_value());
    EXPECT_EQ(log, (Log{"destroying 1"}));
    after.reset();
}

} // namespace
} // namespace platform
