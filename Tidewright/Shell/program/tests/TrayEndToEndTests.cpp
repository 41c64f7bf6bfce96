// The real program's tray icon on real trays of a private display: embedded in an XEmbed tray
// (trayer) and clicked, registered with a StatusNotifierItem watcher on a private session bus and
// activated over D-Bus, and with no tray at all. Each activation must bring up the panel's popup.

#include "platform/testing/ChildProcess.hpp"
#include "platform/testing/PrivateSessionBus.hpp"
#include "platform/testing/X11TestWorld.hpp"
#include "tidewright/shell/ProgramUnderTest.hpp"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tidewright {
namespace {

using platform::testing::WindowId;

constexpr int panelWidth = 368;

// The smallest StatusNotifierWatcher a tray host offers: it says a host is there and keeps the
// names of the items that register.
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

struct Pixmap {
    int width = 0;
    int height = 0;
    QByteArray argb;
};

class TrayTest : public ::testing::Test {
protected:
    // The program's viewable windows whose parent is the root: the popup, nothing else here.
    std::vector<WindowId> topLevelWindows() {
        std::vector<WindowId> found;
        for (const WindowId window : world.viewableWindowsOf(program->pid())) {
            const std::optional<WindowId> parent = world.parentOf(window);
            if (parent && world.parentOf(*parent) == std::nullopt) {
                found.push_back(window);
            }
        }
        return found;
    }

    // The popup, once exactly one top-level window of the panel's width is up.
    std::optional<WindowId> waitForPopup() {
        std::optional<WindowId> popup;
        world.waitUntil(
            [&] {
                const std::vector<WindowId> windows = topLevelWindows();
                if (windows.size() == 1 && world.clientGeometry(windows[0]).width == panelWidth) {
                    popup = windows[0];
                }
                return popup.has_value();
            },
            std::chrono::seconds(10));
        return popup;
    }

    bool waitForNoPopup() {
        return world.waitUntil([&] { return topLevelWindows().empty(); }, std::chrono::seconds(10));
    }

    void xdotool(const std::string& arguments) {
        const std::string command = "DISPLAY=" + world.display() + " xdotool " + arguments;
        ASSERT_EQ(std::system(command.c_str()), 0) << command;
    }

    std::unique_ptr<platform::testing::ChildProcess> startTrayer() {
        platform::testing::ChildProcess::Options options;
        options.environment = {{"DISPLAY", world.display()}, {"HOME", (setup.root() / "home").string()}};
        options.quiet = true;
        // A bar along the bottom edge: the panel opens above the icon.
        return std::make_unique<platform::testing::ChildProcess>(
            std::vector<std::string>{"trayer", "--edge", "bottom", "--height", "24", "--SetDockType", "true"},
            options);
    }

    // The program's icon as embedded in the tray: its window nested in one of trayer's.
    std::optional<WindowId> waitForEmbeddedIcon(pid_t trayer) {
        std::optional<WindowId> icon;
        world.waitUntil(
            [&] {
                const std::vector<WindowId> trays = world.viewableWindowsOf(trayer);
                for (const WindowId window : world.viewableWindowsOf(program->pid())) {
                    for (std::optional<WindowId> up = world.parentOf(window); up; up = world.parentOf(*up)) {
                        if (std::find(trays.begin(), trays.end(), *up) != trays.end()) {
                            icon = window;
                            return true;
                        }
                    }
                }
                return false;
            },
            std::chrono::seconds(10));
        return icon;
    }

    platform::testing::X11TestWorld world;
    testing::ProgramUnderTest setup{world.display()};
    std::unique_ptr<testing::RunningProgram> program;
};

TEST_F(TrayTest, AnXEmbedTrayEmbedsTheIconAndAClickOnItOpensThePanelAboveIt) {
    const auto trayer = startTrayer();
    ASSERT_TRUE(world.waitUntil([&] { return world.selectionOwned("_NET_SYSTEM_TRAY_S0"); }, std::chrono::seconds(10)));
    program = setup.start();
    const std::optional<WindowId> icon = waitForEmbeddedIcon(trayer->pid());
    ASSERT_TRUE(icon) << program->remainingLog();
    EXPECT_TRUE(topLevelWindows().empty()) << "no panel before a click";
    EXPECT_EQ(program->linesContaining("no system tray"), 0);

    const platform::x11::PixelRect at = world.clientGeometry(*icon);
    xdotool("mousemove " + std::to_string(at.x + at.width / 2) + " " + std::to_string(at.y + at.height / 2) +
            " click 1");
    const std::optional<WindowId> popup = waitForPopup();
    ASSERT_TRUE(popup) << program->remainingLog();
    const platform::x11::PixelRect panel = world.clientGeometry(*popup);
    EXPECT_GT(panel.height, 200);
    EXPECT_LE(panel.y + panel.height, at.y) << "above the icon in a bottom bar";
    EXPECT_GE(panel.x, 0);
    EXPECT_LE(panel.x + panel.width, 1920);

    xdotool("key Escape");
    EXPECT_TRUE(waitForNoPopup()) << "Escape closes it";

    xdotool("mousemove " + std::to_string(at.x + at.width / 2) + " " + std::to_string(at.y + at.height / 2) +
            " click 1");
    ASSERT_TRUE(waitForPopup());
    xdotool("mousemove 900 200 click 1");
    EXPECT_TRUE(waitForNoPopup()) << "a click elsewhere closes it";
}

TEST_F(TrayTest, WithoutATrayTheProgramSaysSoOnceAndKeepsItsHotKeys) {
    program = setup.start();
    ASSERT_TRUE(program->waitForLine("no system tray")) << program->remainingLog();
    ASSERT_TRUE(program->waitForHeldHotkeys(6)) << program->remainingLog();
    EXPECT_TRUE(setup.hotkeysHeld(true));
    EXPECT_EQ(program->linesContaining("no system tray"), 1);
}

TEST_F(TrayTest, ATrayThatAppearsLaterTakesTheIcon) {
    program = setup.start();
    ASSERT_TRUE(program->waitForLine("no system tray")) << program->remainingLog();
    const auto trayer = startTrayer();
    EXPECT_TRUE(waitForEmbeddedIcon(trayer->pid())) << program->remainingLog();
}

// A D-Bus reply's single value, unwrapped from its variant.
QVariant replyValue(const QDBusMessage& reply) {
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) {
        return {};
    }
    return reply.arguments().at(0).value<QDBusVariant>().variant();
}

std::vector<Pixmap> pixmapsOf(const QDBusArgument& argument) {
    std::vector<Pixmap> pixmaps;
    argument.beginArray();
    while (!argument.atEnd()) {
        Pixmap p;
        argument.beginStructure();
        argument >> p.width >> p.height >> p.argb;
        argument.endStructure();
        pixmaps.push_back(p);
    }
    argument.endArray();
    return pixmaps;
}

class StatusNotifierTrayTest : public TrayTest {
protected:
    StatusNotifierTrayTest() {
        connection = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(QString::fromStdString(bus.address()), QStringLiteral("watcher")));
        if (!connection->isConnected() || !connection->registerService(QStringLiteral("org.kde.StatusNotifierWatcher")) ||
            !connection->registerVirtualObject(QStringLiteral("/StatusNotifierWatcher"), &watcher)) {
            throw std::runtime_error("the watcher cannot be registered");
        }
        setup.useSessionBus(bus.address());
    }
    ~StatusNotifierTrayTest() override {
        connection->unregisterObject(QStringLiteral("/StatusNotifierWatcher"));
        connection.reset();
        QDBusConnection::disconnectFromBus(QStringLiteral("watcher"));
    }

    // Serves the bus until the condition holds; false after ten seconds.
    bool serveUntil(const std::function<bool()>& done) {
        QElapsedTimer waited;
        waited.start();
        while (!done()) {
            if (waited.elapsed() > 10000) {
                return false;
            }
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
        }
        return true;
    }

    QVariant itemProperty(const QString& name) {
        QDBusMessage get = QDBusMessage::createMethodCall(watcher.items.at(0), QStringLiteral("/StatusNotifierItem"),
                                                          QStringLiteral("org.freedesktop.DBus.Properties"),
                                                          QStringLiteral("Get"));
        get.setArguments({QStringLiteral("org.kde.StatusNotifierItem"), name});
        return replyValue(connection->call(get));
    }

    int argc = 1;
    char name[16] = "tray-tests";
    char* argv[2] = {name, nullptr};
    QCoreApplication application{argc, argv};
    platform::testing::PrivateSessionBus bus;
    std::unique_ptr<QDBusConnection> connection;
    Watcher watcher;
};

TEST_F(StatusNotifierTrayTest, TheItemRegistersShowsTheStatusAndActivateOpensThePanelAtThePointer) {
    program = setup.start();
    ASSERT_TRUE(serveUntil([&] { return !watcher.items.isEmpty(); })) << program->remainingLog();
    EXPECT_EQ(program->linesContaining("no system tray"), 0);

    EXPECT_EQ(itemProperty(QStringLiteral("Title")).toString(), QStringLiteral("Tidewright"));
    EXPECT_EQ(itemProperty(QStringLiteral("Status")).toString(), QStringLiteral("Active"));

    const QVariant toolTip = itemProperty(QStringLiteral("ToolTip"));
    ASSERT_TRUE(toolTip.canConvert<QDBusArgument>());
    const QDBusArgument tip = toolTip.value<QDBusArgument>();
    QString iconName;
    QString title;
    QString text;
    tip.beginStructure();
    tip >> iconName;
    pixmapsOf(tip);
    tip >> title >> text;
    tip.endStructure();
    EXPECT_EQ(title, QStringLiteral("Tidewright"));

    const QVariant icon = itemProperty(QStringLiteral("IconPixmap"));
    ASSERT_TRUE(icon.canConvert<QDBusArgument>());
    const std::vector<Pixmap> pixmaps = pixmapsOf(icon.value<QDBusArgument>());
    ASSERT_FALSE(pixmaps.empty());
    bool drawn = false;
    for (const Pixmap& p : pixmaps) {
        EXPECT_EQ(p.argb.size(), p.width * p.height * 4) << p.width;
        for (qsizetype i = 0; i < p.argb.size(); i += 4) {
            drawn = drawn || p.argb.at(i) != 0; // network order: alpha first
        }
    }
    EXPECT_TRUE(drawn) << "the symbol, not an empty picture";

    xdotool("mousemove 700 300");
    QDBusMessage activate = QDBusMessage::createMethodCall(watcher.items.at(0), QStringLiteral("/StatusNotifierItem"),
                                                           QStringLiteral("org.kde.StatusNotifierItem"),
                                                           QStringLiteral("Activate"));
    activate.setArguments({700, 300});
    connection->call(activate, QDBus::NoBlock);
    const std::optional<WindowId> popup = waitForPopup();
    ASSERT_TRUE(popup) << program->remainingLog();
    const platform::x11::PixelRect panel = world.clientGeometry(*popup);
    EXPECT_EQ(panel.x, 700 - panelWidth / 2) << "centred on the pointer";
    EXPECT_EQ(panel.y, 300 + 1 + 4) << "just below it";
}

} // namespace
} // namespace tidewright
