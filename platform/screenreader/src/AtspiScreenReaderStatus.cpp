#include "platform/screenreader/AtspiScreenReaderStatus.hpp"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QLoggingCategory>
#include <QObject>
#include <QStringList>
#include <QVariantMap>

#include <cstdint>
#include <map>
#include <utility>

Q_LOGGING_CATEGORY(screenReaderLog, "app.corbelthane.tidewright.screenreader")

namespace platform {

namespace {
const QString serviceName = QStringLiteral("org.a11y.Bus");
const QString objectPath = QStringLiteral("/org/a11y/bus");
const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");
const QString statusInterface = QStringLiteral("org.a11y.Status");
const QString propertyName = QStringLiteral("ScreenReaderEnabled");
} // namespace

// Holds the cached value and the observers; the QObject part receives the bus's signals.
class AtspiScreenReaderStatus::Follower final : public QObject {
    Q_OBJECT

public:
    explicit Follower(QDBusConnection connection) : connection_(std::move(connection)) {}

    void start() {
        if (!connection_.isConnected()) {
            qCInfo(screenReaderLog, "no session bus: the screen reader reads as off");
            return;
        }
        owners_ =
            new QDBusServiceWatcher(serviceName, connection_, QDBusServiceWatcher::WatchForOwnerChange, this);
        QObject::connect(
            owners_, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString&, const QString&, const QString& newOwner) { ownerChanged(newOwner); });
        // Any sender: naming the service would make the bus library ask for its owner and wait.
        connection_.connect(QString(), objectPath, propertiesInterface, QStringLiteral("PropertiesChanged"),
                            this, SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
        read();
    }

    void stop() {
        if (connection_.isConnected()) {
            connection_.disconnect(QString(), objectPath, propertiesInterface,
                                   QStringLiteral("PropertiesChanged"), this,
                                   SLOT(propertiesChanged(QString, QVariantMap, QStringList)));
        }
        ++generation_;
    }

    bool value() const { return value_; }

    int observe(std::function<void()> handler) {
        const int id = nextObserver_++;
        observers_.emplace(id, std::move(handler));
        return id;
    }
    void forget(int id) { observers_.erase(id); }

public Q_SLOTS:
    void propertiesChanged(const QString& interface, const QVariantMap& changed,
                           const QStringList& invalidated) {
        if (interface != statusInterface) {
            return;
        }
        if (auto found = changed.find(propertyName); found != changed.end()) {
            // Newer than every answer still on its way from the same sender.
            ++generation_;
            update(found->toBool());
        } else if (invalidated.contains(propertyName)) {
            read();
        }
    }

private:
    void ownerChanged(const QString& newOwner) {
        if (newOwner.isEmpty()) {
            ++generation_;
            update(false);
        } else {
            read();
        }
    }

    // Asks without starting the service: a reader that is not running means no screen reader.
    void read() {
        QDBusMessage call = QDBusMessage::createMethodCall(serviceName, objectPath, propertiesInterface,
                                                           QStringLiteral("Get"));
        call << statusInterface << propertyName;
        call.setAutoStartService(false);
        const std::uint64_t generation = ++generation_;
        auto* watcher = new QDBusPendingCallWatcher(connection_.asyncCall(call), this);
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, this,
                         [this, generation](QDBusPendingCallWatcher* finished) {
                             finished->deleteLater();
                             if (generation != generation_) {
                                 return;
                             }
                             const QDBusPendingReply<QDBusVariant> reply = *finished;
                             if (reply.isError()) {
                                 qCDebug(screenReaderLog, "screen reader state unavailable: %s",
                                         qUtf8Printable(reply.error().name()));
                                 update(false);
                             } else {
                                 update(reply.value().variant().toBool());
                             }
                         });
    }

    void update(bool value) {
        if (value == value_) {
            return;
        }
        value_ = value;
        // An observer may end its own or another observation while it runs.
        const auto observers = observers_;
        for (const auto& [id, handler] : observers) {
            if (observers_.contains(id)) {
                handler();
            }
        }
    }

    QDBusConnection connection_;
    QDBusServiceWatcher* owners_ = nullptr;
    bool value_ = false;
    std::uint64_t generation_ = 0;
    std::map<int, std::function<void()>> observers_;
    int nextObserver_ = 0;
};

namespace {

class Observation final : public ScreenReaderObservation {
public:
    Observation(std::weak_ptr<AtspiScreenReaderStatus::Follower> follower, int id)
        : follower_(std::move(follower)), id_(id) {}
    ~Observation() override { invalidate(); }
    void invalidate() override {
        if (auto follower = std::exchange(follower_, {}).lock()) {
            follower->forget(id_);
        }
    }

private:
    std::weak_ptr<AtspiScreenReaderStatus::Follower> follower_;
    int id_;
};

} // namespace

AtspiScreenReaderStatus::AtspiScreenReaderStatus(QDBusConnection connection)
    : follower_(std::make_shared<Follower>(std::move(connection))) {
    follower_->start();
}

AtspiScreenReaderStatus::~AtspiScreenReaderStatus() {
    follower_->stop();
}

bool AtspiScreenReaderStatus::isVoiceOverEnabled() const {
    return follower_->value();
}

std::unique_ptr<ScreenReaderObservation>
AtspiScreenReaderStatus::observeVoiceOverEnabled(std::function<void()> handler) {
    return std::make_unique<Observation>(follower_, follower_->observe(std::move(handler)));
}

} // namespace platform

#include "AtspiScreenReaderStatus.moc"
