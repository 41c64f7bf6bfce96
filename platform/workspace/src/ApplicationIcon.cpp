#include "platform/workspace/ApplicationIcon.hpp"

#include <QFileInfo>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace platform {

namespace {

// The generic application icon when the theme has none: a rounded window outline with a title
// bar, drawn so the icon exists on any desktop.
QIcon drawnGenericIcon() {
    QIcon icon;
    for (int size : {16, 32, 64, 128}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        const qreal margin = size / 8.0;
        const QRectF body(margin, margin * 1.5, size - 2 * margin, size - 3 * margin);
        QPainterPath outline;
        outline.addRoundedRect(body, size / 12.0, size / 12.0);
        painter.fillPath(outline, QColor(0x70, 0x78, 0x84));
        painter.fillRect(QRectF(body.left() + size / 16.0, body.top() + size / 5.0, body.width() - size / 8.0,
                                body.height() - size / 5.0 - size / 16.0),
                         QColor(0xf4, 0xf5, 0xf7));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

const QString genericName = QStringLiteral("application-x-executable");

} // namespace

IconChoice chooseIcon(const QString& iconKey, const std::function<bool(const QString&)>& themeHas) {
    if (QFileInfo(iconKey).isAbsolute()) {
        if (QFileInfo(iconKey).isFile()) {
            return {IconChoice::Source::file, iconKey};
        }
    } else if (!iconKey.isEmpty() && themeHas(iconKey)) {
        return {IconChoice::Source::theme, iconKey};
    }
    if (themeHas(genericName)) {
        return {IconChoice::Source::theme, genericName};
    }
    return {IconChoice::Source::generic, {}};
}

QIcon iconFor(const IconChoice& choice) {
    switch (choice.source) {
    case IconChoice::Source::file: {
        QIcon icon(choice.detail);
        if (!icon.availableSizes().isEmpty() || !icon.pixmap(32).isNull()) {
            return icon;
        }
        break; // a file that is no image
    }
    case IconChoice::Source::theme:
        return QIcon::fromTheme(choice.detail);
    case IconChoice::Source::generic:
        break;
    }
    // Drawn each time: a static icon would outlive the application that its pixmaps need.
    return drawnGenericIcon();
}

QIcon applicationIcon(const QString& iconKey) {
    return iconFor(chooseIcon(iconKey, [](const QString& name) { return QIcon::hasThemeIcon(name); }));
}

} // namespace platform
