#pragma once
// The smallest tray host a StatusNotifierItem needs, on a test's private session bus: a watcher
// that says a host is there and keeps the names of the items that register, and the calls a host
// makes on an item (its properties, Activate). For the end-to-end tests of the tray.
// REQUIRES: a QCoreApplication exists; used on its thread. Link Qt6::DBus.

#include <QByteArray>
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QElapsedTimer>
#include <QStringList>

#include <chrono>
#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace tidewright::testing {

// One picture of an item's IconPixmap: ARGB32 in network order, alpha first.
struct StatusNotifierPixmap {
    int width = 0;
    int height = 0;
    QByteArray argb;

    bool operator==(const StatusNotifierPixmap&) const = default;
};

class StatusNotifierHost {
public:
    // THROWS std::runtime_error when the watcher's name or object cannot be had on that bus.
    explicit StatusNotifierHost(const std::string& busAddress)
        : connection_(QDBusConnection::connectToBus(QString::fromStdString(busAddress), connectionName)) {
        if (!connection_.isConnected() ||
            !connection_.registerService(QStringLiteral("org.kde.StatusNotifierWatcher")) ||
            !connection_.registerVirtualObject(QStringLiteral("/StatusNotifierWatcher"), &watcher_)) {
            throw std::runtime_error("the watcher cannot be registered");
        }
    }
    ~StatusNotifierHost() {
        connection_.unregisterObject(QStringLiteral("/StatusNotifierWatcher"));
        connection_ = QDBusConnection(QString());
        QDBusConnection::disconnectFromBus(connectionName);
    }
    StatusNotifierHost(const StatusNotifierHost&) = delete;
    StatusNotifierHost& operator=(const StatusNotifierHost&) = delete;

    QDBusConnection& connection() { return connection_; }
    const QStringList& items() const { return watcher_.items; }

    // Serves the bus until the condition holds; false at the timeout.
    bool serveUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
        QElapsedTimer waited;
        waited.start();
        while (!done()) {
            if (waited.elapsed() > timeout.count()) {
                return false;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        return true;
    }

    bool waitForItem() {
        return serveUntil([&] { return !watcher_.items.isEmpty(); });
    }

    // A property of the first item that registered; invalid when it does not answer.
    QVariant itemProperty(const QString& name) {
        QDBusMessage get = QDBusMessage::createMethodCall(watcher_.items.at(0), itemPath,
                                                          QStringLiteral("org.freedesktop.DBus.Properties"),
                                                          QStringLiteral("Get"));
        get.setArguments({QStringLiteral("org.kde.StatusNotifierItem"), name});
        const QDBusMessage reply = connection_.call(get);
        if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
            return {};
        }
        return reply.arguments().at(0).value<QDBusVariant>().variant();
    }

    // The item's IconPixmap; empty when it has none.
    std::vector<StatusNotifierPixmap> iconPixmaps() {
        const QVariant icon = itemProperty(QStringLiteral("IconPixmap"));
        return icon.canConvert<QDBusArgument>() ? pixmapsOf(icon.value<QDBusArgument>())
                                                : std::vector<StatusNotifierPixmap>{};
    }

    // A host's primary activation, as a click on its icon at (x, y) makes; answered later.
    void activate(int x, int y) {
        QDBusMessage activate = QDBusMessage::createMethodCall(
            watcher_.items.at(0), itemPath, QStringLiteral("org.kde.StatusNotifierItem"), QStringLiteral("Activate"));
        activate.setArguments({x, y});
        connection_.call(activate, QDBus::NoBlock);
    }

    // An a(iiay) as IconPixmap and the ToolTip's second field carry it.
    static std::vector<StatusNotifierPixmap> pixmapsOf(const QDBusArgument& argument) {
        std::vector<StatusNotifierPixmap> pixmaps;
        argument.beginArray();
        while (!argument.atEnd()) {
            StatusNotifierPixmap p;
            argument.beginStructure();
            argument >> p.width >> p.height >> p.argb;
            argument.endStructure();
            pixmaps.push_back(p);
        }
        argument.endArray();
        return pixmaps;
    }

private:
    class Watcher final : public QDBusVirtualObject {
    public:
        QString introspect(const QString&) const override {
            return QStringLiteral(
                "<interface name=\"org.kde.StatusNotifierWatcher\">"
                "<method name=\"RegisterStatusNotifierItem\"><arg name=\"service\" type=\"s\" direction=\"in\"/></method>"
                "<method name=\"RegisterStatusNotifierHost\"><arg name=\"service\" type=\"s\" direction=\"in\"/></method>"
                "<property name=\"RegisteredStatusNotifierItems\" type=\"as\" access=\"read\"/>"
                "<property name=\"IsStatusNotifierHostRegistered\" type=\"b\" access=\"read\"/>"
                "<property name=\"ProtocolVersion\" type=\"i\" access=\"read\"/>"
                "<signal name=\"StatusNotifierItemRegistered\"><arg type=\"s\"/></signal>"
                "</interface>");
        }

        bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override {
            const QString member = message.member();
            if (message.interface() == QStringLiteral("org.freedesktop.DBus.Properties") &&
                member == QStringLiteral("Get") && message.arguments().size() == 2) {
                const QString name = message.arguments().at(1).toString();
                QVariant value;
                if (name == QStringLiteral("IsStatusNotifierHostRegistered")) {
                    value = true;
                } else if (name == QStringLiteral("ProtocolVersion")) {
                    value = 0;
                } else if (name == QStringLiteral("RegisteredStatusNotifierItems")) {
                    value = items;
                } else {
                    return false;
                }
                connection.send(message.createReply(QVariant::fromValue(QDBusVariant(value))));
                return true;
            }
            if (member == QStringLiteral("RegisterStatusNotifierItem") && message.arguments().size() == 1) {
                // An item names either its service or its object path on the sender's connection.
                const QString service = message.arguments().at(0).toString();
                items.append(service.startsWith(QLatin1Char('/')) ? message.service() : service);
                connection.send(message.createReply());
                return true;
            }
            if (member == QStringLiteral("RegisterStatusNotifierHost")) {
                connection.send(message.createReply());
                return true;
            }
            return false;
        }

        QStringList items;
    };

    static inline const QString connectionName = QStringLiteral("status-notifier-host");
    static inline const QString itemPath = QStringLiteral("/StatusNotifierItem");

    Watcher watcher_;
    QDBusConnection connection_;
};

} // namespace tidewright::testing
