#include "PatientAge.h"

#include "DateText.h"
#include "UDataModule1.h"

#include <QSqlQuery>

namespace endomira {

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
