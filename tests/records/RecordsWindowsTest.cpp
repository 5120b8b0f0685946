// The patient and doctor managers driven as the operator drives them, offscreen, inside a real
// main window started on a throwaway database. Boxes go to the message recorder.
//
// With ENDOMIRA_SHOT_DIR set, both windows are saved there as pictures, maximised in a main
// window of 1280 x 1024 and of 1920 x 1080.

#include "DataModuleShellDatabase.h"
#include "MessageService.h"
#include "RealText.h"
#include "RecordsGrid.h"
#include "ShellMainFixture.h"
#include "ShellWindows.h"
#include "SqlValues.h"
#include "UBDEndomira.h"
#include "UBIniSettings.h"
#include "UDataModule1.h"
#include "UfrmDoctorManager.h"
#include "UfrmMain.h"
#include "UfrmPatientManager.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>
#include <memory>

using namespace endomira;

namespace {

const QStringList kSevenCommands = {
    QStringLiteral("gerDoctor"),   QStringLiteral("gerPatient"),    QStringLiteral("CutItem"),
    QStringLiteral("CopyItem"),    QStringLiteral("CmeraCaptura1"), QStringLiteral("HelpAboutItem"),
    QStringLiteral("FileExitItem")};

// Types text as keystrokes; characters outside ASCII go as events of their own, which the
// toolkit's key simulation cannot send.
void Type(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 128) {
            QTest::keyClicks(widget, QString(c));
        } else {
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
}

void Retype(QLineEdit* edit, const QString& text) {
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    edit->home(false);
    Type(edit, text);
}

int FirstVisibleColumn(const QTableView* grid) {
    int column = 0;
    while (column < grid->model()->columnCount() && grid->isColumnHidden(column)) {
        ++column;
    }
    return column;
}

void ClickRow(TRecordsGrid* grid, int row) {
    const QRect cell = grid->visualRect(grid->model()->index(row, FirstVisibleColumn(grid)));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
}

// The row of the grid whose column `column` holds `value`; -1 when none does.
int RowWith(TRecordsGrid* grid, const QString& column, const QVariant& value) {
    for (int r = 0; r < grid->model()->rowCount(); ++r) {
        if (grid->Grid().Value(r, column) == value) {
            return r;
        }
    }
    return -1;
}

} // namespace

using shelltest::ProcessDeletes;
using shelltest::Shot;

class RecordsWindowsTest : public QObject, public shelltest::TMainWindowFixture {
    Q_OBJECT

private:
    // The main window with the records windows connected to its commands as in the program.
    void StartMain(QSize size = {1280, 1024}) {
        Main = std::make_unique<TfrmMain>(Folder->Path());
        Main->SetDatabase(Database.get());
        ConnectRecordWindows(*Main, *DataModule);
        Main->resize(size);
        Main->show();
        QCOMPARE(Main->StartupState(), TStartupState::Ready);
    }
    QStringList EnabledCommands() const {
        QStringList enabled;
        for (const QString& name : kSevenCommands) {
            if (Main->findChild<QAction*>(name)->isEnabled()) {
                enabled << name;
            }
        }
        return enabled;
    }
    TfrmPatientManager* OpenPatients() {
        QTest::mouseClick(Main->findChild<QPushButton*>(QStringLiteral("SpeedButton2")),
                          Qt::LeftButton);
        return Main->findChild<TfrmPatientManager*>();
    }
    TfrmDoctorManager* OpenDoctors() {
        QTest::mouseClick(Main->findChild<QPushButton*>(QStringLiteral("SpeedButton1")),
                          Qt::LeftButton);
        return Main->findChild<TfrmDoctorManager*>();
    }
    int AddPatient(const QString& prontuario, const QString& nome, const QString& sexo,
                   int status = 1) {
        TBDEndomira db(*DataModule);
        TPaciente p;
        p.Prontuario = prontuario;
        p.Nome = nome;
        p.Sexo = sexo;
        p.Nascimento = QStringLiteral("14/03/1950");
        if (!db.SavePatient(p)) {
            return -1;
        }
        if (status != 1) {
            db.SetPatientStatus(p.Id, status);
        }
        return p.Id;
    }
    int AddDoctor(const QString& crm, const QString& nome) {
        TBDEndomira db(*DataModule);
        TMedico d;
        d.CRM = crm;
        d.Nome = nome;
        d.Sexo = QStringLiteral("F");
        return db.SaveDoctor(d) ? d.Id : -1;
    }
    QVariant Scalar(const QString& sql, const QVariantMap& params = {}) {
        QSqlQuery query = DataModule->Execute({sql}, params);
        return TDataModule1::Next(query) ? NormalizedValue(query.value(0)) : QVariant();
    }
    QStringList Texts() const {
        QStringList texts;
        for (const TMessage& m : Boxes->Shown()) {
            texts << m.Text;
        }
        return texts;
    }
    template <typename T> static T* Find(QWidget* form, const char* name) {
        T* child = form->findChild<T*>(QString::fromLatin1(name));
        if (child == nullptr) {
            qFatal("no control %s", name);
        }
        return child;
    }
    static QString Label(QWidget* form, const char* name) {
        return Find<QLabel>(form, name)->text();
    }
    static void Click(QWidget* form, const char* name) {
        QTest::mouseClick(Find<QPushButton>(form, name), Qt::LeftButton);
    }
    static bool Shown(QWidget* form, const char* name) {
        return !Find<QWidget>(form, name)->isHidden();
    }

private slots:
    void init() {
        QVERIFY(OpenMainFixture());
        Folder->CreateDatabase();
    }
    void cleanup() { CloseMainFixture(); }

    // Each command opens one maximised child that disables the menu; leaving frees it and
    // gives the menu back. "Novo Exame" leaves too, with nothing to open yet.
    void managersOpenAndCloseFromTheMainWindow_data() {
        QTest::addColumn<bool>("patients");
        QTest::addColumn<QString>("exitButton");
        QTest::newRow("patients, Menu principal") << true << QStringLiteral("SpdSair");
        QTest::newRow("patients, Novo Exame") << true << QStringLiteral("SpeedButton2");
        QTest::newRow("doctors, Menu Principal") << false << QStringLiteral("SpeedButton1");
    }
    void managersOpenAndCloseFromTheMainWindow() {
        QFETCH(bool, patients);
        QFETCH(QString, exitButton);
        StartMain();
        QWidget* form = patients ? static_cast<QWidget*>(OpenPatients()) : OpenDoctors();
        QVERIFY(form != nullptr);
        QCOMPARE(form->windowTitle(),
                 patients ? QStringLiteral("Paciente") : QStringLiteral("Médico"));
        QCOMPARE(Main->Workspace()->subWindowList().size(), 1);
        QVERIFY(Main->Workspace()->subWindowList().first()->isMaximized());
        QCOMPARE(EnabledCommands(), QStringList());
        QVERIFY(TfrmMain::IsFormOpen(patients ? QStringLiteral("frmPatientManager")
                                              : QStringLiteral("frmDoctorManager")));
        // Browsing: only the entry and exit buttons, the form closed to typing.
        for (const char* name : {"spb_bdSave", "spb_bdErase", "spb_bdRestore", "spb_bdCancel"}) {
            QString control = QString::fromLatin1(name);
            if (!patients) {
                control.replace(QStringLiteral("spb_bd"), QStringLiteral("Spb_BD"));
            }
            QVERIFY2(form->findChild<QWidget*>(control)->isHidden(), qPrintable(control));
        }
        QVERIFY(!Find<QGroupBox>(form, patients ? "GPb_PAC_Registro" : "GPb_Doc_Registro")
                     ->isEnabled());
        QTest::mouseClick(form->findChild<QPushButton*>(exitButton), Qt::LeftButton);
        ProcessDeletes();
        QVERIFY(Main->Workspace()->subWindowList().isEmpty());
        QVERIFY(Main->findChild<TfrmPatientManager*>() == nullptr);
        QVERIFY(Main->findChild<TfrmDoctorManager*>() == nullptr);
        QCOMPARE(EnabledCommands(), kSevenCommands);
        QCOMPARE(Texts(), QStringList());
    }

    // Opening the patient manager runs the schema upgrade: on a database still at the first
    // version the CPF stops being unique.
    void patientManagerUpgradesTheSchema() {
        Folder = std::make_unique<shelltest::TProgramFolderFixture>();
        Folder->CreateDatabase(TSchemaVersion::Legacy);
        StartMain();
        auto integ6 = [&] {
            return Scalar(QStringLiteral("select count(*) from RDB$RELATION_CONSTRAINTS where "
                                         "RDB$CONSTRAINT_NAME='INTEG_6'"))
                .toInt();
        };
        QCOMPARE(integ6(), 1);
        TfrmPatientManager* form = OpenPatients();
        QVERIFY(form != nullptr);
        QCOMPARE(integ6(), 0);
        QCOMPARE(Texts(), QStringList());
    }

    // With the filter off the list holds the active patients whatever the filter fields hold;
    // switching it on applies them at once. Both boxes of a pair unchecked list nobody.
    void filterSwitchesAndBoxes() {
        StartMain();
        const int ana =
            AddPatient(QStringLiteral("12"), QStringLiteral("Ana Silva"), QStringLiteral("F"));
        AddPatient(QStringLiteral("13"), QStringLiteral("Bruno Costa"), QStringLiteral("M"));
        AddPatient(QStringLiteral("14"), QStringLiteral("Carla Silva"), QStringLiteral("F"), 0);
        TfrmPatientManager* form = OpenPatients();
        QCOMPARE(Label(form, "lbl_PAC_Info_List"), QStringLiteral("2 Pacientes"));
        QCOMPARE(Label(form, "Lbl_Pac_Filtro"), QStringLiteral("Pacientes [Filtro=OFF]"));
        auto* filters = Find<QGroupBox>(form, "GPb_PAC_Filtros");
        auto* count = Find<QLabel>(form, "lbl_PAC_Info_List");
        auto* grid = Find<TRecordsGrid>(form, "DbgPatientManager");
        QVERIFY(filters->isHidden());
        const int countTopOff = count->y();
        const int gridTopOff = grid->y();
        const int gridHeightOff = grid->height();

        QTest::mouseClick(Find<QLabel>(form, "Lbl_Pac_Filtro"), Qt::LeftButton);
        QCOMPARE(Label(form, "Lbl_Pac_Filtro"), QStringLiteral("Pacientes [Filtro=ON]"));
        QVERIFY(filters->isVisible());
        QCOMPARE(count->y() - countTopOff, 72);
        QCOMPARE(grid->y() - gridTopOff, 72);
        QCOMPARE(gridHeightOff - grid->height(), 72);
        Type(Find<QLineEdit>(form, "Edt_PAC_FNome"), QStringLiteral("silva"));
        QCOMPARE(Label(form, "lbl_PAC_Info_List"), QStringLiteral("1 Pacientes"));
        QCOMPARE(grid->Grid().Value(0, QStringLiteral("PAC_ID")).toInt(), ana);

        QTest::mouseClick(Find<QLabel>(form, "Lbl_Pac_Filtro"), Qt::LeftButton);
        QVERIFY(filters->isHidden());
        QCOMPARE(count->y(), countTopOff);
        QCOMPARE(Label(form, "lbl_PAC_Info_List"), QStringLiteral("2 Pacientes"));
        QTest::mouseClick(Find<QLabel>(form, "Lbl_Pac_Filtro"), Qt::LeftButton);
        QCOMPARE(Label(form, "lbl_PAC_Info_List"), QStringLiteral("1 Pacientes"));

        QTest::mouseClick(Find<QCheckBox>(form, "Chk_PAC_Inativo"), Qt::LeftButton);
        QCOMPARE(Label(form, "lbl_PAC_Info_List"), QStringLiteral("2 Pacientes"));
        const int before = form->RefreshCount();
        Click(form, "Btn_Pac_Todos");
        QCOMPARE(form->RefreshCount() - before, 1);
        QCOMPARE(Find<QLineEdit>(form, "Edt_PAC_FNome")->text(), QString());
        QCOMPARE(Label(form, "lbl_PAC_Info_List"), QStringLiteral("3 Pacientes"));

        for (const auto& pair : {std::pair{"Chk_PAC_Feminino", "Chk_PAC_Masculino"},
                                 std::pair{"Chk_PAC_Ativo", "Chk_PAC_Inativo"}}) {
            Click(form, "Btn_Pac_Todos");
            QTest::mouseClick(Find<QCheckBox>(form, pair.first), Qt::LeftButton);
            QVERIFY(Label(form, "lbl_PAC_Info_List") != QStringLiteral("Nenhum Paciente"));
            QTest::mouseClick(Find<QCheckBox>(form, pair.second), Qt::LeftButton);
            QCOMPARE(Label(form, "lbl_PAC_Info_List"), QStringLiteral("Nenhum Paciente"));
            QCOMPARE(grid->model()->rowCount(), 0);
            QVERIFY(!Find<QPushButton>(form, "spb_bdErase")->isEnabled());
            QVERIFY(!Find<QPushButton>(form, "spb_bdRestore")->isEnabled());
        }
        QCOMPARE(Texts(), QStringList());
    }

    // Each keystroke in one filter field empties the other and refreshes once; a record number
    // with letters lists as if the field were empty.
    void filterFieldsRefreshOncePerKeystroke() {
        StartMain();
        AddPatient(QStringLiteral("12"), QStringLiteral("Ana Silva"), QStringLiteral("F"));
        AddPatient(QStringLiteral("120"), QStringLiteral("Bruno Costa"), QStringLiteral("M"));
        TfrmPatientManager* form = OpenPatients();
        QTest::mouseClick(Find<QLabel>(form, "Lbl_Pac_Filtro"), Qt::LeftButton);
        auto* name = Find<QLineEdit>(form, "Edt_PAC_FNome");
        auto* handBook = Find<QLineEdit>(form, "Edt_PAC_HandBook");
        Type(name, QStringLiteral("cos"));
        QCOMPARE(Label(form, "lbl_PAC_Info_List"), QStringLiteral("1 Pacientes"));

        int before = form->RefreshCount();
        Type(handBook, QStringLiteral("1"));
        QCOMPARE(form->RefreshCount() - before, 1);
        QCOMPARE(name->text(), QString());
        Type(handBook, QStringLiteral("2"));
        QCOMPARE(form->RefreshCount() - before, 2);
        QCOMPARE(Label(form, "lbl_PAC_Info_List"), QStringLiteral("1 Pacientes"));
        Type(handBook, QStringLiteral("a"));
        QCOMPARE(form->RefreshCount() - before, 3);
        QCOMPARE(Label(form, "lbl_PAC_Info_List"), QStringLiteral("2 Pacientes"));

        before = form->RefreshCount();
        Type(name, QStringLiteral("a"));
        QCOMPARE(form->RefreshCount() - before, 1);
        QCOMPARE(handBook->text(), QString());

        // The CPF search: the button switches what the field means and empties it.
        Click(form, "Btn_Pac_Select");
        QCOMPARE(Find<QPushButton>(form, "Btn_Pac_Select")->text(), QStringLiteral("CPF"));
        QCOMPARE(Texts(), QStringList());
    }

    // Delete asks only on an active row, and only Yes changes it; on an inactive row it does
    // nothing. Insert brings an inactive one back after asking.
    void statusKeysInTheGrid() {
        StartMain();
        const int ana =
            AddPatient(QStringLiteral("12"), QStringLiteral("Ana Silva"), QStringLiteral("F"));
        const int carla =
            AddPatient(QStringLiteral("14"), QStringLiteral("Carla Silva"), QStringLiteral("F"), 0);
        TfrmPatientManager* form = OpenPatients();
        QTest::mouseClick(Find<QLabel>(form, "Lbl_Pac_Filtro"), Qt::LeftButton);
        QTest::mouseClick(Find<QCheckBox>(form, "Chk_PAC_Inativo"), Qt::LeftButton);
        auto* grid = Find<TRecordsGrid>(form, "DbgPatientManager");
        auto status = [&](int id) {
            return Scalar(QStringLiteral("select PAC_STATUS from PACIENTE where PAC_ID=:id"),
                          {{QStringLiteral("id"), id}})
                .toInt();
        };

        ClickRow(grid, RowWith(grid, QStringLiteral("PAC_ID"), carla));
        QVERIFY(Find<QPushButton>(form, "spb_bdRestore")->isEnabled());
        QVERIFY(!Find<QPushButton>(form, "spb_bdErase")->isEnabled());
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(Texts(), QStringList());
        QCOMPARE(status(carla), 0);

        ClickRow(grid, RowWith(grid, QStringLiteral("PAC_ID"), ana));
        Boxes->QueueAnswer(mbNo);
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(Texts(), QStringList{QStringLiteral("Deseja Tornar Este Paciente Inativo?")});
        QCOMPARE(Boxes->Shown()[0].Kind, TMsgKind::Confirmation);
        QCOMPARE(status(ana), 1);
        Boxes->Clear();
        Boxes->QueueAnswer(mbYes);
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(status(ana), 0);
        // The row stays where it was and now shows an inactive patient.
        QCOMPARE(grid->Grid().Value(grid->CurrentRow(), QStringLiteral("PAC_ID")).toInt(), ana);
        QVERIFY(Find<QPushButton>(form, "spb_bdRestore")->isEnabled());

        Boxes->Clear();
        Boxes->QueueAnswer(mbYes);
        QTest::keyClick(grid, Qt::Key_Insert);
        QCOMPARE(Texts(), QStringList{QStringLiteral("Deseja Tornar Este Paciente Ativo?")});
        QCOMPARE(status(ana), 1);
    }

    // A column title sorts by that column, descending then ascending; the navigation buttons
    // and the popup items work on the grid's current row.
    void sortingNavigationAndPopup() {
        StartMain();
        AddPatient(QStringLiteral("30"), QStringLiteral("Ana Silva"), QStringLiteral("F"));
        AddPatient(QStringLiteral("10"), QStringLiteral("Bruno Costa"), QStringLiteral("M"));
        AddPatient(QStringLiteral("20"), QStringLiteral("Carla Lima"), QStringLiteral("F"));
        TfrmPatientManager* form = OpenPatients();
        auto* grid = Find<TRecordsGrid>(form, "DbgPatientManager");
        auto numbers = [&] {
            QStringList list;
            for (int r = 0; r < grid->model()->rowCount(); ++r) {
                list << grid->Grid().Value(r, QStringLiteral("PAC_PRONTUARIO")).toString();
            }
            return list.join(u',');
        };
        QCOMPARE(numbers(), QStringLiteral("30,10,20")); // by name
        const int column = grid->Grid().List().record().indexOf(QStringLiteral("PAC_PRONTUARIO"));
        form->DbgPatientManagerTitleClick(column);
        QCOMPARE(numbers(), QStringLiteral("30,20,10"));
        form->DbgPatientManagerTitleClick(column);
        QCOMPARE(numbers(), QStringLiteral("10,20,30"));

        Click(form, "spb_pac_ultimo");
        QCOMPARE(grid->CurrentRow(), 2);
        QCOMPARE(Find<QLineEdit>(form, "Edt_PAC_Nome")->text(), QStringLiteral("Ana Silva"));
        Click(form, "spb_pac_anterior");
        QCOMPARE(Find<QLineEdit>(form, "Edt_PAC_Nome")->text(), QStringLiteral("Carla Lima"));
        Click(form, "spb_pac_primeiro");
        QCOMPARE(Find<QLineEdit>(form, "Edt_PAC_Nome")->text(), QStringLiteral("Bruno Costa"));
        Click(form, "spb_pac_proximo");
        QCOMPARE(Find<QLineEdit>(form, "Edt_PAC_Nome")->text(), QStringLiteral("Carla Lima"));

        // "Tornar Inativo" asks nothing; with the filter off the patient leaves the list.
        auto* inactivate = form->findChild<QAction*>(QStringLiteral("Men_Pop_Pac_Inativo"));
        QVERIFY(inactivate->isEnabled());
        QVERIFY(!form->findChild<QAction*>(QStringLiteral("Men_Pop_Pac_Ativo"))->isEnabled());
        inactivate->trigger();
        QCOMPARE(Texts(), QStringList());
        QCOMPARE(Label(form, "lbl_PAC_Info_List"), QStringLiteral("2 Pacientes"));
        QCOMPARE(Scalar(QStringLiteral("select PAC_STATUS from PACIENTE where PAC_PRONTUARIO=20"))
                     .toInt(),
                 0);
    }

    // "Iniciar novo cadastro": the patient on show stays for 100 ms, then the form is empty and
    // the grid closed until the save; the saved patient comes back normalised, the list in id
    // order on the new patient, accents intact.
    void newPatientIsClearedTypedAndSaved() {
        StartMain();
        const int ana =
            AddPatient(QStringLiteral("12"), QStringLiteral("Ana Silva"), QStringLiteral("F"));
        AddPatient(QStringLiteral("13"), QStringLiteral("Zeca Souza"), QStringLiteral("M"));
        TfrmPatientManager* form = OpenPatients();
        auto* grid = Find<TRecordsGrid>(form, "DbgPatientManager");
        auto* nome = Find<QLineEdit>(form, "Edt_PAC_Nome");
        ClickRow(grid, RowWith(grid, QStringLiteral("PAC_ID"), ana));
        QCOMPARE(nome->text(), QStringLiteral("Ana Silva"));

        QElapsedTimer clock;
        clock.start();
        Click(form, "spb_bdNew");
        QCOMPARE(nome->text(), QStringLiteral("Ana Silva"));
        QVERIFY(!grid->isEnabled());
        QVERIFY(Shown(form, "spb_bdSave"));
        QVERIFY(Shown(form, "spb_bdCancel"));
        QVERIFY(!Shown(form, "spb_bdErase"));
        QTRY_COMPARE_WITH_TIMEOUT(nome->text(), QString(), 2000);
        QVERIFY(clock.elapsed() >= 100);
        QCOMPARE(Find<QLineEdit>(form, "Mke_PAC_Nascimento")->displayText(),
                 QStringLiteral("  /  /    "));
        QCOMPARE(Find<QComboBox>(form, "Cbb_PAC_Sexo")->currentText(), QString());

        Type(Find<QLineEdit>(form, "Mke_Pac_Prontuario"), QStringLiteral("77"));
        Type(nome, QStringLiteral("joão da conceição"));
        Type(Find<QComboBox>(form, "Cbb_PAC_Sexo")->lineEdit(), QStringLiteral("m"));
        QCOMPARE(Find<QComboBox>(form, "Cbb_PAC_Sexo")->currentText(), QStringLiteral("M"));
        Type(Find<QLineEdit>(form, "Mke_PAC_CPF"), QStringLiteral("52998224725"));
        QCOMPARE(Find<QLineEdit>(form, "Mke_PAC_CPF")->displayText(),
                 QStringLiteral("529.982.247-25"));
        Type(Find<QLineEdit>(form, "Mke_PAC_Nascimento"), QStringLiteral("01021980"));
        Type(Find<QLineEdit>(form, "Edt_PAC_Cidade"), QStringLiteral("são paulo"));
        Type(Find<QLineEdit>(form, "Edt_PAC_Email"), QStringLiteral(" Joao@Exemplo.COM "));
        Click(form, "spb_bdSave");

        QCOMPARE(Texts(), QStringList{QStringLiteral("Novo Registro Cadastrado Com Sucesso!")});
        QCOMPARE(Boxes->Shown()[0].Kind, TMsgKind::Information);
        QCOMPARE(nome->text(), QStringLiteral("João da Conceição"));
        QCOMPARE(Find<QLineEdit>(form, "Edt_PAC_Email")->text(),
                 QStringLiteral("joao@exemplo.com"));
        const int newId = form->CurrentPatient().Id;
        QCOMPARE(Scalar(QStringLiteral("select PAC_NOME from PACIENTE where PAC_ID=:id"),
                        {{QStringLiteral("id"), newId}})
                     .toString(),
                 QStringLiteral("João da Conceição"));
        QCOMPARE(Scalar(QStringLiteral("select PAC_CIDADE from PACIENTE where PAC_ID=:id"),
                        {{QStringLiteral("id"), newId}})
                     .toString(),
                 QStringLiteral("São Paulo"));
        QCOMPARE(Scalar(QStringLiteral("select PAC_CPF from PACIENTE where PAC_ID=:id"),
                        {{QStringLiteral("id"), newId}})
                     .toString(),
                 QStringLiteral("52998224725"));
        // Ascending id, the new patient last and current.
        QCOMPARE(grid->model()->rowCount(), 3);
        for (int r = 1; r < 3; ++r) {
            QVERIFY(grid->Grid().Value(r - 1, QStringLiteral("PAC_ID")).toInt() <
                    grid->Grid().Value(r, QStringLiteral("PAC_ID")).toInt());
        }
        QCOMPARE(grid->CurrentRow(), 2);
        QCOMPARE(grid->Grid().Value(2, QStringLiteral("PAC_ID")).toInt(), newId);
        QVERIFY(grid->isEnabled());
        QVERIFY(!Shown(form, "spb_bdSave"));
        QVERIFY(Shown(form, "spb_bdCancel"));
        QVERIFY(!form->Inserting());
        QCOMPARE(Label(form, "lbl_PAC_Info_List"), QStringLiteral("3 Pacientes"));
    }

    // A form that fails its checks gets one box with every fault on a numbered line and keeps
    // what was typed; an update comes back on the patient saved.
    void validationKeepsTheFormAndUpdateKeepsThePatient() {
        StartMain();
        AddPatient(QStringLiteral("12"), QStringLiteral("Ana Silva"), QStringLiteral("F"));
        const int zeca =
            AddPatient(QStringLiteral("13"), QStringLiteral("Zeca Souza"), QStringLiteral("M"));
        AddPatient(QStringLiteral("11"), QStringLiteral("Bia Lima"), QStringLiteral("F"));
        TfrmPatientManager* form = OpenPatients();
        auto* grid = Find<TRecordsGrid>(form, "DbgPatientManager");
        Click(form, "spb_bdNew");
        QTRY_COMPARE_WITH_TIMEOUT(Find<QLineEdit>(form, "Edt_PAC_Nome")->text(), QString(), 2000);
        Type(Find<QLineEdit>(form, "Edt_PAC_Nome"), QStringLiteral("Teste"));
        Type(Find<QLineEdit>(form, "Edt_PAC_Email"), QStringLiteral("sem-arroba"));
        Click(form, "spb_bdSave");
        QCOMPARE(Texts(), QStringList{QStringLiteral("ERRO! DADO(S) INVÁLIDO(S)!\n\n"
                                                     "01 - Número de Prontuário Inválido!\n"
                                                     "02 - Email Inválido!\n")});
        QCOMPARE(Boxes->Shown()[0].Kind, TMsgKind::Error);
        QCOMPARE(Find<QLineEdit>(form, "Edt_PAC_Nome")->text(), QStringLiteral("Teste"));
        QCOMPARE(Find<QLineEdit>(form, "Edt_PAC_Email")->text(), QStringLiteral("sem-arroba"));
        QVERIFY(form->Inserting());
        QVERIFY(!grid->isEnabled());
        Click(form, "spb_bdCancel");
        QVERIFY(grid->isEnabled());
        QVERIFY(!Find<QGroupBox>(form, "GPb_PAC_Registro")->isEnabled());

        // Zeca is the last by name and the second by id.
        Boxes->Clear();
        ClickRow(grid, RowWith(grid, QStringLiteral("PAC_ID"), zeca));
        Retype(Find<QLineEdit>(form, "Edt_PAC_Profissao"), QStringLiteral("médico"));
        Click(form, "spb_bdSave");
        QCOMPARE(Texts(), QStringList{QStringLiteral("Registro Atualizado Com Sucesso!")});
        QCOMPARE(grid->Grid().Value(grid->CurrentRow(), QStringLiteral("PAC_ID")).toInt(), zeca);
        QCOMPARE(form->CurrentPatient().Id, zeca);
        QCOMPARE(Find<QLineEdit>(form, "Edt_PAC_Nome")->text(), QStringLiteral("Zeca Souza"));
        QCOMPARE(Find<QLineEdit>(form, "Edt_PAC_Profissao")->text(), QStringLiteral("Médico"));
        QCOMPARE(Scalar(QStringLiteral("select count(*) from PACIENTE")).toInt(), 3);
    }

    // A list longer than one fetch block: the count is that of the whole search, the last row
    // is reached, and a patient saved past the first block is found again after the save.
    void largeListCountNavigationAndSave() {
        StartMain();
        // "Paciente 002".."Paciente 600" (even numbers), then "Pessoa 001".."Pessoa 599".
        DataModule->Execute(
            {QStringLiteral("insert into PACIENTE (PAC_PRONTUARIO, PAC_NOME, PAC_NASCIMENTO) "
                            "with recursive N (I) as (select 1 from RDB$DATABASE union all "
                            "select I + 1 from N where I < 600) "
                            "select I, trim(iif(mod(I, 2) = 0, 'Paciente', 'Pessoa')) || ' ' || "
                            "lpad(cast(I as varchar(3)), 3, '0'), date '1950-03-14' from N")});
        TfrmPatientManager* form = OpenPatients();
        auto* grid = Find<TRecordsGrid>(form, "DbgPatientManager");
        auto* nome = Find<QLineEdit>(form, "Edt_PAC_Nome");
        auto currentId = [&] {
            return grid->Grid().Value(grid->CurrentRow(), QStringLiteral("PAC_ID")).toInt();
        };
        QCOMPARE(Label(form, "lbl_PAC_Info_List"), QStringLiteral("600 Pacientes"));

        Click(form, "spb_pac_ultimo");
        QCOMPARE(grid->CurrentRow(), 599);
        QCOMPARE(nome->text(), QStringLiteral("Pessoa 599"));

        // Id order puts "Pessoa 599" at row 598, past the first block of the reopened list.
        ClickRow(grid, 599);
        const int edited = form->CurrentPatient().Id;
        Retype(Find<QLineEdit>(form, "Edt_PAC_Profissao"), QStringLiteral("médico"));
        Click(form, "spb_bdSave");
        QCOMPARE(Texts(), QStringList{QStringLiteral("Registro Atualizado Com Sucesso!")});
        QCOMPARE(grid->CurrentRow(), 598);
        QCOMPARE(currentId(), edited);
        QCOMPARE(form->CurrentPatient().Id, edited);
        QCOMPARE(nome->text(), QStringLiteral("Pessoa 599"));
        QCOMPARE(Label(form, "lbl_PAC_Info_List"), QStringLiteral("600 Pacientes"));

        Boxes->Clear();
        Click(form, "spb_bdNew");
        QTRY_COMPARE_WITH_TIMEOUT(nome->text(), QString(), 2000);
        Type(Find<QLineEdit>(form, "Mke_Pac_Prontuario"), QStringLiteral("901"));
        Type(nome, QStringLiteral("ana nova"));
        Type(Find<QLineEdit>(form, "Mke_PAC_Nascimento"), QStringLiteral("01021980"));
        Click(form, "spb_bdSave");
        QCOMPARE(Texts(), QStringList{QStringLiteral("Novo Registro Cadastrado Com Sucesso!")});
        QCOMPARE(grid->CurrentRow(), 600);
        QCOMPARE(currentId(), form->CurrentPatient().Id);
        QCOMPARE(nome->text(), QStringLiteral("Ana Nova"));
        QCOMPARE(Label(form, "lbl_PAC_Info_List"), QStringLiteral("601 Pacientes"));

        // The filter's count, with the name bound as in the list: more than one block.
        QTest::mouseClick(Find<QLabel>(form, "Lbl_Pac_Filtro"), Qt::LeftButton);
        Type(Find<QLineEdit>(form, "Edt_PAC_FNome"), QStringLiteral("pac"));
        QCOMPARE(Label(form, "lbl_PAC_Info_List"), QStringLiteral("300 Pacientes"));
        Type(Find<QLineEdit>(form, "Edt_PAC_FNome"), QStringLiteral("iente 5"));
        // Two words: "paciente" and "5", which 75 of the even numbers up to 600 hold.
        QCOMPARE(Label(form, "lbl_PAC_Info_List"), QStringLiteral("75 Pacientes"));
    }

    // A doctor typed without title and with sex M is saved as "Dr. ...", without a birth date,
    // and a second save updates the same doctor. The count reads 0, then 1.
    void newDoctorSavedWithTitle() {
        StartMain();
        TfrmDoctorManager* form = OpenDoctors();
        QCOMPARE(Label(form, "lbl_Doc_Info_List"), QStringLiteral("0 Medico Listado"));
        Click(form, "Spb_BDNew");
        QVERIFY(!Find<TRecordsGrid>(form, "Dbg_Doc_Manager")->isEnabled());
        QVERIFY(Shown(form, "Spb_BDCancel"));
        auto* name = Find<QLineEdit>(form, "Edt_Doc_Name");
        Type(name, QStringLiteral("joão gonçalves"));
        auto* sex = Find<QComboBox>(form, "Cbb_Doc_Sex");
        QVERIFY(!sex->isEditable());
        sex->setCurrentIndex(sex->findText(QStringLiteral("M")));
        Type(Find<QLineEdit>(form, "Edt_Doc_CRM"), QStringLiteral("12345"));
        QCOMPARE(Find<QLineEdit>(form, "Mke_Doc_Nasc")->displayText(),
                 QStringLiteral("  /  /    "));
        Click(form, "Spb_BDSave");
        QCOMPARE(Texts(), QStringList{QStringLiteral("Novo Registro Cadastrado Com Sucesso!")});
        QCOMPARE(name->text(), QStringLiteral("Dr. João Gonçalves"));
        QCOMPARE(Label(form, "lbl_Doc_Info_List"), QStringLiteral("1 Medico Listado"));
        QVERIFY(Find<TRecordsGrid>(form, "Dbg_Doc_Manager")->isEnabled());
        QVERIFY(!Shown(form, "Spb_BDSave"));
        QVERIFY(Shown(form, "Spb_BDCancel"));
        const int id = form->CurrentDoctor().Id;
        QVERIFY(id > 0);
        QCOMPARE(Scalar(QStringLiteral("select MED_NOME from MEDICO where MED_ID=:id"),
                        {{QStringLiteral("id"), id}})
                     .toString(),
                 QStringLiteral("Dr. João Gonçalves"));
        QVERIFY(Scalar(QStringLiteral("select MED_NASCIMENTO from MEDICO where MED_ID=:id"),
                       {{QStringLiteral("id"), id}})
                    .isNull());

        // The id is kept: saving again updates the same doctor.
        Boxes->Clear();
        Type(Find<QLineEdit>(form, "Edt_Doc_Especialidade"), QStringLiteral("córnea"));
        // The button is hidden after the insert; its handler is what a second save runs.
        form->Spb_BDSaveClick();
        QCOMPARE(Texts(), QStringList{QStringLiteral("Registro Atualizado Com Sucesso!")});
        QCOMPARE(Scalar(QStringLiteral("select count(*) from MEDICO")).toInt(), 1);
        QCOMPARE(Scalar(QStringLiteral("select MED_ESPECIALIDADE from MEDICO")).toString(),
                 QStringLiteral("Córnea"));
    }

    // Delete in the grid deactivates that row's doctor at once and the row above becomes
    // current; "Recuperar todos cadastros inativos" brings every doctor back.
    void doctorDeleteAndRestoreAll() {
        StartMain();
        const int a = AddDoctor(QStringLiteral("1"), QStringLiteral("Dra. Alice Ramos"));
        const int b = AddDoctor(QStringLiteral("2"), QStringLiteral("Dra. Beatriz Melo"));
        const int c = AddDoctor(QStringLiteral("3"), QStringLiteral("Dra. Clara Nunes"));
        TfrmDoctorManager* form = OpenDoctors();
        auto* grid = Find<TRecordsGrid>(form, "Dbg_Doc_Manager");
        QCOMPARE(Label(form, "lbl_Doc_Info_List"), QStringLiteral("3 Medicos Listados"));
        // Alice is loaded by a click, then the grid moves to Clara without loading her.
        ClickRow(grid, RowWith(grid, QStringLiteral("MED_ID"), a));
        grid->SetCurrentRow(RowWith(grid, QStringLiteral("MED_ID"), c));
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(Texts(), QStringList());
        QCOMPARE(Label(form, "lbl_Doc_Info_List"), QStringLiteral("2 Medicos Listados"));
        QCOMPARE(RowWith(grid, QStringLiteral("MED_ID"), c), -1);
        QCOMPARE(grid->Grid().Value(grid->CurrentRow(), QStringLiteral("MED_ID")).toInt(), b);
        QCOMPARE(form->CurrentDoctor().Id, b);
        QCOMPARE(Find<QLineEdit>(form, "Edt_Doc_Name")->text(),
                 QStringLiteral("Dra. Beatriz Melo"));

        // The first row has no row above: the list stays on its first row.
        grid->SetCurrentRow(0);
        QTest::keyClick(grid, Qt::Key_Delete);
        QCOMPARE(Label(form, "lbl_Doc_Info_List"), QStringLiteral("1 Medico Listado"));
        QCOMPARE(grid->CurrentRow(), 0);

        ClickRow(grid, 0);
        QVERIFY(Shown(form, "Spb_BDRestore"));
        Click(form, "Spb_BDRestore");
        QCOMPARE(Label(form, "lbl_Doc_Info_List"), QStringLiteral("3 Medicos Listados"));
        QCOMPARE(Scalar(QStringLiteral("select count(*) from MEDICO where MED_STATUS=1")).toInt(),
                 3);
        QCOMPARE(Texts(), QStringList());
    }

    // Pictures of both windows maximised at the two screen sizes (only with ENDOMIRA_SHOT_DIR).
    void pictures_data() {
        QTest::addColumn<QSize>("size");
        QTest::newRow("1280x1024") << QSize(1280, 1024);
        QTest::newRow("1920x1080") << QSize(1920, 1080);
    }
    void pictures() {
        QFETCH(QSize, size);
        if (qEnvironmentVariableIsEmpty("ENDOMIRA_SHOT_DIR")) {
            QSKIP("ENDOMIRA_SHOT_DIR is not set");
        }
        StartMain(size);
        for (int i = 0; i < 30; ++i) {
            AddPatient(QString::number(1000 + i),
                       QStringLiteral("Paciente %1 da Silva Conceição").arg(i),
                       i % 2 ? QStringLiteral("M") : QStringLiteral("F"), i % 7 == 3 ? 0 : 1);
        }
        AddDoctor(QStringLiteral("52811"), QStringLiteral("Dra. Helena Araújo"));
        AddDoctor(QStringLiteral("48120"), QStringLiteral("Dra. Marta Queiroz"));
        const QString suffix = QStringLiteral("-%1x%2").arg(size.width()).arg(size.height());
        TfrmPatientManager* patients = OpenPatients();
        QTest::mouseClick(Find<QLabel>(patients, "Lbl_Pac_Filtro"), Qt::LeftButton);
        QTest::mouseClick(Find<QCheckBox>(patients, "Chk_PAC_Inativo"), Qt::LeftButton);
        auto* grid = Find<TRecordsGrid>(patients, "DbgPatientManager");
        ClickRow(grid, 3);
        Shot(Main.get(), QStringLiteral("patients") + suffix);
        Click(patients, "SpdSair");
        ProcessDeletes();
        TfrmDoctorManager* doctors = OpenDoctors();
        ClickRow(Find<TRecordsGrid>(doctors, "Dbg_Doc_Manager"), 0);
        Shot(Main.get(), QStringLiteral("doctors") + suffix);
    }
};

QTEST_MAIN(RecordsWindowsTest)
#include "RecordsWindowsTest.moc"
