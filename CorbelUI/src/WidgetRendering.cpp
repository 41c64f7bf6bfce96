#include "corbel/ui/WidgetRendering.hpp"

#include <QLayout>
#include <QPainter>
#include <QPainterPath>
#include <QWidget>

namespace corbel {

QImage renderWidget(QWidget& widget, QSize size, qreal devicePixelRatio) {
    widget.ensurePolished();
    widget.resize(size);
    if (QLayout* layout = widget.layout()) {
        layout->activate();
    }
    QImage image(size * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

QImage renderRoundedWidget(QWidget& widget, QSize size, qreal cornerRadius, qreal devicePixelRatio) {
    QImage content = renderWidget(widget, size, devicePixelRatio);
    // Painted in device pixels, the content as the brush of the rounded shape: a clip would leave
    // the corners jagged, a filled path is antialiased.
    content.setDevicePixelRatio(1);
    QImage clipped(content.size(), QImage::Format_ARGB32_Premultiplied);
    clipped.fill(Qt::transparent);
    {
        QPainter painter(&clipped);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QBrush(content));
        const qreal radius = cornerRadius * devicePixelRatio;
        QPainterPath shape;
        shape.addRoundedRect(QRectF(QPointF(0, 0), QSizeF(content.size())), radius, radius);
        painter.drawPath(shape);
    }
    clipped.setDevicePixelRatio(devicePixelRatio);
    return clipped;
}

} // namespace corbel
