#include "UfrmMain.h"

#include "AbbreviateName.h"
#include "Artwork.h"
#include "MessageService.h"
#include "ShellDatabase.h"
#include "UFrmCalibracao.h"
#include "UfrmAbout.h"
#include "UfrmCfgCamCap.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

namespace endomira {

namespace {

const QString kNewExamOpen = QStringLiteral("A tela de novo exame já está ativa");
const QString kCloseExam = QStringLiteral("Fechar tela de Exame que está ativa");
const QString kExaminationWindow = QStringLiteral("frmExamination");

const QColor kWorkspaceColour(226, 234, 243);
const QColor kHeadingColour(16, 58, 112);

// A menu hint "short|long": the short part is the tooltip, the long part goes to the status
// bar; a hint without a bar is used whole for both.
void SetHint(QAction* action, const QString& hint) {
    action->setProperty("hint", hint);
    if (hint.isEmpty()) {
        return;
    }
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    action->setToolTip(bar < 0 ? hint : hint.left(bar));
    action->setStatusTip(bar < 0 ? hint : hint.mid(bar + 1));
}

QLabel* Heading(const QString& text, const char* name, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromLatin1(name));
    QFont font = label->font();
    font.setPointSize(16);
    font.setBold(true);
    label->setFont(font);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, kHeadingColour);
    label->setPalette(palette);
    return label;
}

} // namespace

TfrmMain::TfrmMain(QString programFolder, QWidget* parent)
    : QMainWindow(parent), ProgramFolder_(std::move(programFolder)) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Endomira"));
    setWindowIcon(ProgramIcon());
    setAttribute(Qt::WA_QuitOnClose);

    Workspace_ = new QMdiArea(this);
    Workspace_->setObjectName(QStringLiteral("Workspace"));
    Workspace_->setBackground(kWorkspaceColour);
    setCentralWidget(Workspace_);

    BuildMenu();
    BuildHome();

    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("StatusBar"));
    setStatusBar(status);

    // The calibration window places itself in the workspace as a centred child.
    SetChildFactory(TChildKind::Calibration, [](TfrmMain& main) -> QWidget* {
        TfrmCalibration::Open(main.Workspace());
        return nullptr;
    });

    SetMainMenus(this);
    resize(1024, 768);
}

TfrmMain::~TfrmMain() {
    if (MainMenus() == this) {
        SetMainMenus(nullptr);
    }
}

QAction* TfrmMain::AddItem(QMenu* menu, const char* name, const QString& caption,
                           const QKeySequence& shortcut, const QString& hint,
                           void (TfrmMain::*handler)()) {
    auto* action = menu->addAction(caption);
    action->setObjectName(QString::fromLatin1(name));
    action->setShortcut(shortcut);
    SetHint(action, hint);
    connect(action, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
    AllItems_.push_back(action);
    return action;
}

void TfrmMain::BuildMenu() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));
    connect(bar, &QMenuBar::hovered, this,
            [this](QAction* action) { statusBar()->showMessage(action->statusTip()); });

    auto submenu = [&](const char* name, const QString& caption, const QString& hint) {
        QMenu* menu = bar->addMenu(caption);
        menu->setObjectName(QString::fromLatin1(name));
        menu->menuAction()->setObjectName(QString::fromLatin1(name));
        SetHint(menu->menuAction(), hint);
        // The status bar shows the long hint of the item under the mouse; an item without one
        // clears it.
        connect(menu, &QMenu::hovered, this,
                [this](QAction* action) { statusBar()->showMessage(action->statusTip()); });
        return menu;
    };
    const auto ctrl = [](Qt::Key key) { return QKeySequence(Qt::CTRL | key); };

    QMenu* file =
        submenu("File1", QStringLiteral("&Gerenciador"), QStringLiteral("File related commands"));
    QAction* gerDoctor = AddItem(file, "gerDoctor", QStringLiteral("&Médico"), ctrl(Qt::Key_M),
                                 QStringLiteral("Acessa opções de gerenciamento de médico(s)"),
                                 &TfrmMain::gerDoctorClick);
    QAction* gerPatient = AddItem(file, "gerPatient", QStringLiteral("Pacien&te"), ctrl(Qt::Key_T),
                                  QStringLiteral("Open|Open a file"), &TfrmMain::gerPatientClick);
    QAction* genExamination = AddItem(file, "genExamination", QStringLiteral("&Exame"),
                                      ctrl(Qt::Key_E), {}, &TfrmMain::genExaminationClick);
    genExamination->setVisible(false);
    QAction* n1 = file->addSeparator();
    n1->setObjectName(QStringLiteral("N1"));
    FileExitItem_ = AddItem(file, "FileExitItem", QStringLiteral("&Sair"), ctrl(Qt::Key_S),
                            QStringLiteral("Exit|Exit application"), &TfrmMain::FileExit1Execute);

    QMenu* edit = submenu("Edit1", QStringLiteral("&Exame"), QStringLiteral("Edit commands"));
    QAction* cutItem = AddItem(edit, "CutItem", QStringLiteral("Novo Exame"), ctrl(Qt::Key_N),
                               QStringLiteral("Inicia um novo exame"), &TfrmMain::CutItemClick);
    QAction* copyItem =
        AddItem(edit, "CopyItem", QStringLiteral("&Rever Exame"), ctrl(Qt::Key_R),
                QStringLiteral("Copy|Copies the selection and puts it on the Clipboard"),
                &TfrmMain::CopyItemClick);

    QMenu* cfg = submenu("COnfigura1", QStringLiteral("&Configurações"), {});
    QAction* cmera = AddItem(cfg, "CmeraCaptura1", QStringLiteral("S&istema"), ctrl(Qt::Key_I), {},
                             &TfrmMain::CmeraCaptura1Click);
    QAction* calibracao = AddItem(cfg, "Calibracao", QStringLiteral("&Calibração"), ctrl(Qt::Key_C),
                                  {}, &TfrmMain::CalibracaoClick);
    calibracao->setVisible(false);

    QMenu* help = submenu("Help1", QStringLiteral("&Ajuda"), QStringLiteral("Help topics"));
    QAction* about = AddItem(help, "HelpAboutItem", QStringLiteral("&Sobre"), {},
                             QStringLiteral("About|Shows the program's version and the "
                                            "database version"),
                             &TfrmMain::HelpAboutItemClick);
    AddItem(help, "Help", QStringLiteral("Ajuda do Endomira"), {}, {}, &TfrmMain::HelpClick);

    MenuCommands_ = {gerDoctor, gerPatient, cutItem, copyItem, cmera, about, FileExitItem_};

    // A hidden item's shortcut is the way in for the installer (calibration) and for the
    // maintenance of stored exams. The toolkit ignores the shortcuts of hidden items, so they
    // are bound here; they answer only while no child window is open, so that Ctrl+C and
    // Ctrl+E keep their meaning inside the child windows' edits and grids.
    const std::pair<QAction*, void (TfrmMain::*)()> hiddenItems[] = {
        {genExamination, &TfrmMain::genExaminationClick},
        {calibracao, &TfrmMain::CalibracaoClick},
    };
    for (const auto& [hidden, handler] : hiddenItems) {
        auto* shortcut = new QShortcut(hidden->shortcut(), this);
        shortcut->setObjectName(hidden->objectName() + QStringLiteral("Shortcut"));
        connect(shortcut, &QShortcut::activated, this, [this, handler = handler] {
            if (HiddenShortcutsAnswer()) {
                (this->*handler)();
            }
        });
        HiddenShortcuts_.push_back(shortcut);
    }
}

bool TfrmMain::HiddenShortcutsAnswer() const {
    return Workspace_->subWindowList().isEmpty() && StartupState_ == TStartupState::Ready;
}

void TfrmMain::UpdateHiddenShortcuts() {
    // Disabled rather than ignored, so that the key reaches the child window.
    const bool bare = HiddenShortcutsAnswer();
    for (QShortcut* shortcut : HiddenShortcuts_) {
        shortcut->setEnabled(bare);
    }
}

void TfrmMain::BuildHome() {
    // The entry buttons sit on the workspace's background, under the child windows: a maximised
    // child covers them.
    Home_ = new QWidget(Workspace_->viewport());
    Home_->setObjectName(QStringLiteral("Home"));
    Workspace_->viewport()->installEventFilter(this);

    auto* layout = new QVBoxLayout(Home_);
    layout->setContentsMargins(40, 28, 40, 16);
    layout->setSpacing(18);

    Image1_ = new QLabel(Home_);
    Image1_->setObjectName(QStringLiteral("Image1"));
    Image1_->setFixedHeight(46);
    layout->addWidget(Image1_);

    auto* titleRow = new QHBoxLayout;
    titleRow->addStretch();
    auto* image2 = new QLabel(Home_);
    image2->setObjectName(QStringLiteral("Image2"));
    image2->setPixmap(CellsLogo(110));
    titleRow->addWidget(image2);
    titleRow->addSpacing(18);
    auto* titleColumn = new QVBoxLayout;
    auto* title = new QLabel(QStringLiteral("Endomira"), Home_);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = title->font();
    titleFont.setPointSize(30);
    titleFont.setBold(true);
    title->setFont(titleFont);
    QPalette titlePalette = title->palette();
    titlePalette.setColor(QPalette::WindowText, kHeadingColour);
    title->setPalette(titlePalette);
    auto* subtitle =
        new QLabel(QStringLiteral("Microscopia especular do endotélio corneano"), Home_);
    subtitle->setObjectName(QStringLiteral("lblSubtitle"));
    QFont subtitleFont = subtitle->font();
    subtitleFont.setPointSize(13);
    subtitle->setFont(subtitleFont);
    subtitle->setPalette(titlePalette);
    titleColumn->addStretch();
    titleColumn->addWidget(title);
    titleColumn->addWidget(subtitle);
    titleColumn->addStretch();
    titleRow->addLayout(titleColumn);
    titleRow->addStretch();
    layout->addLayout(titleRow);
    layout->addSpacing(12);

    struct Group {
        const char* Heading;
        QString Caption;
        const char* Bevel;
        std::array<std::pair<const char*, QString>, 2> Buttons;
        std::array<void (TfrmMain::*)(), 2> Handlers;
    };
    const Group groups[] = {
        {"Label1",
         QStringLiteral("Cadastro"),
         "Bevel3",
         {{{"SpeedButton1", QStringLiteral("Médicos")},
           {"SpeedButton2", QStringLiteral("Pacientes")}}},
         {&TfrmMain::SpeedButton1Click, &TfrmMain::SpeedButton2Click}},
        {"Label2",
         QStringLiteral("Exames"),
         "Bevel4",
         {{{"SpeedButton3", QStringLiteral("Novo Exame")},
           {"SpeedButton4", QStringLiteral("Rever Exame")}}},
         {&TfrmMain::SpeedButton3Click, &TfrmMain::SpeedButton4Click}},
    };
    auto* groupsRow = new QHBoxLayout;
    groupsRow->setSpacing(48);
    groupsRow->addStretch();
    std::size_t buttonIndex = 0;
    for (const Group& group : groups) {
        auto* column = new QVBoxLayout;
        column->setSpacing(6);
        column->addWidget(Heading(group.Caption, group.Heading, Home_));
        auto* bevel = new QFrame(Home_);
        bevel->setObjectName(QString::fromLatin1(group.Bevel));
        bevel->setFrameShape(QFrame::StyledPanel);
        bevel->setFrameShadow(QFrame::Sunken);
        bevel->setAutoFillBackground(true);
        QPalette bevelPalette = bevel->palette();
        bevelPalette.setColor(QPalette::Window, QColor(245, 248, 252));
        bevel->setPalette(bevelPalette);
        auto* buttons = new QHBoxLayout(bevel);
        buttons->setContentsMargins(18, 18, 18, 18);
        buttons->setSpacing(18);
        for (std::size_t i = 0; i < 2; ++i) {
            auto* button = new QPushButton(group.Buttons[i].second, bevel);
            button->setObjectName(QString::fromLatin1(group.Buttons[i].first));
            // Like the speed buttons they stand for, they never take the focus: the space bar
            // belongs to the window (maintenance panel).
            button->setFocusPolicy(Qt::NoFocus);
            button->setMinimumSize(190, 120);
            QFont font = button->font();
            font.setPointSize(15);
            font.setBold(true);
            button->setFont(font);
            const auto handler = group.Handlers[i];
            connect(button, &QPushButton::clicked, this, [this, handler] { (this->*handler)(); });
            buttons->addWidget(button);
            SpeedButtons_[buttonIndex++] = button;
        }
        column->addWidget(bevel);
        groupsRow->addLayout(column);
    }
    groupsRow->addStretch();
    layout->addLayout(groupsRow);
    layout->addStretch();

    BuildMaintenancePanel(Home_);

    Image3_ = new QLabel(Home_);
    Image3_->setObjectName(QStringLiteral("Image3"));
    Image3_->setFixedHeight(22);
    layout->addWidget(Image3_);

    Home_->lower();
    LayoutHome();
}

void TfrmMain::BuildMaintenancePanel(QWidget* home) {
    Panel1_ = new QFrame(home);
    Panel1_->setObjectName(QStringLiteral("Panel1"));
    Panel1_->setFrameShape(QFrame::Panel);
    Panel1_->setFrameShadow(QFrame::Raised);
    Panel1_->setAutoFillBackground(true);
    Panel1_->installEventFilter(this);

    auto* grid = new QGridLayout(Panel1_);
    auto* caption =
        new QLabel(QStringLiteral("Câmera Auxiliar             Câmera Principal"), Panel1_);
    caption->setObjectName(QStringLiteral("Lbl_Apagar"));
    grid->addWidget(caption, 0, 0, 1, 2);

    auto* auxBevel = new QFrame(Panel1_);
    auxBevel->setObjectName(QStringLiteral("Bevel1"));
    auxBevel->setFrameShape(QFrame::Box);
    auto* auxLayout = new QVBoxLayout(auxBevel);
    AuxFlipHorizontal_ = new QCheckBox(QStringLiteral("Flip Horizontal"), auxBevel);
    AuxFlipHorizontal_->setObjectName(QStringLiteral("Chk_AuxFlip_Horizontal"));
    AuxFlipVertical_ = new QCheckBox(QStringLiteral("Flip Vertical"), auxBevel);
    AuxFlipVertical_->setObjectName(QStringLiteral("Chk_AuxFlip_Vert"));
    AuxFlipVertical_->setChecked(true);
    auxLayout->addWidget(AuxFlipHorizontal_);
    auxLayout->addWidget(AuxFlipVertical_);
    grid->addWidget(auxBevel, 1, 0);

    auto* mainBevel = new QFrame(Panel1_);
    mainBevel->setObjectName(QStringLiteral("Bevel2"));
    mainBevel->setFrameShape(QFrame::Box);
    auto* mainLayout = new QVBoxLayout(mainBevel);
    MainFlipHorizontal_ = new QCheckBox(QStringLiteral("Flip Horizontal"), mainBevel);
    MainFlipHorizontal_->setObjectName(QStringLiteral("Chk_PrinFlip_Horizontal"));
    mainLayout->addWidget(MainFlipHorizontal_);
    mainLayout->addStretch();
    grid->addWidget(mainBevel, 1, 1);

    BtnPac1_ = new QPushButton(QStringLiteral("Alter Table"), Panel1_);
    BtnPac1_->setObjectName(QStringLiteral("Btn_Pac_1"));
    connect(BtnPac1_, &QPushButton::clicked, this, &TfrmMain::Btn_Pac_1Click);
    grid->addWidget(BtnPac1_, 2, 0, 1, 2, Qt::AlignLeft);

    Panel1_->adjustSize();
    Panel1_->hide();
}

void TfrmMain::LayoutHome() {
    if (Home_ == nullptr) {
        return;
    }
    Home_->setGeometry(Workspace_->viewport()->rect());
    Panel1_->move(16, Home_->height() - Panel1_->height() - 40);
    // The bands are drawn to the width they get, so that their cells keep their shape.
    const QMargins margins = Home_->layout()->contentsMargins();
    const int bandWidth = std::max(1, Home_->width() - margins.left() - margins.right());
    if (Image1_->pixmap().width() != bandWidth) {
        Image1_->setPixmap(CellsBand(QSize(bandWidth, Image1_->height())));
        Image3_->setPixmap(CellsBand(QSize(bandWidth, Image3_->height())));
    }
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Workspace_->viewport() && event->type() == QEvent::Resize) {
        LayoutHome();
    } else if (watched == Workspace_->viewport() &&
               (event->type() == QEvent::ChildAdded || event->type() == QEvent::ChildRemoved)) {
        // A child window came or went; the workspace's list is up to date once this returns.
        QTimer::singleShot(0, this, &TfrmMain::UpdateHiddenShortcuts);
    } else if (watched == Panel1_ && event->type() == QEvent::MouseButtonDblClick) {
        Panel1DblClick();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::SetChildFactory(TChildKind kind, TChildFactory factory) {
    Factories_[kind] = std::move(factory);
}

bool TfrmMain::IsFormOpen(const QString& name) {
    const auto widgets = QApplication::allWidgets();
    for (QWidget* widget : widgets) {
        if (widget->objectName() != name) {
            continue;
        }
        if (widget->isWindow() || qobject_cast<QMdiSubWindow*>(widget->parentWidget()) != nullptr) {
            return true;
        }
    }
    return false;
}

void TfrmMain::DisableMenus() {
    for (QAction* action : MenuCommands_) {
        action->setEnabled(false);
    }
}

void TfrmMain::EnableMenus() {
    if (StartupState_ != TStartupState::Ready) {
        // After a failed start only "Sair" works, whatever a child window asks.
        FileExitItem_->setEnabled(true);
        return;
    }
    for (QAction* action : MenuCommands_) {
        action->setEnabled(true);
    }
}

QString TfrmMain::AbbreviateName(const QString& name) {
    return endomira::AbbreviateName(name);
}

QMdiSubWindow* TfrmMain::AddChildWindow(QWidget* form, TChildPlacement placement) {
    form->setAttribute(Qt::WA_DeleteOnClose);
    QMdiSubWindow* sub = Workspace_->addSubWindow(form);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->setObjectName(form->objectName() + QStringLiteral("Frame"));
    sub->setWindowIcon(windowIcon());
    if (placement == TChildPlacement::Maximised) {
        sub->showMaximized();
    } else {
        // A centred child keeps its size: it is a dialog, not a workspace.
        sub->setWindowFlags(Qt::SubWindow | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                            Qt::WindowCloseButtonHint);
        sub->adjustSize();
        sub->setFixedSize(sub->sizeHint());
        const QRect area = Workspace_->viewport()->rect();
        sub->move(std::max(0, (area.width() - sub->width()) / 2),
                  std::max(0, (area.height() - sub->height()) / 2));
        sub->show();
    }
    sub->setFocus();
    return sub;
}

bool TfrmMain::AuxFlipHorizontal() const {
    return AuxFlipHorizontal_->isChecked();
}

bool TfrmMain::AuxFlipVertical() const {
    return AuxFlipVertical_->isChecked();
}

bool TfrmMain::MainFlipHorizontal() const {
    return MainFlipHorizontal_->isChecked();
}

void TfrmMain::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!Shown_) {
        Shown_ = true;
        FormShow();
    }
}

void TfrmMain::FormShow() {
    if (Database_ == nullptr) {
        ShowMessageBox(QStringLiteral("O módulo de dados não foi criado."), QStringLiteral("Erro"));
        StartupState_ = TStartupState::NoDatabase;
    } else {
        StartupState_ = RunStartup(ProgramFolder_, *Database_);
    }
    if (StartupState_ != TStartupState::Ready) {
        ApplyExitOnly();
    }
    UpdateHiddenShortcuts();
}

void TfrmMain::ApplyExitOnly() {
    for (QAction* action : AllItems_) {
        action->setEnabled(action == FileExitItem_);
    }
    for (QPushButton* button : SpeedButtons_) {
        button->setEnabled(false);
    }
    BtnPac1_->setEnabled(false);
    statusBar()->showMessage(StartupState_ == TStartupState::NoSettings
                                 ? QStringLiteral("Configurações não carregadas: use Sair.")
                                 : QStringLiteral("Banco de dados não conectado: use Sair."));
}

void TfrmMain::keyPressEvent(QKeyEvent* event) {
    // Only the bare main window answers: inside a child window the space bar is the child's.
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier &&
        Workspace_->subWindowList().isEmpty()) {
        Panel1_->setVisible(!Panel1_->isVisible());
        if (Panel1_->isVisible()) {
            LayoutHome();
            Panel1_->raise();
        }
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void TfrmMain::Panel1DblClick() {
    Panel1_->hide();
}

void TfrmMain::FileExit1Execute() {
    if (ShowMessageDlg(QStringLiteral("Deseja sair do programa ?"), TMsgKind::Confirmation,
                       mbYes | mbNo) == mbYes) {
        close();
    }
}

void TfrmMain::OpenChild(TChildKind kind, TChildPlacement placement, bool disableMenus) {
    const auto found = Factories_.find(kind);
    if (found == Factories_.end() || !found->second) {
        return;
    }
    if (disableMenus) {
        DisableMenus();
    }
    if (QWidget* form = found->second(*this)) {
        AddChildWindow(form, placement);
    }
}

bool TfrmMain::ExaminationOpen(const QString& message) {
    if (!IsFormOpen(kExaminationWindow)) {
        return false;
    }
    ShowMessageBox(message, QStringLiteral("Aviso"));
    return true;
}

void TfrmMain::gerDoctorClick() {
    OpenChild(TChildKind::DoctorManager, TChildPlacement::Maximised, true);
}

void TfrmMain::gerPatientClick() {
    OpenChild(TChildKind::PatientManager, TChildPlacement::Maximised, true);
}

void TfrmMain::genExaminationClick() {
    OpenChild(TChildKind::ExamReviewManager, TChildPlacement::Maximised, false);
}

void TfrmMain::CutItemClick() {
    if (Factories_.count(TChildKind::ExaminationManager) == 0) {
        return;
    }
    DisableMenus();
    if (ExaminationOpen(kNewExamOpen)) {
        return;
    }
    OpenChild(TChildKind::ExaminationManager, TChildPlacement::Maximised, false);
}

void TfrmMain::CopyItemClick() {
    if (Factories_.count(TChildKind::ExamReviewManager) == 0) {
        return;
    }
    DisableMenus();
    if (ExaminationOpen(kCloseExam)) {
        return;
    }
    OpenChild(TChildKind::ExamReviewManager, TChildPlacement::Maximised, false);
}

void TfrmMain::CmeraCaptura1Click() {
    DisableMenus();
    if (ExaminationOpen(kCloseExam)) {
        return;
    }
    if (CfgDialog_ != nullptr && CfgDialog_->IsOpen()) {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(CfgDialog_->parentWidget())) {
            Workspace_->setActiveSubWindow(sub);
        }
        CfgDialog_->show();
        CfgDialog_->activateWindow();
        return;
    }
    CfgDialog_ = new TfrmCfgCamCap;
    AddChildWindow(CfgDialog_, TChildPlacement::Centred);
}

void TfrmMain::CalibracaoClick() {
    OpenChild(TChildKind::Calibration, TChildPlacement::Centred, false);
}

void TfrmMain::HelpAboutItemClick() {
    DisableMenus();
    if (ExaminationOpen(kCloseExam)) {
        return;
    }
    TfrmAbout about(Database_, this);
    about.exec();
}

void TfrmMain::HelpClick() {
    // The help document is whatever file bears this name in the working folder; without it, or
    // without a program for it on the desktop, nothing is reported.
    const QString path = QDir::current().absoluteFilePath(QStringLiteral("AjudaEndomira.chm"));
    if (QFileInfo::exists(path)) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(path));
    }
}

void TfrmMain::Btn_Pac_1Click() {
    if (Database_ == nullptr) {
        return;
    }
    try {
        Database_->AlterPatientTable();
    } catch (const TShellDatabaseError& error) {
        ShowMessageBox(error.Text(), QStringLiteral("Erro"));
    }
}

} // namespace endomira
