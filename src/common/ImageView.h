#pragma once

#include <QImage>
#include <QWidget>

namespace endomira {

// The image control of the windows: shows a bitmap 1:1 from its top-left corner or stretched
// over the control, holds an integer tag, and reports presses, moves and releases in bitmap
// pixels. Drawing code may paint straight into Bitmap() (rubber bands in not-xor, overlays) and
// then call update().
class TImageView : public QWidget {
    Q_OBJECT

public:
    explicit TImageView(QWidget* parent = nullptr);

    // Shows a copy of the image (32 bits per pixel, so not-xor drawing works on it).
    void SetImage(const QImage& image);
    void Clear();
    QImage& Bitmap() { return Bitmap_; }
    const QImage& Bitmap() const { return Bitmap_; }

    void SetStretch(bool stretch);
    bool Stretch() const { return Stretch_; }
    void SetTag(int tag) { Tag_ = tag; }
    int Tag() const { return Tag_; }

    // The bitmap pixel under a point of the control (may lie outside the bitmap).
    QPoint ToBitmap(const QPointF& widgetPos) const;

    QSize sizeHint() const override;

signals:
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void MouseMove(Qt::KeyboardModifiers modifiers, int x, int y);
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QImage Bitmap_;
    bool Stretch_ = false;
    int Tag_ = 0;
};

} // namespace endomira
