#include "UBTImageEditor.h"

#include "RealText.h"

#include <QPainter>
#include <algorithm>
#include <cstdlib>

namespace endomira {

namespace {

// Not-xor needs a surface of 32 bits per pixel.
void MakeThirtyTwoBit(QImage& image) {
    if (!image.isNull() && image.format() != QImage::Format_RGB32 &&
        image.format() != QImage::Format_ARGB32_Premultiplied) {
        image = image.convertToFormat(QImage::Format_RGB32);
    }
}

} // namespace

TBImage32Editor::TBImage32Editor(QImage* viewBitmap, std::function<void()> repaint,
                                 std::uint8_t shapeKind)
    : View_(viewBitmap), Repaint_(std::move(repaint)), ShapeKind_(shapeKind) {
    TakeBackup();
}

void TBImage32Editor::TakeBackup() {
    MakeThirtyTwoBit(*View_);
    Backup_ = View_->copy();
}

void TBImage32Editor::RestoreImage() {
    *View_ = Backup_.copy();
    if (Repaint_) {
        Repaint_();
    }
}

std::uint16_t TBImage32Editor::ClampX(int x) const {
    return static_cast<std::uint16_t>(std::clamp(x, 0, std::max(0, View_->width() - 1)));
}

std::uint16_t TBImage32Editor::ClampY(int y) const {
    return static_cast<std::uint16_t>(std::clamp(y, 0, std::max(0, View_->height() - 1)));
}

void TBImage32Editor::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers /*modifiers*/, int x,
                                int y) {
    if (button != Qt::LeftButton) {
        return;
    }
    RestoreImage();
    Dragging_ = true;
    StartX_ = EndX_ = ClampX(x);
    StartY_ = EndY_ = ClampY(y);
}

void TBImage32Editor::MouseMove(Qt::KeyboardModifiers /*modifiers*/, int x, int y) {
    if (!Dragging_ || View_->isNull()) {
        return;
    }
    const auto cx = ClampX(x);
    const auto cy = ClampY(y);
    DrawShape(StartX_, StartY_, cx, cy);
    DrawShape(StartX_, StartY_, EndX_, EndY_);
    if (Repaint_) {
        Repaint_();
    }
    EndX_ = cx;
    EndY_ = cy;
}

void TBImage32Editor::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers /*modifiers*/,
                              int /*x*/, int /*y*/) {
    if (button != Qt::LeftButton) {
        return;
    }
    Dragging_ = false;
}

void TBImage32Editor::DrawShape(int x0, int y0, int x1, int y1) {
    // The first draw from the start to the start (a fresh press) has nothing to undo.
    if (x0 == x1 && y0 == y1) {
        return;
    }
    MakeThirtyTwoBit(*View_);
    QPainter painter(View_);
    painter.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
    painter.setPen(QPen(Qt::black, 0));
    painter.setBrush(Qt::NoBrush);
    // The outline runs through the corner pixels themselves.
    const QRect rect(std::min(x0, x1), std::min(y0, y1), std::abs(x1 - x0), std::abs(y1 - y0));
    if (ShapeKind_ == skEllipse) {
        painter.drawEllipse(rect);
    } else {
        painter.drawRect(rect);
    }
}

int TBImage32Editor::SelectionWidth() const {
    return std::abs(static_cast<int>(EndX_) - static_cast<int>(StartX_));
}

int TBImage32Editor::SelectionArea() const {
    const int w = std::max(StartX_, EndX_) - std::min(StartX_, EndX_);
    const int h = std::max(StartY_, EndY_) - std::min(StartY_, EndY_);
    return w * h;
}

double TBImage32Editor::CalibrationFactor() const {
    const int width = SelectionWidth();
    return width != 0 ? kCalibrationTargetWidthMM / width : 0.0;
}

TCalibrationValues CalibrationValues(const TBImage32Editor& editor) {
    const double factor = editor.CalibrationFactor();
    const double area = factor * factor * editor.SelectionArea();
    return {FormatReal(area, u"0.0000"), FormatReal(factor, u"0.000000")};
}

} // namespace endomira
