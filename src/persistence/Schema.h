#pragma once

#include <QString>
#include <QStringList>

namespace endomira {

// The database's schema versions. Databases of version "1.0.0.0" keep PAC_CPF required and
// unique (constraint INTEG_6) until the program's upgrade drops the constraint; newer databases
// are created with an optional, non-unique CPF.
enum class TSchemaVersion { Legacy, Current };

inline const QString kLegacyDBVersion = QStringLiteral("1.0.0.0");
inline const QString kCurrentDBVersion = QStringLiteral("1.1.0.0");

// Every statement that builds an empty database of that version, DB_INFO row included, in order.
// Each is one statement for the server (no terminators), ASCII only.
QStringList SchemaStatements(TSchemaVersion version);

// Columns an operator may sort each list by: a sort column is accepted only when it names one of
// these (compared without regard to case) and is otherwise refused, never written into SQL.
const QStringList& PatientListColumns();
const QStringList& DoctorColumns();
const QStringList& ExamSummaryColumns();

// The patient list's select: every patient column and the age (PAC_IDADE), each followed by a
// comma ("select " not included); then its exam count (PAC_TOTALEXAME), a subquery, and the
// table it reads from.
QString PatientListSelectColumns();
QString PatientExamCountFrom();

// The column of the list that `name` designates, spelled as the schema does; empty when none.
QString FindColumn(const QStringList& columns, const QString& name);

} // namespace endomira
