#pragma once

#include "FormFields.h"
#include "Medico.h"

#include <QWidget>
#include <memory>

class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace endomira {

class TBDEndomira;
class TDataModule1;
class TRecordsGrid;
class TRecordsGridModel;

// "Médico": lists the active doctors over the data module's shared doctor list, registers and
// edits doctors, deactivates one and makes every inactive doctor active again. A child of the
// main window's workspace; the main window's commands stay disabled until it closes.
class TfrmDoctorManager final : public QWidget {
    Q_OBJECT

public:
    explicit TfrmDoctorManager(TDataModule1& dataModule, QWidget* parent = nullptr);
    ~TfrmDoctorManager() override;

    // The active doctors ordered by `orderColumn` (by name when empty), and the count.
    void AtualizarListadeMedicos(const QString& orderColumn);
    // The list's current row into the edit fields and the current doctor's id.
    void DbGridToRegEdit();

    const TMedico& CurrentDoctor() const { return Doctor_; }

    // Event handlers, named after their controls.
    void FormShow();
    void Spb_BDNewClick();
    void Spb_BDSaveClick();
    void Spb_BDEraseClick();
    void Spb_BDRestoreClick();
    void Spb_BDCancelClick();
    void btn_doc_MemoClearClick();
    void Dbg_Doc_ManagerCellClick();
    void Dbg_Doc_ManagerKeyDown(int key);

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    QGroupBox* BuildRegistro();
    QGroupBox* BuildContato();
    QGroupBox* BuildObservacoes();
    void SetFieldsEnabled(bool enabled);
    void ClearFields();
    void FormToDoctor();
    void DoctorBackToForm();
    void ReopenListAt(int row);

    TDataModule1& DM_;
    std::unique_ptr<TBDEndomira> DB_;
    TMedico Doctor_;
    bool Shown_ = false;

    QPushButton* SpeedButton1_ = nullptr;
    QPushButton* Spb_BDNew_ = nullptr;
    QPushButton* Spb_BDSave_ = nullptr;
    QPushButton* Spb_BDErase_ = nullptr;
    QPushButton* Spb_BDRestore_ = nullptr;
    QPushButton* Spb_BDCancel_ = nullptr;

    QGroupBox* GPb_Doc_Registro_ = nullptr;
    QGroupBox* GPb_Doc_Contato_ = nullptr;
    // The same widgets as the members below, for the helpers shared with the other manager.
    TIdentityFields Identidade_;
    TContactFields Contato_;
    QLineEdit* Edt_Doc_Name_ = nullptr;
    QComboBox* Cbb_Doc_Sex_ = nullptr;
    QLineEdit* Edt_Doc_CRM_ = nullptr;
    QLineEdit* Edt_Doc_Especialidade_ = nullptr;
    QLineEdit* Mke_Doc_CPF_ = nullptr;
    QLineEdit* Edt_Doc_RG_ = nullptr;
    QLineEdit* Edt_Doc_Orgao_ = nullptr;
    QLineEdit* Mke_Doc_Nasc_ = nullptr;
    QLineEdit* Edt_Doc_Natural_ = nullptr;
    QComboBox* Cbb_Doc_NatUF_ = nullptr;
    QLineEdit* Edt_Doc_Pai_ = nullptr;
    QLineEdit* Edt_Doc_Mae_ = nullptr;
    QLineEdit* Edt_Doc_Logradouro_ = nullptr;
    QLineEdit* Edt_Doc_Complemento_ = nullptr;
    QLineEdit* Edt_Doc_Bairro_ = nullptr;
    QLineEdit* Edt_Doc_Cidade_ = nullptr;
    QComboBox* Cbb_Doc_UF_ = nullptr;
    QLineEdit* Mke_Doc_CEP_ = nullptr;
    QLineEdit* Mke_Doc_Fone1_ = nullptr;
    QLineEdit* Mke_Doc_Fone2_ = nullptr;
    QLineEdit* Mke_Doc_Fone3_ = nullptr;
    QLineEdit* Edt_Doc_Email_ = nullptr;
    QPlainTextEdit* Mem_Doc_Observacoes_ = nullptr;
    QPushButton* btn_doc_MemoClear_ = nullptr;

    QLabel* lbl_Doc_Info_List_ = nullptr;
    TRecordsGridModel* GridModel_ = nullptr;
    TRecordsGrid* Dbg_Doc_Manager_ = nullptr;
};

} // namespace endomira
