#include "UDExamination.h"

#include "DBError.h"
#include "DateText.h"
#include "PatientAge.h"
#include "SqlValues.h"
#include "UDataModule1.h"

#include <QDate>
#include <QTime>

namespace endomira {

TDExamination::TDExamination(TDataModule1& dataModule) : DM_(dataModule) {}

void TDExamination::LoadExam(int id, TExame& exam) {
    const QVariantMap params{{QStringLiteral("idExamination"), id}};

    QSqlQuery doctor =
        DM_.Execute({QStringLiteral("SELECT MED_ID, MED_NOME, MED_CRM FROM MEDICO WHERE MED_ID "
                                    "= (SELECT EXM_MEDICO FROM EXAME WHERE EXM_ID = "
                                    ":idExamination)")},
                    params);
    const bool hasDoctor = TDataModule1::Next(doctor);
    exam.EXM_MEDICO = hasDoctor ? ColumnInt(doctor, QStringLiteral("MED_ID")) : 0;
    exam.MED_NOME = hasDoctor ? ColumnText(doctor, QStringLiteral("MED_NOME")) : QString();
    exam.MED_CRM = hasDoctor ? ColumnText(doctor, QStringLiteral("MED_CRM")) : QString();

    QSqlQuery patient = DM_.Execute(
        {QStringLiteral("SELECT PAC_PRONTUARIO, PAC_NASCIMENTO FROM PACIENTE WHERE PAC_ID = "
                        "(SELECT EXM_PACIENTE FROM EXAME WHERE EXM_ID = :idExamination)")},
        params);
    const bool hasPatient = TDataModule1::Next(patient);
    exam.PAC_PRONTUARIO = hasPatient ? ColumnInt(patient, QStringLiteral("PAC_PRONTUARIO")) : 0;
    const QString birthText =
        hasPatient ? DateToText(patient.value(QStringLiteral("PAC_NASCIMENTO")).toDate())
                   : QString();

    QSqlQuery row =
        DM_.Execute({QStringLiteral("SELECT * FROM EXAME WHERE EXM_ID = :idExamination")}, params);
    if (!TDataModule1::Next(row)) {
        throw TDBError(QStringLiteral("Exame %1 não encontrado!").arg(id));
    }
    exam.EXM_ID = ColumnInt(row, QStringLiteral("EXM_ID"));
    exam.EXM_PACIENTE = ColumnInt(row, QStringLiteral("EXM_PACIENTE"));
    exam.EXM_DATA = DateToText(row.value(QStringLiteral("EXM_DATA")).toDate());
    const QTime time = row.value(QStringLiteral("EXM_HORA")).toTime();
    exam.EXM_HORA = time.isValid() ? time.toString(QStringLiteral("hh:mm:ss")) : QString();
    exam.EXM_TOTALIMG = ColumnInt(row, QStringLiteral("EXM_TOTALIMG"));
    exam.EXM_PAQUIMETRIA = ColumnInt(row, QStringLiteral("EXM_PAQUIMETRIA"));
    // A CHAR(1) column holds a blank for an empty side: only a real side is kept.
    exam.EXM_FIX_SIDE = ColumnText(row, QStringLiteral("EXM_FIX_SIDE")).trimmed().left(1);
    exam.EXM_FIX_POS = static_cast<std::uint16_t>(ColumnInt(row, QStringLiteral("EXM_FIX_POS")));
    exam.EXM_FIRMWARE = ColumnText(row, QStringLiteral("EXM_FIRMWARE"));
    exam.EXM_SOFTWARE = ColumnText(row, QStringLiteral("EXM_SOFTWARE"));
    exam.EXM_TOTALCELULAS = ColumnInt(row, QStringLiteral("EXM_TOTALCELULAS"));
    exam.EXM_AREAANALISADA = ColumnReal(row, QStringLiteral("EXM_AREAANALISADA"));
    exam.EXM_COEFVAR = ColumnReal(row, QStringLiteral("EXM_COEFVAR"));
    exam.EXM_HEXAGONAIS = ColumnInt(row, QStringLiteral("EXM_HEXAGONAIS"));
    exam.EXM_DENSIDADE = ColumnInt(row, QStringLiteral("EXM_DENSIDADE"));
    exam.EXM_DP = ColumnReal(row, QStringLiteral("EXM_DP"));
    exam.EXM_AREAMIN = ColumnReal(row, QStringLiteral("EXM_AREAMIN"));
    exam.EXM_AREAMED = ColumnReal(row, QStringLiteral("EXM_AREAMED"));
    exam.EXM_AREAMAX = ColumnReal(row, QStringLiteral("EXM_AREAMAX"));
    exam.EXM_MORPHOINFO = ColumnText(row, QStringLiteral("EXM_MORPHOINFO"));
    exam.EXM_MEGATINFO = ColumnText(row, QStringLiteral("EXM_MEGATINFO"));
    exam.EXM_IMG_CROP_ORIG = ColumnText(row, QStringLiteral("EXM_IMG_CROP_ORIG"));
    exam.EXM_IMG_CROP_PROC = ColumnText(row, QStringLiteral("EXM_IMG_CROP_PROC"));
    exam.EXM_DIAGNOSTICO = ColumnText(row, QStringLiteral("EXM_DIAGNOSTICO"));
    exam.EXM_OBSERVACAO = ColumnText(row, QStringLiteral("EXM_OBSERVACAO"));
    exam.EXM_IDADE =
        birthText.isEmpty() || exam.EXM_DATA.isEmpty() ? 0 : AgeInYears(birthText, exam.EXM_DATA);
    exam.EXM_OLHO = ColumnInt(row, QStringLiteral("EXM_OLHO"));
}

} // namespace endomira
