#include "ClinicDatabase.h"

#include "DBError.h"
#include "DatabaseFile.h"
#include "UDataModule1.h"

#include <QDate>
#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QTime>
#include <cstdio>
#include <pwd.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace endomira::bench {

namespace {

const char* const kFirstNames[] = {
    "Maria",    "José",    "Ana",     "João",    "Antônio",  "Francisca", "Carlos",  "Paulo",
    "Pedro",    "Lucas",   "Luiz",    "Marcos",  "Luís",     "Gabriel",   "Rafael",  "Daniel",
    "Marcelo",  "Bruno",   "Eduardo", "Felipe",  "Adriana",  "Juliana",   "Márcia",  "Fernanda",
    "Patrícia", "Aline",   "Sandra",  "Camila",  "Amanda",   "Bruna",     "Jéssica", "Letícia",
    "Júlia",    "Luciana", "Vanessa", "Mariana", "Gabriela", "Vera",      "Helena",  "Raimundo",
};
const char* const kSurnames[] = {
    "Silva",   "Santos",     "Oliveira", "Souza",     "Rodrigues", "Ferreira",   "Alves",
    "Pereira", "Lima",       "Gomes",    "Costa",     "Ribeiro",   "Martins",    "Carvalho",
    "Almeida", "Lopes",      "Soares",   "Fernandes", "Vieira",    "Barbosa",    "Rocha",
    "Dias",    "Nascimento", "Andrade",  "Moreira",   "Nunes",     "Marques",    "Machado",
    "Mendes",  "Freitas",    "Cardoso",  "Ramos",     "Gonçalves", "Santana",    "Teixeira",
    "Araújo",  "Pinto",      "Correia",  "Monteiro",  "Moura",     "Cavalcanti", "Campos",
    "Azevedo", "Castro",     "Batista",  "Fagundes",  "Queiroz",   "Xavier",     "Prado",
    "Brandão",
};

template <typename T, std::size_t N> QString Pick(const T (&items)[N], std::mt19937& random) {
    return QString::fromUtf8(items[std::uniform_int_distribution<std::size_t>(0, N - 1)(random)]);
}

void Run(QSqlQuery& query) {
    if (!query.exec()) {
        throw TDBError(query.lastError());
    }
}

} // namespace

void OpenFolderToServer(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    ::chmod(path.constData(), 0777);
    if (::geteuid() == 0) {
        if (const passwd* server = ::getpwnam("firebird")) {
            if (::chown(path.constData(), server->pw_uid, server->pw_gid) != 0) {
                std::perror("chown");
            }
        }
    }
}

void EnsureClinicDatabase(const QString& path, const TClinicSize& size) {
    if (QFileInfo::exists(path)) {
        return;
    }
    std::fprintf(stderr, "generating %d patients, %d doctors, %d exams in %s\n", size.Patients,
                 size.Doctors, size.Exams, qUtf8Printable(path));
    CreateDatabaseFile(path, TSchemaVersion::Current, false);
    TDataModule1 dm;
    dm.ConnectDatabase(path);
    dm.StartTransaction();
    std::mt19937 random(20261210);

    QSqlQuery doctor(dm.Database());
    doctor.prepare(
        QStringLiteral("insert into MEDICO (MED_NOME, MED_SEXO, MED_CRM, "
                       "MED_ESPECIALIDADE) values (:nome, :sexo, :crm, 'Oftalmologia')"));
    for (int i = 0; i < size.Doctors; ++i) {
        doctor.bindValue(QStringLiteral(":nome"), QStringLiteral("Dr. ") +
                                                      Pick(kFirstNames, random) + u' ' +
                                                      Pick(kSurnames, random));
        doctor.bindValue(QStringLiteral(":sexo"), QStringLiteral("M"));
        doctor.bindValue(QStringLiteral(":crm"), QStringLiteral("52-%1").arg(10000 + i));
        Run(doctor);
    }

    QSqlQuery patient(dm.Database());
    patient.prepare(QStringLiteral(
        "insert into PACIENTE (PAC_PRONTUARIO, PAC_NOME, PAC_SEXO, PAC_CPF, PAC_NASCIMENTO, "
        "PAC_CIDADE, PAC_UF, PAC_FONE1, PAC_EMAIL) values (:pront, :nome, :sexo, '', :nasc, "
        "'Rio De Janeiro', 'RJ', '(21) 2555-0000', '')"));
    std::uniform_int_distribution<int> birthDays(0, 85 * 365);
    for (int i = 0; i < size.Patients; ++i) {
        patient.bindValue(QStringLiteral(":pront"), 100000 + i);
        patient.bindValue(QStringLiteral(":nome"), Pick(kFirstNames, random) + u' ' +
                                                       Pick(kSurnames, random) + u' ' +
                                                       Pick(kSurnames, random));
        patient.bindValue(QStringLiteral(":sexo"),
                          i % 2 ? QStringLiteral("M") : QStringLiteral("F"));
        patient.bindValue(QStringLiteral(":nasc"), QDate(1930, 1, 1).addDays(birthDays(random)));
        Run(patient);
    }

    QSqlQuery exam(dm.Database());
    exam.prepare(QStringLiteral(
        "insert into EXAME (EXM_MEDICO, EXM_PACIENTE, EXM_DATA, EXM_HORA, EXM_OLHO, EXM_FIX_SIDE, "
        "EXM_FIX_POS, EXM_FIRMWARE, EXM_SOFTWARE, EXM_TOTALCELULAS, EXM_AREAANALISADA, "
        "EXM_DENSIDADE, EXM_DP, EXM_AREAMIN, EXM_AREAMED, EXM_AREAMAX, EXM_HEXAGONAIS, "
        "EXM_COEFVAR, EXM_TOTALIMG, EXM_PAQUIMETRIA, EXM_MORPHOINFO, EXM_MEGATINFO, "
        "EXM_IMG_CROP_ORIG, EXM_IMG_CROP_PROC, EXM_DIAGNOSTICO, EXM_OBSERVACAO) values (:med, "
        ":pac, :data, :hora, :olho, '', 0, '', '', :cells, 0.291, :dens, 98.5, 150.25, 384.5, "
        "702.75, :hex, 0.256, 3, :paq, '12;30;45;9;4', '1;2;3;4;5;6;7', :crop, :proc, "
        "'Sem alterações', '')"));
    std::uniform_int_distribution<int> patients(1, size.Patients);
    std::uniform_int_distribution<int> doctors(1, size.Doctors);
    std::uniform_int_distribution<int> days(0, 18 * 365);
    for (int i = 0; i < size.Exams; ++i) {
        exam.bindValue(QStringLiteral(":med"), doctors(random));
        exam.bindValue(QStringLiteral(":pac"), patients(random));
        exam.bindValue(QStringLiteral(":data"), QDate(2008, 1, 1).addDays(days(random)));
        exam.bindValue(QStringLiteral(":hora"), QTime(8, 0).addSecs(i % 36000));
        exam.bindValue(QStringLiteral(":olho"), i % 2);
        exam.bindValue(QStringLiteral(":cells"), 150 + i % 200);
        exam.bindValue(QStringLiteral(":dens"), 1800 + i % 1400);
        exam.bindValue(QStringLiteral(":hex"), 60 + i % 90);
        exam.bindValue(QStringLiteral(":paq"), 480 + i % 140);
        const QString folder = QStringLiteral("/opt/endomira/Database/DBimages/%1")
                                   .arg(i + 1, 4, 10, QLatin1Char('0'));
        exam.bindValue(QStringLiteral(":crop"), folder + QStringLiteral("/Crop.bmp"));
        exam.bindValue(QStringLiteral(":proc"), folder + QStringLiteral("/Process.bmp"));
        Run(exam);
    }
    dm.Commit();
    // Fresh index statistics for the optimiser, as a database in use has them.
    QSqlQuery indexes = dm.Execute(
        {QStringLiteral("select trim(RDB$INDEX_NAME) from RDB$INDICES where RDB$SYSTEM_FLAG = 0")});
    QStringList names;
    while (TDataModule1::Next(indexes)) {
        names << indexes.value(0).toString();
    }
    indexes = QSqlQuery();
    for (const QString& name : names) {
        dm.Execute({QStringLiteral("set statistics index ") + name});
    }
    dm.Commit();
}

} // namespace endomira::bench
