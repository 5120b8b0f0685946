#include "ImageView.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

namespace endomira {

TImageView::TImageView(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void TImageView::SetImage(const QImage& image) {
    Bitmap_ = image.convertToFormat(QImage::Format_RGB32);
    updateGeometry();
    update();
}

void TImageView::Clear() {
    Bitmap_ = QImage();
    update();
}

void TImageView::SetStretch(bool stretch) {
    Stretch_ = stretch;
    update();
}

QPoint TImageView::ToBitmap(const QPointF& widgetPos) const {
    if (!Stretch_ || Bitmap_.isNull() || width() <= 0 || height() <= 0) {
        return QPoint(static_cast<int>(std::floor(widgetPos.x())),
                      static_cast<int>(std::floor(widgetPos.y())));
    }
    return QPoint(static_cast<int>(std::floor(widgetPos.x() * Bitmap_.width() / width())),
                  static_cast<int>(std::floor(widgetPos.y() * Bitmap_.height() / height())));
}

QSize TImageView::sizeHint() const {
    return Bitmap_.isNull() ? QSize(100, 100) : Bitmap_.size();
}

void TImageView::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    if (Bitmap_.isNull()) {
        return;
    }
    if (Stretch_) {
        painter.drawImage(rect(), Bitmap_);
    } else {
        painter.drawImage(QPoint(0, 0), Bitmap_);
    }
}

void TImageView::mousePressEvent(QMouseEvent* event) {
    const QPoint p = ToBitmap(event->position());
    emit MouseDown(event->button(), event->modifiers(), p.x(), p.y());
}

void TImageView::mouseMoveEvent(QMouseEvent* event) {
    const QPoint p = ToBitmap(event->position());
    emit MouseMove(event->modifiers(), p.x(), p.y());
}

void TImageView::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint p = ToBitmap(event->position());
    emit MouseUp(event->button(), event->modifiers(), p.x(), p.y());
}

} // namespace endomira
