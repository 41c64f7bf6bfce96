#pragma once
// Snapshot mode: the application renders one of its screens for screenshots instead of running.
// These members read the request from the command line; each has a form that takes the argument
// list (program path included) so callers and tests need not touch the process's own.

#include "corbel/ui/CorbelBrand.hpp"

#include <QString>
#include <QStringList>

#include <optional>

namespace corbel {

class CorbelSnapshot {
public:
    CorbelSnapshot() = delete;

    // The kind of surface a view is shown as; it decides the corner radius of its background.
    enum class Surface {
        menu,
        welcome,
    };

    static constexpr double scale = 2.0;

    // True when some argument begins with "--snapshot-" (exact, case-sensitive prefix).
    static bool isRequested();
    static bool isRequested(const QStringList& arguments);

    // True when some argument equals `argument` exactly.
    static bool hasArgument(const QString& argument);
    static bool hasArgument(const QStringList& arguments, const QString& argument);

    // The argument after the first one equal to `option`; absent when there is none or it is last.
    static std::optional<QString> value(const QString& option);
    static std::optional<QString> value(const QStringList& arguments, const QString& option);

    // The window title of a snapshot: the brand's name and " Snapshot".
    static QString title(const CorbelBrand& brand);

    // Corner radius of a surface's background, in points before scaling.
    static double cornerRadius(Surface surface);
};

} // namespace corbel
