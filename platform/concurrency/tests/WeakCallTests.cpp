// The weak hook: calls while its object lives, with the arguments it is given; nothing afterwards.

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/concurrency/WeakCall.hpp"

namespace platform {
namespace {

struct Listener {
    void heard(const std::string& what, int times) { calls.push_back(what + "*" + std::to_string(times)); }
    void poked() { calls.push_back("poked"); }
    std::vector<std::string> calls;
};

TEST(WeakCall, CallsWhileTheObjectLivesAndNeverAfter) {
    auto listener = std::make_shared<Listener>();
    const std::function<void(const std::string&, int)> heard =
        weakCall(std::weak_ptr<Listener>(listener), &Listener::heard);
    const std::function<void()> poked = weakCall(std::weak_ptr<Listener>(listener), &Listener::poked);
    heard("knock", 2);
    poked();
    EXPECT_EQ(listener->calls, (std::vector<std::string>{"knock*2", "poked"}));

    std::weak_ptr<Listener> gone = listener;
    listener.reset();
    ASSERT_TRUE(gone.expired());
    heard("knock", 3); // nothing to call, nothing kept alive
    poked();
}

} // namespace
} // namespace platform
