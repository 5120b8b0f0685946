#include "UfrmDoctorManager.h"

#include "DBError.h"
#include "FormFields.h"
#include "ListModel.h"
#include "MainMenus.h"
#include "MessageService.h"
#include "RecordsGrid.h"
#include "RecordsLogic.h"
#include "UBDEndomira.h"
#include "UDataModule1.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace endomira {

namespace {

using TList = TDataModule1::TList;

} // namespace

TfrmDoctorManager::TfrmDoctorManager(TDataModule1& dataModule, QWidget* parent)
    : QWidget(parent), DM_(dataModule) {
    setObjectName(QStringLiteral("frmDoctorManager"));
    setWindowTitle(QStringLiteral("Médico"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(6);

    auto* bar = new QFrame(this);
    bar->setObjectName(QStringLiteral("pnlDoctorData"));
    bar->setFrameShape(QFrame::StyledPanel);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(6, 4, 6, 4);
    Spb_BDNew_ = MakeBarButton(bar, "Spb_BDNew", QStringLiteral("Iniciar novo cadastro"),
                               QStringLiteral("Novo Médico"));
    Spb_BDSave_ = MakeBarButton(bar, "Spb_BDSave", QStringLiteral("Salvar/Atualizar cadastro"),
                                QStringLiteral("Salvar Dados do Médico"));
    Spb_BDErase_ = MakeBarButton(bar, "Spb_BDErase", QStringLiteral("Inativar cadastro"),
                                 QStringLiteral("Tornar o Médico Selecionado Inativo"));
    Spb_BDRestore_ =
        MakeBarButton(bar, "Spb_BDRestore", QStringLiteral("Recuperar todos cadastros inativos"),
                      QStringLiteral("Tornar Todos os Médicos Cadastrados Ativos"));
    Spb_BDCancel_ =
        MakeBarButton(bar, "Spb_BDCancel", QStringLiteral("Cancelar inserção"), QString());
    SpeedButton1_ = MakeBarButton(bar, "SpeedButton1", QStringLiteral("Menu Principal"),
                                  QStringLiteral("Sair do Formulário"));
    for (QPushButton* b : {Spb_BDNew_, Spb_BDSave_, Spb_BDErase_, Spb_BDRestore_, Spb_BDCancel_}) {
        row->addWidget(b);
    }
    row->addStretch(1);
    row->addWidget(SpeedButton1_);
    Spb_BDCancel_->hide();
    layout->addWidget(bar);

    AddTitle(this, layout, QStringLiteral("Cadastro de médicos"),
             QStringLiteral("Selecione um médico da lista para visualizar ou atualizar seus dados. "
                            "Para cadastrar um novo médico clique em \"Iniciar novo cadastro\"."));

    auto* body = new QHBoxLayout;
    body->setSpacing(10);
    auto* form = new QVBoxLayout;
    form->addWidget(BuildRegistro());
    form->addWidget(BuildContato());
    form->addWidget(BuildObservacoes(), 1);
    body->addLayout(form, 11);

    auto* listGroup = new QGroupBox(this);
    listGroup->setObjectName(QStringLiteral("Gpb_Doc_List"));
    auto* column = new QVBoxLayout(listGroup);
    column->setSpacing(0);
    column->setContentsMargins(6, 4, 6, 6);
    lbl_Doc_Info_List_ = new QLabel(listGroup);
    lbl_Doc_Info_List_->setObjectName(QStringLiteral("lbl_Doc_Info_List"));
    lbl_Doc_Info_List_->setFixedHeight(18);
    lbl_Doc_Info_List_->setIndent(4);
    Colour(lbl_Doc_Info_List_, QColor(58, 110, 165), Qt::white);
    column->addWidget(lbl_Doc_Info_List_);
    GridModel_ = new TRecordsGridModel(
        DM_.IBQMedList(),
        {{QStringLiteral("MED_ID"), QStringLiteral("ID")},
         {QStringLiteral("MED_NOME"), QStringLiteral("Nome")},
         {QStringLiteral("MED_CRM"), QStringLiteral("CRM")},
         {QStringLiteral("MED_ESPECIALIDADE"), QStringLiteral("Especialidade")}},
        QString(), this);
    Dbg_Doc_Manager_ = new TRecordsGrid(GridModel_, listGroup);
    Dbg_Doc_Manager_->SetStretchColumn(QStringLiteral("MED_NOME"));
    Dbg_Doc_Manager_->setObjectName(QStringLiteral("Dbg_Doc_Manager"));
    column->addWidget(Dbg_Doc_Manager_, 1);
    body->addWidget(listGroup, 9);
    layout->addLayout(body, 1);

    connect(Spb_BDNew_, &QPushButton::clicked, this, &TfrmDoctorManager::Spb_BDNewClick);
    connect(Spb_BDSave_, &QPushButton::clicked, this, &TfrmDoctorManager::Spb_BDSaveClick);
    connect(Spb_BDErase_, &QPushButton::clicked, this, &TfrmDoctorManager::Spb_BDEraseClick);
    connect(Spb_BDRestore_, &QPushButton::clicked, this, &TfrmDoctorManager::Spb_BDRestoreClick);
    connect(Spb_BDCancel_, &QPushButton::clicked, this, &TfrmDoctorManager::Spb_BDCancelClick);
    connect(SpeedButton1_, &QPushButton::clicked, this, [this] { CloseManager(this); });
    connect(Dbg_Doc_Manager_, &QAbstractItemView::clicked, this,
            &TfrmDoctorManager::Dbg_Doc_ManagerCellClick);
    connect(Dbg_Doc_Manager_, &TRecordsGrid::KeyPressed, this,
            &TfrmDoctorManager::Dbg_Doc_ManagerKeyDown);
}

TfrmDoctorManager::~TfrmDoctorManager() = default;

QGroupBox* TfrmDoctorManager::BuildRegistro() {
    auto* group = new QGroupBox(QStringLiteral("Registro"), this);
    group->setObjectName(QStringLiteral("GPb_Doc_Registro"));
    GPb_Doc_Registro_ = group;
    auto* grid = new QGridLayout(group);
    grid->setVerticalSpacing(2);
    grid->setHorizontalSpacing(10);
    Edt_Doc_Name_ = MakeEdit(group, "Edt_Doc_Name");
    Cbb_Doc_Sex_ = MakeCombo(group, "Cbb_Doc_Sex", SexItems(), false);
    Edt_Doc_CRM_ = MakeEdit(group, "Edt_Doc_CRM");
    Edt_Doc_Especialidade_ = MakeEdit(group, "Edt_Doc_Especialidade");
    Identidade_ = MakeIdentityFields(group, QStringLiteral("Doc"), "Nasc", false);
    Mke_Doc_CPF_ = Identidade_.CPF;
    Edt_Doc_RG_ = Identidade_.RG;
    Edt_Doc_Orgao_ = Identidade_.Orgao;
    Mke_Doc_Nasc_ = Identidade_.Nascimento;
    Edt_Doc_Natural_ = Identidade_.Natural;
    Cbb_Doc_NatUF_ = Identidade_.NatUF;
    Edt_Doc_Pai_ = Identidade_.Pai;
    Edt_Doc_Mae_ = Identidade_.Mae;

    AddLabelled(grid, 0, 0, QStringLiteral("Nome"), Edt_Doc_Name_, 3);
    AddLabelled(grid, 0, 3, QStringLiteral("Sexo"), Cbb_Doc_Sex_);
    AddLabelled(grid, 1, 0, QStringLiteral("CRM"), Edt_Doc_CRM_);
    AddLabelled(grid, 1, 1, QStringLiteral("Especialidade"), Edt_Doc_Especialidade_, 3);
    AddIdentityRows(grid, Identidade_);
    return group;
}

QGroupBox* TfrmDoctorManager::BuildContato() {
    const TContactFields fields = BuildContactGroup(this, QStringLiteral("Doc"), false);
    Contato_ = fields;
    GPb_Doc_Contato_ = fields.Group;
    Edt_Doc_Logradouro_ = fields.Logradouro;
    Edt_Doc_Complemento_ = fields.Complemento;
    Edt_Doc_Bairro_ = fields.Bairro;
    Edt_Doc_Cidade_ = fields.Cidade;
    Cbb_Doc_UF_ = fields.UF;
    Mke_Doc_CEP_ = fields.CEP;
    Mke_Doc_Fone1_ = fields.Fone1;
    Mke_Doc_Fone2_ = fields.Fone2;
    Mke_Doc_Fone3_ = fields.Fone3;
    Edt_Doc_Email_ = fields.Email;
    return fields.Group;
}

QGroupBox* TfrmDoctorManager::BuildObservacoes() {
    const TNotesFields notes =
        BuildNotesGroup(this, "GPb_Doc_Observacoes", "Mem_Doc_Observacoes", "btn_doc_MemoClear");
    Mem_Doc_Observacoes_ = notes.Memo;
    btn_doc_MemoClear_ = notes.Clear;
    connect(btn_doc_MemoClear_, &QPushButton::clicked, this,
            &TfrmDoctorManager::btn_doc_MemoClearClick);
    return notes.Group;
}

void TfrmDoctorManager::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!Shown_) {
        Shown_ = true;
        FormShow();
    }
}

void TfrmDoctorManager::FormShow() {
    DB_ = std::make_unique<TBDEndomira>(DM_);
    AtualizarListadeMedicos(QString());
    Spb_BDSave_->hide();
    Spb_BDErase_->hide();
    Spb_BDRestore_->hide();
    SetFieldsEnabled(false);
}

void TfrmDoctorManager::closeEvent(QCloseEvent* event) {
    event->accept();
    EnableMenus();
}

void TfrmDoctorManager::AtualizarListadeMedicos(const QString& orderColumn) {
    if (!DB_) {
        return;
    }
    int count = 0;
    try {
        count = DB_->ListDoctors(QString(), 1, orderColumn);
    } catch (const TDBError& error) {
        DB_->ShowDBError(2, error.Message());
        count = GridModel_->rowCount();
    }
    Dbg_Doc_Manager_->SetCurrentRow(DM_.CurrentRow(TList::Doctors));
    lbl_Doc_Info_List_->setText(DoctorCountText(count));
}

void TfrmDoctorManager::DbGridToRegEdit() {
    const int row = Dbg_Doc_Manager_->CurrentRow();
    if (row >= 0) {
        DM_.SetCurrentRow(TList::Doctors, row);
    }
    auto cell = [&](const QString& column) {
        return row >= 0 ? GridModel_->Value(row, column) : QVariant();
    };
    auto value = [&](const char* column) { return CellText(cell(QString::fromLatin1(column))); };
    Doctor_.Id = row >= 0 ? GridModel_->Value(row, QStringLiteral("MED_ID")).toInt() : 0;
    Edt_Doc_Name_->setText(value("MED_NOME"));
    SetComboText(Cbb_Doc_Sex_, value("MED_SEXO").trimmed());
    Edt_Doc_CRM_->setText(value("MED_CRM"));
    Edt_Doc_Especialidade_->setText(value("MED_ESPECIALIDADE"));
    LoadIdentity(Identidade_, QStringLiteral("MED"), QStringLiteral("MED_NATURAL_UF"), cell);
    LoadContact(Contato_, QStringLiteral("MED"), cell);
    Mem_Doc_Observacoes_->setPlainText(value("MED_OBSERVACOES"));
}

void TfrmDoctorManager::ClearFields() {
    for (QLineEdit* edit : {Edt_Doc_Name_, Edt_Doc_CRM_, Edt_Doc_Especialidade_}) {
        edit->clear();
    }
    Cbb_Doc_Sex_->setCurrentIndex(-1);
    ClearIdentity(Identidade_);
    ClearContact(Contato_);
    Mem_Doc_Observacoes_->clear();
}

void TfrmDoctorManager::SetFieldsEnabled(bool enabled) {
    GPb_Doc_Registro_->setEnabled(enabled);
    GPb_Doc_Contato_->setEnabled(enabled);
    Mem_Doc_Observacoes_->setEnabled(enabled);
    btn_doc_MemoClear_->setEnabled(enabled);
}

void TfrmDoctorManager::Dbg_Doc_ManagerCellClick() {
    Spb_BDSave_->show();
    Spb_BDErase_->show();
    Spb_BDRestore_->show();
    SetFieldsEnabled(true);
    DbGridToRegEdit();
}

void TfrmDoctorManager::Dbg_Doc_ManagerKeyDown(int key) {
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
        DbGridToRegEdit();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        Edt_Doc_Name_->setFocus();
        break;
    case Qt::Key_Delete:
        // The doctor deactivated is the one of the row the key was pressed on, whatever row
        // was loaded last.
        DbGridToRegEdit();
        Spb_BDEraseClick();
        break;
    default:
        break;
    }
}

void TfrmDoctorManager::Spb_BDNewClick() {
    Spb_BDCancel_->show();
    Spb_BDSave_->show();
    Dbg_Doc_Manager_->setEnabled(false);
    Spb_BDErase_->hide();
    Spb_BDRestore_->hide();
    SetFieldsEnabled(true);
    Doctor_.Id = -1;
    ClearFields();
    Edt_Doc_Name_->setFocus();
}

void TfrmDoctorManager::Spb_BDCancelClick() {
    Dbg_Doc_Manager_->setEnabled(true);
    Spb_BDSave_->hide();
    Spb_BDErase_->hide();
    Spb_BDRestore_->hide();
    Spb_BDCancel_->hide();
    SetFieldsEnabled(false);
}

void TfrmDoctorManager::btn_doc_MemoClearClick() {
    Mem_Doc_Observacoes_->clear();
}

void TfrmDoctorManager::FormToDoctor() {
    Doctor_.Nome = Edt_Doc_Name_->text();
    Doctor_.Sexo = ComboText(Cbb_Doc_Sex_);
    Doctor_.CRM = Edt_Doc_CRM_->text();
    Doctor_.Especialidade = Edt_Doc_Especialidade_->text();
    IdentityToRecord(Identidade_, Doctor_);
    ContactToRecord(Contato_, Doctor_);
    Doctor_.Observacoes = Mem_Doc_Observacoes_->toPlainText();
}

void TfrmDoctorManager::DoctorBackToForm() {
    Edt_Doc_Name_->setText(Doctor_.Nome);
    Edt_Doc_Especialidade_->setText(Doctor_.Especialidade);
    IdentityBackToForm(Identidade_, Doctor_);
    ContactBackToForm(Contato_, Doctor_);
}

void TfrmDoctorManager::ReopenListAt(int row) {
    try {
        DM_.ReopenList(QStringLiteral("doctor"));
    } catch (const TDBError& error) {
        DB_->ShowDBError(2, error.Message());
    }
    Dbg_Doc_Manager_->SetCurrentRow(row);
    DM_.SetCurrentRow(TList::Doctors, row);
    lbl_Doc_Info_List_->setText(DoctorCountText(GridModel_->rowCount()));
}

void TfrmDoctorManager::Spb_BDSaveClick() {
    const bool isNew = Doctor_.Id == -1;
    FormToDoctor();
    const int row = Dbg_Doc_Manager_->CurrentRow();
    if (!DB_->SaveDoctor(Doctor_)) {
        ReopenListAt(row);
        return;
    }
    DoctorBackToForm();
    AtualizarListadeMedicos(QStringLiteral("MED_ID"));
    int target = row;
    QString message;
    if (isNew) {
        // The new doctor has the highest id: the last row.
        target =
            GridModel_->RowOf(QStringLiteral("MED_ID"), Doctor_.Id, GridModel_->rowCount() - 1);
        Spb_BDSave_->hide();
        Dbg_Doc_Manager_->setEnabled(true);
        message = QStringLiteral("Novo Registro Cadastrado Com Sucesso!");
    } else {
        // The list is now in id order: the row of the doctor just saved, not the old number.
        target = GridModel_->RowOf(QStringLiteral("MED_ID"), Doctor_.Id, row);
        message = QStringLiteral("Registro Atualizado Com Sucesso!");
    }
    Dbg_Doc_Manager_->SetCurrentRow(target);
    ShowMessageDlg(message, TMsgKind::Information, mbOK);
    Dbg_Doc_Manager_->setFocus();
    // Committing reopens the list on its first row: the grid comes back to the doctor saved.
    ReopenListAt(target);
}

void TfrmDoctorManager::Spb_BDEraseClick() {
    const int row = Dbg_Doc_Manager_->CurrentRow();
    DB_->DeactivateDoctor(Doctor_.Id);
    AtualizarListadeMedicos(QString());
    // The row above the one that left the list.
    Dbg_Doc_Manager_->SetCurrentRow(row - 1);
    DbGridToRegEdit();
}

void TfrmDoctorManager::Spb_BDRestoreClick() {
    DB_->RestoreAllDoctors();
    AtualizarListadeMedicos(QString());
}

} // namespace endomira
