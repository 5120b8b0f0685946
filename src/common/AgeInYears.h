#pragma once

#include <QString>
#include <cstdint>

namespace endomira {

// The age in whole years on the date atText of a person born on birthText, both "dd/mm/yyyy";
// an empty atText means today (Today()). The year difference, one less while the birthday has
// not come in the year of atText; the birthday itself counts. Held in 8 bits: a date that does
// not convert, or a birth after the date of reckoning, gives 0; ages above 255 give 255.
std::uint8_t AgeInYears(const QString& birthText, const QString& atText);

} // namespace endomira
