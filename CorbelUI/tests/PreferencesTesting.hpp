#pragma once
// Helpers the preferences tests share.

#include <QLayout>
#include <QString>
#include <QWidget>

#include <ostream>

// Readable failures for texts and lists of them.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace corbel {

// A control or content of a known size, so that measures can be checked to the pixel.
class Block : public QWidget {
public:
    explicit Block(QSize size) : size_(size) {}
    QSize sizeHint() const override { return size_; }

private:
    QSize size_;
};

// Activates every layout from the top down, as the event loop would before the first paint.
inline void layOutAll(QWidget& widget) {
    if (QLayout* layout = widget.layout()) {
        layout->activate();
    }
    for (QObject* child : widget.children()) {
        if (auto* childWidget = qobject_cast<QWidget*>(child)) {
            layOutAll(*childWidget);
        }
    }
}

// Where `widget` lies in `ancestor`'s coordinates.
inline QRect rectIn(const QWidget& widget, const QWidget& ancestor) {
    return QRect(widget.mapTo(&ancestor, QPoint(0, 0)), widget.size());
}

} // namespace corbel
