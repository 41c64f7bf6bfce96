#pragma once
// A window whose size its content decides, never the user: the content reports the size it needs,
// the window adopts it (height rounded up to a multiple of 4 and kept inside the screen) and keeps
// its top edge or its centre in place while it grows or shrinks. The window is built on first use
// and kept, hidden while closed, for the owner's lifetime. Main thread only.

#include "corbel/ui/FixedNativeWindow.hpp"
#include "corbel/ui/FixedWindowServices.hpp"
#include "platform/concurrency/Task.hpp"

#include <QRectF>
#include <QSizeF>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace corbel {

class FixedWindowContent;

// Builds the hosted content; called once, when the window is first built.
using ContentBuilder = std::function<std::unique_ptr<QWidget>()>;

class FixedWindow : public std::enable_shared_from_this<FixedWindow> {
public:
    struct Flags {
        bool closesWithCommandW = false;
        bool anchorsTop = false;
        bool scrollsContent = false;
    };

    // REQUIRES: every service is present (std::invalid_argument otherwise).
    static std::shared_ptr<FixedWindow> make(Flags flags, FixedWindowServices services);
    ~FixedWindow();
    FixedWindow(const FixedWindow&) = delete;
    FixedWindow& operator=(const FixedWindow&) = delete;

    // Builds the window on the first call and returns it; later calls return the same window and
    // use neither their title, width nor content. Every call replaces the close callback.
    FixedNativeWindow& prepare(const QString& title, double width, std::function<void()> onClose,
                               const ContentBuilder& content);
    // Prepares, places the window when it is not visible, then shows it in front, active.
    FixedNativeWindow& show(const QString& title, double width, std::function<void()> onClose,
                            const ContentBuilder& content);

    // The content's size report. Sizes that are not finite and positive are ignored; reports within
    // one turn of the main loop are coalesced into one resize with the last size.
    void receiveSize(QSizeF size);
    // Fits the window to a content size now.
    void applySize(QSizeF size);
    // Re-applies the known size, so the height cap follows the window to its new screen.
    void screenDidChange();

    FixedNativeWindow* window() const noexcept { return window_.get(); }
    std::optional<QSizeF> contentSize() const noexcept { return contentSize_; }
    bool centersAfterResize() const noexcept { return centersAfterResize_; }
    bool resizePending() const noexcept { return resizeTask_.has_value(); }

private:
    FixedWindow(Flags flags, FixedWindowServices services);
    void frameMarginsDidChange();
    void centreOnMouseScreen();
    // With onlyWhenResized, a size that leaves the window as large as it is changes nothing.
    void fit(QSizeF size, bool onlyWhenResized);
    QRectF currentFrame() const;
    void setClientSize(QSize size);

    std::unique_ptr<FixedNativeWindow> window_;
    // The client size last pinned on the window.
    QSize clientSize_;
    std::function<void()> onClose_;
    std::optional<QSizeF> contentSize_;
    std::optional<platform::Task<>> resizeTask_;
    Flags flags_;
    bool centersAfterResize_ = false;
    bool applying_ = false;
    bool marginsChangedWhileApplying_ = false;
    // The visible frame the window was last centred on, while nothing has moved it since; the
    // centring is redone there once the window manager's decorations are known.
    std::optional<QRectF> centredOn_;
    FixedWindowServices services_;
};

// Centres a window on the screen under the mouse (else the primary screen); with no screen at all,
// on the screen Qt puts it on. The frame is not clamped. Returns the visible frame it centred on,
// when one came from the screens.
std::optional<QRectF> centerOnMouseScreen(QWidget& window, const platform::ScreenReading& screens,
                                          const DesktopPointer& pointer);
// The same for a window whose outer size the caller knows better than Qt does.
std::optional<QRectF> centerOnMouseScreen(QWidget& window, const platform::ScreenReading& screens,
                                          const DesktopPointer& pointer, QSizeF frameSize);

// The window's outer frame in desktop coordinates, and the move that puts its outer top-left corner
// at a desktop point.
QRectF desktopFrameOf(const QWidget& window, const DesktopPointer& pointer);
void moveFrameTo(QWidget& window, QPointF desktopOrigin, const DesktopPointer& pointer);

} // namespace corbel
