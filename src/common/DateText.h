#pragma once

#include <QDate>
#include <QString>
#include <QStringView>
#include <optional>

namespace endomira {

// Dates in records and edit fields are texts "dd/mm/yyyy". The masked date field shows this
// text when it holds no date.
inline const QString kEmptyDateText = QStringLiteral("  /  /    ");

QString DateToText(const QDate& date);

// Strict "dd/mm/yyyy": two digits, "/", two digits, "/", four digits, and a real calendar day.
std::optional<QDate> TextToDate(QStringView text);

// True for "" and for the empty mask (only blanks and slashes).
bool IsEmptyDateText(QStringView text);

} // namespace endomira
