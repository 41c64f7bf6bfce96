#include "corbel/ui/FixedWindow.hpp"

#include "FixedWindowContent.hpp"
#include "corbel/ui/FixedWindowGeometry.hpp"

#include <QGuiApplication>
#include <QLoggingCategory>
#include <QScreen>
#include <QVBoxLayout>

#include <cmath>
#include <stdexcept>
#include <utility>

#include "platform/concurrency/WeakCall.hpp"

namespace corbel {

namespace {

Q_LOGGING_CATEGORY(lcFixedWindow, "app.corbelthane.tidewright.fixedwindow")

// The content height before the content has reported any size.
constexpr int initialContentHeight = 480;

// The screens, or none when they cannot be read: a window then keeps its frame.
std::vector<tidewright::ScreenGeometry> readScreens(const platform::ScreenReading& screens) {
    try {
        return screens.screens();
    } catch (const tidewright::GeometryError& error) {
        qCWarning(lcFixedWindow) << "screens unreadable, kind" << static_cast<int>(error.kind);
        return {};
    }
}

} // namespace

QRectF desktopFrameOf(const QWidget& window, const DesktopPointer& pointer) {
    return QRectF(outerFrameOf(window).translated(-pointer.desktopOrigin()));
}

void moveFrameTo(QWidget& window, QPointF desktopOrigin, const DesktopPointer& pointer) {
    // A top-level widget's move() places its outer frame, decorations included as Qt knows them;
    // the offset corrects for decorations Qt measured but could not be.
    const QPoint qtOffset = window.frameGeometry().topLeft() - outerFrameOf(window).topLeft();
    window.move(desktopOrigin.toPoint() + pointer.desktopOrigin() + qtOffset);
}

std::optional<QRectF> centerOnMouseScreen(QWidget& window, const platform::ScreenReading& screens,
                                          const DesktopPointer& pointer) {
    window.ensurePolished();
    return centerOnMouseScreen(window, screens, pointer, QSizeF(outerFrameOf(window).size()));
}

std::optional<QRectF> centerOnMouseScreen(QWidget& window, const platform::ScreenReading& screens,
                                          const DesktopPointer& pointer, QSizeF frameSize) {
    const std::vector<tidewright::ScreenGeometry> all = readScreens(screens);
    if (all.empty()) {
        const QScreen* screen = window.screen();
        if (screen != nullptr) {
            QRect frame = outerFrameOf(window);
            frame.moveCenter(screen->availableGeometry().center());
            window.move(frame.topLeft() + window.frameGeometry().topLeft() - outerFrameOf(window).topLeft());
        }
        return std::nullopt;
    }
    const std::size_t index = screenContaining(all, pointer.location()).value_or(0);
    const QRectF visible = rectOf(all[index].usableArea());
    moveFrameTo(window, centredOrigin(frameSize, visible), pointer);
    return visible;
}

std::shared_ptr<FixedWindow> FixedWindow::make(Flags flags, FixedWindowServices services) {
    if (services.executor == nullptr || !services.screens || !services.pointer) {
        throw std::invalid_argument("a fixed window needs an executor, the screens and the pointer");
    }
    return std::shared_ptr<FixedWindow>(new FixedWindow(flags, std::move(services)));
}

FixedWindow::FixedWindow(Flags flags, FixedWindowServices services)
    : flags_(flags), services_(std::move(services)) {}

FixedWindow::~FixedWindow() {
    if (resizeTask_) {
        resizeTask_->cancel();
    }
}

FixedNativeWindow& FixedWindow::prepare(const QString& title, double width, std::function<void()> onClose,
                                        const ContentBuilder& content) {
    onClose_ = std::move(onClose);
    if (window_) {
        return *window_;
    }
    auto window = std::make_unique<FixedNativeWindow>();
    window->setClosesWithCommandW(flags_.closesWithCommandW);
    window->setWindowTitle(title);

    std::weak_ptr<FixedWindow> weak = weak_from_this();
    auto* root = new FixedWindowContent(content ? content() : nullptr, width, flags_.scrollsContent,
                                        platform::weakCall(weak, &FixedWindow::receiveSize));
    auto* layout = new QVBoxLayout(window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(root);

    window->setFixedSize(qRound(width), initialContentHeight);
    window->onClose = [weak] {
        if (auto self = weak.lock(); self && self->onClose_) {
            // A copy: the callback may show the window again and replace itself meanwhile.
            auto onClose = self->onClose_;
            onClose();
        }
    };
    window->onScreenChange = platform::weakCall(weak, &FixedWindow::screenDidChange);
    window->onFrameMarginsChange = platform::weakCall(weak, &FixedWindow::frameMarginsDidChange);
    // The platform window exists from here on, so the frame margins are known as early as the
    // platform can tell them.
    window->winId();
    window_ = std::move(window);
    clientSize_ = window_->size();
    root->start();
    return *window_;
}

FixedNativeWindow& FixedWindow::show(const QString& title, double width, std::function<void()> onClose,
                                     const ContentBuilder& content) {
    FixedNativeWindow& window = prepare(title, width, std::move(onClose), content);
    if (!window.isVisible()) {
        if (flags_.anchorsTop) {
            if (contentSize_) {
                applySize(*contentSize_);
            }
            centreOnMouseScreen();
            centersAfterResize_ = !contentSize_.has_value();
        } else {
            centreOnMouseScreen();
            centersAfterResize_ = false;
        }
    }
    window.show();
    window.raise();
    window.activateWindow();
    return window;
}

void FixedWindow::centreOnMouseScreen() {
    centredOn_ = centerOnMouseScreen(*window_, *services_.screens, *services_.pointer, currentFrame().size());
}

void FixedWindow::receiveSize(QSizeF size) {
    if (!std::isfinite(size.width()) || !std::isfinite(size.height()) || size.width() <= 0 ||
        size.height() <= 0) {
        return;
    }
    contentSize_ = size;
    if (resizeTask_) {
        return; // the pending task applies the newest size
    }
    std::weak_ptr<FixedWindow> weak = weak_from_this();
    resizeTask_ = platform::spawn(*services_.executor, [weak]() -> platform::Async<> {
        co_await platform::yield();
        auto self = weak.lock();
        if (!self || platform::isCancelled()) {
            co_return;
        }
        self->resizeTask_.reset();
        if (self->contentSize_) {
            self->applySize(*self->contentSize_);
        }
    });
}

void FixedWindow::applySize(QSizeF size) {
    fit(size, false);
}

QRectF FixedWindow::currentFrame() const {
    // The size is the one this window pinned (the window manager cannot change it); Qt's own idea of
    // the size lags while events about earlier sizes are still arriving.
    const QMargins margins = window_->frameMargins();
    const QPointF origin = desktopFrameOf(*window_, *services_.pointer).topLeft();
    return {origin, QSizeF(clientSize_.grownBy(margins))};
}

void FixedWindow::setClientSize(QSize size) {
    clientSize_ = size.expandedTo(QSize(1, 1));
    window_->setFixedSize(clientSize_);
}

void FixedWindow::fit(QSizeF size, bool onlyWhenResized) {
    if (!window_) {
        return;
    }
    const std::vector<tidewright::ScreenGeometry> screens = readScreens(*services_.screens);
    if (screens.empty()) {
        return;
    }
    const QRectF current = currentFrame();
    const std::size_t index = screenOfFrame(screens, current).value_or(0);
    const QRectF visible = rectOf(screens[index].usableArea());

    const double contentHeight = fixedContentHeight(size.height(), visible.height());
    const QMargins margins = window_->frameMargins();
    const QSizeF frameForContent(size.width() + margins.left() + margins.right(),
                                 contentHeight + margins.top() + margins.bottom());
    const QRectF fitted = fittedFrame(current, frameForContent, visible, flags_.anchorsTop);

    // Qt places whole pixels: compare and set in the units the window has.
    const QPoint origin = fitted.topLeft().toPoint();
    const QSize client(qRound(fitted.width()) - margins.left() - margins.right(),
                       qRound(fitted.height()) - margins.top() - margins.bottom());
    if (onlyWhenResized && client == clientSize_) {
        return;
    }
    if (client != clientSize_ || QPointF(origin) != current.topLeft()) {
        // Resizing may be when the window learns its decorations; that news waits until this frame
        // is set, or the frame computed without them would overwrite the one computed with them.
        applying_ = true;
        setClientSize(client);
        moveFrameTo(*window_, origin, *services_.pointer);
        applying_ = false;
        centredOn_.reset();
    }
    if (centersAfterResize_) {
        centersAfterResize_ = false;
        centreOnMouseScreen();
    }
    if (marginsChangedWhileApplying_) {
        marginsChangedWhileApplying_ = false;
        frameMarginsDidChange();
    }
}

void FixedWindow::screenDidChange() {
    // Only the cap follows the screen: while a window manager maps a window, Qt reports passing
    // positions on other screens, and moving the window there would make them real.
    if (window_ && contentSize_) {
        fit(*contentSize_, true);
    }
}

void FixedWindow::frameMarginsDidChange() {
    if (applying_) {
        marginsChangedWhileApplying_ = true;
        return;
    }
    // The window manager's decorations arrive after the window was placed without them: fit the
    // known size again, and centre again where the window was centred.
    const std::optional<QRectF> centredOn = centredOn_;
    if (contentSize_) {
        applySize(*contentSize_);
    }
    if (centredOn) {
        moveFrameTo(*window_, centredOrigin(currentFrame().size(), *centredOn), *services_.pointer);
        centredOn_ = centredOn;
    }
}

} // namespace corbel
