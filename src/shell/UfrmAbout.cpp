#include "UfrmAbout.h"

#include "Artwork.h"
#include "FileVersion.h"
#include "MainMenus.h"
#include "ShellDatabase.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace endomira {

namespace {

const QString kVersion = QStringLiteral("Versão: ");

QString DatabaseVersionText(IShellDatabase* database) {
    if (database == nullptr) {
        return QStringLiteral("indisponível");
    }
    try {
        return database->Version();
    } catch (const TShellDatabaseError&) {
        return QStringLiteral("indisponível");
    }
}

} // namespace

TfrmAbout::TfrmAbout(IShellDatabase* database, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(QStringLiteral("Sobre"));
    setModal(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, 20, 28, 16);
    layout->setSpacing(10);

    auto* logo = new QLabel(this);
    logo->setObjectName(QStringLiteral("imgLogo"));
    logo->setPixmap(CellsLogo(96));
    logo->setAlignment(Qt::AlignCenter);
    layout->addWidget(logo);

    auto* name = new QLabel(QStringLiteral("Endomira"), this);
    name->setObjectName(QStringLiteral("lblProgram"));
    QFont nameFont = name->font();
    nameFont.setPointSize(16);
    nameFont.setBold(true);
    name->setFont(nameFont);
    name->setAlignment(Qt::AlignCenter);
    layout->addWidget(name);

    auto* grid = new QGridLayout;
    grid->setHorizontalSpacing(16);
    const struct {
        const char* Caption;
        const char* Name;
        QString Text;
    } lines[] = {
        {"Software", "lbl_Abt_Soft_Value", kVersion + GetFileVersionText()},
        {"Hardware", "Lbl_Abt_Hard_Value", QStringLiteral("Versão: 0.0.0.0")},
        {"DataBase", "Lbl_Abt_DB_Value", kVersion + DatabaseVersionText(database)},
    };
    int row = 0;
    for (const auto& line : lines) {
        auto* caption = new QLabel(QString::fromLatin1(line.Caption), this);
        QFont bold = caption->font();
        bold.setBold(true);
        caption->setFont(bold);
        auto* value = new QLabel(line.Text, this);
        value->setObjectName(QString::fromLatin1(line.Name));
        grid->addWidget(caption, row, 0, Qt::AlignRight);
        grid->addWidget(value, row, 1, Qt::AlignLeft);
        ++row;
    }
    auto* centred = new QHBoxLayout;
    centred->addStretch();
    centred->addLayout(grid);
    centred->addStretch();
    layout->addLayout(centred);

    auto* company = new QLabel(QStringLiteral("Endomira — microscopia especular"), this);
    company->setObjectName(QStringLiteral("Lbl_Company"));
    company->setAlignment(Qt::AlignCenter);
    layout->addWidget(company);
    auto* web = new QLabel(QStringLiteral("www.endomira.example"), this);
    web->setObjectName(QStringLiteral("Lbl_Abt_web"));
    web->setAlignment(Qt::AlignCenter);
    layout->addWidget(web);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("btnOK"));
    ok->setDefault(true);
    ok->setMinimumWidth(90);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addStretch();
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TfrmAbout::done(int result) {
    EnableMenus();
    QDialog::done(result);
}

} // namespace endomira
