#include "RecordsLogic.h"

#include "DateText.h"

#include <Qt>

namespace endomira {

int RecordNumberFilter(const QString& text) {
    bool ok = false;
    const int number = text.trimmed().toInt(&ok);
    return ok ? number : 0;
}

bool FilterIsOff(const QString& labelText) {
    return labelText.contains(QStringLiteral("OFF"));
}

TPatientSearch PatientSearchFor(const TPatientFilterControls& c) {
    TPatientSearch search;
    if (!c.FilterOn) {
        // With the filter off the list holds every active patient, whatever the fields hold.
        return search;
    }
    search.Name = c.Name;
    if (c.HandBookIsCPF) {
        search.CPF = c.HandBook;
    } else {
        search.RecordNumber = RecordNumberFilter(c.HandBook);
    }
    if (c.Active && c.Inactive) {
        search.Status = 2;
    } else if (c.Active) {
        search.Status = 1;
    } else if (c.Inactive) {
        search.Status = 0;
    } else {
        search.Status = 3;
    }
    if (c.Female && c.Male) {
        search.Sex.clear();
    } else if (c.Female) {
        search.Sex = QStringLiteral("F");
    } else if (c.Male) {
        search.Sex = QStringLiteral("M");
    } else {
        search.Sex = QStringLiteral("N");
    }
    return search;
}

QString PatientCountText(int count) {
    if (count <= 0) {
        return QStringLiteral("Nenhum Paciente");
    }
    if (count == 1) {
        return QStringLiteral("1 Pacientes");
    }
    return QString::number(count) + QStringLiteral(" Pacientes");
}

QString DoctorCountText(int count) {
    return QString::number(count) +
           (count > 1 ? QStringLiteral(" Medicos Listados") : QStringLiteral(" Medico Listado"));
}

TPatientRowActions PatientRowActions(int patientId, int status, bool inserting) {
    TPatientRowActions actions;
    if (patientId == 0) {
        return actions;
    }
    if (status == 1) {
        actions.EraseEnabled = true;
    } else {
        actions.RestoreEnabled = true;
    }
    // A new patient being typed is never overwritten by the row the grid happens to show,
    // whatever that row's status.
    actions.ReloadFields = !inserting;
    return actions;
}

TPatientKeyAction PatientKeyAction(int key, int status) {
    if (key == Qt::Key_Delete && status == 1) {
        return {true, QStringLiteral("Deseja Tornar Este Paciente Inativo?"), 0};
    }
    if (key == Qt::Key_Insert && status == 0) {
        return {true, QStringLiteral("Deseja Tornar Este Paciente Ativo?"), 1};
    }
    return {};
}

QString InputMask(TMaskKind kind) {
    switch (kind) {
    case TMaskKind::RecordNumber:
        return QStringLiteral("9999999999; ");
    case TMaskKind::CPF:
        return QStringLiteral("999.999.999-99; ");
    case TMaskKind::Date:
        return QStringLiteral("99/99/9999; ");
    case TMaskKind::CEP:
        return QStringLiteral("99999-999; ");
    case TMaskKind::Phone:
        return QStringLiteral("(99) 9999-9999; ");
    }
    return {};
}

QString MaskedFieldValue(TMaskKind kind, const QString& displayText) {
    QString digits;
    for (const QChar c : displayText) {
        if (c.isDigit()) {
            digits += c;
        }
    }
    switch (kind) {
    case TMaskKind::RecordNumber:
        // Blanks left between digits stay, so that a mistyped number is refused, not changed.
        return displayText.trimmed();
    case TMaskKind::CPF:
        return digits;
    case TMaskKind::Date:
        return digits.isEmpty() ? kEmptyDateText : displayText;
    case TMaskKind::CEP:
    case TMaskKind::Phone:
        // An untouched field stores nothing rather than its bare punctuation.
        return digits.isEmpty() ? QString() : displayText.trimmed();
    }
    return displayText;
}

const QStringList& StateCodes() {
    static const QStringList codes = {
        QStringLiteral("AC"), QStringLiteral("AL"), QStringLiteral("AP"), QStringLiteral("AM"),
        QStringLiteral("BA"), QStringLiteral("CE"), QStringLiteral("DF"), QStringLiteral("ES"),
        QStringLiteral("GO"), QStringLiteral("MA"), QStringLiteral("MT"), QStringLiteral("MS"),
        QStringLiteral("MG"), QStringLiteral("PA"), QStringLiteral("PB"), QStringLiteral("PR"),
        QStringLiteral("PE"), QStringLiteral("PI"), QStringLiteral("RJ"), QStringLiteral("RN"),
        QStringLiteral("RS"), QStringLiteral("RO"), QStringLiteral("RR"), QStringLiteral("SC"),
        QStringLiteral("SP"), QStringLiteral("SE"), QStringLiteral("TO")};
    return codes;
}

const QStringList& SexItems() {
    static const QStringList items = {QStringLiteral("M"), QStringLiteral("F")};
    return items;
}

const QStringList& MaritalStatusItems() {
    static const QStringList items = {QStringLiteral("Solteiro(a)"), QStringLiteral("Casado(a)"),
                                      QStringLiteral("Separado(a)"),
                                      QStringLiteral("Divorciado(a)"), QStringLiteral("Viúvo(a)")};
    return items;
}

const QStringList& BloodGroupItems() {
    static const QStringList items = {
        QStringLiteral("A+"),  QStringLiteral("A-"),  QStringLiteral("B+"), QStringLiteral("B-"),
        QStringLiteral("AB+"), QStringLiteral("AB-"), QStringLiteral("O+"), QStringLiteral("O-")};
    return items;
}

} // namespace endomira
