#pragma once

#include <QDate>
#include <QString>
#include <cstdint>

namespace endomira {

class TDataModule1;

// Whole years from a birth date to a date, both "dd/mm/yyyy" (an empty date of reckoning means
// today): the year difference, one less while the birthday has not come that year; the birthday
// itself counts. Ages are held in 8 bits: a birth date that does not convert, or one after the
// date of reckoning, gives 0, and ages above 255 give 255.
std::uint8_t AgeInYears(const QString& birthText, const QString& atText);

// The age of a stored patient on a date, from the patient's birth date. A patient without a
// birth date is 0 years old. Throws TDBError.
std::uint8_t PatientAgeAt(TDataModule1& dataModule, int patientId, const QDate& at);

} // namespace endomira
