#include "platform/testing/AtspiDriver.hpp"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QList>

#include <atomic>
#include <stdexcept>
#include <thread>

namespace platform::testing {

namespace {

constexpr int callTimeoutMilliseconds = 5000;
const QString rootPath = QStringLiteral("/org/a11y/atspi/accessible/root");
const QString accessibleInterface = QStringLiteral("org.a11y.atspi.Accessible");

// The AT-SPI state bits this driver reads (AtspiStateType).
constexpr std::uint32_t stateChecked = 4;
constexpr std::uint32_t stateShowing = 25;

QString newConnectionName() {
    static std::atomic<int> count{0};
    return QStringLiteral("tidewright-atspi-driver-%1").arg(++count);
}

QDBusMessage call(QDBusConnection& bus, const QString& service, const QString& path, const QString& interface,
                  const QString& method, const QList<QVariant>& arguments = {}) {
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    return bus.call(message, QDBus::Block, callTimeoutMilliseconds);
}

bool answered(const QDBusMessage& reply) {
    return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty();
}

QString accessibilityBusAddress(const std::string& sessionBusAddress) {
    const QString name = newConnectionName();
    QString address;
    {
        QDBusConnection session = QDBusConnection::connectToBus(QString::fromStdString(sessionBusAddress), name);
        const QDBusMessage reply = call(session, QStringLiteral("org.a11y.Bus"), QStringLiteral("/org/a11y/bus"),
                                        QStringLiteral("org.a11y.Bus"), QStringLiteral("GetAddress"));
        if (answered(reply)) {
            address = reply.arguments().constFirst().toString();
        }
    }
    QDBusConnection::disconnectFromBus(name);
    if (address.isEmpty()) {
        throw std::runtime_error("the accessibility bus launcher gave no address");
    }
    return address;
}

} // namespace

AtspiDriver::AtspiDriver(const std::string& sessionBusAddress)
    : connectionName_(newConnectionName()),
      bus_(QDBusConnection::connectToBus(accessibilityBusAddress(sessionBusAddress), connectionName_)) {
    if (!bus_.isConnected()) {
        throw std::runtime_error("cannot connect to the accessibility bus");
    }
}

AtspiDriver::~AtspiDriver() {
    bus_ = QDBusConnection(QString());
    QDBusConnection::disconnectFromBus(connectionName_);
}

std::optional<AtspiElement> AtspiDriver::application(pid_t pid) {
    const QString daemon = QStringLiteral("org.freedesktop.DBus");
    const QDBusMessage names =
        call(bus_, daemon, QStringLiteral("/org/freedesktop/DBus"), daemon, QStringLiteral("ListNames"));
    if (!answered(names)) {
        return std::nullopt;
    }
    for (const QString& name : names.arguments().constFirst().toStringList()) {
        if (!name.startsWith(QLatin1Char(':'))) {
            continue;
        }
        const QDBusMessage owner = call(bus_, daemon, QStringLiteral("/org/freedesktop/DBus"), daemon,
                                        QStringLiteral("GetConnectionUnixProcessID"), {name});
        if (answered(owner) && owner.arguments().constFirst().toUInt() == static_cast<std::uint32_t>(pid)) {
            return AtspiElement{name, rootPath};
        }
    }
    return std::nullopt;
}

std::vector<AtspiElement> AtspiDriver::children(const AtspiElement& element) {
    std::vector<AtspiElement> result;
    const QDBusMessage reply =
        call(bus_, element.service, element.path, accessibleInterface, QStringLiteral("GetChildren"));
    if (!answered(reply)) {
        return result;
    }
    const QDBusArgument list = reply.arguments().constFirst().value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        QString service;
        QDBusObjectPath path;
        list.beginStructure();
        list >> service >> path;
        list.endStructure();
        result.push_back({service, path.path()});
    }
    list.endArray();
    return result;
}

QString AtspiDriver::name(const AtspiElement& element) {
    const QDBusMessage reply = call(bus_, element.service, element.path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                    QStringLiteral("Get"), {accessibleInterface, QStringLiteral("Name")});
    return answered(reply) ? reply.arguments().constFirst().value<QDBusVariant>().variant().toString() : QString();
}

QString AtspiDriver::description(const AtspiElement& element) {
    const QDBusMessage reply = call(bus_, element.service, element.path, QStringLiteral("org.freedesktop.DBus.Properties"),
                                    QStringLiteral("Get"), {accessibleInterface, QStringLiteral("Description")});
    return answered(reply) ? reply.arguments().constFirst().value<QDBusVariant>().variant().toString() : QString();
}

QString AtspiDriver::roleName(const AtspiElement& element) {
    const QDBusMessage reply =
        call(bus_, element.service, element.path, accessibleInterface, QStringLiteral("GetRoleName"));
    return answered(reply) ? reply.arguments().constFirst().toString() : QString();
}

std::optional<std::vector<std::uint32_t>> AtspiDriver::states(const AtspiElement& element) {
    const QDBusMessage reply = call(bus_, element.service, element.path, accessibleInterface, QStringLiteral("GetState"));
    if (!answered(reply)) {
        return std::nullopt;
    }
    const QList<uint> words = qdbus_cast<QList<uint>>(reply.arguments().constFirst());
    return std::vector<std::uint32_t>(words.begin(), words.end());
}

namespace {
bool hasState(const std::optional<std::vector<std::uint32_t>>& words, std::uint32_t state) {
    return words && state / 32 < words->size() && ((*words)[state / 32] >> (state % 32) & 1U) != 0;
}
} // namespace

bool AtspiDriver::checked(const AtspiElement& element) {
    return hasState(states(element), stateChecked);
}

bool AtspiDriver::showing(const AtspiElement& element) {
    return hasState(states(element), stateShowing);
}

std::optional<AtspiExtents> AtspiDriver::extents(const AtspiElement& element) {
    // Coordinate type 0: the screen's.
    const QDBusMessage reply = call(bus_, element.service, element.path, QStringLiteral("org.a11y.atspi.Component"),
                                    QStringLiteral("GetExtents"), {QVariant::fromValue(0U)});
    if (!answered(reply)) {
        return std::nullopt;
    }
    const QDBusArgument box = reply.arguments().constFirst().value<QDBusArgument>();
    AtspiExtents result;
    box.beginStructure();
    box >> result.x >> result.y >> result.width >> result.height;
    box.endStructure();
    return result;
}

std::optional<AtspiExtents> AtspiDriver::settledExtents(const AtspiElement& element,
                                                       std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    std::optional<AtspiExtents> last = extents(element);
    while (std::chrono::steady_clock::now() < deadline) {
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        const std::optional<AtspiExtents> now = extents(element);
        if (now && last && *now == *last && now->width > 0 && now->height > 0) {
            return now;
        }
        last = now;
    }
    return std::nullopt;
}

QStringList AtspiDriver::actionNames(const AtspiElement& element) {
    QStringList result;
    const QDBusMessage reply = call(bus_, element.service, element.path, QStringLiteral("org.a11y.atspi.Action"),
                                    QStringLiteral("GetActions"));
    if (!answered(reply)) {
        return result;
    }
    const QDBusArgument list = reply.arguments().constFirst().value<QDBusArgument>();
    list.beginArray();
    while (!list.atEnd()) {
        QString actionName;
        QString description;
        QString keys;
        list.beginStructure();
        list >> actionName >> description >> keys;
        list.endStructure();
        result.append(actionName);
    }
    list.endArray();
    return result;
}

bool AtspiDriver::doAction(const AtspiElement& element, const QString& action) {
    const qsizetype index = actionNames(element).indexOf(action);
    if (index < 0) {
        return false;
    }
    const QDBusMessage reply = call(bus_, element.service, element.path, QStringLiteral("org.a11y.atspi.Action"),
                                    QStringLiteral("DoAction"), {QVariant::fromValue(static_cast<int>(index))});
    return answered(reply) && reply.arguments().constFirst().toBool();
}

std::optional<AtspiElement> AtspiDriver::find(const AtspiElement& root, const QString& role, const QString& name) {
    std::vector<AtspiElement> pending{root};
    // Depth first, children in order.
    while (!pending.empty()) {
        const AtspiElement element = pending.back();
        pending.pop_back();
        if (roleName(element) == role && this->name(element) == name && showing(element)) {
            return element;
        }
        std::vector<AtspiElement> below = children(element);
        pending.insert(pending.end(), below.rbegin(), below.rend());
    }
    return std::nullopt;
}

std::optional<AtspiElement> AtspiDriver::waitForElement(pid_t pid, const QString& window, const QString& role,
                                                       const QString& name, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    do {
        if (const std::optional<AtspiElement> root = application(pid)) {
            for (const AtspiElement& top : children(*root)) {
                if (this->name(top) != window) {
                    continue;
                }
                if (std::optional<AtspiElement> found = find(top, role, name)) {
                    return found;
                }
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    } while (std::chrono::steady_clock::now() < deadline);
    return std::nullopt;
}

std::string AtspiDriver::describe(const AtspiElement& root) {
    std::string text;
    std::vector<std::pair<AtspiElement, int>> pending{{root, 0}};
    while (!pending.empty()) {
        const auto [element, depth] = pending.back();
        pending.pop_back();
        text += std::string(static_cast<std::size_t>(depth) * 2, ' ') + roleName(element).toStdString() + " \"" +
                name(element).toStdString() + "\"" + (showing(element) ? "" : " (not showing)") + "\n";
        const std::vector<AtspiElement> below = children(element);
        for (auto child = below.rbegin(); child != below.rend(); ++child) {
            pending.emplace_back(*child, depth + 1);
        }
    }
    return text;
}

} // namespace platform::testing
