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

QMargins windowFrameMargins(const QWidget& window) {
    // Asked of the platform window: the widget's own copy is refreshed only when its geometry
    // changes, and a window placed exactly where it asked to be sees no change after decorating.
    const QWindow* handle = window.windowHandle();
    if (handle == nullptr) {
        return {};
    }
    const QMargins margins = handle->frameMargins();
    // While the window manager reparents a window, Qt may measure the frame it is still building
    // (one pixel wide) and report negative sides; no decoration is narrower than nothing.
    if (margins.left() < 0 || margins.top() < 0 || margins.right() < 0 || margins.bottom() < 0) {
        return {};
    }
    return margins;
}

QRect outerFrameOf(const QWidget& window) {
    return window.geometry().marginsAdded(windowFrameMargins(window));
}

QMargins FixedNativeWindow::frameMargins() const {
    return windowFrameMargins(*this);
}

bool FixedNativeWindow::event(QEvent* event) {
    const bool handled = QWidget::event(event);
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::Show:
    case QEvent::Paint:
    case QEvent::ActivationChange:
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
