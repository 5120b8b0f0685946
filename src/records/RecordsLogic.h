#pragma once

#include <QString>
#include <QStringList>

namespace endomira {

// What the patient manager's filter controls hold when the list is refreshed.
struct TPatientFilterControls {
    bool FilterOn = false;      // the filter label reads "Pacientes [Filtro=ON]"
    QString Name;               // Edt_PAC_FNome
    bool HandBookIsCPF = false; // Btn_Pac_Select shows "CPF" rather than "Prontuário"
    QString HandBook;           // Edt_PAC_HandBook
    bool Active = true;         // Chk_PAC_Ativo
    bool Inactive = false;      // Chk_PAC_Inativo
    bool Female = true;         // Chk_PAC_Feminino
    bool Male = true;           // Chk_PAC_Masculino
};

// The arguments of the patient search that those controls stand for.
struct TPatientSearch {
    QString Name;
    int Status = 1; // 0 inactive, 1 active, 2 both, 3 nobody
    int RecordNumber = 0;
    QString CPF;
    QString Sex; // "", "M", "F", or "N" (nobody)

    bool operator==(const TPatientSearch&) const = default;
};

TPatientSearch PatientSearchFor(const TPatientFilterControls& controls);

// A record number typed in the filter: text that is not a whole number counts as none (0).
int RecordNumberFilter(const QString& text);

inline const QString kFilterOffText = QStringLiteral("Pacientes [Filtro=OFF]");
inline const QString kFilterOnText = QStringLiteral("Pacientes [Filtro=ON]");
// The filter is off whenever its label says so.
bool FilterIsOff(const QString& labelText);

// "Nenhum Paciente", "1 Pacientes", "n Pacientes".
QString PatientCountText(int count);
// "n Medicos Listados" above one, otherwise "n Medico Listado".
QString DoctorCountText(int count);

// What the patient manager offers for the selected row of its list.
struct TPatientRowActions {
    bool EraseEnabled = false;   // "Inativar cadastro" and "Tornar Inativo"
    bool RestoreEnabled = false; // "Recuperar cadastro inativo" and "Tornar Ativo"
    bool ReloadFields = false;   // the edit fields follow the row
};
// `patientId` 0 stands for an empty list; `inserting` keeps a form being typed from being
// overwritten by the row.
TPatientRowActions PatientRowActions(int patientId, int status, bool inserting);

// The status change that a key pressed on a row of the patient grid asks for.
struct TPatientKeyAction {
    bool Ask = false;
    QString Question;
    int NewStatus = 0;
};
// Delete on an active row and Insert on an inactive one; anything else asks nothing.
TPatientKeyAction PatientKeyAction(int key, int status);

// Masked edit fields: the mask of each kind (blanks shown as spaces) and the text read back.
enum class TMaskKind { RecordNumber, CPF, Date, CEP, Phone };
QString InputMask(TMaskKind kind);
// The text the form reads from a masked field's display text: the record number without its
// blanks, the CPF as its digits only, the date as shown ("  /  /    " when empty), CEP and
// phones with their punctuation, or empty when no digit was typed.
QString MaskedFieldValue(TMaskKind kind, const QString& displayText);

// The fixed lists of the forms.
const QStringList& StateCodes(); // the 27 codes in the order the forms list them
const QStringList& SexItems();
const QStringList& MaritalStatusItems();
const QStringList& BloodGroupItems();

} // namespace endomira
