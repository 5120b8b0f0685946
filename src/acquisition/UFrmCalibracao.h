#pragma once

#include "UBTImageEditor.h"
#include "UBVideoGrabber_Espec_C.h"

#include <QTimer>
#include <QWidget>
#include <memory>

class QFrame;
class QGroupBox;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QPlainTextEdit;
class QToolButton;

namespace endomira {

class TImageView;

// The calibration window: the operator captures a frame of a target of known size, draws a
// rectangle over it, reads the area and the factor, and accepts the factor as the image scale
// (`pixelToMM`), which the program uses from its next start.
class TfrmCalibration : public QWidget {
    Q_OBJECT

public:
    // In a workspace the window is a centred child window with a fixed border; without one it is
    // a window of its own. It is freed when it closes.
    explicit TfrmCalibration(QMdiArea* workspace = nullptr);
    ~TfrmCalibration() override;

    // Creates the window in the workspace (or alone) and shows it.
    static TfrmCalibration* Open(QMdiArea* workspace = nullptr);

    TVGrabber_Espec_C* CalibrationChannel() const { return CalibrationChannel_.get(); }
    TBImage32Editor* Editor() const { return Editor_.get(); }
    QMdiSubWindow* SubWindow() const { return SubWindow_; }

    // Builds the channel of each new showing; tests script an engine through it.
    void SetEngineFactory(TVideoEngineFactory factory) { EngineFactory_ = std::move(factory); }

signals:
    void Closed();

public slots:
    void spbCaptureClick();
    void spbMeasureClick();
    void spbAcceptCalibrationClick();
    void tmrCalibrationTimer();
    void tmrReadValuesTimer();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();
    void StartChannel();
    void ReleaseChannel();
    void imgCalibrationMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x,
                                 int y);
    void imgCalibrationMouseMove(Qt::KeyboardModifiers modifiers, int x, int y);
    void imgCalibrationMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers, int x,
                               int y);

    QMdiSubWindow* SubWindow_ = nullptr;
    TVideoEngineFactory EngineFactory_;
    std::unique_ptr<TVGrabber_Espec_C> CalibrationChannel_;
    std::unique_ptr<TBImage32Editor> Editor_;

    QFrame* pnlCalibration = nullptr;
    TImageView* imgCalibration = nullptr;
    QToolButton* spbCapture = nullptr;
    QPlainTextEdit* Memo1 = nullptr;
    QFrame* pnlFrameInfo = nullptr;
    QToolButton* spbMeasure = nullptr;
    QGroupBox* gbDimensions = nullptr;
    QLabel* lblAreaValue = nullptr;
    QLabel* lblFatCalibValue = nullptr;
    QToolButton* spbAcceptCalibration = nullptr;
    QTimer* tmrCalibration = nullptr;
    QTimer* tmrReadValues = nullptr;
};

} // namespace endomira
