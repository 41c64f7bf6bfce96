#pragma once
// The borderless window snapshot mode shows a rendered view in. It takes no input: clicks, key
// presses, wheel turns and shortcuts are dropped (a shortcut such as Control+Q would otherwise reach
// the application before the key press), while the pointer may still move over it.

#include <QImage>
#include <QPointF>
#include <QRectF>
#include <QWidget>

#include <optional>
#include <vector>

namespace corbel {

class SnapshotWindow : public QWidget {
public:
    explicit SnapshotWindow(QWidget* parent = nullptr);

    // Shows `image` at its device-independent size; the window takes that size.
    void setContent(QImage image);
    const QImage& content() const noexcept { return content_; }

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QImage content_;
};

// A screen as snapshot placement sees it: its backing scale and its visible frame.
struct SnapshotScreen {
    qreal scale = 1;
    QRectF visibleFrame;
};

// Where a window of `size` goes so that its centre is the centre of the visible frame of the
// sharpest screen (the first of the highest scale); absent when there is no screen.
std::optional<QPointF> sharpestScreenOrigin(const std::vector<SnapshotScreen>& screens, QSizeF size);

// Moves the window onto the sharpest of the application's screens; no screen leaves it in place.
void placeOnSharpestScreen(QWidget& window);

} // namespace corbel
