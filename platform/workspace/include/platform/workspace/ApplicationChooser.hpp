#pragma once
// A dialog in which the user picks installed applications.

#include <functional>
#include <vector>

#include "platform/workspace/InstalledApplication.hpp"

namespace platform {

class ApplicationChooser {
public:
    enum class Response {
        cancel,
        ok,
    };
    struct Answer {
        Response response = Response::cancel;
        std::vector<InstalledApplication> chosen; // in the list's order; empty unless ok
    };

    // Destroying a chooser that has begun and not answered answers cancel.
    virtual ~ApplicationChooser() = default;

    // Shows the chooser. completion runs exactly once per chooser, on the main thread, whether the
    // user answers, cancel() is called or the chooser is destroyed; never inside begin().
    // REQUIRES: called once; completion does not destroy the chooser.
    virtual void begin(std::function<void(Answer)> completion) = 0;
    // Closes a shown chooser as if the user chose Cancel. Does nothing before begin or after the
    // answer.
    virtual void cancel() = 0;
};

} // namespace platform
