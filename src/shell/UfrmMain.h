#pragma once

#include "MainMenus.h"
#include "ProgramFolder.h"
#include "ShellStartup.h"

#include <QMainWindow>
#include <QPointer>
#include <functional>
#include <map>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class QPushButton;
class QShortcut;

namespace endomira {

class IShellDatabase;
class TfrmCfgCamCap;

// The windows that the main window opens through factories: the calibration window is set by
// the main window itself; the managers are set as their subsystems provide them.
enum class TChildKind {
    DoctorManager,
    PatientManager,
    ExaminationManager,
    ExamReviewManager,
    Calibration,
};

// How a child window sits in the workspace.
enum class TChildPlacement { Maximised, Centred };

// The program's frame: a maximised multi-document window with the main menu, the four entry
// buttons, the hidden maintenance panel and the status bar that shows the long hint of the menu
// item under the mouse. On its first show it loads the settings and opens the database.
class TfrmMain final : public QMainWindow, public IMainMenus {
    Q_OBJECT

public:
    // Creates a child window for the workspace; nullptr when the window placed itself.
    using TChildFactory = std::function<QWidget*(TfrmMain&)>;

    explicit TfrmMain(QString programFolder = ProgramFolder(), QWidget* parent = nullptr);
    ~TfrmMain() override;

    // The data module's services; set before the first show.
    void SetDatabase(IShellDatabase* database) { Database_ = database; }
    // Until a factory is set, the command of that window does nothing.
    void SetChildFactory(TChildKind kind, TChildFactory factory);

    // True when a window of the program exists whose name is exactly this one.
    static bool IsFormOpen(const QString& name);
    void DisableMenus() override;
    void EnableMenus() override;
    static QString AbbreviateName(const QString& name);

    // Hosts a child in the workspace; the child is freed when its window closes.
    QMdiSubWindow* AddChildWindow(QWidget* form, TChildPlacement placement);
    QMdiArea* Workspace() const { return Workspace_; }

    TStartupState StartupState() const { return StartupState_; }

    // The camera flip switches of the maintenance panel, read when an examination starts.
    bool AuxFlipHorizontal() const;
    bool AuxFlipVertical() const;
    bool MainFlipHorizontal() const;

    // Event handlers, named after their controls.
    void FormShow();
    void Panel1DblClick();
    void FileExit1Execute();
    void gerDoctorClick();
    void gerPatientClick();
    void genExaminationClick();
    void CutItemClick();
    void CopyItemClick();
    void CmeraCaptura1Click();
    void CalibracaoClick();
    void HelpAboutItemClick();
    void HelpClick();
    void SpeedButton1Click() { gerDoctorClick(); }
    void SpeedButton2Click() { gerPatientClick(); }
    void SpeedButton3Click() { CutItemClick(); }
    void SpeedButton4Click() { CopyItemClick(); }
    void Btn_Pac_1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenu();
    void BuildHome();
    void BuildMaintenancePanel(QWidget* home);
    QAction* AddItem(QMenu* menu, const char* name, const QString& caption,
                     const QKeySequence& shortcut, const QString& hint,
                     void (TfrmMain::*handler)());
    void OpenChild(TChildKind kind, TChildPlacement placement, bool disableMenus);
    // The examination window is open: shows the message and tells the command to stop.
    bool ExaminationOpen(const QString& message);
    // After a failed start only "Sair" is left.
    void ApplyExitOnly();
    void LayoutHome();
    // The hidden items' shortcuts answer only on the bare main window of a good start.
    // The hidden items' shortcuts answer only on a bare main window after a successful start.
    bool HiddenShortcutsAnswer() const;
    void UpdateHiddenShortcuts();

    QString ProgramFolder_;
    IShellDatabase* Database_ = nullptr;
    TStartupState StartupState_ = TStartupState::NoSettings;
    bool Shown_ = false;
    std::map<TChildKind, TChildFactory> Factories_;
    QPointer<TfrmCfgCamCap> CfgDialog_;

    QMdiArea* Workspace_ = nullptr;
    QWidget* Home_ = nullptr;
    QLabel* Image1_ = nullptr;
    QLabel* Image3_ = nullptr;
    QFrame* Panel1_ = nullptr;
    QCheckBox* AuxFlipHorizontal_ = nullptr;
    QCheckBox* AuxFlipVertical_ = nullptr;
    QCheckBox* MainFlipHorizontal_ = nullptr;
    QPushButton* BtnPac1_ = nullptr;
    std::array<QPushButton*, 4> SpeedButtons_{};
    // The seven commands that a working child window disables.
    std::vector<QAction*> MenuCommands_;
    std::vector<QAction*> AllItems_;
    std::vector<QShortcut*> HiddenShortcuts_;
    QAction* FileExitItem_ = nullptr;
};

} // namespace endomira
