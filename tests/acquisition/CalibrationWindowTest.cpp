#include "ImageView.h"
#include "MessageService.h"
#include "SimulatedCamera.h"
#include "UBIniSettings.h"
#include "UFrmCalibracao.h"
#include "VideoPreview.h"

#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPointer>
#include <QTemporaryDir>
#include <QTimer>
#include <QToolButton>
#include <QtTest>

using namespace endomira;

class CalibrationWindowTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir Dir;
    std::unique_ptr<TMessageRecorder> Messages;
    std::unique_ptr<QMdiArea> Workspace;

    QString IniPath() const { return Dir.filePath(QStringLiteral("endomira.ini")); }
    QString StoredFactor() const {
        return ProgramSettings()->ReadValue(QStringLiteral("Str"), QStringLiteral("pixelToMM"),
                                            QStringLiteral("METRICS"));
    }
    template <typename T> static T* Child(QWidget* form, const char* name) {
        auto* child = form->findChild<T*>(QString::fromLatin1(name));
        if (child == nullptr) {
            qFatal("no control %s", name);
        }
        return child;
    }

    // Captures a frame and draws a selection from `from` to `to` on it.
    static void CaptureAndSelect(TfrmCalibration* form, QPoint from, QPoint to) {
        auto* img = Child<TImageView>(form, "imgCalibration");
        QTest::mouseClick(Child<QToolButton>(form, "spbCapture"), Qt::LeftButton);
        QTRY_VERIFY(img->isVisible() && !img->Bitmap().isNull());
        QTest::mouseClick(Child<QToolButton>(form, "spbMeasure"), Qt::LeftButton);
        QTest::mousePress(img, Qt::LeftButton, {}, from);
        QTest::mouseMove(img, (from + to) / 2);
        QTest::mouseMove(img, to);
        QTest::mouseRelease(img, Qt::LeftButton, {}, to);
    }

private slots:
    void init() {
        QVERIFY(Dir.isValid());
        QFile::remove(IniPath());
        QVERIFY(QFile::copy(QStringLiteral(ENDOMIRA_SOURCE_DIR "/config/endomira.ini"), IniPath()));
        QFile::setPermissions(IniPath(), QFile::ReadOwner | QFile::WriteOwner);
        SetProgramSettings(std::make_unique<TBIniSettings>(Dir.path()));
        // The simulated main camera, wherever the cameras of this machine put it.
        const int simulated = CreateVideoEngine(nullptr)->VideoDevices().indexOf(
            QStringLiteral("Simulação: câmera principal"));
        ProgramSettings()->SetMainCamChannel(static_cast<std::uint8_t>(simulated));
        Messages = std::make_unique<TMessageRecorder>();
        Workspace = std::make_unique<QMdiArea>();
        Workspace->resize(1280, 900);
        Workspace->show();
    }

    void cleanup() {
        Workspace.reset();
        Messages.reset();
        SetProgramSettings(nullptr);
    }

    void controlsCaptionsAndPlacement() {
        auto* form = TfrmCalibration::Open(Workspace.get());
        QMdiSubWindow* sub = form->SubWindow();
        QVERIFY(sub != nullptr);
        QCOMPARE(sub->minimumSize(), sub->maximumSize()); // fixed border
        QVERIFY(!(sub->windowFlags() & Qt::WindowMaximizeButtonHint));
        const QSize area = Workspace->viewport()->size();
        QVERIFY(std::abs(sub->x() - (area.width() - sub->width()) / 2) <= 1);
        QVERIFY(std::abs(sub->y() - (area.height() - sub->height()) / 2) <= 1);

        const auto* capture = Child<QToolButton>(form, "spbCapture");
        QCOMPARE(capture->text(), QStringLiteral("Captura"));
        QCOMPARE(capture->toolTip(), QStringLiteral("Capturar imagem"));
        const auto* measure = Child<QToolButton>(form, "spbMeasure");
        QCOMPARE(measure->text(), QStringLiteral("Fazer seleção "));
        QCOMPARE(measure->toolTip(), QStringLiteral("Capturar imagem"));
        QVERIFY(!measure->isEnabled());
        const auto* accept = Child<QToolButton>(form, "spbAcceptCalibration");
        QCOMPARE(accept->text(), QStringLiteral("Aceitar calibração"));
        QCOMPARE(accept->toolTip(), QStringLiteral("Usar imagem nos cálculos do relatório"));
        QVERIFY(!accept->isEnabled());
        QCOMPARE(Child<QGroupBox>(form, "gbDimensions")->title(),
                 QStringLiteral(" Dimensões da seleção "));
        QCOMPARE(Child<QLabel>(form, "lblArea")->text(), QStringLiteral("Área (mm²):"));
        QCOMPARE(Child<QLabel>(form, "lblFatCalib")->text(), QStringLiteral("Fator calib.:"));
        QCOMPARE(Child<QLabel>(form, "lblAreaValue")->text(), QStringLiteral("-"));
        QCOMPARE(Child<QLabel>(form, "lblFatCalibValue")->text(), QStringLiteral("-"));
        QCOMPARE(Child<QWidget>(form, "pnlCalibration")->size(), QSize(646, 489));
        QCOMPARE(Child<TImageView>(form, "imgCalibration")->geometry(), QRect(0, 0, 640, 480));
        auto* tmrCalibration = Child<QTimer>(form, "tmrCalibration");
        auto* tmrReadValues = Child<QTimer>(form, "tmrReadValues");
        QCOMPARE(tmrCalibration->interval(), 10);
        QCOMPARE(tmrReadValues->interval(), 500);
        QVERIFY(!tmrCalibration->isActive() && !tmrReadValues->isActive());

        // The live image of the simulated camera starts at once, labelled as a simulation.
        QVERIFY(form->CalibrationChannel() != nullptr);
        QVERIFY(form->CalibrationChannel()->Engine().IsStreaming());
        auto* preview = Child<QWidget>(form, "pnlCalibration")->findChild<TVideoPreview*>();
        QVERIFY(preview != nullptr);
        QTRY_VERIFY(preview->ShowsSimulation() && !preview->Shown().isNull());
        QCOMPARE(preview->geometry(), QRect(0, 0, 646, 489));

        // A standalone window has its fixed border too.
        auto* alone = TfrmCalibration::Open(nullptr);
        QVERIFY(alone->isWindow());
        QCOMPARE(alone->minimumSize(), alone->maximumSize());
        alone->close();
    }

    void captureSelectAndAccept() {
        auto* form = TfrmCalibration::Open(Workspace.get());
        auto* capture = Child<QToolButton>(form, "spbCapture");
        auto* measure = Child<QToolButton>(form, "spbMeasure");
        auto* img = Child<TImageView>(form, "imgCalibration");
        auto* preview = Child<QWidget>(form, "pnlCalibration")->findChild<TVideoPreview*>();

        QTest::mouseClick(capture, Qt::LeftButton);
        QCOMPARE(capture->text(), QStringLiteral("Ao Vivo"));
        QVERIFY(measure->isEnabled());
        QTRY_VERIFY(img->isVisible() && !img->Bitmap().isNull());
        QCOMPARE(img->Bitmap().size(), QSize(640, 480));
        QVERIFY(HasSimulationMarker(img->Bitmap().convertToFormat(QImage::Format_RGB888)));
        QVERIFY(!preview->isVisible());
        QVERIFY(!Child<QTimer>(form, "tmrCalibration")->isActive());

        QTest::mouseClick(measure, Qt::LeftButton);
        QVERIFY(Child<QTimer>(form, "tmrReadValues")->isActive());
        const QImage frame = img->Bitmap().copy();
        QTest::mousePress(img, Qt::LeftButton, {}, QPoint(190, 190));
        QTest::mouseMove(img, QPoint(150, 120));
        QTest::mouseMove(img, QPoint(100, 100));
        QTest::mouseRelease(img, Qt::LeftButton, {}, QPoint(100, 100));
        QVERIFY(img->Bitmap() != frame); // the band is drawn into the view
        QCOMPARE(img->Bitmap().pixel(150, 100) & 0xFFFFFF, ~frame.pixel(150, 100) & 0xFFFFFF);

        QTRY_COMPARE(Child<QLabel>(form, "lblFatCalibValue")->text(), QStringLiteral("0,010000"));
        QCOMPARE(Child<QLabel>(form, "lblAreaValue")->text(), QStringLiteral("0,8100"));
        auto* accept = Child<QToolButton>(form, "spbAcceptCalibration");
        QVERIFY(accept->isEnabled());
        QTest::mouseClick(accept, Qt::LeftButton);
        QVERIFY(!Child<QTimer>(form, "tmrReadValues")->isActive());
        QCOMPARE(StoredFactor(), QStringLiteral("0,010000"));
        // The scale in use stays the one loaded at start.
        QCOMPARE(ProgramSettings()->GetPixelToMM(), 0.0014);
        QVERIFY(Messages->Shown().empty());

        // Back to the live image.
        QTest::mouseClick(capture, Qt::LeftButton);
        QCOMPARE(capture->text(), QStringLiteral("Capturar"));
        QVERIFY(!measure->isEnabled());
        QVERIFY(preview->isVisible());
        // A new press on a new frame restores that frame, not the first one.
        QTest::mouseClick(capture, Qt::LeftButton);
        QCOMPARE(capture->text(), QStringLiteral("Ao Vivo"));
        QTRY_VERIFY(img->isVisible() && !preview->isVisible());
        const QImage second = img->Bitmap().copy();
        QVERIFY(second != frame);
        QTest::mousePress(img, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(img->Bitmap(), second);
        QTest::mouseRelease(img, Qt::LeftButton, {}, QPoint(10, 10));
    }

    void closingWithoutAcceptingWritesNothing() {
        QFile file(IniPath());
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray before = file.readAll();
        file.close();

        QPointer<TfrmCalibration> form = TfrmCalibration::Open(Workspace.get());
        QSignalSpy closed(form.data(), &TfrmCalibration::Closed);
        CaptureAndSelect(form, QPoint(100, 100), QPoint(190, 190));
        QTRY_COMPARE(Child<QLabel>(form, "lblFatCalibValue")->text(), QStringLiteral("0,010000"));
        form->SubWindow()->close();
        QTRY_VERIFY(form.isNull());
        QCOMPARE(closed.count(), 1);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), before);
    }

    void zeroWidthStoresZero() {
        auto* form = TfrmCalibration::Open(Workspace.get());
        CaptureAndSelect(form, QPoint(300, 100), QPoint(300, 250));
        QTRY_COMPARE(Child<QLabel>(form, "lblFatCalibValue")->text(), QStringLiteral("0,000000"));
        QCOMPARE(Child<QLabel>(form, "lblAreaValue")->text(), QStringLiteral("0,0000"));
        QTest::mouseClick(Child<QToolButton>(form, "spbAcceptCalibration"), Qt::LeftButton);
        QCOMPARE(StoredFactor(), QStringLiteral("0,000000"));
    }

    void unwritableSettingsAreReported() {
        auto* form = TfrmCalibration::Open(Workspace.get());
        CaptureAndSelect(form, QPoint(100, 100), QPoint(190, 190));
        QTRY_VERIFY(Child<QToolButton>(form, "spbAcceptCalibration")->isEnabled());
        // The settings file becomes a folder: nothing can be written there.
        QVERIFY(QFile::remove(IniPath()));
        QVERIFY(QDir(Dir.path()).mkdir(QStringLiteral("endomira.ini")));
        QTest::mouseClick(Child<QToolButton>(form, "spbAcceptCalibration"), Qt::LeftButton);
        QCOMPARE(Messages->Shown().size(), std::size_t{1});
        QCOMPARE(Messages->Shown()[0].Title, QStringLiteral("ERRO"));
        QVERIFY(QDir(Dir.path()).rmdir(QStringLiteral("endomira.ini")));
    }
};

QTEST_MAIN(CalibrationWindowTest)
#include "CalibrationWindowTest.moc"
