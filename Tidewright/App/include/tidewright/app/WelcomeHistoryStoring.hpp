#pragma once
// Whether the welcome was ever shown on this machine.

namespace tidewright {

class WelcomeHistoryStoring {
public:
    virtual ~WelcomeHistoryStoring() = default;
    virtual bool hasPresented() const = 0;
    virtual void markPresented() = 0;
};

} // namespace tidewright
