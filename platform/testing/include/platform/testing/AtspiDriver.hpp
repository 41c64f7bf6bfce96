#pragma once
// Drives a program's widgets over the assistive-technology bus, as a screen reader would: finds an
// element of the program by role and name, reads its extents and states, and performs its named
// actions. For end-to-end tests; the clicks themselves go through the X server's test extension.

#include <QDBusConnection>
#include <QString>
#include <QStringList>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include <sys/types.h>

namespace platform::testing {

// One accessible object: the bus name of its application and its object path there.
struct AtspiElement {
    QString service;
    QString path;

    bool operator==(const AtspiElement&) const = default;
};

// An element's box in screen (root window) pixels.
struct AtspiExtents {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;

    int centerX() const { return x + width / 2; }
    int centerY() const { return y + height / 2; }

    bool operator==(const AtspiExtents&) const = default;
};

// REQUIRES: a QCoreApplication exists; used on its thread. Every call blocks for its answer (at
// most a few seconds) and treats a missing or wrong answer as no element, no state, no action.
class AtspiDriver {
public:
    // Connects to the accessibility bus that the launcher on this session bus hands out.
    // THROWS std::runtime_error when the launcher does not answer with an address.
    explicit AtspiDriver(const std::string& sessionBusAddress);
    ~AtspiDriver();
    AtspiDriver(const AtspiDriver&) = delete;
    AtspiDriver& operator=(const AtspiDriver&) = delete;

    // The root of the application that process `pid` registered on the bus, if it did.
    std::optional<AtspiElement> application(pid_t pid);

    // The first showing element under root, depth first, whose role name (as "push button",
    // "check box", "button with menu") and name are these.
    std::optional<AtspiElement> find(const AtspiElement& root, const QString& role, const QString& name);
    // The same search in the program's windows titled `window` (the children of its application
    // root), repeated until the element shows up; none at the timeout.
    std::optional<AtspiElement> waitForElement(pid_t pid, const QString& window, const QString& role,
                                               const QString& name,
                                               std::chrono::milliseconds timeout = std::chrono::seconds(10));
    QString name(const AtspiElement& element);
    QString roleName(const AtspiElement& element);
    std::vector<AtspiElement> children(const AtspiElement& element);
    std::optional<AtspiExtents> extents(const AtspiElement& element);
    // The extents once two reads a moment apart agree: a window that is still being sized and
    // centred carries its widgets along, and a click at the first box read can miss. None when
    // they do not hold still within the timeout.
    std::optional<AtspiExtents> settledExtents(const AtspiElement& element,
                                               std::chrono::milliseconds timeout = std::chrono::seconds(5));
    QString description(const AtspiElement& element);
    bool checked(const AtspiElement& element);
    bool showing(const AtspiElement& element);
    QStringList actionNames(const AtspiElement& element);
    // Performs the action of this name; false when the element has none or refused it.
    bool doAction(const AtspiElement& element, const QString& action);

    // The tree under root, one element a line as role "name", indented by depth; for the message
    // of a test that did not find what it looked for.
    std::string describe(const AtspiElement& root);

private:
    std::optional<std::vector<std::uint32_t>> states(const AtspiElement& element);

    QString connectionName_;
    QDBusConnection bus_;
};

} // namespace platform::testing
