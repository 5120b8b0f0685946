#include "AgeInYears.h"

#include "Clock.h"
#include "DateText.h"

#include <algorithm>
#include <optional>

namespace endomira {

std::uint8_t AgeInYears(const QString& birthText, const QString& atText) {
    const std::optional<QDate> birth = TextToDate(birthText);
    const std::optional<QDate> at =
        atText.isEmpty() ? std::optional<QDate>(Today()) : TextToDate(atText);
    if (!birth || !at) {
        return 0;
    }
    int age = at->year() - birth->year();
    if (birth->month() > at->month() ||
        (birth->month() == at->month() && birth->day() > at->day())) {
        --age;
    }
    return static_cast<std::uint8_t>(std::clamp(age, 0, 255));
}

} // namespace endomira
