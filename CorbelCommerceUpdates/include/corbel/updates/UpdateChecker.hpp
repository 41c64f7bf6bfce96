#pragma once
// Tells the user that a newer release exists: checks the feed when a check is due, remembers the
// outcome across launches in the user defaults, and offers the newer version through the
// update-notifier contract. Nothing is downloaded; failures go to the log only.

#include <QUrl>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "corbel/updates/AppVersion.hpp"
#include "corbel/updates/Date.hpp"
#include "corbel/updates/UpdateFailure.hpp"
#include "corbel/updates/UpdateFeed.hpp"
#include "corbel/updates/UpdateManifest.hpp"
#include "corbel/updates/UpdateNotifier.hpp"
#include "corbel/updates/UpdateRecordStore.hpp"
#include "corbel/updates/UpdateSchedule.hpp"
#include "platform/concurrency/Executor.hpp"
#include "platform/concurrency/Task.hpp"
#include "platform/observation/Observable.hpp"

namespace corbel {

// Main thread only. Owned by a shared_ptr: a check in flight keeps the checker alive to its end.
class UpdateChecker final : public UpdateNotifier, public std::enable_shared_from_this<UpdateChecker> {
public:
    // The stored schedule and offer. Their names and value types must not change.
    static constexpr std::string_view lastAnswerKey = "CorbelThaneUpdateLastAnswer"; // date
    static constexpr std::string_view publishedKey = "CorbelThaneUpdatePublished";   // version text
    static constexpr std::string_view setAsideKey = "CorbelThaneUpdateSetAside";     // version text

    using Now = std::function<Date()>;

    // app is the application's key in the feed, current the running version's text (none, or an
    // invalid text, means no check ever runs). Reads the stored schedule and offer at once.
    // REQUIRES: app is non-empty and only ASCII lowercase letters and digits (else the process
    // stops); defaults and executor (the main executor) outlive the checker and its tasks.
    static std::shared_ptr<UpdateChecker> make(std::string app, std::optional<std::string> current,
                                               std::shared_ptr<UpdateFeed> feed, UpdateRecordStore& defaults,
                                               Now now, platform::Executor& executor);

    const std::optional<AvailableUpdate>& available() const override { return available_.value(); }
    platform::Subscription observeAvailable(AvailableSubscriber subscriber) override {
        return available_.subscribe(std::move(subscriber));
    }
    // Starts a check when none is in flight, the running version is known and the schedule says
    // one is due; the check runs as a task that starts on a later turn.
    void checkIfDue() override;
    // Hides the published version, and any version equal to it, until a greater one is published.
    void setAside() override;

    // The address of the application's latest disk image in the maker's download folder.
    const QUrl& download() const noexcept { return download_; }

    UpdateChecker(const UpdateChecker&) = delete;
    UpdateChecker& operator=(const UpdateChecker&) = delete;

private:
    using Outcome = std::variant<UpdateManifest, UpdateFailure>;

    UpdateChecker(std::string app, std::optional<std::string> current, std::shared_ptr<UpdateFeed> feed,
                  UpdateRecordStore& defaults, Now now, platform::Executor& executor);

    platform::Async<> runCheck();
    void record(const Outcome& outcome);
    void refreshOffer();

    platform::Observable<std::optional<AvailableUpdate>> available_;
    std::string app_;
    std::optional<AppVersion> current_;
    std::shared_ptr<UpdateFeed> feed_;
    UpdateRecordStore& defaults_;
    Now now_;
    platform::Executor& executor_;
    UpdateSchedule::Last last_ = UpdateSchedule::Never{};
    std::optional<platform::Task<>> check_;
    std::optional<AppVersion> published_;
    QUrl download_;
};

} // namespace corbel
