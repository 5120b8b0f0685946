#pragma once

#include "AgeInYears.h"

#include <QDate>
#include <cstdint>

namespace endomira {

class TDataModule1;

// The age of a stored patient on a date (AgeInYears from the patient's birth date). A patient
// without a birth date, or not found, is 0 years old. Throws TDBError.
std::uint8_t PatientAgeAt(TDataModule1& dataModule, int patientId, const QDate& at);

} // namespace endomira
