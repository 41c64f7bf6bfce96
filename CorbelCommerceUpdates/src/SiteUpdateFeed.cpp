#include "corbel/updates/SiteUpdateFeed.hpp"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QtGlobal>

#include <optional>
#include <stop_token>

#include "UpdatesLog.hpp"
#include "corbel/updates/UpdateFailure.hpp"
#include "corbel/updates/UpdateManifest.hpp"
#include "platform/concurrency/Continuation.hpp"

namespace corbel {

Q_LOGGING_CATEGORY(updatesLog, "app.corbelthane.tidewright.updates")

namespace {

constexpr qint64 maximumBody = static_cast<qint64>(UpdateManifest::maximumSize);

// What one fetch knows while it runs. It lives in the fetch's coroutine frame, which outlives the
// reply and every connection to it.
struct FetchState {
    QByteArray body;
    // Decided before the reply ends: a refused status, an oversized body, a time-out.
    std::optional<UpdateFailure> failure;
    bool finished = false;
    std::optional<platform::Continuation<>> waiting;

    void resume() {
        if (waiting) {
            // The task resumes on a later turn, never inside the reply's signal.
            std::exchange(waiting, std::nullopt)->resume();
        }
    }
};

bool statusIsOk(const QNetworkReply& reply) {
    const auto status = reply.attribute(QNetworkRequest::HttpStatusCodeAttribute);
    return status.isValid() && status.toInt() == 200;
}

// Ends the reply with failure unless an outcome was decided already. abort() emits finished at
// once.
void endWith(QNetworkReply& reply, FetchState& state, UpdateFailure failure) {
    if (state.failure || state.finished) {
        return;
    }
    state.failure = failure;
    // A reply that already holds an error is ending on its own; aborting it would report twice.
    if (reply.error() == QNetworkReply::NoError) {
        reply.abort();
    }
}

// Takes what arrived, up to one byte past the cap, so an endless answer costs no more than that.
void readBody(QNetworkReply& reply, FetchState& state) {
    if (state.failure) {
        return;
    }
    if (!statusIsOk(reply)) {
        endWith(reply, state, UpdateFailure::unreachable());
        return;
    }
    state.body.append(reply.read(maximumBody + 1 - state.body.size()));
    if (state.body.size() > maximumBody) {
        endWith(reply, state, UpdateFailure::unreadable());
    }
}

QNetworkRequest makeRequest(const QUrl& address, std::chrono::milliseconds inactivity) {
    QNetworkRequest request(address);
    // A redirect is the answer: with the manual policy its Location is never requested.
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    // Cookies are neither sent nor kept.
    request.setAttribute(QNetworkRequest::CookieLoadControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::CookieSaveControlAttribute, QNetworkRequest::Manual);
    request.setAttribute(QNetworkRequest::AuthenticationReuseAttribute, QNetworkRequest::Manual);
    // The manager has no cache, so the default load control adds no header; AlwaysNetwork would
    // add Cache-Control and Pragma.
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    request.setTransferTimeout(static_cast<int>(inactivity.count()));
    // Set explicitly so that neither Qt's own User-Agent nor the locale's languages go out.
    request.setRawHeader("User-Agent", "CorbelThane");
    request.setRawHeader("Accept", "application/json");
    request.setRawHeader("Accept-Language", "*");
    return request;
}

} // namespace

const QUrl& SiteUpdateFeed::address() {
    static const QUrl feed = [] {
        QUrl url(QStringLiteral(CORBEL_UPDATE_FEED_ADDRESS), QUrl::StrictMode);
        if (!url.isValid() || url.scheme() != QStringLiteral("https") || url.host().isEmpty() ||
            url.path() != QStringLiteral("/downloads/versions.json")) {
            qFatal("The update feed address built in is not an https address of /downloads/versions.json");
        }
        return url;
    }();
    return feed;
}

SiteUpdateFeed::SiteUpdateFeed(platform::Clock& clock, QUrl address, Timeouts timeouts)
    : clock_(clock), address_(std::move(address)), timeouts_(timeouts) {}

platform::Async<std::string> SiteUpdateFeed::fetch() {
    FetchState state;
    // One manager per fetch, so that nothing (connections, cookies, credentials) outlives it.
    QNetworkAccessManager manager;
    QPointer<QNetworkReply> reply = manager.get(makeRequest(address_, timeouts_.inactivity));
    reply->setReadBufferSize(maximumBody + 1);

    QObject::connect(reply, &QNetworkReply::metaDataChanged, reply, [&state, reply] {
        if (!state.failure && !statusIsOk(*reply)) {
            // Not a 200: the body is never read.
            endWith(*reply, state, UpdateFailure::unreachable());
        }
    });
    QObject::connect(reply, &QNetworkReply::readyRead, reply, [&state, reply] { readBody(*reply, state); });
    // The one place the fetch ends; an error signal comes before it and is only read here.
    QObject::connect(reply, &QNetworkReply::finished, reply, [&state, reply] {
        if (!state.failure) {
            if (reply->error() != QNetworkReply::NoError || !statusIsOk(*reply)) {
                state.failure = UpdateFailure::unreachable();
            } else {
                readBody(*reply, state);
            }
        }
        state.finished = true;
        state.resume();
    });

    const auto timer = clock_.startTimer(clock_.now() + timeouts_.total, [&state, reply] {
        if (reply) {
            endWith(*reply, state, UpdateFailure::unreachable());
        }
    });
    // Cancellation may come from any thread: the abort is queued to the reply's own thread, and
    // dropped if the reply is gone by then.
    const std::stop_callback onCancel(platform::currentStopToken(), [&state, reply] {
        QMetaObject::invokeMethod(
            reply, [&state, reply] { endWith(*reply, state, UpdateFailure::unreachable()); },
            Qt::QueuedConnection);
    });

    co_await platform::withContinuation<>("update feed fetch",
                                          [&state](platform::Continuation<> continuation) {
                                              state.waiting = std::move(continuation);
                                              if (state.finished) {
                                                  state.resume();
                                              }
                                          });

    clock_.cancelTimer(timer);
    QObject::disconnect(reply, nullptr, nullptr, nullptr);
    if (state.failure) {
        throw *state.failure;
    }
    co_return state.body.toStdString();
}

} // namespace corbel
