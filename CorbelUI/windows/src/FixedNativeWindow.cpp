#include "corbel/ui/FixedNativeWindow.hpp"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QShortcut>
#include <QWindow>

namespace corbel {

FixedNativeWindow::FixedNativeWindow()
    : QWidget(nullptr,
              Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      closeShortcut_(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_W), this)) {
    // A shortcut is matched before the focused widget sees the key, so Control+W closes the window
    // even while a text field is being edited; the exact modifiers are required (not with Shift).
    closeShortcut_->setContext(Qt::WindowShortcut);
    closeShortcut_->setEnabled(false);
    QObject::connect(closeShortcut_, &QShortcut::activated, this, [this] { close(); });
}

FixedNativeWindow::~FixedNativeWindow() = default;

void FixedNativeWindow::setClosesWithCommandW(bool closes) {
    closesWithCommandW_ = closes;
    closeShortcut_->setEnabled(closes);
}

QMargins FixedNativeWindow::frameMargins() const {
    const QRect outer = frameGeometry();
    const QRect inner = geometry();
    return {inner.left() - outer.left(), inner.top() - outer.top(), outer.right() - inner.right(),
            outer.bottom() - inner.bottom()};
}

bool FixedNativeWindow::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
        checkFrameMargins();
        break;
    case QEvent::WinIdChange:
    case QEvent::PlatformSurface:
        if (!screenWatched_ && windowHandle() != nullptr) {
            screenWatched_ = true;
            QObject::connect(windowHandle(), &QWindow::screenChanged, this, [this] {
                if (onScreenChange) {
                    onScreenChange();
                }
            });
        }
        break;
    default:
        break;
    }
    return handled;
}

void FixedNativeWindow::checkFrameMargins() {
    const QMargins margins = frameMargins();
    if (margins == knownMargins_) {
        return;
    }
    knownMargins_ = margins;
    if (onFrameMarginsChange) {
        onFrameMarginsChange();
    }
}

bool FixedNativeWindow::isEditingText() const {
    const QWidget* focus = focusWidget();
    return focus != nullptr && focus != this && focus->testAttribute(Qt::WA_InputMethodEnabled);
}

void FixedNativeWindow::keyPressEvent(QKeyEvent* event) {
    // Escape reaches the window only when the focused widget left it alone.
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        if (isEditingText()) {
            // The first Escape only ends the edit; the next one closes the window.
            focusWidget()->clearFocus();
        } else {
            close();
        }
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void FixedNativeWindow::closeEvent(QCloseEvent* event) {
    if (isEditingText()) {
        focusWidget()->clearFocus();
    }
    if (onClose) {
        onClose();
    }
    event->accept();
}

} // namespace corbel
