#pragma once

#include "FormFields.h"
#include "Paciente.h"
#include "RecordsLogic.h"
#include "RefreshGate.h"

#include <QWidget>
#include <functional>
#include <memory>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QAction;
class QPlainTextEdit;
class QPushButton;
class QTimer;

namespace endomira {

class TBDEndomira;
class TDataModule1;
class TRecordsGrid;
class TRecordsGridModel;

// "Paciente": lists, searches, registers, edits, deactivates and restores patients over the data
// module's shared patient list. A child of the main window's workspace; the main window's
// commands stay disabled until it closes.
class TfrmPatientManager final : public QWidget {
    Q_OBJECT

public:
    // Starts a new examination once this window has closed ("Novo Exame").
    using TNewExamCommand = std::function<void()>;

    explicit TfrmPatientManager(TDataModule1& dataModule, QWidget* parent = nullptr);
    ~TfrmPatientManager() override;

    void SetNewExamCommand(TNewExamCommand command) { NewExamCommand_ = std::move(command); }

    // Refreshes the list from the filter controls; does nothing while refresh is shut.
    void AtualizaListaPaciente(const QString& sortSpec, bool keepPosition);
    // The list's current row into the edit fields and the current patient's id.
    void DbGridToRegEdit();
    // Every field empty except the two filter fields; no combo box choice; the memo empty.
    void ClearFields();

    const TPaciente& CurrentPatient() const { return Patient_; }
    bool Inserting() const { return Inserting_; }
    // How many times the list was searched since the window opened.
    int RefreshCount() const { return RefreshCount_; }

    // Event handlers, named after their controls.
    void FormShow();
    void spb_bdNewClick();
    void spb_bdEraseClick();
    void spb_bdSaveClick();
    void spb_bdRestoreClick();
    void spb_bdCancelClick();
    void SpeedButton2Click();
    void tmr_ClearTimer();
    void btn_PAC_Obs_ClearClick();
    void Lbl_Pac_FiltroClick();
    void Edt_PAC_FNomeChange();
    void Edt_PAC_HandBookChange();
    void Btn_Pac_SelectClick();
    void Btn_Pac_TodosClick();
    void FilterBoxClick();
    void DbgPatientManagerCellClick();
    void DbgPatientManagerDblClick();
    void DbgPatientManagerKeyDown(int key);
    void DbgPatientManagerTitleClick(int column);
    void Men_Pop_Pac_AtivoClick();
    void Men_Pop_Pac_InativoClick();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildTopBar(QWidget* bar);
    QGroupBox* BuildRegistro();
    QGroupBox* BuildContato();
    QGroupBox* BuildObservacoes();
    QGroupBox* BuildList();
    void SetFieldsEnabled(bool enabled);
    // What the selected row of the grid decides: buttons, popup items and, unless a new patient
    // is being typed, the fields.
    void SelectedRowChanged();
    void ApplyFilterArrangement(bool filterOn);
    void FormToPatient();
    void PatientBackToForm();
    void Navigate(int row);
    void SetPatientStatusOfRow(int row, int status);
    // Commits and reopens the list (after a save); the grid comes back to `row` (0-based), and
    // the fields follow it only with `reloadFields`.
    void ReopenListAt(int row, bool reloadFields);
    void ShowListError(const QString& message);

    TDataModule1& DM_;
    std::unique_ptr<TBDEndomira> DB_;
    TPaciente Patient_;
    bool Inserting_ = false;
    TRefreshGate Refresh_;
    bool Shown_ = false;
    // Set while the window itself moves the grid, which then answers once, afterwards.
    bool Syncing_ = false;
    // Set while the list reopens after a failed save: the typed form must survive it.
    bool HoldFields_ = false;
    int RefreshCount_ = 0;
    TNewExamCommand NewExamCommand_;

    QPushButton* spb_bdNew_ = nullptr;
    QPushButton* spb_bdErase_ = nullptr;
    QPushButton* spb_bdSave_ = nullptr;
    QPushButton* spb_bdRestore_ = nullptr;
    QPushButton* spb_bdCancel_ = nullptr;
    QPushButton* SpdSair_ = nullptr;
    QPushButton* SpeedButton1_ = nullptr;
    QPushButton* SpeedButton2_ = nullptr;

    QGroupBox* GPb_PAC_Registro_ = nullptr;
    QGroupBox* GPb_PAC_Contato_ = nullptr;
    // The same widgets as the members below, for the helpers shared with the other manager.
    TIdentityFields Identidade_;
    TContactFields Contato_;
    QLineEdit* Mke_Pac_Prontuario_ = nullptr;
    QLineEdit* Edt_PAC_Nome_ = nullptr;
    QComboBox* Cbb_PAC_Sexo_ = nullptr;
    QLineEdit* Edt_PAC_Profissao_ = nullptr;
    QComboBox* Cbb_PAC_Civil_ = nullptr;
    QComboBox* Cbb_PAC_Sangue_ = nullptr;
    QLineEdit* Mke_PAC_CPF_ = nullptr;
    QLineEdit* Edt_PAC_RG_ = nullptr;
    QLineEdit* Edt_PAC_Orgao_ = nullptr;
    QLineEdit* Mke_PAC_Nascimento_ = nullptr;
    QLineEdit* Edt_PAC_Natural_ = nullptr;
    QComboBox* Cbb_PAC_NatUF_ = nullptr;
    QLineEdit* Edt_PAC_Pai_ = nullptr;
    QLineEdit* Edt_PAC_Mae_ = nullptr;
    QLineEdit* Edt_PAC_Logradouro_ = nullptr;
    QLineEdit* Edt_PAC_Complemento_ = nullptr;
    QLineEdit* Edt_PAC_Bairro_ = nullptr;
    QLineEdit* Edt_PAC_Cidade_ = nullptr;
    QComboBox* Cbb_PAC_UF_ = nullptr;
    QLineEdit* Mke_PAC_CEP_ = nullptr;
    QLineEdit* Mke_PAC_Fone1_ = nullptr;
    QLineEdit* Mke_PAC_Fone2_ = nullptr;
    QLineEdit* Mke_PAC_Fone3_ = nullptr;
    QLineEdit* Edt_PAC_Email_ = nullptr;
    QPlainTextEdit* Mem_PAC_Observacao_ = nullptr;
    QPushButton* btn_PAC_Obs_Clear_ = nullptr;

    QLabel* lbl_PAC_Info_List_ = nullptr;
    QLabel* Lbl_Pac_Filtro_ = nullptr;
    QGroupBox* GPb_PAC_Filtros_ = nullptr;
    QLineEdit* Edt_PAC_FNome_ = nullptr;
    QPushButton* Btn_Pac_Select_ = nullptr;
    QLineEdit* Edt_PAC_HandBook_ = nullptr;
    QPushButton* Btn_Pac_Todos_ = nullptr;
    QCheckBox* Chk_PAC_Ativo_ = nullptr;
    QCheckBox* Chk_PAC_Inativo_ = nullptr;
    QCheckBox* Chk_PAC_Feminino_ = nullptr;
    QCheckBox* Chk_PAC_Masculino_ = nullptr;
    TRecordsGridModel* GridModel_ = nullptr;
    TRecordsGrid* DbgPatientManager_ = nullptr;
    QMenu* Men_Pop_PAC_ = nullptr;
    QAction* Men_Pop_Pac_Ativo_ = nullptr;
    QAction* Men_Pop_Pac_Inativo_ = nullptr;
    QTimer* tmr_Clear_ = nullptr;
};

} // namespace endomira
