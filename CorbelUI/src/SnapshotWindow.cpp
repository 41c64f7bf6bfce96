#include "corbel/ui/SnapshotWindow.hpp"

#include <QEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

namespace corbel {

SnapshotWindow::SnapshotWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::StrongFocus);
}

void SnapshotWindow::setContent(QImage image) {
    content_ = std::move(image);
    setFixedSize(content_.deviceIndependentSize().toSize());
    update();
}

bool SnapshotWindow::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Wheel:
    case QEvent::Shortcut:
    case QEvent::ContextMenu:
        event->accept();
        return true;
    case QEvent::ShortcutOverride:
        // Claiming the override turns a would-be shortcut into a key press, which is dropped above.
        event->accept();
        return true;
    default:
        return QWidget::event(event);
    }
}

void SnapshotWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(rect(), Qt::transparent);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.drawImage(QPointF(0, 0), content_);
}

std::optional<QPointF> sharpestScreenOrigin(const std::vector<SnapshotScreen>& screens, QSizeF size) {
    if (screens.empty()) {
        return std::nullopt;
    }
    const SnapshotScreen* best = &screens.front();
    for (const SnapshotScreen& screen : screens) {
        // Strictly sharper only: a tie keeps the earlier screen.
        if (best->scale < screen.scale) {
            best = &screen;
        }
    }
    const QPointF centre = best->visibleFrame.center();
    return QPointF(centre.x() - size.width() * 0.5, centre.y() - size.height() * 0.5);
}

void placeOnSharpestScreen(QWidget& window) {
    std::vector<SnapshotScreen> screens;
    for (const QScreen* screen : QGuiApplication::screens()) {
        screens.push_back({screen->devicePixelRatio(), QRectF(screen->availableGeometry())});
    }
    if (const auto origin = sharpestScreenOrigin(screens, QSizeF(window.frameGeometry().size()))) {
        window.move(origin->toPoint());
    }
}

} // namespace corbel
