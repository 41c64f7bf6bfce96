#pragma once
// The screen-reader state of the desktop's assistive-technology service: the ScreenReaderEnabled
// property of org.a11y.Status on the session bus, read asynchronously, never starting the service,
// and followed through its change signal and the coming and going of its bus name.

#include <QDBusConnection>

#include <memory>

#include "platform/screenreader/ScreenReaderStatus.hpp"

namespace platform {

// Switch control has no counterpart on this desktop and reads false.
// REQUIRES: a QCoreApplication exists; constructed, used and destroyed on its thread. Observers
// are called on that thread, on a later turn than any call into this object.
class AtspiScreenReaderStatus final : public ScreenReaderStatus {
public:
    // Starts following the state at once. A disconnected connection (no session bus) reads false
    // for good.
    explicit AtspiScreenReaderStatus(QDBusConnection connection);
    ~AtspiScreenReaderStatus() override;
    AtspiScreenReaderStatus(const AtspiScreenReaderStatus&) = delete;
    AtspiScreenReaderStatus& operator=(const AtspiScreenReaderStatus&) = delete;

    // False until the first answer, and while the service is absent.
    bool isVoiceOverEnabled() const override;
    bool isSwitchControlEnabled() const override { return false; }
    std::unique_ptr<ScreenReaderObservation> observeVoiceOverEnabled(std::function<void()> handler) override;

    class Follower;

private:
    std::shared_ptr<Follower> follower_;
};

} // namespace platform
