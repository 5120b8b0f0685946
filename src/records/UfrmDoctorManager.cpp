#include "UfrmDoctorManager.h"

#include "DBError.h"
#include "DateText.h"
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
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace endomira {

namespace {

using TList = TDataModule1::TList;

QString Text(const QVariant& value) {
    return value.isNull() ? QString() : value.toString();
}

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

    auto* title = new QLabel(QStringLiteral("Cadastro de médicos"), this);
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleFont.setBold(true);
    title->setFont(titleFont);
    auto* help = new QLabel(
        QStringLiteral("Selecione um médico da lista para visualizar ou atualizar seus dados. "
                       "Para cadastrar um novo médico clique em \"Iniciar novo cadastro\"."),
        this);
    help->setObjectName(QStringLiteral("lblHelp"));
    help->setWordWrap(true);
    layout->addWidget(title);
    layout->addWidget(help);

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
    lbl_Doc_Info_List_->setAutoFillBackground(true);
    QPalette countColours = lbl_Doc_Info_List_->palette();
    countColours.setColor(QPalette::Window, QColor(58, 110, 165));
    countColours.setColor(QPalette::WindowText, Qt::white);
    lbl_Doc_Info_List_->setPalette(countColours);
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
    connect(SpeedButton1_, &QPushButton::clicked, this, [this] {
        if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
            sub->close();
        } else {
            close();
        }
    });
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
    Mke_Doc_CPF_ = MakeMasked(group, "Mke_Doc_CPF", TMaskKind::CPF);
    Edt_Doc_RG_ = MakeEdit(group, "Edt_Doc_RG");
    Edt_Doc_Orgao_ = MakeEdit(group, "Edt_Doc_Orgao");
    Mke_Doc_Nasc_ = MakeMasked(group, "Mke_Doc_Nasc", TMaskKind::Date);
    Edt_Doc_Natural_ = MakeEdit(group, "Edt_Doc_Natural");
    Cbb_Doc_NatUF_ = MakeCombo(group, "Cbb_Doc_NatUF", StateCodes(), false);
    Edt_Doc_Pai_ = MakeEdit(group, "Edt_Doc_Pai");
    Edt_Doc_Mae_ = MakeEdit(group, "Edt_Doc_Mae");

    AddLabelled(grid, 0, 0, QStringLiteral("Nome"), Edt_Doc_Name_, 3);
    AddLabelled(grid, 0, 3, QStringLiteral("Sexo"), Cbb_Doc_Sex_);
    AddLabelled(grid, 1, 0, QStringLiteral("CRM"), Edt_Doc_CRM_);
    AddLabelled(grid, 1, 1, QStringLiteral("Especialidade"), Edt_Doc_Especialidade_, 3);
    AddLabelled(grid, 2, 0, QStringLiteral("CPF"), Mke_Doc_CPF_);
    AddLabelled(grid, 2, 1, QStringLiteral("RG"), Edt_Doc_RG_);
    AddLabelled(grid, 2, 2, QStringLiteral("Orgão Expeditor"), Edt_Doc_Orgao_);
    AddLabelled(grid, 2, 3, QStringLiteral("Nasc."), Mke_Doc_Nasc_);
    AddLabelled(grid, 3, 0, QStringLiteral("Naturalidade"), Edt_Doc_Natural_, 3);
    AddLabelled(grid, 3, 3, QStringLiteral("UF"), Cbb_Doc_NatUF_);
    AddLabelled(grid, 4, 0, QStringLiteral("Pai"), Edt_Doc_Pai_, 2);
    AddLabelled(grid, 4, 2, QStringLiteral("Mãe"), Edt_Doc_Mae_, 2);
    for (int c = 0; c < 4; ++c) {
        grid->setColumnStretch(c, 1);
    }
    return group;
}

QGroupBox* TfrmDoctorManager::BuildContato() {
    auto* group = new QGroupBox(QStringLiteral("Contato"), this);
    group->setObjectName(QStringLiteral("GPb_Doc_Contato"));
    GPb_Doc_Contato_ = group;
    auto* grid = new QGridLayout(group);
    grid->setVerticalSpacing(2);
    grid->setHorizontalSpacing(10);
    Edt_Doc_Logradouro_ = MakeEdit(group, "Edt_Doc_Logradouro");
    Edt_Doc_Complemento_ = MakeEdit(group, "Edt_Doc_Complemento");
    Edt_Doc_Bairro_ = MakeEdit(group, "Edt_Doc_Bairro");
    Edt_Doc_Cidade_ = MakeEdit(group, "Edt_Doc_Cidade");
    Cbb_Doc_UF_ = MakeCombo(group, "Cbb_Doc_UF", StateCodes(), false);
    Mke_Doc_CEP_ = MakeMasked(group, "Mke_Doc_CEP", TMaskKind::CEP);
    Mke_Doc_Fone1_ = MakeMasked(group, "Mke_Doc_Fone1", TMaskKind::Phone);
    Mke_Doc_Fone2_ = MakeMasked(group, "Mke_Doc_Fone2", TMaskKind::Phone);
    Mke_Doc_Fone3_ = MakeMasked(group, "Mke_Doc_Fone3", TMaskKind::Phone);
    Edt_Doc_Email_ = MakeEdit(group, "Edt_Doc_Email");

    AddLabelled(grid, 0, 0, QStringLiteral("Lograd."), Edt_Doc_Logradouro_, 3);
    AddLabelled(grid, 0, 3, QStringLiteral("Complemento"), Edt_Doc_Complemento_);
    AddLabelled(grid, 1, 0, QStringLiteral("Bairro"), Edt_Doc_Bairro_);
    AddLabelled(grid, 1, 1, QStringLiteral("Cidade"), Edt_Doc_Cidade_);
    AddLabelled(grid, 1, 2, QStringLiteral("UF"), Cbb_Doc_UF_);
    AddLabelled(grid, 1, 3, QStringLiteral("CEP"), Mke_Doc_CEP_);
    AddLabelled(grid, 2, 0, QStringLiteral("Fone1"), Mke_Doc_Fone1_);
    AddLabelled(grid, 2, 1, QStringLiteral("Fone2"), Mke_Doc_Fone2_);
    AddLabelled(grid, 2, 2, QStringLiteral("Fone3"), Mke_Doc_Fone3_);
    AddLabelled(grid, 3, 0, QStringLiteral("Email"), Edt_Doc_Email_, 4);
    for (int c = 0; c < 4; ++c) {
        grid->setColumnStretch(c, 1);
    }
    return group;
}

QGroupBox* TfrmDoctorManager::BuildObservacoes() {
    auto* group = new QGroupBox(QStringLiteral("Observações"), this);
    group->setObjectName(QStringLiteral("GPb_Doc_Observacoes"));
    auto* row = new QHBoxLayout(group);
    Mem_Doc_Observacoes_ = new QPlainTextEdit(group);
    Mem_Doc_Observacoes_->setObjectName(QStringLiteral("Mem_Doc_Observacoes"));
    Mem_Doc_Observacoes_->setMinimumHeight(60);
    btn_doc_MemoClear_ = new QPushButton(QStringLiteral("Limpar"), group);
    btn_doc_MemoClear_->setObjectName(QStringLiteral("btn_doc_MemoClear"));
    btn_doc_MemoClear_->setAutoDefault(false);
    auto* side = new QVBoxLayout;
    side->addWidget(btn_doc_MemoClear_);
    side->addStretch(1);
    row->addWidget(Mem_Doc_Observacoes_, 1);
    row->addLayout(side);
    connect(btn_doc_MemoClear_, &QPushButton::clicked, this,
            &TfrmDoctorManager::btn_doc_MemoClearClick);
    return group;
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
    auto value = [&](const char* column) {
        return row >= 0 ? Text(GridModel_->Value(row, QString::fromLatin1(column))) : QString();
    };
    Doctor_.Id = row >= 0 ? GridModel_->Value(row, QStringLiteral("MED_ID")).toInt() : 0;
    Edt_Doc_Name_->setText(value("MED_NOME"));
    SetComboText(Cbb_Doc_Sex_, value("MED_SEXO").trimmed());
    Edt_Doc_CRM_->setText(value("MED_CRM"));
    Edt_Doc_Especialidade_->setText(value("MED_ESPECIALIDADE"));
    SetMaskedText(Mke_Doc_CPF_, value("MED_CPF"));
    Edt_Doc_RG_->setText(value("MED_RG"));
    Edt_Doc_Orgao_->setText(value("MED_ORGAO"));
    const QVariant birth =
        row >= 0 ? GridModel_->Value(row, QStringLiteral("MED_NASCIMENTO")) : QVariant();
    SetMaskedText(Mke_Doc_Nasc_,
                  birth.typeId() == QMetaType::QDate ? DateToText(birth.toDate()) : QString());
    Edt_Doc_Natural_->setText(value("MED_NATURAL"));
    SetComboText(Cbb_Doc_NatUF_, value("MED_NATURAL_UF"));
    Edt_Doc_Pai_->setText(value("MED_PAI"));
    Edt_Doc_Mae_->setText(value("MED_MAE"));
    Edt_Doc_Logradouro_->setText(value("MED_LOGRADOURO"));
    Edt_Doc_Complemento_->setText(value("MED_COMPLEMENTO"));
    Edt_Doc_Bairro_->setText(value("MED_BAIRRO"));
    Edt_Doc_Cidade_->setText(value("MED_CIDADE"));
    SetComboText(Cbb_Doc_UF_, value("MED_UF"));
    SetMaskedText(Mke_Doc_CEP_, value("MED_CEP"));
    SetMaskedText(Mke_Doc_Fone1_, value("MED_FONE1"));
    SetMaskedText(Mke_Doc_Fone2_, value("MED_FONE2"));
    SetMaskedText(Mke_Doc_Fone3_, value("MED_FONE3"));
    Edt_Doc_Email_->setText(value("MED_EMAIL"));
    Mem_Doc_Observacoes_->setPlainText(value("MED_OBSERVACOES"));
}

void TfrmDoctorManager::ClearFields() {
    for (QLineEdit* edit :
         {Edt_Doc_Name_, Edt_Doc_CRM_, Edt_Doc_Especialidade_, Mke_Doc_CPF_, Edt_Doc_RG_,
          Edt_Doc_Orgao_, Mke_Doc_Nasc_, Edt_Doc_Natural_, Edt_Doc_Pai_, Edt_Doc_Mae_,
          Edt_Doc_Logradouro_, Edt_Doc_Complemento_, Edt_Doc_Bairro_, Edt_Doc_Cidade_, Mke_Doc_CEP_,
          Mke_Doc_Fone1_, Mke_Doc_Fone2_, Mke_Doc_Fone3_, Edt_Doc_Email_}) {
        edit->clear();
    }
    for (QComboBox* combo : {Cbb_Doc_Sex_, Cbb_Doc_NatUF_, Cbb_Doc_UF_}) {
        combo->setCurrentIndex(-1);
    }
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
    Doctor_.CPF = MaskedFieldValue(TMaskKind::CPF, Mke_Doc_CPF_->displayText());
    Doctor_.RG = Edt_Doc_RG_->text();
    Doctor_.Orgao = Edt_Doc_Orgao_->text();
    Doctor_.Nascimento = MaskedFieldValue(TMaskKind::Date, Mke_Doc_Nasc_->displayText());
    Doctor_.Natural = Edt_Doc_Natural_->text();
    Doctor_.NatUF = ComboText(Cbb_Doc_NatUF_);
    Doctor_.Pai = Edt_Doc_Pai_->text();
    Doctor_.Mae = Edt_Doc_Mae_->text();
    Doctor_.Logradouro = Edt_Doc_Logradouro_->text();
    Doctor_.Complemento = Edt_Doc_Complemento_->text();
    Doctor_.Bairro = Edt_Doc_Bairro_->text();
    Doctor_.Cidade = Edt_Doc_Cidade_->text();
    Doctor_.UF = ComboText(Cbb_Doc_UF_);
    Doctor_.CEP = MaskedFieldValue(TMaskKind::CEP, Mke_Doc_CEP_->displayText());
    Doctor_.Fone1 = MaskedFieldValue(TMaskKind::Phone, Mke_Doc_Fone1_->displayText());
    Doctor_.Fone2 = MaskedFieldValue(TMaskKind::Phone, Mke_Doc_Fone2_->displayText());
    Doctor_.Fone3 = MaskedFieldValue(TMaskKind::Phone, Mke_Doc_Fone3_->displayText());
    Doctor_.Email = Edt_Doc_Email_->text();
    Doctor_.Observacoes = Mem_Doc_Observacoes_->toPlainText();
}

void TfrmDoctorManager::DoctorBackToForm() {
    Edt_Doc_Name_->setText(Doctor_.Nome);
    Edt_Doc_Especialidade_->setText(Doctor_.Especialidade);
    Edt_Doc_Natural_->setText(Doctor_.Natural);
    Edt_Doc_Pai_->setText(Doctor_.Pai);
    Edt_Doc_Mae_->setText(Doctor_.Mae);
    Edt_Doc_Logradouro_->setText(Doctor_.Logradouro);
    Edt_Doc_Complemento_->setText(Doctor_.Complemento);
    Edt_Doc_Bairro_->setText(Doctor_.Bairro);
    Edt_Doc_Email_->setText(Doctor_.Email);
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

int TfrmDoctorManager::RowOfDoctor(int id, int fallback) const {
    const int rows = GridModel_->rowCount();
    for (int r = 0; r < rows; ++r) {
        if (GridModel_->Value(r, QStringLiteral("MED_ID")).toInt() == id) {
            return r;
        }
    }
    return fallback;
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
        target = RowOfDoctor(Doctor_.Id, GridModel_->rowCount() - 1);
        Spb_BDSave_->hide();
        Dbg_Doc_Manager_->setEnabled(true);
        message = QStringLiteral("Novo Registro Cadastrado Com Sucesso!");
    } else {
        // The list is now in id order: the row of the doctor just saved, not the old number.
        target = RowOfDoctor(Doctor_.Id, row);
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
    try {
        DM_.Execute({QStringLiteral("update medico set MED_STATUS=1")});
    } catch (const TDBError& error) {
        DB_->ShowDBError(2, error.Message());
    }
    AtualizarListadeMedicos(QString());
}

} // namespace endomira
