#pragma once

#include <QImage>
#include <QString>
#include <Qt>
#include <cstdint>
#include <functional>

namespace endomira {

// Rubber-band selection over an image view: the band is drawn in not-xor straight into the
// view's pixels, so drawing it a second time removes it, and a copy of the picture taken when
// the editor is attached puts the view back before each new selection.
//
// The editor does not show anything itself; the window forwards the view's mouse events to it.
class TBImage32Editor {
public:
    enum TShapeKind : std::uint8_t { skRectangle = 0, skEllipse = 1 };

    // `viewBitmap` is the view's own bitmap (kept 32 bits per pixel so that not-xor drawing is
    // possible); `repaint` asks the view to show it again.
    TBImage32Editor(QImage* viewBitmap, std::function<void()> repaint, std::uint8_t shapeKind);

    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);
    void MouseMove(Qt::KeyboardModifiers modifiers, int x, int y);
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x, int y);

    // Copies the backup into the view and repaints it.
    void RestoreImage();
    // Takes the view's current picture as the backup (a new frame is shown in the view).
    void TakeBackup();

    int SelectionWidth() const;
    int SelectionArea() const;
    // Millimetres per pixel: the selection's horizontal side is taken to span 0.9 mm.
    double CalibrationFactor() const;

    bool IsDragging() const { return Dragging_; }
    std::uint16_t StartX() const { return StartX_; }
    std::uint16_t StartY() const { return StartY_; }
    std::uint16_t EndX() const { return EndX_; }
    std::uint16_t EndY() const { return EndY_; }
    const QImage& Backup() const { return Backup_; }

private:
    void DrawShape(int x0, int y0, int x1, int y1);
    std::uint16_t ClampX(int x) const;
    std::uint16_t ClampY(int y) const;

    QImage* View_;
    std::function<void()> Repaint_;
    QImage Backup_;
    std::uint8_t ShapeKind_;
    bool Dragging_ = false;
    std::uint16_t StartX_ = 0;
    std::uint16_t StartY_ = 0;
    std::uint16_t EndX_ = 0;
    std::uint16_t EndY_ = 0;
};

// The width of the calibration target in millimetres that the selection's horizontal side spans.
inline constexpr double kCalibrationTargetWidthMM = 0.9;

// The two values the calibration window shows for a selection: the area in square millimetres
// ("0.0000") and the factor in millimetres per pixel ("0.000000"), with the configured decimal
// separator.
struct TCalibrationValues {
    QString Area;
    QString Factor;
};
TCalibrationValues CalibrationValues(const TBImage32Editor& editor);

} // namespace endomira
