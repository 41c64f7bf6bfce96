#include "corbel/updates/UpdateChecker.hpp"

#include <QtGlobal>

#include <algorithm>

#include "UpdatesLog.hpp"
#include "corbel/updates/UpdateOffer.hpp"

namespace corbel {

namespace {

bool isValidAppKey(std::string_view app) {
    return !app.empty() && std::all_of(app.begin(), app.end(), [](char c) {
        return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
    });
}

QUrl downloadAddress(const std::string& app) {
    const QUrl url(QStringLiteral(CORBEL_UPDATE_DOWNLOADS_ADDRESS) + QString::fromStdString(app) +
                       QStringLiteral("-latest.dmg"),
                   QUrl::StrictMode);
    if (!url.isValid() || url.scheme().isEmpty() || url.host().isEmpty()) {
        qFatal("The download address built in is not a valid address");
    }
    return url;
}

std::optional<AppVersion> parsed(const std::optional<std::string>& text) {
    return text ? AppVersion::parse(*text) : std::nullopt;
}

} // namespace

std::shared_ptr<UpdateChecker> UpdateChecker::make(std::string app, std::optional<std::string> current,
                                                   std::shared_ptr<UpdateFeed> feed,
                                                   UpdateRecordStore& defaults, Now now,
                                                   platform::Executor& executor) {
    return std::shared_ptr<UpdateChecker>(new UpdateChecker(
        std::move(app), std::move(current), std::move(feed), defaults, std::move(now), executor));
}

UpdateChecker::UpdateChecker(std::string app, std::optional<std::string> current,
                             std::shared_ptr<UpdateFeed> feed, UpdateRecordStore& defaults, Now now,
                             platform::Executor& executor)
    : defaults_(defaults), executor_(executor) {
    if (!isValidAppKey(app)) {
        qFatal("An update checker needs an application key of ASCII lowercase letters and digits");
    }
    app_ = std::move(app);
    current_ = parsed(current);
    feed_ = std::move(feed);
    now_ = std::move(now);
    download_ = downloadAddress(app_);

    // The stored date comes from a user-writable file: only a finite date counts as one.
    if (const auto stored = defaults_.date(lastAnswerKey)) {
        if (const auto date = Date::fromSecondsSince1970(*stored)) {
            last_ = UpdateSchedule::Answered{*date};
            published_ = parsed(defaults_.string(publishedKey));
        }
    }
    refreshOffer();
}

void UpdateChecker::checkIfDue() {
    if (check_ || !current_) {
        return;
    }
    if (!UpdateSchedule::isDue(last_, now_())) {
        return;
    }
    // The task starts on a later turn, so check_ is set before its body can clear it, even when
    // the feed answers without suspending.
    check_ = platform::spawn(executor_,
                             [self = shared_from_this()]() -> platform::Async<> { return self->runCheck(); });
}

platform::Async<> UpdateChecker::runCheck() {
    Outcome outcome = UpdateFailure::unreachable();
    try {
        const std::string body = co_await feed_->fetch();
        outcome = UpdateManifest::decoding(body);
    } catch (const UpdateFailure& failure) {
        outcome = failure;
    } catch (...) {
        // Anything else (running out of memory, say) counts as the site's silence, so that the
        // check is recorded, cleared and tried again later rather than blocking every later one.
        outcome = UpdateFailure::unreachable();
    }
    try {
        record(outcome);
    } catch (...) {
        check_.reset();
        qCWarning(updatesLog, "Update check could not be recorded");
    }
}

void UpdateChecker::record(const Outcome& outcome) {
    check_.reset();
    if (const auto* failure = std::get_if<UpdateFailure>(&outcome)) {
        qCInfo(updatesLog, "Update check failed: %s", failure->name().data());
        if (failure->siteAnswered()) {
            const Date at = now_();
            last_ = UpdateSchedule::Answered{at};
            defaults_.setDate(lastAnswerKey, at.secondsSince1970());
        } else {
            last_ = UpdateSchedule::Failed{now_()};
        }
    } else {
        const auto& manifest = std::get<UpdateManifest>(outcome);
        const Date at = now_();
        last_ = UpdateSchedule::Answered{at};
        const auto entry = manifest.versions.find(app_);
        published_ = entry != manifest.versions.end() ? std::optional(entry->second) : std::nullopt;
        defaults_.setDate(lastAnswerKey, at.secondsSince1970());
        if (published_) {
            defaults_.setString(publishedKey, published_->description());
        } else {
            defaults_.remove(publishedKey);
        }
    }
    refreshOffer();
}

void UpdateChecker::refreshOffer() {
    if (!current_) {
        return;
    }
    const auto setAside = parsed(defaults_.string(setAsideKey));
    const auto offered = UpdateOffer::newer(published_, *current_, setAside);
    available_.set(offered ? std::optional(AvailableUpdate{offered->description(), download_})
                           : std::nullopt);
}

void UpdateChecker::setAside() {
    if (!published_) {
        return;
    }
    defaults_.setString(setAsideKey, published_->description());
    refreshOffer();
}

} // namespace corbel
