#include "ImageView.h"

#include <QSignalSpy>
#include <QtTest>

using namespace endomira;

class ImageViewTest : public QObject {
    Q_OBJECT

private slots:
    // Positions are reported in bitmap pixels, whether the bitmap is shown 1:1 or stretched.
    void reportsMousePositionsInBitmapPixels() {
        QImage picture(640, 480, QImage::Format_RGB888);
        picture.fill(Qt::darkGray);
        TImageView view;
        view.resize(320, 240);
        view.SetImage(picture);
        view.SetTag(9);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.Tag(), 9);
        QCOMPARE(view.Bitmap().format(), QImage::Format_RGB32); // not-xor drawing needs it

        QSignalSpy down(&view, &TImageView::MouseDown);
        QSignalSpy move(&view, &TImageView::MouseMove);
        QSignalSpy up(&view, &TImageView::MouseUp);
        QTest::mousePress(&view, Qt::LeftButton, Qt::ShiftModifier, QPoint(100, 50));
        QTest::mouseMove(&view, QPoint(150, 60));
        QTest::mouseRelease(&view, Qt::LeftButton, {}, QPoint(150, 60));
        QCOMPARE(down.size(), 1);
        QCOMPARE(down[0][0].value<Qt::MouseButton>(), Qt::LeftButton);
        QCOMPARE(down[0][1].value<Qt::KeyboardModifiers>(),
                 Qt::KeyboardModifiers(Qt::ShiftModifier));
        QCOMPARE(down[0][2].toInt(), 100);
        QCOMPARE(down[0][3].toInt(), 50);
        QVERIFY(!move.isEmpty());
        QCOMPARE(move.last()[1].toInt(), 150);
        QCOMPARE(up.size(), 1);

        view.SetStretch(true);
        QTest::mousePress(&view, Qt::RightButton, {}, QPoint(100, 50));
        QCOMPARE(down.size(), 2);
        QCOMPARE(down[1][0].value<Qt::MouseButton>(), Qt::RightButton);
        QCOMPARE(down[1][2].toInt(), 200);
        QCOMPARE(down[1][3].toInt(), 100);
        QCOMPARE(view.ToBitmap(QPointF(319.9, 239.9)), QPoint(639, 479));
    }
};

QTEST_MAIN(ImageViewTest)
#include "ImageViewTest.moc"
