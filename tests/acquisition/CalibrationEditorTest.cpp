#include "RealText.h"
#include "UBTImageEditor.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace endomira;

namespace {

// A view's bitmap with a picture in it, and an editor attached as the calibration window does.
struct EditedView {
    QImage Bitmap;
    int Repaints = 0;
    std::unique_ptr<TBImage32Editor> Editor;

    EditedView() : Bitmap(640, 480, QImage::Format_RGB32) {
        for (int y = 0; y < Bitmap.height(); ++y) {
            for (int x = 0; x < Bitmap.width(); ++x) {
                Bitmap.setPixel(x, y, qRgb(x % 256, y % 256, (x + y) % 256));
            }
        }
        Editor = std::make_unique<TBImage32Editor>(
            &Bitmap, [this] { ++Repaints; }, TBImage32Editor::skRectangle);
    }

    void Drag(QPoint from, std::initializer_list<QPoint> through) {
        Editor->MouseDown(Qt::LeftButton, {}, from.x(), from.y());
        QPoint last = from;
        for (const QPoint p : through) {
            Editor->MouseMove({}, p.x(), p.y());
            last = p;
        }
        Editor->MouseUp(Qt::LeftButton, {}, last.x(), last.y());
    }
};

struct SeparatorScope {
    QChar Previous = DecimalSeparator();
    explicit SeparatorScope(QChar separator) { SetDecimalSeparator(separator); }
    ~SeparatorScope() { SetDecimalSeparator(Previous); }
};

} // namespace

TEST(CalibrationEditor, SelectionValuesInEveryDirection) {
    SeparatorScope comma(u',');
    // The same 90 x 90 rectangle drawn from each corner.
    const QPoint a(100, 50);
    const QPoint b(190, 140);
    const std::pair<QPoint, QPoint> drags[] = {
        {a, b}, {b, a}, {QPoint(190, 50), QPoint(100, 140)}, {QPoint(100, 140), QPoint(190, 50)}};
    for (const auto& [from, to] : drags) {
        EditedView v;
        v.Drag(from, {QPoint(120, 80), to});
        EXPECT_EQ(v.Editor->SelectionWidth(), 90);
        EXPECT_EQ(v.Editor->SelectionArea(), 8100);
        EXPECT_DOUBLE_EQ(v.Editor->CalibrationFactor(), 0.01);
        const auto values = CalibrationValues(*v.Editor);
        EXPECT_EQ(values.Factor, QStringLiteral("0,010000"));
        EXPECT_EQ(values.Area, QStringLiteral("0,8100"));
        EXPECT_FALSE(v.Editor->IsDragging());
    }
    SeparatorScope stop(u'.');
    EditedView v;
    v.Drag(QPoint(10, 10), {QPoint(40, 70)});
    EXPECT_EQ(CalibrationValues(*v.Editor).Factor, QStringLiteral("0.030000"));
    EXPECT_EQ(CalibrationValues(*v.Editor).Area, QStringLiteral("1.6200")); // 0.03^2 * 1800
}

TEST(CalibrationEditor, ZeroWidthGivesZeroFactorAndArea) {
    SeparatorScope comma(u',');
    EditedView v;
    v.Drag(QPoint(200, 100), {QPoint(200, 300)});
    EXPECT_EQ(v.Editor->SelectionWidth(), 0);
    EXPECT_EQ(v.Editor->CalibrationFactor(), 0.0);
    const auto values = CalibrationValues(*v.Editor);
    EXPECT_EQ(values.Factor, QStringLiteral("0,000000"));
    EXPECT_EQ(values.Area, QStringLiteral("0,0000"));
}

TEST(CalibrationEditor, BandIsInvertedOutlineAndANewPressRemovesIt) {
    EditedView v;
    const QImage original = v.Bitmap.copy();
    EXPECT_EQ(v.Editor->Backup(), original);

    v.Drag(QPoint(100, 100), {QPoint(150, 150), QPoint(130, 160), QPoint(200, 180)});
    EXPECT_GT(v.Repaints, 0);
    // Only the last rectangle's outline remains, as the inverse of the picture.
    EXPECT_EQ(v.Bitmap.pixel(150, 100) & 0xFFFFFF, ~original.pixel(150, 100) & 0xFFFFFF);
    EXPECT_EQ(v.Bitmap.pixel(100, 140) & 0xFFFFFF, ~original.pixel(100, 140) & 0xFFFFFF);
    EXPECT_EQ(v.Bitmap.pixel(200, 140), original.pixel(200, 140) ^ 0x00FFFFFF);
    EXPECT_EQ(v.Bitmap.pixel(150, 140), original.pixel(150, 140)); // inside untouched
    EXPECT_EQ(v.Bitmap.pixel(150, 150), original.pixel(150, 150)); // earlier bands gone
    EXPECT_EQ(v.Bitmap.pixel(130, 160), original.pixel(130, 160));
    int changedOutside = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const bool onOutline = (x >= 100 && x <= 200 && (y == 100 || y == 180)) ||
                                   (y >= 100 && y <= 180 && (x == 100 || x == 200));
            changedOutside += !onOutline && v.Bitmap.pixel(x, y) != original.pixel(x, y);
        }
    }
    EXPECT_EQ(changedOutside, 0);

    // The next press puts the picture back before a new band starts.
    v.Editor->MouseDown(Qt::LeftButton, {}, 300, 300);
    EXPECT_EQ(v.Bitmap, original);
    EXPECT_TRUE(v.Editor->IsDragging());
    EXPECT_EQ(v.Editor->SelectionWidth(), 0);
}

TEST(CalibrationEditor, PositionsOutsideThePictureStopAtItsEdge) {
    EditedView v;
    v.Drag(QPoint(600, 20), {QPoint(900, -40)});
    EXPECT_EQ(v.Editor->EndX(), 639);
    EXPECT_EQ(v.Editor->EndY(), 0);
    EXPECT_EQ(v.Editor->SelectionWidth(), 39);
    EXPECT_EQ(v.Editor->SelectionArea(), 39 * 20);
    // Another button does not start a selection.
    v.Editor->MouseDown(Qt::RightButton, {}, 10, 10);
    EXPECT_FALSE(v.Editor->IsDragging());
    EXPECT_EQ(v.Editor->StartX(), 600);
}

TEST(CalibrationEditor, NewFrameBecomesTheBackup) {
    EditedView v;
    QImage second(640, 480, QImage::Format_RGB32);
    second.fill(qRgb(10, 200, 30));
    v.Bitmap = second;
    v.Editor->TakeBackup();
    v.Drag(QPoint(10, 10), {QPoint(50, 50)});
    v.Editor->MouseDown(Qt::LeftButton, {}, 5, 5);
    EXPECT_EQ(v.Bitmap, second);
}
