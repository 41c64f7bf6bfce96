#include "platform/screenreader/AtspiLauncher.hpp"

#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QEventLoop>
#include <QTimer>

#include <atomic>
#include <stdexcept>

namespace platform::testing {

namespace {
const QString serviceName = QStringLiteral("org.a11y.Bus");
constexpr int timeoutMilliseconds = 10000;
} // namespace

AtspiLauncher::AtspiLauncher(PrivateSessionBus& bus) : bus_(bus) {}

AtspiLauncher::~AtspiLauncher() {
    stop();
    control_.reset();
    for (const QString& name : connections_) {
        QDBusConnection::disconnectFromBus(name);
    }
}

QDBusConnection AtspiLauncher::connect() {
    static std::atomic<int> count{0};
    const QString name = QStringLiteral("tidewright-test-bus-%1").arg(++count);
    connections_.push_back(name);
    return QDBusConnection::connectToBus(QString::fromStdString(bus_.address()), name);
}

void AtspiLauncher::start() {
    if (!control_) {
        control_ = std::make_unique<QDBusConnection>(connect());
    }
    QEventLoop loop;
    QDBusServiceWatcher watcher(serviceName, *control_, QDBusServiceWatcher::WatchForRegistration);
    QObject::connect(&watcher, &QDBusServiceWatcher::serviceRegistered, &loop, &QEventLoop::quit);
    process_ = bus_.start({TIDEWRIGHT_AT_SPI_BUS_LAUNCHER});
    // Asked after the watch is in place, so a name taken meanwhile is seen one way or the other.
    if (!control_->interface()->isServiceRegistered(serviceName).value()) {
        QTimer::singleShot(timeoutMilliseconds, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (!control_->interface()->isServiceRegistered(serviceName).value()) {
        throw std::runtime_error("the assistive-technology launcher did not take its bus name");
    }
}

void AtspiLauncher::stop() {
    process_.reset();
}

bool AtspiLauncher::setScreenReader(bool enabled) {
    QDBusMessage call = QDBusMessage::createMethodCall(serviceName, QStringLiteral("/org/a11y/bus"),
                                                       QStringLiteral("org.freedesktop.DBus.Properties"),
                                                       QStringLiteral("Set"));
    call << QStringLiteral("org.a11y.Status") << QStringLiteral("ScreenReaderEnabled")
         << QVariant::fromValue(QDBusVariant(enabled));
    return control_ &&
           control_->call(call, QDBus::Block, timeoutMilliseconds).type() == QDBusMessage::ReplyMessage;
}

} // namespace platform::testing
