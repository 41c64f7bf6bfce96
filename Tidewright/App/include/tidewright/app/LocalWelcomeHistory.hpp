#pragma once
// The welcome history kept in the user defaults, under a key that other installations never see.

#include <string_view>

#include "platform/defaults/UserDefaults.hpp"
#include "tidewright/app/WelcomeHistoryStoring.hpp"

namespace tidewright {

class LocalWelcomeHistory final : public WelcomeHistoryStoring {
public:
    static constexpr std::string_view key = "tidewright.welcomePresentation.v1";
    // The only value ever written; anything else under the key, or nothing, is "not presented".
    static constexpr std::string_view presented = "presented";

    // REQUIRES: defaults outlives this object; main thread.
    explicit LocalWelcomeHistory(platform::UserDefaults& defaults) : defaults_(defaults) {}

    bool hasPresented() const override;
    void markPresented() override;

private:
    platform::UserDefaults& defaults_;
};

} // namespace tidewright
