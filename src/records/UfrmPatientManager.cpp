#include "UfrmPatientManager.h"

#include "DBError.h"
#include "FormFields.h"
#include "ListModel.h"
#include "MainMenus.h"
#include "MessageService.h"
#include "RecordsGrid.h"
#include "UBDEndomira.h"
#include "UDataModule1.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <limits>

namespace endomira {

namespace {

using TList = TDataModule1::TList;

constexpr int kFilterGroupHeight = 72;
constexpr int kClearDelayMs = 100;

} // namespace

TfrmPatientManager::TfrmPatientManager(TDataModule1& dataModule, QWidget* parent)
    : QWidget(parent), DM_(dataModule) {
    setObjectName(QStringLiteral("frmPatientManager"));
    setWindowTitle(QStringLiteral("Paciente"));
    setAttribute(Qt::WA_DeleteOnClose);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 6, 8, 8);
    layout->setSpacing(6);

    auto* bar = new QFrame(this);
    bar->setObjectName(QStringLiteral("pnlPatientData"));
    bar->setFrameShape(QFrame::StyledPanel);
    BuildTopBar(bar);
    layout->addWidget(bar);

    AddTitle(
        this, layout, QStringLiteral("Cadastro de pacientes"),
        QStringLiteral("Selecione um paciente da lista para visualizar ou atualizar seus dados. "
                       "Para cadastrar um novo paciente clique em \"Iniciar novo cadastro\". "
                       "Para buscar pelo nome ou reativar cadastros inativos clique no filtro "
                       "acima da lista (\"Pacientes [Filtro=OFF]\")."));

    auto* body = new QHBoxLayout;
    body->setSpacing(10);
    auto* form = new QVBoxLayout;
    form->setSpacing(6);
    form->addWidget(BuildRegistro());
    form->addWidget(BuildContato());
    form->addWidget(BuildObservacoes(), 1);
    body->addLayout(form, 11);
    body->addWidget(BuildList(), 9);
    layout->addLayout(body, 1);

    tmr_Clear_ = new QTimer(this);
    tmr_Clear_->setObjectName(QStringLiteral("tmr_Clear"));
    tmr_Clear_->setInterval(kClearDelayMs);
    tmr_Clear_->setSingleShot(false); // it stops itself when it fires
    connect(tmr_Clear_, &QTimer::timeout, this, &TfrmPatientManager::tmr_ClearTimer);

    spb_bdCancel_->hide();
}

TfrmPatientManager::~TfrmPatientManager() = default;

void TfrmPatientManager::BuildTopBar(QWidget* bar) {
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(6, 4, 6, 4);
    spb_bdNew_ = MakeBarButton(bar, "spb_bdNew", QStringLiteral("Iniciar novo cadastro"),
                               QStringLiteral("Incluir Novo Paciente"));
    spb_bdErase_ = MakeBarButton(bar, "spb_bdErase", QStringLiteral("Inativar cadastro"),
                                 QStringLiteral("Tornar o Paciente Inativo"));
    spb_bdSave_ = MakeBarButton(bar, "spb_bdSave", QStringLiteral("Salvar/Atualizar cadastro"),
                                QStringLiteral("Salvar Dados do Paciente"));
    spb_bdRestore_ =
        MakeBarButton(bar, "spb_bdRestore", QStringLiteral("Recuperar cadastro inativo"),
                      QStringLiteral("Tornar o Paciente Ativo"));
    spb_bdCancel_ =
        MakeBarButton(bar, "spb_bdCancel", QStringLiteral("Cancelar Inserção"), QString());
    SpeedButton2_ = MakeBarButton(bar, "SpeedButton2", QStringLiteral("Novo Exame"), QString());
    SpdSair_ = MakeBarButton(bar, "SpdSair", QStringLiteral("Menu principal"),
                             QStringLiteral("Sair do Formulário"));
    // A second exit at the same place, under the first: only one of the two is ever seen.
    SpeedButton1_ = MakeBarButton(bar, "SpeedButton1", QStringLiteral("Menu Principal"),
                                  QStringLiteral("Sair do Formulário"));
    SpeedButton1_->hide();
    for (QPushButton* b : {spb_bdNew_, spb_bdErase_, spb_bdSave_, spb_bdRestore_, spb_bdCancel_}) {
        row->addWidget(b);
    }
    row->addStretch(1);
    row->addWidget(SpeedButton2_);
    row->addWidget(SpdSair_);
    row->addWidget(SpeedButton1_);

    connect(spb_bdNew_, &QPushButton::clicked, this, &TfrmPatientManager::spb_bdNewClick);
    connect(spb_bdErase_, &QPushButton::clicked, this, &TfrmPatientManager::spb_bdEraseClick);
    connect(spb_bdSave_, &QPushButton::clicked, this, &TfrmPatientManager::spb_bdSaveClick);
    connect(spb_bdRestore_, &QPushButton::clicked, this, &TfrmPatientManager::spb_bdRestoreClick);
    connect(spb_bdCancel_, &QPushButton::clicked, this, &TfrmPatientManager::spb_bdCancelClick);
    connect(SpeedButton2_, &QPushButton::clicked, this, &TfrmPatientManager::SpeedButton2Click);
    auto leave = [this] { CloseManager(this); };
    connect(SpdSair_, &QPushButton::clicked, this, leave);
    connect(SpeedButton1_, &QPushButton::clicked, this, leave);
}

QGroupBox* TfrmPatientManager::BuildRegistro() {
    auto* group = new QGroupBox(QStringLiteral("Registro"), this);
    group->setObjectName(QStringLiteral("GPb_PAC_Registro"));
    GPb_PAC_Registro_ = group;
    auto* grid = new QGridLayout(group);
    grid->setVerticalSpacing(2);
    grid->setHorizontalSpacing(10);
    Mke_Pac_Prontuario_ = MakeMasked(group, "Mke_Pac_Prontuario", TMaskKind::RecordNumber);
    Edt_PAC_Nome_ = MakeEdit(group, "Edt_PAC_Nome");
    Cbb_PAC_Sexo_ = MakeCombo(group, "Cbb_PAC_Sexo", SexItems(), true, true);
    Edt_PAC_Profissao_ = MakeEdit(group, "Edt_PAC_Profissao");
    Cbb_PAC_Civil_ = MakeCombo(group, "Cbb_PAC_Civil", MaritalStatusItems(), true);
    Cbb_PAC_Sangue_ = MakeCombo(group, "Cbb_PAC_Sangue", BloodGroupItems(), true);
    // The state of birth is typed as well as chosen here.
    Identidade_ = MakeIdentityFields(group, QStringLiteral("PAC"), "Nascimento", true);
    Mke_PAC_CPF_ = Identidade_.CPF;
    Edt_PAC_RG_ = Identidade_.RG;
    Edt_PAC_Orgao_ = Identidade_.Orgao;
    Mke_PAC_Nascimento_ = Identidade_.Nascimento;
    Edt_PAC_Natural_ = Identidade_.Natural;
    Cbb_PAC_NatUF_ = Identidade_.NatUF;
    Edt_PAC_Pai_ = Identidade_.Pai;
    Edt_PAC_Mae_ = Identidade_.Mae;

    AddLabelled(grid, 0, 0, QStringLiteral("Prontuário"), Mke_Pac_Prontuario_);
    AddLabelled(grid, 0, 1, QStringLiteral("Nome"), Edt_PAC_Nome_, 3);
    AddLabelled(grid, 1, 0, QStringLiteral("Sexo"), Cbb_PAC_Sexo_);
    AddLabelled(grid, 1, 1, QStringLiteral("Profissão"), Edt_PAC_Profissao_);
    AddLabelled(grid, 1, 2, QStringLiteral("Estado Civil"), Cbb_PAC_Civil_);
    AddLabelled(grid, 1, 3, QStringLiteral("Tipo Sanguíneo"), Cbb_PAC_Sangue_);
    AddIdentityRows(grid, Identidade_);
    return group;
}

QGroupBox* TfrmPatientManager::BuildContato() {
    // The state is typed as well as chosen here.
    const TContactFields fields = BuildContactGroup(this, QStringLiteral("PAC"), true);
    Contato_ = fields;
    GPb_PAC_Contato_ = fields.Group;
    Edt_PAC_Logradouro_ = fields.Logradouro;
    Edt_PAC_Complemento_ = fields.Complemento;
    Edt_PAC_Bairro_ = fields.Bairro;
    Edt_PAC_Cidade_ = fields.Cidade;
    Cbb_PAC_UF_ = fields.UF;
    Mke_PAC_CEP_ = fields.CEP;
    Mke_PAC_Fone1_ = fields.Fone1;
    Mke_PAC_Fone2_ = fields.Fone2;
    Mke_PAC_Fone3_ = fields.Fone3;
    Edt_PAC_Email_ = fields.Email;
    return fields.Group;
}

QGroupBox* TfrmPatientManager::BuildObservacoes() {
    const TNotesFields notes =
        BuildNotesGroup(this, "GPb_PAC_Observacoes", "Mem_PAC_Observacao", "btn_PAC_Obs_Clear");
    Mem_PAC_Observacao_ = notes.Memo;
    btn_PAC_Obs_Clear_ = notes.Clear;
    connect(btn_PAC_Obs_Clear_, &QPushButton::clicked, this,
            &TfrmPatientManager::btn_PAC_Obs_ClearClick);
    return notes.Group;
}

QGroupBox* TfrmPatientManager::BuildList() {
    auto* group = new QGroupBox(this);
    group->setObjectName(QStringLiteral("Gpb_PAC_List"));
    auto* column = new QVBoxLayout(group);
    column->setSpacing(0);
    // Filter label 20 high, filter group 72, count label 16: the count label sits at 20 or 92
    // and the grid at 36 or 108, as the filter is off or on.
    column->setContentsMargins(6, 0, 6, 6);

    Lbl_Pac_Filtro_ = new QLabel(kFilterOffText, group);
    Lbl_Pac_Filtro_->setObjectName(QStringLiteral("Lbl_Pac_Filtro"));
    Lbl_Pac_Filtro_->setCursor(Qt::PointingHandCursor);
    QFont filterFont = Lbl_Pac_Filtro_->font();
    filterFont.setBold(true);
    filterFont.setUnderline(true);
    Lbl_Pac_Filtro_->setFont(filterFont);
    Lbl_Pac_Filtro_->setFixedHeight(20);
    Lbl_Pac_Filtro_->installEventFilter(this);
    column->addWidget(Lbl_Pac_Filtro_);

    GPb_PAC_Filtros_ = new QGroupBox(group);
    GPb_PAC_Filtros_->setObjectName(QStringLiteral("GPb_PAC_Filtros"));
    GPb_PAC_Filtros_->setFixedHeight(kFilterGroupHeight);
    auto* filters = new QGridLayout(GPb_PAC_Filtros_);
    filters->setContentsMargins(6, 2, 6, 2);
    filters->setVerticalSpacing(2);
    Edt_PAC_FNome_ = MakeEdit(GPb_PAC_Filtros_, "Edt_PAC_FNome");
    Btn_Pac_Select_ = new QPushButton(QStringLiteral("Prontuário"), GPb_PAC_Filtros_);
    Btn_Pac_Select_->setObjectName(QStringLiteral("Btn_Pac_Select"));
    Btn_Pac_Select_->setAutoDefault(false);
    Edt_PAC_HandBook_ = MakeEdit(GPb_PAC_Filtros_, "Edt_PAC_HandBook");
    Btn_Pac_Todos_ = new QPushButton(QStringLiteral("Todos os Pacientes"), GPb_PAC_Filtros_);
    Btn_Pac_Todos_->setObjectName(QStringLiteral("Btn_Pac_Todos"));
    Btn_Pac_Todos_->setAutoDefault(false);
    Chk_PAC_Ativo_ = new QCheckBox(QStringLiteral("Ativo"), GPb_PAC_Filtros_);
    Chk_PAC_Ativo_->setObjectName(QStringLiteral("Chk_PAC_Ativo"));
    Chk_PAC_Ativo_->setChecked(true);
    Chk_PAC_Inativo_ = new QCheckBox(QStringLiteral("Inativo"), GPb_PAC_Filtros_);
    Chk_PAC_Inativo_->setObjectName(QStringLiteral("Chk_PAC_Inativo"));
    Chk_PAC_Feminino_ = new QCheckBox(QStringLiteral("F"), GPb_PAC_Filtros_);
    Chk_PAC_Feminino_->setObjectName(QStringLiteral("Chk_PAC_Feminino"));
    Chk_PAC_Feminino_->setChecked(true);
    Chk_PAC_Masculino_ = new QCheckBox(QStringLiteral("M"), GPb_PAC_Filtros_);
    Chk_PAC_Masculino_->setObjectName(QStringLiteral("Chk_PAC_Masculino"));
    Chk_PAC_Masculino_->setChecked(true);

    auto* nameLabel = new QLabel(QStringLiteral("Nome"), GPb_PAC_Filtros_);
    nameLabel->setBuddy(Edt_PAC_FNome_);
    filters->addWidget(nameLabel, 0, 0);
    filters->addWidget(Edt_PAC_FNome_, 0, 1, 1, 3);
    filters->addWidget(new QLabel(QStringLiteral("Status"), GPb_PAC_Filtros_), 0, 4);
    filters->addWidget(Chk_PAC_Ativo_, 0, 5);
    filters->addWidget(Chk_PAC_Inativo_, 0, 6);
    filters->addWidget(Btn_Pac_Select_, 1, 0);
    filters->addWidget(Edt_PAC_HandBook_, 1, 1);
    filters->addWidget(Btn_Pac_Todos_, 1, 2, 1, 2);
    filters->addWidget(new QLabel(QStringLiteral("Sexo"), GPb_PAC_Filtros_), 1, 4);
    filters->addWidget(Chk_PAC_Feminino_, 1, 5);
    filters->addWidget(Chk_PAC_Masculino_, 1, 6);
    filters->setColumnStretch(1, 2);
    filters->setColumnStretch(3, 1);
    GPb_PAC_Filtros_->hide();
    column->addWidget(GPb_PAC_Filtros_);

    lbl_PAC_Info_List_ = new QLabel(group);
    lbl_PAC_Info_List_->setObjectName(QStringLiteral("lbl_PAC_Info_List"));
    lbl_PAC_Info_List_->setFixedHeight(16);
    lbl_PAC_Info_List_->setIndent(4);
    column->addWidget(lbl_PAC_Info_List_);

    GridModel_ =
        new TRecordsGridModel(DM_.IBQPacList(),
                              {{QStringLiteral("PAC_PRONTUARIO"), QStringLiteral("Prontuário")},
                               {QStringLiteral("PAC_NOME"), QStringLiteral("Paciente")},
                               {QStringLiteral("PAC_CPF"), QStringLiteral("CPF")},
                               {QStringLiteral("PAC_IDADE"), QStringLiteral("Idade")}},
                              QStringLiteral("PAC_STATUS"), this);
    DbgPatientManager_ = new TRecordsGrid(GridModel_, group);
    DbgPatientManager_->SetStretchColumn(QStringLiteral("PAC_NOME"));
    DbgPatientManager_->setObjectName(QStringLiteral("DbgPatientManager"));
    DbgPatientManager_->setContextMenuPolicy(Qt::CustomContextMenu);
    column->addWidget(DbgPatientManager_, 1);

    Men_Pop_PAC_ = new QMenu(this);
    Men_Pop_PAC_->setObjectName(QStringLiteral("Men_Pop_PAC"));
    Men_Pop_Pac_Ativo_ = Men_Pop_PAC_->addAction(QStringLiteral("Tornar Ativo"));
    Men_Pop_Pac_Ativo_->setObjectName(QStringLiteral("Men_Pop_Pac_Ativo"));
    Men_Pop_Pac_Inativo_ = Men_Pop_PAC_->addAction(QStringLiteral("Tornar Inativo"));
    Men_Pop_Pac_Inativo_->setObjectName(QStringLiteral("Men_Pop_Pac_Inativo"));
    connect(Men_Pop_Pac_Ativo_, &QAction::triggered, this,
            &TfrmPatientManager::Men_Pop_Pac_AtivoClick);
    connect(Men_Pop_Pac_Inativo_, &QAction::triggered, this,
            &TfrmPatientManager::Men_Pop_Pac_InativoClick);
    connect(DbgPatientManager_, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) {
                Men_Pop_PAC_->popup(DbgPatientManager_->viewport()->mapToGlobal(at));
            });

    auto* navigation = new QHBoxLayout;
    navigation->setContentsMargins(0, 6, 0, 0);
    const struct {
        const char* Name;
        QString Caption;
        QString Hint;
        int Which; // 0 first, 1 previous, 2 next, 3 last
    } buttons[] = {
        {"spb_pac_primeiro", QStringLiteral("|<"), QStringLiteral("Vai Para o Primeiro Registro"),
         0},
        {"spb_pac_anterior", QStringLiteral("<"), QStringLiteral("Vai Para o Registro Anterior"),
         1},
        {"spb_pac_proximo", QStringLiteral(">"), QStringLiteral("Vai Para o Próximo Registro"), 2},
        {"spb_pac_ultimo", QStringLiteral(">|"), QStringLiteral("Vai Para o Último Registro"), 3},
    };
    navigation->addStretch(1);
    for (const auto& b : buttons) {
        QPushButton* button = MakeBarButton(group, b.Name, b.Caption, b.Hint);
        button->setMinimumWidth(48);
        navigation->addWidget(button);
        const int which = b.Which;
        connect(button, &QPushButton::clicked, this, [this, which] {
            const int row = DbgPatientManager_->CurrentRow();
            // The list is fetched as it is shown: the grid fetches to the end for the last row.
            const int last = std::numeric_limits<int>::max();
            const int targets[] = {0, row - 1, row + 1, last};
            Navigate(targets[which]);
        });
    }
    navigation->addStretch(1);
    column->addLayout(navigation);

    connect(Edt_PAC_FNome_, &QLineEdit::textChanged, this,
            &TfrmPatientManager::Edt_PAC_FNomeChange);
    connect(Edt_PAC_HandBook_, &QLineEdit::textChanged, this,
            &TfrmPatientManager::Edt_PAC_HandBookChange);
    connect(Btn_Pac_Select_, &QPushButton::clicked, this, &TfrmPatientManager::Btn_Pac_SelectClick);
    connect(Btn_Pac_Todos_, &QPushButton::clicked, this, &TfrmPatientManager::Btn_Pac_TodosClick);
    for (QCheckBox* box :
         {Chk_PAC_Ativo_, Chk_PAC_Inativo_, Chk_PAC_Feminino_, Chk_PAC_Masculino_}) {
        connect(box, &QCheckBox::clicked, this, &TfrmPatientManager::FilterBoxClick);
    }
    connect(DbgPatientManager_, &QAbstractItemView::clicked, this,
            &TfrmPatientManager::DbgPatientManagerCellClick);
    connect(DbgPatientManager_, &QAbstractItemView::doubleClicked, this,
            &TfrmPatientManager::DbgPatientManagerDblClick);
    connect(DbgPatientManager_, &TRecordsGrid::KeyPressed, this,
            &TfrmPatientManager::DbgPatientManagerKeyDown);
    connect(DbgPatientManager_->horizontalHeader(), &QHeaderView::sectionClicked, this,
            &TfrmPatientManager::DbgPatientManagerTitleClick);
    connect(DbgPatientManager_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this] {
                if (!Syncing_) {
                    SelectedRowChanged();
                }
            });
    return group;
}

// ---------------------------------------------------------------------------------------------
// Opening and closing

void TfrmPatientManager::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!Shown_) {
        Shown_ = true;
        FormShow();
    }
}

void TfrmPatientManager::FormShow() {
    DB_ = std::make_unique<TBDEndomira>(DM_);
    Colour(Chk_PAC_Ativo_, TRecordsGridModel::ActiveRowColour());
    Colour(Chk_PAC_Inativo_, TRecordsGridModel::InactiveRowColour());
    Refresh_.SetOpen(true);
    try {
        DB_->CheckDBUpgrade();
    } catch (const TDBError&) {
        // The upgrade is tried again at the next opening; the list below reports a database
        // that cannot be read.
    }
    Colour(lbl_PAC_Info_List_, QColor(58, 110, 165), Qt::white);
    spb_bdSave_->hide();
    spb_bdErase_->hide();
    spb_bdRestore_->hide();
    SetFieldsEnabled(false);
    AtualizaListaPaciente(QString(), false);
}

void TfrmPatientManager::closeEvent(QCloseEvent* event) {
    tmr_Clear_->stop();
    event->accept();
    EnableMenus();
}

void TfrmPatientManager::SpeedButton2Click() {
    // The examination manager disables the main menu when it opens: this window, which enables
    // it on closing, closes first.
    const TNewExamCommand command = NewExamCommand_;
    CloseManager(this);
    if (command) {
        command();
    }
}

// ---------------------------------------------------------------------------------------------
// The list

void TfrmPatientManager::AtualizaListaPaciente(const QString& sortSpec, bool keepPosition) {
    if (!Refresh_.Open() || !DB_) {
        return;
    }
    TPatientFilterControls controls;
    controls.FilterOn = !FilterIsOff(Lbl_Pac_Filtro_->text());
    controls.Name = Edt_PAC_FNome_->text();
    controls.HandBookIsCPF = Btn_Pac_Select_->text() == QStringLiteral("CPF");
    controls.HandBook = Edt_PAC_HandBook_->text();
    controls.Active = Chk_PAC_Ativo_->isChecked();
    controls.Inactive = Chk_PAC_Inativo_->isChecked();
    controls.Female = Chk_PAC_Feminino_->isChecked();
    controls.Male = Chk_PAC_Masculino_->isChecked();
    const TPatientSearch search = PatientSearchFor(controls);

    const int row = DbgPatientManager_->CurrentRow();
    ++RefreshCount_;
    int count = 0;
    {
        Syncing_ = true;
        try {
            count = DB_->ListPatients(search.Name, search.Status, search.RecordNumber, search.CPF,
                                      -1, search.Sex, QString(), QString(), sortSpec, 0);
            if (keepPosition) {
                DM_.SetCurrentRow(TList::Patients, row);
            }
        } catch (const TDBError& error) {
            Syncing_ = false;
            ShowListError(error.Message());
            count = DM_.RowCount(TList::Patients);
        }
        DbgPatientManager_->SetCurrentRow(DM_.CurrentRow(TList::Patients));
        Syncing_ = false;
    }
    lbl_PAC_Info_List_->setText(PatientCountText(count));
    SelectedRowChanged();
}

void TfrmPatientManager::ShowListError(const QString& message) {
    DB_->ShowDBError(1, message);
}

void TfrmPatientManager::SelectedRowChanged() {
    const int row = DbgPatientManager_->CurrentRow();
    if (row >= 0) {
        DM_.SetCurrentRow(TList::Patients, row);
    }
    const int id = row >= 0 ? GridModel_->Value(row, QStringLiteral("PAC_ID")).toInt() : 0;
    const int status = row >= 0 ? GridModel_->RowStatus(row) : 0;
    const TPatientRowActions actions = PatientRowActions(id, status, Inserting_);
    spb_bdErase_->setEnabled(actions.EraseEnabled);
    Men_Pop_Pac_Inativo_->setEnabled(actions.EraseEnabled);
    spb_bdRestore_->setEnabled(actions.RestoreEnabled);
    Men_Pop_Pac_Ativo_->setEnabled(actions.RestoreEnabled);
    if (actions.ReloadFields && !HoldFields_) {
        DbGridToRegEdit();
    }
}

void TfrmPatientManager::DbGridToRegEdit() {
    const int row = DbgPatientManager_->CurrentRow();
    auto cell = [&](const QString& column) {
        return row >= 0 ? GridModel_->Value(row, column) : QVariant();
    };
    auto value = [&](const char* column) { return CellText(cell(QString::fromLatin1(column))); };
    Patient_.Id = row >= 0 ? GridModel_->Value(row, QStringLiteral("PAC_ID")).toInt() : 0;
    SetMaskedText(Mke_Pac_Prontuario_, value("PAC_PRONTUARIO"));
    Edt_PAC_Nome_->setText(value("PAC_NOME"));
    SetComboText(Cbb_PAC_Sexo_, value("PAC_SEXO"));
    Edt_PAC_Profissao_->setText(value("PAC_PROF"));
    SetComboText(Cbb_PAC_Civil_, value("PAC_CIVIL"));
    SetComboText(Cbb_PAC_Sangue_, value("PAC_SANGUE"));
    LoadIdentity(Identidade_, QStringLiteral("PAC"), QStringLiteral("PAC_NAT_UF"), cell);
    LoadContact(Contato_, QStringLiteral("PAC"), cell);
    Mem_PAC_Observacao_->setPlainText(value("PAC_OBSERVACOES"));
}

void TfrmPatientManager::ClearFields() {
    for (QLineEdit* edit : {Mke_Pac_Prontuario_, Edt_PAC_Nome_, Edt_PAC_Profissao_}) {
        edit->clear();
    }
    for (QComboBox* combo : {Cbb_PAC_Sexo_, Cbb_PAC_Civil_, Cbb_PAC_Sangue_}) {
        SetComboText(combo, QString());
    }
    ClearIdentity(Identidade_);
    ClearContact(Contato_);
    Mem_PAC_Observacao_->clear();
}

void TfrmPatientManager::SetFieldsEnabled(bool enabled) {
    GPb_PAC_Registro_->setEnabled(enabled);
    GPb_PAC_Contato_->setEnabled(enabled);
    Mem_PAC_Observacao_->setEnabled(enabled);
}

void TfrmPatientManager::Navigate(int row) {
    if (GridModel_->rowCount() == 0) {
        return;
    }
    DbgPatientManager_->SetCurrentRow(row);
    DbGridToRegEdit();
}

// ---------------------------------------------------------------------------------------------
// The grid

void TfrmPatientManager::DbgPatientManagerCellClick() {
    spb_bdSave_->show();
    spb_bdErase_->show();
    spb_bdRestore_->show();
    SetFieldsEnabled(true);
    Inserting_ = false;
    DbGridToRegEdit();
}

void TfrmPatientManager::DbgPatientManagerDblClick() {
    Mke_Pac_Prontuario_->setFocus();
}

void TfrmPatientManager::DbgPatientManagerTitleClick(int column) {
    const QString field = GridModel_->FieldName(column);
    if (!field.isEmpty()) {
        AtualizaListaPaciente(field, false);
    }
}

void TfrmPatientManager::DbgPatientManagerKeyDown(int key) {
    const int row = DbgPatientManager_->CurrentRow();
    if (row < 0) {
        return;
    }
    const TPatientKeyAction action = PatientKeyAction(key, GridModel_->RowStatus(row));
    if (!action.Ask) {
        return;
    }
    if (ShowMessageDlg(action.Question, TMsgKind::Confirmation, mbYes | mbNo) == mbYes) {
        SetPatientStatusOfRow(row, action.NewStatus);
    }
    AtualizaListaPaciente(QString(), true);
}

void TfrmPatientManager::SetPatientStatusOfRow(int row, int status) {
    const int id = GridModel_->Value(row, QStringLiteral("PAC_ID")).toInt();
    try {
        DB_->SetPatientStatus(id, status);
    } catch (const TDBError& error) {
        DB_->ShowDBError(1, error.Message());
    }
}

void TfrmPatientManager::Men_Pop_Pac_AtivoClick() {
    const int row = DbgPatientManager_->CurrentRow();
    if (row < 0) {
        return;
    }
    SetPatientStatusOfRow(row, 1);
    AtualizaListaPaciente(QString(), true);
}

void TfrmPatientManager::Men_Pop_Pac_InativoClick() {
    const int row = DbgPatientManager_->CurrentRow();
    if (row < 0) {
        return;
    }
    SetPatientStatusOfRow(row, 0);
    AtualizaListaPaciente(QString(), true);
}

// ---------------------------------------------------------------------------------------------
// The filter

bool TfrmPatientManager::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Lbl_Pac_Filtro_ && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Lbl_Pac_FiltroClick();
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmPatientManager::ApplyFilterArrangement(bool filterOn) {
    Lbl_Pac_Filtro_->setText(filterOn ? kFilterOnText : kFilterOffText);
    GPb_PAC_Filtros_->setVisible(filterOn);
    // The grid moves at once, before the list is searched again.
    if (QLayout* list = GPb_PAC_Filtros_->parentWidget()->layout()) {
        list->activate();
    }
}

void TfrmPatientManager::Lbl_Pac_FiltroClick() {
    ApplyFilterArrangement(FilterIsOff(Lbl_Pac_Filtro_->text()));
    AtualizaListaPaciente(QString(), false);
}

void TfrmPatientManager::Edt_PAC_FNomeChange() {
    if (!Refresh_.Open()) {
        return;
    }
    {
        const TRefreshGate::TShut shut(Refresh_);
        Edt_PAC_HandBook_->clear();
    }
    AtualizaListaPaciente(QString(), false);
}

void TfrmPatientManager::Edt_PAC_HandBookChange() {
    if (!Refresh_.Open()) {
        return;
    }
    {
        const TRefreshGate::TShut shut(Refresh_);
        Edt_PAC_FNome_->clear();
    }
    AtualizaListaPaciente(QString(), false);
}

void TfrmPatientManager::Btn_Pac_SelectClick() {
    Btn_Pac_Select_->setText(Btn_Pac_Select_->text() == QStringLiteral("CPF")
                                 ? QStringLiteral("Prontuário")
                                 : QStringLiteral("CPF"));
    if (!Edt_PAC_HandBook_->text().isEmpty()) {
        Edt_PAC_HandBook_->clear();
    }
    Edt_PAC_HandBook_->setFocus();
}

void TfrmPatientManager::Btn_Pac_TodosClick() {
    {
        const TRefreshGate::TShut shut(Refresh_);
        Edt_PAC_FNome_->clear();
        Edt_PAC_HandBook_->clear();
        for (QCheckBox* box :
             {Chk_PAC_Ativo_, Chk_PAC_Inativo_, Chk_PAC_Feminino_, Chk_PAC_Masculino_}) {
            box->setChecked(true);
        }
    }
    AtualizaListaPaciente(QString(), false);
}

void TfrmPatientManager::FilterBoxClick() {
    AtualizaListaPaciente(QString(), true);
}

// ---------------------------------------------------------------------------------------------
// Editing

void TfrmPatientManager::spb_bdNewClick() {
    spb_bdSave_->show();
    spb_bdCancel_->show();
    spb_bdRestore_->hide();
    spb_bdErase_->hide();
    SetFieldsEnabled(true);
    DbgPatientManager_->setEnabled(false);
    // The patient on show stays a moment, so that the operator sees the form empty itself.
    tmr_Clear_->start();
    Patient_.Id = -1;
    Mke_Pac_Prontuario_->setFocus();
    Inserting_ = true;
}

void TfrmPatientManager::tmr_ClearTimer() {
    tmr_Clear_->stop();
    ClearFields();
}

void TfrmPatientManager::spb_bdCancelClick() {
    spb_bdSave_->hide();
    spb_bdRestore_->hide();
    spb_bdErase_->hide();
    spb_bdCancel_->hide();
    SetFieldsEnabled(false);
    DbgPatientManager_->setEnabled(true);
    tmr_Clear_->stop();
    Inserting_ = false;
}

void TfrmPatientManager::btn_PAC_Obs_ClearClick() {
    if (Mem_PAC_Observacao_->isEnabled()) {
        Mem_PAC_Observacao_->clear();
    }
}

void TfrmPatientManager::FormToPatient() {
    // A form still waiting to be emptied is emptied before it is read.
    if (tmr_Clear_->isActive()) {
        tmr_ClearTimer();
    }
    Patient_.Prontuario =
        MaskedFieldValue(TMaskKind::RecordNumber, Mke_Pac_Prontuario_->displayText());
    Patient_.Nome = Edt_PAC_Nome_->text();
    Patient_.Sexo = ComboText(Cbb_PAC_Sexo_);
    Patient_.Prof = Edt_PAC_Profissao_->text();
    Patient_.Civil = ComboText(Cbb_PAC_Civil_);
    Patient_.Sangue = ComboText(Cbb_PAC_Sangue_);
    IdentityToRecord(Identidade_, Patient_);
    ContactToRecord(Contato_, Patient_);
    Patient_.Observacoes = Mem_PAC_Observacao_->toPlainText();
}

void TfrmPatientManager::PatientBackToForm() {
    Edt_PAC_Nome_->setText(Patient_.Nome);
    Edt_PAC_Profissao_->setText(Patient_.Prof);
    IdentityBackToForm(Identidade_, Patient_);
    ContactBackToForm(Contato_, Patient_);
}

void TfrmPatientManager::ReopenListAt(int row, bool reloadFields) {
    HoldFields_ = !reloadFields;
    Syncing_ = true;
    try {
        DM_.ReopenList(QStringLiteral("patient"));
    } catch (const TDBError& error) {
        DB_->ShowDBError(1, error.Message());
    }
    DbgPatientManager_->SetCurrentRow(row);
    Syncing_ = false;
    lbl_PAC_Info_List_->setText(PatientCountText(DM_.RowCount(TList::Patients)));
    SelectedRowChanged();
    HoldFields_ = false;
}

void TfrmPatientManager::spb_bdSaveClick() {
    FormToPatient();
    const int row = DbgPatientManager_->CurrentRow();
    if (Inserting_) {
        Patient_.Id = -1;
    }
    if (!DB_->SavePatient(Patient_)) {
        // What was typed stays in the form, and the grid on the row it was on.
        ReopenListAt(row, false);
        return;
    }
    // The refresh moves the grid, which reloads the form and the current id from the rows it
    // passes: the id saved is kept aside.
    const int saved = Patient_.Id;
    PatientBackToForm();
    AtualizaListaPaciente(QStringLiteral("-PAC_ID"), false);
    int target = row;
    QString message;
    if (Inserting_) {
        // The new patient has the highest id: the last row, unless the filter leaves it out
        // (the grid clamps the fallback to the last row).
        target =
            GridModel_->RowOf(QStringLiteral("PAC_ID"), saved, std::numeric_limits<int>::max());
        spb_bdSave_->hide();
        spb_bdRestore_->hide();
        spb_bdErase_->hide();
        DbgPatientManager_->setEnabled(true);
        message = QStringLiteral("Novo Registro Cadastrado Com Sucesso!");
    } else {
        // The list is now in id order: the row of the patient just saved, not the old number.
        target = GridModel_->RowOf(QStringLiteral("PAC_ID"), saved, row);
        message = QStringLiteral("Registro Atualizado Com Sucesso!");
    }
    DbgPatientManager_->SetCurrentRow(target);
    ShowMessageDlg(message, TMsgKind::Information, mbOK);
    DbgPatientManager_->setFocus();
    Inserting_ = false;
    // Committing reopens the list on its first row: the grid comes back to the patient saved.
    ReopenListAt(target, true);
}

void TfrmPatientManager::spb_bdEraseClick() {
    DB_->DeactivatePatient(Patient_.Id);
    AtualizaListaPaciente(QString(), true);
    DbGridToRegEdit();
}

void TfrmPatientManager::spb_bdRestoreClick() {
    const int row = DbgPatientManager_->CurrentRow();
    DB_->RestorePatient(Patient_.Id);
    AtualizaListaPaciente(QString(), true);
    DbGridToRegEdit();
    Navigate(row);
}

} // namespace endomira
