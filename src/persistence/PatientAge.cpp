#include "PatientAge.h"

#include "DateText.h"
#include "UDataModule1.h"

#include <QSqlQuery>
#include <algorithm>

namespace endomira {

std::uint8_t AgeInYears(const QString& birthText, const QString& atText) {
    const std::optional<QDate> birth = TextToDate(birthText);
    const std::optional<QDate> at =
        atText.isEmpty() ? std::optional<QDate>(QDate::currentDate()) : TextToDate(atText);
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

std::uint8_t PatientAgeAt(TDataModule1& dataModule, int patientId, const QDate& at) {
    QSqlQuery query = dataModule.Execute(
        {QStringLiteral("SELECT PAC_NASCIMENTO FROM PACIENTE WHERE PAC_ID = :patientID")},
        {{QStringLiteral("patientID"), patientId}});
    if (!TDataModule1::Next(query)) {
        return 0;
    }
    return AgeInYears(DateToText(query.value(0).toDate()), DateToText(at));
}

} // namespace endomira
