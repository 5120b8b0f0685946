#include "FormFields.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "DateText.h"

namespace endomira {

QString CellText(const QVariant& value) {
    return value.isNull() ? QString() : value.toString();
}

void Colour(QWidget* widget, const QColor& background, const QColor& text) {
    QPalette colours = widget->palette();
    colours.setColor(QPalette::Window, background);
    colours.setColor(QPalette::WindowText, text);
    widget->setPalette(colours);
    widget->setAutoFillBackground(true);
}

QLabel* AddLabelled(QGridLayout* grid, int row, int column, const QString& caption, QWidget* field,
                    int columnSpan) {
    auto* label = new QLabel(caption, field->parentWidget());
    label->setBuddy(field);
    grid->addWidget(label, row * 2, column, 1, columnSpan);
    grid->addWidget(field, row * 2 + 1, column, 1, columnSpan);
    return label;
}

QLineEdit* MakeEdit(QWidget* parent, const char* name) {
    auto* edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    return edit;
}

QLineEdit* MakeMasked(QWidget* parent, const char* name, TMaskKind kind) {
    QLineEdit* edit = MakeEdit(parent, name);
    edit->setInputMask(InputMask(kind));
    // Room for the whole mask in the program's font, whatever the column width.
    edit->setMinimumWidth(edit->fontMetrics().horizontalAdvance(InputMask(kind)) + 24);
    return edit;
}

QComboBox* MakeCombo(QWidget* parent, const char* name, const QStringList& items, bool editable,
                     bool upperCase) {
    auto* combo = new QComboBox(parent);
    combo->setObjectName(QString::fromLatin1(name));
    combo->setEditable(editable);
    combo->addItems(items);
    combo->setCurrentIndex(-1);
    if (editable) {
        combo->setInsertPolicy(QComboBox::NoInsert);
        combo->lineEdit()->clear();
        if (upperCase) {
            QLineEdit* line = combo->lineEdit();
            QObject::connect(line, &QLineEdit::textEdited, line, [line](const QString& text) {
                const QString upper = text.toUpper();
                if (upper != text) {
                    const int cursor = line->cursorPosition();
                    line->setText(upper);
                    line->setCursorPosition(cursor);
                }
            });
        }
    }
    return combo;
}

QPushButton* MakeBarButton(QWidget* parent, const char* name, const QString& caption,
                           const QString& hint) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(hint);
    button->setStatusTip(hint);
    button->setAutoDefault(false);
    button->setFocusPolicy(Qt::TabFocus);
    button->setMinimumHeight(34);
    return button;
}

void AddTitle(QWidget* window, QVBoxLayout* layout, const QString& title, const QString& help) {
    auto* titleLabel = new QLabel(title, window);
    titleLabel->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = titleLabel->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.5);
    titleFont.setBold(true);
    titleLabel->setFont(titleFont);
    auto* helpLabel = new QLabel(help, window);
    helpLabel->setObjectName(QStringLiteral("lblHelp"));
    helpLabel->setWordWrap(true);
    layout->addWidget(titleLabel);
    layout->addWidget(helpLabel);
}

void CloseManager(QWidget* window) {
    if (auto* sub = qobject_cast<QMdiSubWindow*>(window->parentWidget())) {
        sub->close();
    } else {
        window->close();
    }
}

QString ComboText(const QComboBox* combo) {
    if (combo->isEditable()) {
        return combo->currentText();
    }
    return combo->currentIndex() >= 0 ? combo->currentText() : QString();
}

void SetComboText(QComboBox* combo, const QString& text) {
    const int index = text.isEmpty() ? -1 : combo->findText(text, Qt::MatchFixedString);
    combo->setCurrentIndex(index);
    if (combo->isEditable()) {
        combo->setEditText(index >= 0 ? combo->itemText(index) : text);
    }
}

void SetMaskedText(QLineEdit* edit, const QString& text) {
    edit->setText(text);
}

TIdentityFields MakeIdentityFields(QWidget* group, const QString& prefix, const char* birthField,
                                   bool editableNatUF) {
    auto name = [&prefix](const char* kind, const char* field) {
        return QStringLiteral("%1_%2_%3")
            .arg(QString::fromLatin1(kind), prefix, QString::fromLatin1(field))
            .toLatin1();
    };
    TIdentityFields f;
    f.CPF = MakeMasked(group, name("Mke", "CPF").constData(), TMaskKind::CPF);
    f.RG = MakeEdit(group, name("Edt", "RG").constData());
    f.Orgao = MakeEdit(group, name("Edt", "Orgao").constData());
    f.Nascimento = MakeMasked(group, name("Mke", birthField).constData(), TMaskKind::Date);
    f.Natural = MakeEdit(group, name("Edt", "Natural").constData());
    f.NatUF = MakeCombo(group, name("Cbb", "NatUF").constData(), StateCodes(), editableNatUF);
    f.Pai = MakeEdit(group, name("Edt", "Pai").constData());
    f.Mae = MakeEdit(group, name("Edt", "Mae").constData());
    return f;
}

void AddIdentityRows(QGridLayout* grid, const TIdentityFields& fields) {
    AddLabelled(grid, 2, 0, QStringLiteral("CPF"), fields.CPF);
    AddLabelled(grid, 2, 1, QStringLiteral("RG"), fields.RG);
    AddLabelled(grid, 2, 2, QStringLiteral("Orgão Expeditor"), fields.Orgao);
    AddLabelled(grid, 2, 3, QStringLiteral("Nasc."), fields.Nascimento);
    AddLabelled(grid, 3, 0, QStringLiteral("Naturalidade"), fields.Natural, 3);
    AddLabelled(grid, 3, 3, QStringLiteral("UF"), fields.NatUF);
    AddLabelled(grid, 4, 0, QStringLiteral("Pai"), fields.Pai, 2);
    AddLabelled(grid, 4, 2, QStringLiteral("Mãe"), fields.Mae, 2);
    for (int c = 0; c < 4; ++c) {
        grid->setColumnStretch(c, 1);
    }
}

void ClearIdentity(const TIdentityFields& fields) {
    for (QLineEdit* edit : {fields.CPF, fields.RG, fields.Orgao, fields.Nascimento, fields.Natural,
                            fields.Pai, fields.Mae}) {
        edit->clear();
    }
    SetComboText(fields.NatUF, QString());
}

void LoadIdentity(const TIdentityFields& fields, const QString& columnPrefix,
                  const QString& natUFColumn, const TRowValue& value) {
    auto column = [&](const char* field) {
        return value(columnPrefix + QLatin1Char('_') + QString::fromLatin1(field));
    };
    SetMaskedText(fields.CPF, CellText(column("CPF")));
    fields.RG->setText(CellText(column("RG")));
    fields.Orgao->setText(CellText(column("ORGAO")));
    const QVariant birth = column("NASCIMENTO");
    SetMaskedText(fields.Nascimento,
                  birth.typeId() == QMetaType::QDate ? DateToText(birth.toDate()) : QString());
    fields.Natural->setText(CellText(column("NATURAL")));
    SetComboText(fields.NatUF, CellText(value(natUFColumn)));
    fields.Pai->setText(CellText(column("PAI")));
    fields.Mae->setText(CellText(column("MAE")));
}

TContactFields BuildContactGroup(QWidget* parent, const QString& prefix, bool editableUF) {
    auto name = [&prefix](const char* kind, const char* field) {
        return QStringLiteral("%1_%2_%3")
            .arg(QString::fromLatin1(kind), prefix, QString::fromLatin1(field))
            .toLatin1();
    };
    TContactFields f;
    f.Group = new QGroupBox(QStringLiteral("Contato"), parent);
    f.Group->setObjectName(QString::fromLatin1(name("GPb", "Contato")));
    auto* grid = new QGridLayout(f.Group);
    grid->setVerticalSpacing(2);
    grid->setHorizontalSpacing(10);
    f.Logradouro = MakeEdit(f.Group, name("Edt", "Logradouro").constData());
    f.Complemento = MakeEdit(f.Group, name("Edt", "Complemento").constData());
    f.Bairro = MakeEdit(f.Group, name("Edt", "Bairro").constData());
    f.Cidade = MakeEdit(f.Group, name("Edt", "Cidade").constData());
    f.UF = MakeCombo(f.Group, name("Cbb", "UF").constData(), StateCodes(), editableUF);
    f.CEP = MakeMasked(f.Group, name("Mke", "CEP").constData(), TMaskKind::CEP);
    f.Fone1 = MakeMasked(f.Group, name("Mke", "Fone1").constData(), TMaskKind::Phone);
    f.Fone2 = MakeMasked(f.Group, name("Mke", "Fone2").constData(), TMaskKind::Phone);
    f.Fone3 = MakeMasked(f.Group, name("Mke", "Fone3").constData(), TMaskKind::Phone);
    f.Email = MakeEdit(f.Group, name("Edt", "Email").constData());

    AddLabelled(grid, 0, 0, QStringLiteral("Lograd."), f.Logradouro, 3);
    AddLabelled(grid, 0, 3, QStringLiteral("Complemento"), f.Complemento);
    AddLabelled(grid, 1, 0, QStringLiteral("Bairro"), f.Bairro);
    AddLabelled(grid, 1, 1, QStringLiteral("Cidade"), f.Cidade);
    AddLabelled(grid, 1, 2, QStringLiteral("UF"), f.UF);
    AddLabelled(grid, 1, 3, QStringLiteral("CEP"), f.CEP);
    AddLabelled(grid, 2, 0, QStringLiteral("Fone1"), f.Fone1);
    AddLabelled(grid, 2, 1, QStringLiteral("Fone2"), f.Fone2);
    AddLabelled(grid, 2, 2, QStringLiteral("Fone3"), f.Fone3);
    AddLabelled(grid, 3, 0, QStringLiteral("Email"), f.Email, 4);
    for (int c = 0; c < 4; ++c) {
        grid->setColumnStretch(c, 1);
    }
    return f;
}

void ClearContact(const TContactFields& fields) {
    for (QLineEdit* edit : {fields.Logradouro, fields.Complemento, fields.Bairro, fields.Cidade,
                            fields.CEP, fields.Fone1, fields.Fone2, fields.Fone3, fields.Email}) {
        edit->clear();
    }
    SetComboText(fields.UF, QString());
}

void LoadContact(const TContactFields& fields, const QString& columnPrefix,
                 const TRowValue& value) {
    auto column = [&](const char* field) {
        return CellText(value(columnPrefix + QLatin1Char('_') + QString::fromLatin1(field)));
    };
    fields.Logradouro->setText(column("LOGRADOURO"));
    fields.Complemento->setText(column("COMPLEMENTO"));
    fields.Bairro->setText(column("BAIRRO"));
    fields.Cidade->setText(column("CIDADE"));
    SetComboText(fields.UF, column("UF"));
    SetMaskedText(fields.CEP, column("CEP"));
    SetMaskedText(fields.Fone1, column("FONE1"));
    SetMaskedText(fields.Fone2, column("FONE2"));
    SetMaskedText(fields.Fone3, column("FONE3"));
    fields.Email->setText(column("EMAIL"));
}

TNotesFields BuildNotesGroup(QWidget* parent, const char* groupName, const char* memoName,
                             const char* clearName) {
    TNotesFields f;
    f.Group = new QGroupBox(QStringLiteral("Observações"), parent);
    f.Group->setObjectName(QString::fromLatin1(groupName));
    auto* row = new QHBoxLayout(f.Group);
    f.Memo = new QPlainTextEdit(f.Group);
    f.Memo->setObjectName(QString::fromLatin1(memoName));
    f.Memo->setMinimumHeight(60);
    f.Clear = new QPushButton(QStringLiteral("Limpar"), f.Group);
    f.Clear->setObjectName(QString::fromLatin1(clearName));
    f.Clear->setAutoDefault(false);
    auto* side = new QVBoxLayout;
    side->addWidget(f.Clear);
    side->addStretch(1);
    row->addWidget(f.Memo, 1);
    row->addLayout(side);
    return f;
}

} // namespace endomira
