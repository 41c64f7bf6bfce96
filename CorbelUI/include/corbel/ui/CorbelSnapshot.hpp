#pragma once
// Snapshot mode: the application renders one of its screens for screenshots instead of running.
// These members read the request from the command line; each has a form that takes the argument
// list (program path included) so callers and tests need not touch the process's own.

#include "corbel/ui/CorbelBrand.hpp"

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace corbel {

class SnapshotWindow;

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

    // The size the view asks for: its size hint, with the height its width needs when it has one.
    static QSize measure(QWidget& view);

    // The view drawn at twice its measured size over the window background in a rounded rectangle,
    // the content clipped to the same corners; pixels for a screen of `screenScale`.
    static QImage render(QWidget& view, Surface surface, qreal screenScale);

    // Shows the rendered view in a new borderless snapshot window on the sharpest screen, which
    // replaces the previous one and lives until the application quits. REQUIRES a QApplication.
    static SnapshotWindow& show(QWidget& view, const CorbelBrand& brand, Surface surface);

    // The current snapshot window, if any.
    static SnapshotWindow* current();
    // Closes and deletes the current snapshot window (tests, between cases).
    static void reset();
};

} // namespace corbel
