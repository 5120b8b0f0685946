// The shell's windows driven as the operator drives them, offscreen, against a real database:
// start-up, the menu around child windows, the guards, exit, the maintenance panel, the system
// configuration dialog and the about box. Boxes go to the message recorder.
//
// With ENDOMIRA_SHOT_DIR set, the dialog's pages and the about box are saved there as pictures.

#include "ShellWindows.h"
#include "DataModuleShellDatabase.h"
#include "FileVersion.h"
#include "IniFile.h"
#include "MessageService.h"
#include "RealText.h"
#include "ShellMainFixture.h"
#include "UBIniSettings.h"
#include "UDataModule1.h"
#include "UFrmCalibracao.h"
#include "UfrmAbout.h"
#include "UfrmCfgCamCap.h"
#include "UfrmMain.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QShortcut>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QtTest>
#include <functional>
#include <memory>

using namespace endomira;
using shelltest::ProcessDeletes;

namespace {

const QStringList kSevenCommands = {
    QStringLiteral("gerDoctor"),   QStringLiteral("gerPatient"),    QStringLiteral("CutItem"),
    QStringLiteral("CopyItem"),    QStringLiteral("CmeraCaptura1"), QStringLiteral("HelpAboutItem"),
    QStringLiteral("FileExitItem")};

// Runs `inspect` on the modal dialog that `open` shows, then closes it; a dialog that never
// comes is reported instead of hanging the test.
bool WithModal(const std::function<void()>& open, const std::function<void(QWidget*)>& inspect) {
    bool seen = false;
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            seen = true;
            inspect(modal);
            modal->close();
        }
    });
    open();
    return seen;
}

} // namespace

class ShellWindowsTest : public QObject, private shelltest::TMainWindowFixture {
    Q_OBJECT

private:
    // A main window over the fixture's folder, shown (which runs the start-up).
    TfrmMain& StartMain() {
        Main = std::make_unique<TfrmMain>(Folder->Path());
        Main->SetDatabase(Database.get());
        Main->resize(1280, 1000);
        Main->show();
        return *Main;
    }
    QAction* Item(const QString& name) const { return Main->findChild<QAction*>(name); }
    QPushButton* Button(const QString& name) const { return Main->findChild<QPushButton*>(name); }
    QStringList EnabledCommands() const {
        QStringList enabled;
        for (const QString& name : kSevenCommands) {
            if (Item(name)->isEnabled()) {
                enabled << name;
            }
        }
        return enabled;
    }
    QStringList Titles() const {
        QStringList texts;
        for (const TMessage& m : Boxes->Shown()) {
            texts << m.Text;
        }
        return texts;
    }
    QString IniValue(const char* section, const char* key) const {
        return TIniFile(Folder->IniPath())
            .Read(QString::fromLatin1(section), QString::fromLatin1(key))
            .value_or(QStringLiteral("<missing>"));
    }
    // A configuration dialog on its own, over the fixture's settings.
    QPointer<TfrmCfgCamCap> OpenCfg() {
        SetProgramSettings(std::make_unique<TBIniSettings>(Folder->Path()));
        auto* dialog = new TfrmCfgCamCap;
        dialog->show();
        return dialog;
    }
    static QLineEdit* Edit(QWidget* dialog, const char* name) {
        return dialog->findChild<QLineEdit*>(QString::fromLatin1(name));
    }
    static void Type(QLineEdit* edit, const QString& text) {
        edit->clear();
        QTest::keyClicks(edit, text);
    }
    static bool ApplyOn(QWidget* d) {
        return d->findChild<QPushButton*>(QStringLiteral("btnApply"))->isEnabled();
    }
    static bool OkOn(QWidget* d) {
        return d->findChild<QPushButton*>(QStringLiteral("btnOK"))->isEnabled();
    }
    static void Click(QWidget* d, const char* name) {
        QTest::mouseClick(d->findChild<QPushButton*>(QString::fromLatin1(name)), Qt::LeftButton);
    }

private slots:
    void init() { QVERIFY(OpenMainFixture()); }
    void cleanup() { CloseMainFixture(); }

    void startsWithSettingsAndDatabase() {
        Folder->CreateDatabase();
        TfrmMain& main = StartMain();
        QCOMPARE(main.StartupState(), TStartupState::Ready);
        QCOMPARE(Titles(), QStringList());
        QCOMPARE(main.windowTitle(), QStringLiteral("Endomira"));
        QVERIFY(ProgramSettings() != nullptr);
        QVERIFY(DataModule->Connected());
        QVERIFY(DataModule->ListActive(TDataModule1::TList::Patients));
        QCOMPARE(EnabledCommands(), kSevenCommands);
        for (const char* name : {"SpeedButton1", "SpeedButton2", "SpeedButton3", "SpeedButton4"}) {
            QVERIFY(Button(QString::fromLatin1(name))->isEnabled());
        }
    }

    void startFailureLeavesOnlyExit_data() {
        QTest::addColumn<QString>("badIni");
        QTest::addColumn<bool>("createDatabase");
        QTest::addColumn<QString>("expected");
        QTest::newRow("settings key")
            << QStringLiteral("sd=trinta") << true << QStringLiteral("sd");
        QTest::newRow("no database file") << QString() << false << QStringLiteral("No such file");
    }
    void startFailureLeavesOnlyExit() {
        QFETCH(QString, badIni);
        QFETCH(bool, createDatabase);
        QFETCH(QString, expected);
        if (createDatabase) {
            Folder->CreateDatabase();
        }
        if (!badIni.isEmpty()) {
            Folder->WriteIni(shelltest::FullIni().replace(QStringLiteral("sd=30.00"), badIni));
        }
        TfrmMain& main = StartMain();
        QVERIFY(main.StartupState() != TStartupState::Ready);
        QCOMPARE(Boxes->Shown().size(), std::size_t{1});
        QCOMPARE(Boxes->Shown()[0].Title, QStringLiteral("Erro"));
        QVERIFY2(Boxes->Shown()[0].Text.contains(expected), qPrintable(Boxes->Shown()[0].Text));
        QVERIFY(main.isVisible());
        QCOMPARE(EnabledCommands(), QStringList{QStringLiteral("FileExitItem")});
        main.EnableMenus(); // a child closing cannot bring the commands back
        QCOMPARE(EnabledCommands(), QStringList{QStringLiteral("FileExitItem")});
        for (const char* name :
             {"SpeedButton1", "SpeedButton2", "SpeedButton3", "SpeedButton4", "Btn_Pac_1"}) {
            QVERIFY(!Button(QString::fromLatin1(name))->isEnabled());
        }
        QVERIFY(!Item(QStringLiteral("Help"))->isEnabled());
        // Exit still works.
        Item(QStringLiteral("FileExitItem"))->trigger();
        QVERIFY(!main.isVisible());
    }

    void menuCaptionsShortcutsAndHints() {
        Folder->CreateDatabase();
        TfrmMain& main = StartMain();
        const struct {
            const char* Name;
            QString Caption;
            QKeySequence Shortcut;
            bool Visible;
            QString StatusTip;
        } items[] = {
            {"gerDoctor", QStringLiteral("&Médico"), QKeySequence(QStringLiteral("Ctrl+M")), true,
             QStringLiteral("Acessa opções de gerenciamento de médico(s)")},
            {"gerPatient", QStringLiteral("Pacien&te"), QKeySequence(QStringLiteral("Ctrl+T")),
             true, QStringLiteral("Open a file")},
            {"genExamination", QStringLiteral("&Exame"), QKeySequence(QStringLiteral("Ctrl+E")),
             false, QString()},
            {"FileExitItem", QStringLiteral("&Sair"), QKeySequence(QStringLiteral("Ctrl+S")), true,
             QStringLiteral("Exit application")},
            {"CutItem", QStringLiteral("Novo Exame"), QKeySequence(QStringLiteral("Ctrl+N")), true,
             QStringLiteral("Inicia um novo exame")},
            {"CopyItem", QStringLiteral("&Rever Exame"), QKeySequence(QStringLiteral("Ctrl+R")),
             true, QStringLiteral("Copies the selection and puts it on the Clipboard")},
            {"CmeraCaptura1", QStringLiteral("S&istema"), QKeySequence(QStringLiteral("Ctrl+I")),
             true, QString()},
            {"Calibracao", QStringLiteral("&Calibração"), QKeySequence(QStringLiteral("Ctrl+C")),
             false, QString()},
            {"Help", QStringLiteral("Ajuda do Endomira"), QKeySequence(), true, QString()},
        };
        for (const auto& item : items) {
            QAction* action = Item(QString::fromLatin1(item.Name));
            QVERIFY2(action != nullptr, item.Name);
            QCOMPARE(action->text(), item.Caption);
            QCOMPARE(action->shortcut(), item.Shortcut);
            QCOMPARE(action->isVisible(), item.Visible);
            QCOMPARE(action->statusTip(), item.StatusTip);
        }
        QCOMPARE(Item(QStringLiteral("gerPatient"))->toolTip(), QStringLiteral("Open"));
        const QStringList menus = {QStringLiteral("&Gerenciador"), QStringLiteral("&Exame"),
                                   QStringLiteral("&Configurações"), QStringLiteral("&Ajuda")};
        QStringList shown;
        for (QAction* a : main.menuBar()->actions()) {
            shown << a->text();
        }
        QCOMPARE(shown, menus);
        // No help document in the working folder: nothing is reported.
        QVERIFY(!QFileInfo::exists(QStringLiteral("AjudaEndomira.chm")));
        Item(QStringLiteral("Help"))->trigger();
        QCOMPARE(Titles(), QStringList());

        // The long hint of the item under the mouse goes to the status bar; an item without a
        // hint clears it.
        auto* file = main.findChild<QMenu*>(QStringLiteral("File1"));
        file->popup(main.mapToGlobal(QPoint(10, 10)));
        QVERIFY(QTest::qWaitForWindowExposed(file));
        QTest::mouseMove(file, file->actionGeometry(Item(QStringLiteral("gerPatient"))).center());
        QTRY_COMPARE(main.statusBar()->currentMessage(), QStringLiteral("Open a file"));
        file->hide();
        auto* cfg = main.findChild<QMenu*>(QStringLiteral("COnfigura1"));
        cfg->popup(main.mapToGlobal(QPoint(10, 10)));
        QVERIFY(QTest::qWaitForWindowExposed(cfg));
        QTest::mouseMove(cfg, cfg->actionGeometry(Item(QStringLiteral("CmeraCaptura1"))).center());
        QTRY_COMPARE(main.statusBar()->currentMessage(), QString());
        cfg->hide();
    }

    void configurationDialogAroundTheMenu() {
        Folder->CreateDatabase();
        TfrmMain& main = StartMain();
        QApplication::setActiveWindow(&main);
        QTest::keyClick(&main, Qt::Key_I, Qt::ControlModifier);
        QPointer<TfrmCfgCamCap> dialog = main.findChild<TfrmCfgCamCap*>();
        QVERIFY(dialog != nullptr);
        QVERIFY(dialog->IsOpen());
        QCOMPARE(EnabledCommands(), QStringList());
        auto* sub = qobject_cast<QMdiSubWindow*>(dialog->parentWidget());
        QVERIFY(sub != nullptr);
        QVERIFY(!sub->isMaximized());
        // Opened again while open: the same dialog comes forward.
        main.CmeraCaptura1Click();
        QCOMPARE(main.findChildren<TfrmCfgCamCap*>().size(), 1);
        QCOMPARE(main.findChild<TfrmCfgCamCap*>(), dialog.data());
        shelltest::Shot(&main, QStringLiteral("main-configuracao"));
        // Space belongs to the child window, not to the maintenance panel.
        QTest::keyClick(&main, Qt::Key_Space);
        QVERIFY(!main.findChild<QFrame*>(QStringLiteral("Panel1"))->isVisible());
        Click(dialog, "btnOK");
        ProcessDeletes();
        QVERIFY(dialog.isNull());
        QCOMPARE(main.Workspace()->subWindowList().size(), 0);
        QCOMPARE(EnabledCommands(), kSevenCommands);
        QCOMPARE(Titles(), QStringList());
        // A new one is created the next time.
        main.CmeraCaptura1Click();
        QVERIFY(main.findChild<TfrmCfgCamCap*>() != nullptr);
    }

    void aboutBoxShowsTheVersions() {
        Folder->CreateDatabase();
        StartMain();
        QStringList during;
        const bool seen =
            WithModal([&] { Item(QStringLiteral("HelpAboutItem"))->trigger(); },
                      [&](QWidget* about) {
                          during = EnabledCommands();
                          QCOMPARE(about->windowTitle(), QStringLiteral("Sobre"));
                          const auto text = [about](const char* name) {
                              return about->findChild<QLabel*>(QString::fromLatin1(name))->text();
                          };
                          QCOMPARE(text("lbl_Abt_Soft_Value"),
                                   QStringLiteral("Versão: ") + GetFileVersionText());
                          QCOMPARE(text("Lbl_Abt_Hard_Value"), QStringLiteral("Versão: 0.0.0.0"));
                          QCOMPARE(text("Lbl_Abt_DB_Value"), QStringLiteral("Versão: 1.1.0.0"));
                          shelltest::Shot(about, QStringLiteral("about"));
                      });
        QVERIFY(seen);
        QCOMPARE(during, QStringList());
        QCOMPARE(EnabledCommands(), kSevenCommands);
    }

    void windowsOfLaterSubsystems() {
        Folder->CreateDatabase();
        TfrmMain& main = StartMain();
        // Until their windows exist these commands show nothing and leave the menu usable.
        for (const char* name : {"gerDoctor", "gerPatient", "CutItem", "CopyItem"}) {
            Item(QString::fromLatin1(name))->trigger();
        }
        QApplication::setActiveWindow(&main);
        QTest::keyClick(&main, Qt::Key_E, Qt::ControlModifier); // the hidden exam review item
        for (const char* name : {"SpeedButton1", "SpeedButton2", "SpeedButton3", "SpeedButton4"}) {
            QTest::mouseClick(Button(QString::fromLatin1(name)), Qt::LeftButton);
        }
        QCOMPARE(main.Workspace()->subWindowList().size(), 0);
        QCOMPARE(EnabledCommands(), kSevenCommands);
        QCOMPARE(Titles(), QStringList());

        // A manager window is hosted maximised with the menu disabled until it closes.
        main.SetChildFactory(TChildKind::PatientManager, [](TfrmMain&) {
            auto* form = new QWidget;
            form->setObjectName(QStringLiteral("frmPatientManager"));
            return form;
        });
        QTest::mouseClick(Button(QStringLiteral("SpeedButton2")), Qt::LeftButton);
        QCOMPARE(main.Workspace()->subWindowList().size(), 1);
        QVERIFY(main.Workspace()->subWindowList()[0]->isMaximized());
        QVERIFY(TfrmMain::IsFormOpen(QStringLiteral("frmPatientManager")));
        QVERIFY(!TfrmMain::IsFormOpen(QStringLiteral("frmpatientmanager")));
        QCOMPARE(EnabledCommands(), QStringList());
        endomira::EnableMenus(); // what the manager does when it closes
        QCOMPARE(EnabledCommands(), kSevenCommands);
    }

    void recordManagersAroundTheMenu() {
        Folder->CreateDatabase();
        TfrmMain& main = StartMain();
        ConnectRecordWindows(main, *DataModule);
        const struct {
            std::function<void()> Command;
            const char* Window;
        } cases[] = {
            {[&] { Item(QStringLiteral("gerDoctor"))->trigger(); }, "frmDoctorManager"},
            {[&] { QTest::mouseClick(Button(QStringLiteral("SpeedButton1")), Qt::LeftButton); },
             "frmDoctorManager"},
            {[&] { Item(QStringLiteral("gerPatient"))->trigger(); }, "frmPatientManager"},
            {[&] { QTest::mouseClick(Button(QStringLiteral("SpeedButton2")), Qt::LeftButton); },
             "frmPatientManager"},
        };
        for (const auto& c : cases) {
            c.Command();
            QCOMPARE(main.Workspace()->subWindowList().size(), 1);
            QMdiSubWindow* sub = main.Workspace()->subWindowList()[0];
            QVERIFY(sub->isMaximized());
            QCOMPARE(sub->widget()->objectName(), QString::fromLatin1(c.Window));
            QCOMPARE(EnabledCommands(), QStringList());
            sub->close();
            ProcessDeletes();
            QCOMPARE(main.Workspace()->subWindowList().size(), 0);
            QCOMPARE(EnabledCommands(), kSevenCommands);
        }
        QCOMPARE(Titles(), QStringList());
    }

    void calibrationThroughTheHiddenCommand() {
        Folder->CreateDatabase();
        TfrmMain& main = StartMain();
        QApplication::setActiveWindow(&main);
        // The hidden item's shortcut opens the calibration window as a centred child, without
        // touching the menu.
        QTest::keyClick(&main, Qt::Key_C, Qt::ControlModifier);
        QPointer<TfrmCalibration> calibration = main.findChild<TfrmCalibration*>();
        QVERIFY(calibration != nullptr);
        QCOMPARE(main.Workspace()->subWindowList().size(), 1);
        QVERIFY(!main.Workspace()->subWindowList()[0]->isMaximized());
        QCOMPARE(EnabledCommands(), kSevenCommands);
        // With a child window open, Ctrl+C is the child's.
        QCoreApplication::processEvents();
        QVERIFY(!main.findChild<QShortcut*>(QStringLiteral("CalibracaoShortcut"))->isEnabled());
        QTest::keyClick(&main, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(main.findChildren<TfrmCalibration*>().size(), 1);
        calibration->SubWindow()->close(); // the title bar's close button
        ProcessDeletes();
        QVERIFY(calibration.isNull());
        QVERIFY(main.findChild<QShortcut*>(QStringLiteral("CalibracaoShortcut"))->isEnabled());
        main.CalibracaoClick();
        QVERIFY(main.findChild<TfrmCalibration*>() != nullptr);
        QCOMPARE(Titles(), QStringList());
    }

    void guardsWhileAnExaminationIsOpen() {
        Folder->CreateDatabase();
        TfrmMain& main = StartMain();
        int created = 0;
        for (const TChildKind kind :
             {TChildKind::ExaminationManager, TChildKind::ExamReviewManager}) {
            main.SetChildFactory(kind, [&created](TfrmMain&) {
                ++created;
                return new QWidget;
            });
        }
        QWidget examination;
        examination.setObjectName(QStringLiteral("frmExamination"));
        QVERIFY(TfrmMain::IsFormOpen(QStringLiteral("frmExamination")));

        const QString newExam = QStringLiteral("A tela de novo exame já está ativa");
        const QString closeExam = QStringLiteral("Fechar tela de Exame que está ativa");
        const struct {
            std::function<void()> Command;
            QString Message;
        } cases[] = {
            {[&] { Item(QStringLiteral("CutItem"))->trigger(); }, newExam},
            {[&] { QTest::mouseClick(Button(QStringLiteral("SpeedButton3")), Qt::LeftButton); },
             newExam},
            {[&] { Item(QStringLiteral("CopyItem"))->trigger(); }, closeExam},
            {[&] { QTest::mouseClick(Button(QStringLiteral("SpeedButton4")), Qt::LeftButton); },
             closeExam},
            {[&] { Item(QStringLiteral("CmeraCaptura1"))->trigger(); }, closeExam},
            {[&] { Item(QStringLiteral("HelpAboutItem"))->trigger(); }, closeExam},
        };
        for (const auto& c : cases) {
            main.EnableMenus();
            Boxes->Clear();
            const bool modal = WithModal(c.Command, [](QWidget*) {});
            QVERIFY(!modal);
            QCOMPARE(Titles(), QStringList{c.Message});
            QCOMPARE(Boxes->Shown()[0].Title, QStringLiteral("Aviso"));
            // The menu stays disabled until a child window closes.
            QCOMPARE(EnabledCommands(), QStringList());
        }
        QCOMPARE(created, 0);
        QCOMPARE(main.Workspace()->subWindowList().size(), 0);
        QVERIFY(main.findChild<TfrmCfgCamCap*>() == nullptr);
    }

    void exitAsksFirst() {
        Folder->CreateDatabase();
        TfrmMain& main = StartMain();
        Boxes->QueueAnswer(mbNo);
        Item(QStringLiteral("FileExitItem"))->trigger();
        QCOMPARE(Titles(), QStringList{QStringLiteral("Deseja sair do programa ?")});
        QCOMPARE(Boxes->Shown()[0].Kind, TMsgKind::Confirmation);
        QCOMPARE(Boxes->Shown()[0].Buttons, mbYes | mbNo);
        QVERIFY(main.isVisible());
        QCOMPARE(EnabledCommands(), kSevenCommands);
        Boxes->QueueAnswer(mbYes);
        Item(QStringLiteral("FileExitItem"))->trigger();
        QVERIFY(!main.isVisible());
    }

    void maintenancePanel() {
        Folder->CreateDatabase();
        TfrmMain& main = StartMain();
        auto* panel = main.findChild<QFrame*>(QStringLiteral("Panel1"));
        QVERIFY(!panel->isVisible());
        QVERIFY(!main.AuxFlipHorizontal());
        QVERIFY(main.AuxFlipVertical());
        QVERIFY(!main.MainFlipHorizontal());
        QCOMPARE(main.findChild<QLabel*>(QStringLiteral("Lbl_Apagar"))->text(),
                 QStringLiteral("Câmera Auxiliar             Câmera Principal"));
        QTest::keyClick(&main, Qt::Key_Space);
        QVERIFY(panel->isVisible());
        QTest::keyClick(&main, Qt::Key_Space);
        QVERIFY(!panel->isVisible());
        QTest::keyClick(&main, Qt::Key_Space);
        QVERIFY(panel->isVisible());
        main.findChild<QCheckBox*>(QStringLiteral("Chk_PrinFlip_Horizontal"))->setChecked(true);
        QVERIFY(main.MainFlipHorizontal());
        QTest::mouseDClick(panel, Qt::LeftButton, {}, QPoint(4, 4));
        QVERIFY(!panel->isVisible());
    }

    void alterTableRepairsAnOldSchemaAndReportsTheRefusal() {
        Folder->CreateDatabase(TSchemaVersion::Legacy);
        TfrmMain& main = StartMain();
        QCOMPARE(main.StartupState(), TStartupState::Ready);
        const auto constraintExists = [this] {
            QSqlQuery q =
                DataModule->Execute({QStringLiteral("select count(*) from RDB$RELATION_CONSTRAINTS "
                                                    "where RDB$CONSTRAINT_NAME = 'INTEG_6'")});
            return TDataModule1::Next(q) && q.value(0).toInt() == 1;
        };
        QVERIFY(constraintExists());
        QTest::keyClick(&main, Qt::Key_Space);
        QTest::mouseClick(Button(QStringLiteral("Btn_Pac_1")), Qt::LeftButton);
        QVERIFY(!constraintExists());
        // The server refuses the write to its system table: the sequence stops there, with the
        // server's words.
        QCOMPARE(Boxes->Shown().size(), std::size_t{1});
        QVERIFY2(Boxes->Shown()[0].Text.contains(QStringLiteral("RDB$RELATION_FIELDS")),
                 qPrintable(Boxes->Shown()[0].Text));
        // Again: the constraint is gone, so the first statement fails.
        Boxes->Clear();
        QTest::mouseClick(Button(QStringLiteral("Btn_Pac_1")), Qt::LeftButton);
        QCOMPARE(Boxes->Shown().size(), std::size_t{1});
        QVERIFY2(Boxes->Shown()[0].Text.contains(QStringLiteral("INTEG_6")),
                 qPrintable(Boxes->Shown()[0].Text));
    }

    // --- the system configuration dialog ---

    void cfgShowsTheStoredValues() {
        QPointer<TfrmCfgCamCap> d = OpenCfg();
        QCOMPARE(d->windowTitle(), QStringLiteral("Configuração"));
        auto* pages = d->findChild<QTabWidget*>(QStringLiteral("pgCfgs"));
        QCOMPARE(pages->currentIndex(), 0);
        QStringList captions;
        for (int i = 0; i < pages->count(); ++i) {
            captions << pages->tabText(i);
        }
        QCOMPARE(captions, (QStringList{QStringLiteral("Canais"), QStringLiteral("Captura"),
                                        QStringLiteral("Dados da Clínica")}));
        const struct {
            const char* Name;
            QString Text;
        } edits[] = {
            {"edtMainCam", QStringLiteral("0")},
            {"edtAuxCam", QStringLiteral("1")},
            {"edtNumMaxCaptures", QStringLiteral("20")},
            {"edtNCAverageValue", QStringLiteral("110.00")},
            {"edtNCSDValue", QStringLiteral("30.00")},
            {"edtTolerance", QStringLiteral("0.10")},
            {"edtClinicName", QStringLiteral("Clínica Olhos Claros")},
            {"edtClinicAddress", QStringLiteral("Rua das Acácias, 10")},
            {"edtClinicPhone", QStringLiteral("(11) 3000-0000")},
        };
        for (const auto& e : edits) {
            QCOMPARE(Edit(d, e.Name)->text(), e.Text);
        }
        QVERIFY(!ApplyOn(d));
        QVERIFY(OkOn(d));
        d->resize(d->sizeHint());
        for (int i = 0; i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            shelltest::Shot(d, QStringLiteral("configuracao-%1").arg(i + 1));
        }
        // "OK" writes nothing.
        const QByteArray before = Folder->IniBytes();
        Click(d, "btnOK");
        ProcessDeletes();
        QVERIFY(d.isNull());
        QCOMPARE(Folder->IniBytes(), before);
        QCOMPARE(Titles(), QStringList());
    }

    void cfgButtonsFollowTheEdits() {
        QPointer<TfrmCfgCamCap> d = OpenCfg();
        QLineEdit* tolerance = Edit(d, "edtTolerance");
        Type(tolerance, QStringLiteral("0.15"));
        QVERIFY(ApplyOn(d) && !OkOn(d));
        Type(tolerance, QStringLiteral("0.10"));
        QVERIFY(!ApplyOn(d) && OkOn(d));

        QLineEdit* maximum = Edit(d, "edtNumMaxCaptures");
        Type(maximum, QStringLiteral("350"));
        QVERIFY(!ApplyOn(d) && OkOn(d));
        Type(maximum, QStringLiteral("200"));
        QVERIFY(ApplyOn(d) && !OkOn(d));
        // Not an integer: the buttons stay as they were.
        Type(maximum, QStringLiteral("2x"));
        QVERIFY(ApplyOn(d) && !OkOn(d));
        Type(maximum, QStringLiteral("20"));
        QVERIFY(!ApplyOn(d) && OkOn(d));

        QTest::keyClicks(Edit(d, "edtClinicPhone"), QStringLiteral("1"));
        QVERIFY(ApplyOn(d) && !OkOn(d));
        QCOMPARE(Titles(), QStringList());
    }

    void cfgApplyAnsweredYesAndNo() {
        QPointer<TfrmCfgCamCap> d = OpenCfg();
        const QString question = QStringLiteral(
            "Modificações nos valores de configuração foram detectadas!\rDeseja realmente "
            "aplicá-las?");
        Type(Edit(d, "edtNCAverageValue"), QStringLiteral("12.3456"));
        Type(Edit(d, "edtMainCam"), QStringLiteral("2"));
        Boxes->QueueAnswer(mbNo);
        Click(d, "btnApply");
        QCOMPARE(Titles(), QStringList{question});
        QCOMPARE(Boxes->Shown()[0].Title, QStringLiteral("Aviso"));
        QCOMPARE(Boxes->Shown()[0].Buttons, mbYes | mbNo);
        QCOMPARE(Edit(d, "edtNCAverageValue")->text(), QStringLiteral("110.00"));
        QCOMPARE(Edit(d, "edtMainCam")->text(), QStringLiteral("0"));
        QCOMPARE(IniValue("AUTOCAPTURE", "average"), QStringLiteral("110.00"));
        QVERIFY(!ApplyOn(d) && OkOn(d));

        Type(Edit(d, "edtNCAverageValue"), QStringLiteral("12.3456"));
        Type(Edit(d, "edtMainCam"), QStringLiteral("2"));
        Boxes->QueueAnswer(mbYes);
        Click(d, "btnApply");
        QCOMPARE(IniValue("AUTOCAPTURE", "average"), QStringLiteral("12.35"));
        QCOMPARE(IniValue("CAMERA", "mainCamChannel"), QStringLiteral("2"));
        QCOMPARE(ProgramSettings()->GetAverage(), 12.35);
        QVERIFY(!ApplyOn(d) && OkOn(d));
        Click(d, "btnOK");
        ProcessDeletes();
        // Shown with two decimals the next time.
        d = OpenCfg();
        QCOMPARE(Edit(d, "edtNCAverageValue")->text(), QStringLiteral("12.35"));
    }

    void cfgCancelWithPendingChanges() {
        const QString discard = QStringLiteral("Existem mudanças não salvas. Deseja descartá-las?");
        // Yes: closes without writing.
        QPointer<TfrmCfgCamCap> d = OpenCfg();
        const QByteArray before = Folder->IniBytes();
        Type(Edit(d, "edtClinicPhone"), QStringLiteral("(21) 2222-2222"));
        Boxes->QueueAnswer(mbYes);
        Click(d, "btnCancel");
        ProcessDeletes();
        QVERIFY(d.isNull());
        QCOMPARE(Titles(), QStringList{discard});
        QCOMPARE(Folder->IniBytes(), before);

        // No: asks to apply (Yes), saves, closes.
        Boxes->Clear();
        d = OpenCfg();
        Type(Edit(d, "edtClinicPhone"), QStringLiteral("(21) 2222-2222"));
        Boxes->QueueAnswer(mbNo);
        Boxes->QueueAnswer(mbYes);
        Click(d, "btnCancel");
        ProcessDeletes();
        QVERIFY(d.isNull());
        QCOMPARE(Boxes->Shown().size(), std::size_t{2});
        QCOMPARE(Boxes->Shown()[0].Text, discard);
        QVERIFY(Boxes->Shown()[1].Text.startsWith(QStringLiteral("Modificações")));
        QCOMPARE(IniValue("CLINIC_DATA", "PHONE"), QStringLiteral("(21) 2222-2222"));

        // No, then No to applying: the stored values stay and the dialog closes.
        Boxes->Clear();
        d = OpenCfg();
        Type(Edit(d, "edtClinicPhone"), QStringLiteral("(31) 3333-3333"));
        Boxes->QueueAnswer(mbNo);
        Boxes->QueueAnswer(mbNo);
        Click(d, "btnCancel");
        ProcessDeletes();
        QVERIFY(d.isNull());
        QCOMPARE(IniValue("CLINIC_DATA", "PHONE"), QStringLiteral("(21) 2222-2222"));

        // The window's own close button is "Cancelar".
        Boxes->Clear();
        d = OpenCfg();
        Type(Edit(d, "edtClinicPhone"), QStringLiteral("(41) 4444-4444"));
        Boxes->QueueAnswer(mbYes);
        d->close();
        ProcessDeletes();
        QVERIFY(d.isNull());
        QCOMPARE(Titles(), QStringList{discard});
        QCOMPARE(IniValue("CLINIC_DATA", "PHONE"), QStringLiteral("(21) 2222-2222"));

        // Nothing pending: closes without a question.
        Boxes->Clear();
        d = OpenCfg();
        Click(d, "btnCancel");
        ProcessDeletes();
        QVERIFY(d.isNull());
        QCOMPARE(Titles(), QStringList());
    }

    void cfgAFieldThatDoesNotConvertStopsTheSave() {
        QPointer<TfrmCfgCamCap> d = OpenCfg();
        Type(Edit(d, "edtMainCam"), QStringLiteral("5"));
        Type(Edit(d, "edtNCSDValue"), QStringLiteral("trinta"));
        Type(Edit(d, "edtTolerance"), QStringLiteral("0.20"));
        Boxes->QueueAnswer(mbYes);
        Click(d, "btnApply");
        QCOMPARE(Boxes->Shown().size(), std::size_t{2});
        QCOMPARE(Boxes->Shown()[1].Kind, TMsgKind::Error);
        QVERIFY2(Boxes->Shown()[1].Text.contains(QStringLiteral("trinta")),
                 qPrintable(Boxes->Shown()[1].Text));
        // Written up to the field before it; the rest stays pending on the field's page.
        QCOMPARE(IniValue("CAMERA", "mainCamChannel"), QStringLiteral("5"));
        QCOMPARE(IniValue("AUTOCAPTURE", "sd"), QStringLiteral("30.00"));
        QCOMPARE(IniValue("AUTOCAPTURE", "tolerance"), QStringLiteral("0.10"));
        QCOMPARE(d->findChild<QTabWidget*>(QStringLiteral("pgCfgs"))->currentIndex(), 1);
        QVERIFY(ApplyOn(d) && !OkOn(d));

        // "Cancelar", No, Yes: the save fails again and the dialog stays open on the field.
        Boxes->Clear();
        Boxes->QueueAnswer(mbNo);
        Boxes->QueueAnswer(mbYes);
        Click(d, "btnCancel");
        ProcessDeletes();
        QVERIFY(!d.isNull());
        QVERIFY(d->IsOpen());
        QCOMPARE(Boxes->Shown().size(), std::size_t{3});
        QCOMPARE(Boxes->Shown()[2].Kind, TMsgKind::Error);
    }
};

QTEST_MAIN(ShellWindowsTest)
#include "ShellWindowsTest.moc"
