#include "UFrmCalibracao.h"

#include "ImageView.h"
#include "MessageService.h"
#include "UBIniSettings.h"
#include "VideoPreview.h"

#include <QCloseEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QShowEvent>
#include <QToolButton>
#include <QVBoxLayout>
#include <exception>

namespace endomira {

namespace {

const QString kLive = QStringLiteral("Ao Vivo");

QLabel* Caption(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont font = label->font();
    font.setBold(true);
    label->setFont(font);
    return label;
}

QToolButton* SpeedButton(const QString& name, const QString& text, const QString& hint,
                         QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setText(text);
    button->setToolTip(hint);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setMinimumSize(150, 30);
    return button;
}

} // namespace

TfrmCalibration::TfrmCalibration(QMdiArea* workspace) {
    setObjectName(QStringLiteral("frmCalibration"));
    setWindowTitle(QStringLiteral("Calibração"));
    UsePreviewWidgets();
    BuildControls();
    setFixedSize(sizeHint());

    if (workspace != nullptr) {
        // A fixed border: the child window can be moved and closed, not resized or maximised.
        SubWindow_ =
            workspace->addSubWindow(this, Qt::SubWindow | Qt::WindowTitleHint |
                                              Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
        SubWindow_->setAttribute(Qt::WA_DeleteOnClose);
        SubWindow_->setOption(QMdiSubWindow::RubberBandResize, false);
        SubWindow_->adjustSize();
        SubWindow_->setFixedSize(SubWindow_->sizeHint());
    } else {
        setAttribute(Qt::WA_DeleteOnClose);
        setWindowFlags(Qt::Window | Qt::MSWindowsFixedSizeDialogHint);
    }
}

TfrmCalibration::~TfrmCalibration() {
    ReleaseChannel();
}

TfrmCalibration* TfrmCalibration::Open(QMdiArea* workspace) {
    auto* form = new TfrmCalibration(workspace);
    if (auto* sub = form->SubWindow()) {
        const QSize area = workspace->viewport()->size();
        sub->move(std::max(0, (area.width() - sub->width()) / 2),
                  std::max(0, (area.height() - sub->height()) / 2));
        sub->show();
    } else {
        form->show();
    }
    return form;
}

void TfrmCalibration::BuildControls() {
    auto* columns = new QHBoxLayout(this);

    auto* left = new QVBoxLayout;
    left->addWidget(Caption(QStringLiteral("Calibração"), this));
    pnlCalibration = new QFrame(this);
    pnlCalibration->setObjectName(QStringLiteral("pnlCalibration"));
    pnlCalibration->setFixedSize(646, 489);
    pnlCalibration->setAutoFillBackground(true);
    QPalette dark = pnlCalibration->palette();
    dark.setColor(QPalette::Window, Qt::black);
    pnlCalibration->setPalette(dark);
    imgCalibration = new TImageView(pnlCalibration);
    imgCalibration->setObjectName(QStringLiteral("imgCalibration"));
    imgCalibration->setGeometry(0, 0, 640, 480);
    imgCalibration->setCursor(Qt::CrossCursor);
    left->addWidget(pnlCalibration);
    spbCapture = SpeedButton(QStringLiteral("spbCapture"), QStringLiteral("Captura"),
                             QStringLiteral("Capturar imagem"), this);
    left->addWidget(spbCapture, 0, Qt::AlignLeft);
    left->addStretch();
    columns->addLayout(left);

    auto* right = new QVBoxLayout;
    right->addWidget(Caption(QStringLiteral("Instruções"), this));
    Memo1 = new QPlainTextEdit(this);
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setReadOnly(true);
    Memo1->setPlainText(QStringLiteral(
        "A calibração mede uma região da imagem na qual se seleciona uma figura geométrica de "
        "dimensões conhecidas.\n\nAs dimensões selecionadas devem ser iguais às informadas no "
        "manual de instruções.\n\nOs valores e a área da seleção são mostrados no painel "
        "\"Ferramentas\".\n\nAo final, clique em \"Aceitar calibração\", ou feche a janela para "
        "ignorar a operação."));
    Memo1->setFixedWidth(260);
    Memo1->setMinimumHeight(270);
    right->addWidget(Memo1);
    right->addWidget(Caption(QStringLiteral("Ferramentas"), this));

    pnlFrameInfo = new QFrame(this);
    pnlFrameInfo->setObjectName(QStringLiteral("pnlFrameInfo"));
    pnlFrameInfo->setFrameShape(QFrame::StyledPanel);
    auto* tools = new QVBoxLayout(pnlFrameInfo);
    spbMeasure = SpeedButton(QStringLiteral("spbMeasure"), QStringLiteral("Fazer seleção "),
                             QStringLiteral("Capturar imagem"), pnlFrameInfo);
    spbMeasure->setEnabled(false);
    tools->addWidget(spbMeasure);

    gbDimensions = new QGroupBox(QStringLiteral(" Dimensões da seleção "), pnlFrameInfo);
    gbDimensions->setObjectName(QStringLiteral("gbDimensions"));
    auto* grid = new QGridLayout(gbDimensions);
    auto* lblArea = new QLabel(QStringLiteral("Área (mm²):"), gbDimensions);
    lblArea->setObjectName(QStringLiteral("lblArea"));
    lblAreaValue = new QLabel(QStringLiteral("-"), gbDimensions);
    lblAreaValue->setObjectName(QStringLiteral("lblAreaValue"));
    auto* lblFatCalib = new QLabel(QStringLiteral("Fator calib.:"), gbDimensions);
    lblFatCalib->setObjectName(QStringLiteral("lblFatCalib"));
    lblFatCalibValue = new QLabel(QStringLiteral("-"), gbDimensions);
    lblFatCalibValue->setObjectName(QStringLiteral("lblFatCalibValue"));
    grid->addWidget(lblArea, 0, 0);
    grid->addWidget(lblAreaValue, 0, 1);
    grid->addWidget(lblFatCalib, 1, 0);
    grid->addWidget(lblFatCalibValue, 1, 1);
    tools->addWidget(gbDimensions);

    spbAcceptCalibration =
        SpeedButton(QStringLiteral("spbAcceptCalibration"), QStringLiteral("Aceitar calibração"),
                    QStringLiteral("Usar imagem nos cálculos do relatório"), pnlFrameInfo);
    spbAcceptCalibration->setEnabled(false);
    tools->addWidget(spbAcceptCalibration);
    right->addWidget(pnlFrameInfo);
    right->addStretch();
    columns->addLayout(right);

    tmrCalibration = new QTimer(this);
    tmrCalibration->setObjectName(QStringLiteral("tmrCalibration"));
    tmrCalibration->setInterval(10);
    tmrReadValues = new QTimer(this);
    tmrReadValues->setObjectName(QStringLiteral("tmrReadValues"));
    tmrReadValues->setInterval(500);

    connect(spbCapture, &QToolButton::clicked, this, &TfrmCalibration::spbCaptureClick);
    connect(spbMeasure, &QToolButton::clicked, this, &TfrmCalibration::spbMeasureClick);
    connect(spbAcceptCalibration, &QToolButton::clicked, this,
            &TfrmCalibration::spbAcceptCalibrationClick);
    connect(tmrCalibration, &QTimer::timeout, this, &TfrmCalibration::tmrCalibrationTimer);
    connect(tmrReadValues, &QTimer::timeout, this, &TfrmCalibration::tmrReadValuesTimer);
    connect(imgCalibration, &TImageView::MouseDown, this,
            &TfrmCalibration::imgCalibrationMouseDown);
    connect(imgCalibration, &TImageView::MouseMove, this,
            &TfrmCalibration::imgCalibrationMouseMove);
    connect(imgCalibration, &TImageView::MouseUp, this, &TfrmCalibration::imgCalibrationMouseUp);
}

void TfrmCalibration::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) {
        StartChannel();
    }
}

void TfrmCalibration::StartChannel() {
    ReleaseChannel();
    try {
        const int channel =
            ProgramSettings() != nullptr ? ProgramSettings()->GetMainCamChannel() : 0;
        CalibrationChannel_ = std::make_unique<TVGrabber_Espec_C>(
            pnlCalibration, 640, 480, 20, 0, channel, 100, false, false, EngineFactory_);
    } catch (const std::exception& error) {
        // The window stays open without a live image; the reason goes to the log.
        qWarning("endomira: calibration: the main camera could not be started: %s", error.what());
    }
}

void TfrmCalibration::ReleaseChannel() {
    if (CalibrationChannel_) {
        CalibrationChannel_->StopChannel();
        CalibrationChannel_.reset();
    }
}

void TfrmCalibration::closeEvent(QCloseEvent* event) {
    tmrCalibration->stop();
    tmrReadValues->stop();
    ReleaseChannel();
    QWidget::closeEvent(event);
    emit Closed();
}

void TfrmCalibration::spbCaptureClick() {
    if (spbCapture->text() != kLive) {
        if (CalibrationChannel_) {
            CalibrationChannel_->RequestCapture(false);
        }
        tmrCalibration->start();
        spbCapture->setText(kLive);
        spbMeasure->setEnabled(true);
    } else {
        // A capture still waited for would freeze the live image later: it is dropped.
        tmrCalibration->stop();
        spbCapture->setText(QStringLiteral("Capturar"));
        if (CalibrationChannel_) {
            CalibrationChannel_->SetPreviewVisible(true);
            CalibrationChannel_->ResumePreview();
        }
        spbMeasure->setEnabled(false);
    }
}

void TfrmCalibration::tmrCalibrationTimer() {
    if (!CalibrationChannel_ || !CalibrationChannel_->IsFrameReady()) {
        imgCalibration->hide();
        return;
    }
    {
        const auto grabbed = CalibrationChannel_->GrabbedBitmap();
        imgCalibration->SetImage(grabbed.Image());
    }
    // The selection is drawn on the frame now shown, and a new press restores this frame, not
    // the one shown when the editor was made.
    if (Editor_) {
        Editor_->TakeBackup();
    }
    imgCalibration->show();
    CalibrationChannel_->PausePreview();
    CalibrationChannel_->SetPreviewVisible(false);
    tmrCalibration->stop();
}

void TfrmCalibration::spbMeasureClick() {
    if (!Editor_) {
        Editor_ = std::make_unique<TBImage32Editor>(
            &imgCalibration->Bitmap(), [this] { imgCalibration->update(); },
            TBImage32Editor::skRectangle);
    }
    tmrReadValues->start();
}

void TfrmCalibration::imgCalibrationMouseDown(Qt::MouseButton button,
                                              Qt::KeyboardModifiers modifiers, int x, int y) {
    if (Editor_) {
        Editor_->MouseDown(button, modifiers, x, y);
    }
}

void TfrmCalibration::imgCalibrationMouseMove(Qt::KeyboardModifiers modifiers, int x, int y) {
    if (Editor_) {
        Editor_->MouseMove(modifiers, x, y);
    }
}

void TfrmCalibration::imgCalibrationMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers modifiers,
                                            int x, int y) {
    if (Editor_) {
        Editor_->MouseUp(button, modifiers, x, y);
    }
}

void TfrmCalibration::tmrReadValuesTimer() {
    if (!Editor_) {
        return;
    }
    const auto values = CalibrationValues(*Editor_);
    lblAreaValue->setText(values.Area);
    lblFatCalibValue->setText(values.Factor);
    spbAcceptCalibration->setEnabled(true);
}

void TfrmCalibration::spbAcceptCalibrationClick() {
    tmrReadValues->stop();
    if (!Editor_ || ProgramSettings() == nullptr) {
        return;
    }
    try {
        ProgramSettings()->SetPixelToMM(Editor_->CalibrationFactor());
    } catch (const std::exception&) {
        ShowMessageBox(QStringLiteral("Não foi possível gravar a calibração no arquivo de "
                                      "configurações!"),
                       QStringLiteral("ERRO"), mbOK);
    }
}

} // namespace endomira
