#pragma once
// The top-level widget of a fixed-size window: a titled, closable window with no resize handle and
// no minimize or maximize button, that closes on Escape and, when asked, on Control+W, and tells its
// owner when it closes, changes screens or learns its frame margins. Main thread only.

#include <QMargins>
#include <QWidget>

#include <functional>

class QShortcut;

namespace corbel {

// A top-level widget's decorations as far as it knows them: none before the window manager has
// decorated it, and none while what Qt measures cannot be a frame.
QMargins windowFrameMargins(const QWidget& window);
// The widget's outer frame in Qt's global coordinates: its geometry grown by those decorations.
QRect outerFrameOf(const QWidget& window);

class FixedNativeWindow final : public QWidget {
public:
    FixedNativeWindow();
    ~FixedNativeWindow() override;

    void setClosesWithCommandW(bool closes);
    bool closesWithCommandW() const noexcept { return closesWithCommandW_; }

    // The decorations the window manager adds around the client area, as far as the window knows
    // them (none before the window is first managed).
    QMargins frameMargins() const;

    // Run when the window is about to close, whoever closes it.
    std::function<void()> onClose;
    // Run when the window has moved to another screen.
    std::function<void()> onScreenChange;
    // Run when the frame margins change, which happens once the window manager decorates the window.
    std::function<void()> onFrameMarginsChange;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void checkFrameMargins();
    // True when the focus is in a widget that takes typed text, such as a line edit.
    bool isEditingText() const;

    bool closesWithCommandW_ = false;
    QShortcut* closeShortcut_;
    QMargins knownMargins_;
    bool screenWatched_ = false;
};

} // namespace corbel
