#include "corbel/ui/CorbelSnapshot.hpp"

#include "corbel/ui/SnapshotWindow.hpp"
#include "corbel/ui/WidgetRendering.hpp"

#include <QApplication>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <memory>

namespace corbel {

namespace {

// Read from the application when it exists; before it does, there is no argument list to ask.
QStringList processArguments() {
    return QCoreApplication::instance() != nullptr ? QCoreApplication::arguments() : QStringList{};
}

const char* const ownerName = "corbel.snapshot";

// Holds the current snapshot window; a child of the application, deleted when it quits, because a
// window must not outlive it.
class SnapshotOwner final : public QObject {
public:
    std::unique_ptr<SnapshotWindow> window;

    // The application's owner, if it has one yet.
    static SnapshotOwner* find() {
        QCoreApplication* application = QCoreApplication::instance();
        return application != nullptr ? application->findChild<SnapshotOwner*>(QLatin1String(ownerName),
                                                                               Qt::FindDirectChildrenOnly)
                                      : nullptr;
    }

    static SnapshotOwner& instance() {
        QCoreApplication* application = QCoreApplication::instance();
        if (auto* owner = find()) {
            return *owner;
        }
        auto* owner = new SnapshotOwner;
        owner->setObjectName(QLatin1String(ownerName));
        owner->setParent(application);
        QObject::connect(application, &QCoreApplication::aboutToQuit, owner, [owner] { delete owner; });
        return *owner;
    }
};

} // namespace

bool CorbelSnapshot::isRequested() {
    return isRequested(processArguments());
}

bool CorbelSnapshot::isRequested(const QStringList& arguments) {
    for (const QString& argument : arguments) {
        if (argument.startsWith(QStringLiteral("--snapshot-"), Qt::CaseSensitive)) {
            return true;
        }
    }
    return false;
}

bool CorbelSnapshot::hasArgument(const QString& argument) {
    return hasArgument(processArguments(), argument);
}

bool CorbelSnapshot::hasArgument(const QStringList& arguments, const QString& argument) {
    return arguments.contains(argument, Qt::CaseSensitive);
}

std::optional<QString> CorbelSnapshot::value(const QString& option) {
    return value(processArguments(), option);
}

std::optional<QString> CorbelSnapshot::value(const QStringList& arguments, const QString& option) {
    const qsizetype index = arguments.indexOf(option);
    if (index < 0 || index + 1 >= arguments.size()) {
        return std::nullopt;
    }
    return arguments.at(index + 1);
}

QString CorbelSnapshot::title(const CorbelBrand& brand) {
    return brand.name() + QStringLiteral(" Snapshot");
}

double CorbelSnapshot::cornerRadius(Surface surface) {
    return surface == Surface::menu ? 16.0 : 26.0;
}

QSize CorbelSnapshot::measure(QWidget& view) {
    view.ensurePolished();
    QSize size = view.sizeHint().expandedTo(QSize(0, 0));
    if (view.hasHeightForWidth()) {
        size.setHeight(view.heightForWidth(size.width()));
    }
    return size;
}

QImage CorbelSnapshot::render(QWidget& view, Surface surface, qreal screenScale) {
    const QSize measured = measure(view);
    const qreal radius = cornerRadius(surface);
    // Drawn at the measured size with scale × screen pixels per point: twice the size on screen.
    QImage content = renderRoundedWidget(view, measured, radius, scale * screenScale);
    content.setDevicePixelRatio(screenScale);
    QImage image(content.size(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(screenScale);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath background;
    background.addRoundedRect(QRectF(QPointF(0, 0), QSizeF(measured) * scale), radius * scale,
                              radius * scale);
    painter.fillPath(background, view.palette().color(QPalette::Window));
    painter.drawImage(QPointF(0, 0), content);
    return image;
}

SnapshotWindow& CorbelSnapshot::show(QWidget& view, const CorbelBrand& brand, Surface surface) {
    qreal sharpest = 1;
    for (const QScreen* screen : QGuiApplication::screens()) {
        sharpest = std::max(sharpest, screen->devicePixelRatio());
    }
    SnapshotOwner& owner = SnapshotOwner::instance();
    owner.window = std::make_unique<SnapshotWindow>();
    SnapshotWindow& window = *owner.window;
    window.setContent(render(view, surface, sharpest));
    window.setWindowTitle(title(brand));
    placeOnSharpestScreen(window);
    window.show();
    window.raise();
    window.activateWindow();
    return window;
}

SnapshotWindow* CorbelSnapshot::current() {
    SnapshotOwner* owner = SnapshotOwner::find();
    return owner != nullptr ? owner->window.get() : nullptr;
}

void CorbelSnapshot::reset() {
    delete SnapshotOwner::find();
}

} // namespace corbel
