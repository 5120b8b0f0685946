#pragma once

#include "RecordsLogic.h"

#include <QColor>
#include <QComboBox>
#include <QLineEdit>
#include <QString>
#include <QVariant>

#include <functional>

class QGridLayout;
class QGroupBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QVBoxLayout;
class QWidget;

namespace endomira {

// Building blocks shared by the patient and doctor managers' forms.

// A caption above its field, placed in a grid cell.
QLabel* AddLabelled(QGridLayout* grid, int row, int column, const QString& caption, QWidget* field,
                    int columnSpan = 1);

QLineEdit* MakeEdit(QWidget* parent, const char* name);
QLineEdit* MakeMasked(QWidget* parent, const char* name, TMaskKind kind);
// `editable`: the operator may type an entry of his own; `upperCase`: typed text is turned
// into capitals as it is typed.
QComboBox* MakeCombo(QWidget* parent, const char* name, const QStringList& items, bool editable,
                     bool upperCase = false);
// A button of the top bar.
QPushButton* MakeBarButton(QWidget* parent, const char* name, const QString& caption,
                           const QString& hint);

// The window's title in large bold type ("lblTitle") and the help text under it ("lblHelp"),
// added to the window's column.
void AddTitle(QWidget* window, QVBoxLayout* layout, const QString& title, const QString& help);
// Closes a manager: the sub-window it stands in within the main window, or the manager itself.
void CloseManager(QWidget* window);

// The text of a list cell; empty for a null value.
QString CellText(const QVariant& value);
// Paints a widget's background and text in the given colours.
void Colour(QWidget* widget, const QColor& background, const QColor& text = Qt::black);

// The text of a combo box; empty when nothing is chosen or typed.
QString ComboText(const QComboBox* combo);
// Chooses the item equal to `text`; an editable box shows a text of its own as typed, a fixed
// list chooses nothing for a text it does not hold.
void SetComboText(QComboBox* combo, const QString& text);
// Sets a masked field from a stored text.
void SetMaskedText(QLineEdit* edit, const QString& text);

// The identity fields both managers place in the last three rows of their "Registro" group:
// CPF, RG, issuing office, birth date, birthplace and its state, father and mother.
struct TIdentityFields {
    QLineEdit* CPF = nullptr;
    QLineEdit* RG = nullptr;
    QLineEdit* Orgao = nullptr;
    QLineEdit* Nascimento = nullptr;
    QLineEdit* Natural = nullptr;
    QComboBox* NatUF = nullptr;
    QLineEdit* Pai = nullptr;
    QLineEdit* Mae = nullptr;
};

// A list row's value by column name; null where there is no row.
using TRowValue = std::function<QVariant(const QString& column)>;

// Creates the fields in `group`, named "Mke_<prefix>_CPF", "Mke_<prefix>_<birthField>", ...
// `editableNatUF`: the state of birth may be typed.
TIdentityFields MakeIdentityFields(QWidget* group, const QString& prefix, const char* birthField,
                                   bool editableNatUF);
// Places the fields in rows 2 to 4 of the group's grid and spreads its four columns.
void AddIdentityRows(QGridLayout* grid, const TIdentityFields& fields);
void ClearIdentity(const TIdentityFields& fields);
// Fills the fields from a list row: "<columnPrefix>_CPF", ..., the state of birth from
// `natUFColumn`.
void LoadIdentity(const TIdentityFields& fields, const QString& columnPrefix,
                  const QString& natUFColumn, const TRowValue& value);

template <class TRecord> void IdentityToRecord(const TIdentityFields& fields, TRecord& record) {
    record.CPF = MaskedFieldValue(TMaskKind::CPF, fields.CPF->displayText());
    record.RG = fields.RG->text();
    record.Orgao = fields.Orgao->text();
    record.Nascimento = MaskedFieldValue(TMaskKind::Date, fields.Nascimento->displayText());
    record.Natural = fields.Natural->text();
    record.NatUF = ComboText(fields.NatUF);
    record.Pai = fields.Pai->text();
    record.Mae = fields.Mae->text();
}

// Shows again the free texts as the save left them in the record.
template <class TRecord>
void IdentityBackToForm(const TIdentityFields& fields, const TRecord& record) {
    fields.Natural->setText(record.Natural);
    fields.Pai->setText(record.Pai);
    fields.Mae->setText(record.Mae);
}

// The "Contato" group: address, state, CEP, three phones and e-mail, laid out alike in both
// managers.
struct TContactFields {
    QGroupBox* Group = nullptr;
    QLineEdit* Logradouro = nullptr;
    QLineEdit* Complemento = nullptr;
    QLineEdit* Bairro = nullptr;
    QLineEdit* Cidade = nullptr;
    QComboBox* UF = nullptr;
    QLineEdit* CEP = nullptr;
    QLineEdit* Fone1 = nullptr;
    QLineEdit* Fone2 = nullptr;
    QLineEdit* Fone3 = nullptr;
    QLineEdit* Email = nullptr;
};

// Builds the group in `parent`; `prefix` is the middle of the control names
// ("GPb_<prefix>_Contato", "Edt_<prefix>_Logradouro", "Mke_<prefix>_CEP", ...). `editableUF`: the
// state may be typed.
TContactFields BuildContactGroup(QWidget* parent, const QString& prefix, bool editableUF);
// Empties every field of the group.
void ClearContact(const TContactFields& fields);
// Fills the group from a list row, the columns being
// "<columnPrefix>_LOGRADOURO", "<columnPrefix>_CEP", ...
void LoadContact(const TContactFields& fields, const QString& columnPrefix, const TRowValue& value);

// Copies the group into a patient or doctor record, masked fields as they are stored.
template <class TRecord> void ContactToRecord(const TContactFields& fields, TRecord& record) {
    record.Logradouro = fields.Logradouro->text();
    record.Complemento = fields.Complemento->text();
    record.Bairro = fields.Bairro->text();
    record.Cidade = fields.Cidade->text();
    record.UF = ComboText(fields.UF);
    record.CEP = MaskedFieldValue(TMaskKind::CEP, fields.CEP->displayText());
    record.Fone1 = MaskedFieldValue(TMaskKind::Phone, fields.Fone1->displayText());
    record.Fone2 = MaskedFieldValue(TMaskKind::Phone, fields.Fone2->displayText());
    record.Fone3 = MaskedFieldValue(TMaskKind::Phone, fields.Fone3->displayText());
    record.Email = fields.Email->text();
}

// Shows again the free texts of the group as the save left them in the record.
template <class TRecord>
void ContactBackToForm(const TContactFields& fields, const TRecord& record) {
    fields.Logradouro->setText(record.Logradouro);
    fields.Complemento->setText(record.Complemento);
    fields.Bairro->setText(record.Bairro);
    fields.Email->setText(record.Email);
}

// The "Observações" group: the notes with a "Limpar" button beside them. The window connects
// the button; the names are those of the group, the notes and the button.
struct TNotesFields {
    QGroupBox* Group = nullptr;
    QPlainTextEdit* Memo = nullptr;
    QPushButton* Clear = nullptr;
};
TNotesFields BuildNotesGroup(QWidget* parent, const char* groupName, const char* memoName,
                             const char* clearName);

} // namespace endomira
