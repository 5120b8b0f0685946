#include "UfrmCfgCamCap.h"

#include "MainMenus.h"
#include "MessageService.h"
#include "UBIniSettings.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>
#include <variant>
#include <vector>

namespace endomira {

namespace {

// The page headers' background.
const QColor kHeaderColour(17, 159, 255);

QLabel* Header(const QString& text, QWidget* parent, int pointSize) {
    auto* header = new QLabel(text, parent);
    header->setAutoFillBackground(true);
    QPalette palette = header->palette();
    palette.setColor(QPalette::Window, kHeaderColour);
    palette.setColor(QPalette::WindowText, Qt::white);
    header->setPalette(palette);
    QFont font = header->font();
    font.setBold(true);
    font.setPointSize(pointSize);
    header->setFont(font);
    header->setContentsMargins(8, 4, 8, 4);
    return header;
}

struct FieldRow {
    TCfgField Field;
    const char* Name;
    QString Caption;
    QString Note;
    int Width;
};

} // namespace

TfrmCfgCamCap::TfrmCfgCamCap(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmCfgCamCap"));
    setWindowTitle(QStringLiteral("Configuração"));
    setAttribute(Qt::WA_DeleteOnClose);

    Pages_ = new QTabWidget(this);
    Pages_->setObjectName(QStringLiteral("pgCfgs"));
    Pages_->setDocumentMode(true);

    auto addPage = [&](const char* name, const QString& caption, const QString& header,
                       const std::vector<std::variant<FieldRow, QString>>& rows) {
        auto* page = new QWidget(Pages_);
        page->setObjectName(QString::fromLatin1(name));
        auto* column = new QVBoxLayout(page);
        column->setContentsMargins(0, 0, 0, 8);
        column->addWidget(Header(header, page, 12));
        auto* grid = new QGridLayout;
        grid->setContentsMargins(14, 8, 14, 0);
        grid->setHorizontalSpacing(10);
        grid->setVerticalSpacing(8);
        int row = 0;
        for (const auto& item : rows) {
            if (const auto* subheader = std::get_if<QString>(&item)) {
                grid->addWidget(Header(*subheader, page, 10), row++, 0, 1, 3);
                continue;
            }
            const auto& f = std::get<FieldRow>(item);
            auto* label = new QLabel(f.Caption, page);
            auto* edit = new QLineEdit(page);
            edit->setObjectName(QString::fromLatin1(f.Name));
            label->setBuddy(edit);
            if (f.Width > 0) {
                edit->setFixedWidth(f.Width);
            } else {
                edit->setMinimumWidth(380);
            }
            grid->addWidget(label, row, 0, Qt::AlignRight);
            grid->addWidget(edit, row, 1, f.Width > 0 ? Qt::AlignLeft : Qt::Alignment());
            if (!f.Note.isEmpty()) {
                auto* note = new QLabel(f.Note, page);
                QPalette palette = note->palette();
                palette.setColor(QPalette::WindowText, QColor(90, 90, 90));
                note->setPalette(palette);
                grid->addWidget(note, row, 2);
            }
            Edits_[static_cast<std::size_t>(f.Field)] = edit;
            const TCfgField field = f.Field;
            connect(edit, &QLineEdit::textChanged, this, [this, field] { EditChanged(field); });
            ++row;
        }
        grid->setColumnStretch(2, 1);
        column->addLayout(grid);
        column->addStretch();
        Pages_->addTab(page, caption);
    };

    addPage("tbsCanais", QStringLiteral("Canais"), QStringLiteral("Configuração de canais"),
            {FieldRow{TCfgField::MainCam, "edtMainCam", QStringLiteral("Câmera Principal:"),
                      QStringLiteral("(nº do canal)"), 60},
             FieldRow{TCfgField::AuxCam, "edtAuxCam", QStringLiteral("Câmera Secundária:"),
                      QStringLiteral("(nº do canal)"), 60}});
    addPage("tbsCaptura", QStringLiteral("Captura"), QStringLiteral("Configurações de captura"),
            {FieldRow{TCfgField::MaxCaptures, "edtNumMaxCaptures",
                      QStringLiteral("Nº máximo de capturas:"), QStringLiteral("(1 a 300)"), 60},
             QStringLiteral("Configs. captura automática"),
             FieldRow{TCfgField::Average, "edtNCAverageValue", QStringLiteral("Média:"),
                      QStringLiteral("(valor médio de NC)"), 80},
             FieldRow{TCfgField::SD, "edtNCSDValue", QStringLiteral("D.P.:"),
                      QStringLiteral("(valor do desvio padrão dos NCs)"), 80},
             FieldRow{TCfgField::Tolerance, "edtTolerance", QStringLiteral("Tolerância:"),
                      QStringLiteral("(valor entre 0 e 1 - 0 = 0% e 1 = 100%)"), 80}});
    addPage(
        "tbsDadosClinica", QStringLiteral("Dados da Clínica"), QStringLiteral("Dados da Clínica"),
        {FieldRow{TCfgField::ClinicName, "edtClinicName", QStringLiteral("Nome:"), {}, 0},
         FieldRow{TCfgField::ClinicAddress, "edtClinicAddress", QStringLiteral("Endereço:"), {}, 0},
         FieldRow{TCfgField::ClinicPhone, "edtClinicPhone", QStringLiteral("Telefone:"), {}, 0}});

    BtnOK_ = new QPushButton(QStringLiteral("OK"), this);
    BtnOK_->setObjectName(QStringLiteral("btnOK"));
    BtnApply_ = new QPushButton(QStringLiteral("Aplicar"), this);
    BtnApply_->setObjectName(QStringLiteral("btnApply"));
    BtnApply_->setEnabled(false);
    BtnCancel_ = new QPushButton(QStringLiteral("Cancelar"), this);
    BtnCancel_->setObjectName(QStringLiteral("btnCancel"));
    for (QPushButton* b : {BtnOK_, BtnApply_, BtnCancel_}) {
        b->setMinimumWidth(90);
        b->setAutoDefault(false);
    }
    connect(BtnOK_, &QPushButton::clicked, this, &TfrmCfgCamCap::btnOKClick);
    connect(BtnApply_, &QPushButton::clicked, this, &TfrmCfgCamCap::btnApplyClick);
    connect(BtnCancel_, &QPushButton::clicked, this, &TfrmCfgCamCap::btnCancelClick);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BtnOK_);
    buttons->addWidget(BtnApply_);
    buttons->addWidget(BtnCancel_);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Pages_);
    layout->addLayout(buttons);
    setMinimumSize(640, 330);
}

TfrmCfgCamCap::~TfrmCfgCamCap() = default;

void TfrmCfgCamCap::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    // A window shown again (restored from minimised) keeps what the operator typed.
    if (IsOpen_) {
        return;
    }
    IsOpen_ = true;
    Pages_->setCurrentIndex(0);
    LoadDialogValues();
}

TCfgTexts TfrmCfgCamCap::EditTexts() const {
    TCfgTexts texts;
    for (int i = 0; i < kCfgFieldCount; ++i) {
        texts.Text[static_cast<std::size_t>(i)] = Edits_[static_cast<std::size_t>(i)]->text();
    }
    return texts;
}

void TfrmCfgCamCap::LoadDialogValues() {
    const TBIniSettings* settings = ProgramSettings();
    if (settings == nullptr) {
        return;
    }
    const TCfgTexts stored = StoredCfgTexts(*settings);
    Loading_ = true;
    for (int i = 0; i < kCfgFieldCount; ++i) {
        Edits_[static_cast<std::size_t>(i)]->setText(stored.Text[static_cast<std::size_t>(i)]);
    }
    Loading_ = false;
    SetButtons(TCfgButtons{false, true});
}

bool TfrmCfgCamCap::SaveDialogValues() {
    TBIniSettings* settings = ProgramSettings();
    if (settings == nullptr) {
        return false;
    }
    if (const auto failure = SaveCfgTexts(EditTexts(), *settings)) {
        ShowMessageDlg(failure->Message, TMsgKind::Error);
        QLineEdit* edit = Edit(failure->Field);
        Pages_->setCurrentWidget(edit->parentWidget());
        edit->setFocus();
        edit->selectAll();
        return false;
    }
    return true;
}

bool TfrmCfgCamCap::HasChanges() const {
    const TBIniSettings* settings = ProgramSettings();
    return settings != nullptr && endomira::HasChanges(EditTexts(), StoredCfgTexts(*settings));
}

void TfrmCfgCamCap::SetButtons(TCfgButtons buttons) {
    BtnApply_->setEnabled(buttons.ApplyEnabled);
    BtnOK_->setEnabled(buttons.OKEnabled);
}

void TfrmCfgCamCap::EditChanged(TCfgField field) {
    const TBIniSettings* settings = ProgramSettings();
    if (Loading_ || settings == nullptr) {
        return;
    }
    SetButtons(ButtonsAfterChange(field, EditTexts(), StoredCfgTexts(*settings),
                                  TCfgButtons{BtnApply_->isEnabled(), BtnOK_->isEnabled()}));
}

void TfrmCfgCamCap::btnApplyClick() {
    ApplyChanges();
}

bool TfrmCfgCamCap::ApplyChanges() {
    const TMsgButton answer =
        ShowMessageBox(QStringLiteral("Modificações nos valores de configuração foram "
                                      "detectadas!\rDeseja realmente aplicá-las?"),
                       QStringLiteral("Aviso"), mbYes | mbNo);
    if (answer == mbYes) {
        if (!SaveDialogValues()) {
            // What did not convert, and what follows it, is still pending: "OK" must not
            // discard it unseen.
            const bool pending = HasChanges();
            SetButtons(TCfgButtons{pending, !pending});
            return false;
        }
    } else {
        LoadDialogValues();
    }
    SetButtons(TCfgButtons{false, true});
    return true;
}

bool TfrmCfgCamCap::ResolvePendingChanges() {
    if (!HasChanges()) {
        return true;
    }
    const TMsgButton answer =
        ShowMessageBox(QStringLiteral("Existem mudanças não salvas. Deseja descartá-las?"),
                       QStringLiteral("Aviso"), mbYes | mbNo);
    // On No the changes are applied, with their own question; a save stopped by a field that
    // did not convert keeps the dialog open on that field.
    return answer == mbYes || ApplyChanges();
}

void TfrmCfgCamCap::btnOKClick() {
    CloseDialog();
}

void TfrmCfgCamCap::btnCancelClick() {
    if (!ResolvePendingChanges()) {
        return;
    }
    CloseDialog();
}

void TfrmCfgCamCap::CloseDialog() {
    ClosingByButton_ = true;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget())) {
        sub->close();
    } else {
        close();
    }
    ClosingByButton_ = false;
}

void TfrmCfgCamCap::closeEvent(QCloseEvent* event) {
    // The window's own close button is "Cancelar".
    if (!ClosingByButton_ && !ResolvePendingChanges()) {
        event->ignore();
        return;
    }
    IsOpen_ = false;
    event->accept();
    EnableMenus();
}

} // namespace endomira
