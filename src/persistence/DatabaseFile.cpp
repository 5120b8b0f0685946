#include "DatabaseFile.h"

#include "DBError.h"
#include "MessageService.h"
#include "UBDEndomira.h"
#include "UDataModule1.h"

#include <QByteArray>
#include <QFileInfo>
#include <ibase.h>
#include <string>
#include <vector>

namespace endomira {

namespace {

// The client library's message for a failed call, its lines joined as the Qt driver joins them.
QString StatusText(const ISC_STATUS* status) {
    QStringList lines;
    const ISC_STATUS* cursor = status;
    char buffer[1024];
    while (fb_interpret(buffer, sizeof buffer, &cursor) > 0) {
        lines << QString::fromLocal8Bit(buffer);
    }
    return lines.join(QStringLiteral(" - "));
}

void Check(const ISC_STATUS* status) {
    if (status[0] == 1 && status[1] != 0) {
        throw TDBError(StatusText(status));
    }
}

std::vector<char> LoginParameters() {
    const QByteArray user = TDataModule1::kUserName.toLatin1();
    const QByteArray password = TDataModule1::kPassword.toLatin1();
    std::vector<char> dpb{isc_dpb_version1};
    dpb.push_back(isc_dpb_user_name);
    dpb.push_back(static_cast<char>(user.size()));
    dpb.insert(dpb.end(), user.begin(), user.end());
    dpb.push_back(isc_dpb_password);
    dpb.push_back(static_cast<char>(password.size()));
    dpb.insert(dpb.end(), password.begin(), password.end());
    return dpb;
}

QString SqlQuoted(const QString& text) {
    QString quoted = text;
    quoted.replace(u'\'', QStringLiteral("''"));
    return u'\'' + quoted + u'\'';
}

void ExecuteEach(isc_db_handle& db, const QStringList& statements) {
    ISC_STATUS_ARRAY status;
    for (const QString& statement : statements) {
        // Each definition is committed before the next one refers to it.
        isc_tr_handle transaction = 0;
        isc_start_transaction(status, &transaction, 1, &db, 0, nullptr);
        Check(status);
        const QByteArray sql = statement.toUtf8();
        isc_dsql_execute_immediate(status, &db, &transaction, 0, sql.constData(), SQL_DIALECT_V6,
                                   nullptr);
        if (status[0] == 1 && status[1] != 0) {
            const QString error = StatusText(status);
            ISC_STATUS_ARRAY ignored;
            isc_rollback_transaction(ignored, &transaction);
            throw TDBError(error);
        }
        isc_commit_transaction(status, &transaction);
        Check(status);
    }
}

void AddExamples(const QString& path) {
    TDataModule1 dataModule;
    dataModule.ConnectDatabase(path);
    dataModule.StartTransaction();
    TBDEndomira db(dataModule);

    struct TDoctorExample {
        const char* Nome;
        const char* Sexo;
        const char* CRM;
        const char* Especialidade;
    };
    const TDoctorExample doctors[] = {
        {"helena azevedo", "F", "52-41873", "oftalmologia"},
        {"rafael monteiro", "M", "52-39120", "córnea e doenças externas"},
        {"luísa fagundes", "F", "52-45006", "oftalmologia"},
    };
    for (const TDoctorExample& example : doctors) {
        TMedico doctor;
        doctor.Nome = QString::fromUtf8(example.Nome);
        doctor.Sexo = QString::fromUtf8(example.Sexo);
        doctor.CRM = QString::fromUtf8(example.CRM);
        doctor.Especialidade = QString::fromUtf8(example.Especialidade);
        doctor.Cidade = QStringLiteral("rio de janeiro");
        doctor.UF = QStringLiteral("RJ");
        if (!db.SaveDoctor(doctor)) {
            throw TDBError(QStringLiteral("O médico de exemplo não pôde ser gravado."));
        }
    }

    struct TPatientExample {
        const char* Prontuario;
        const char* Nome;
        const char* Sexo;
        const char* Nascimento;
        const char* Cidade;
        const char* CPF; // distinct: a "1.0.0.0" database takes no CPF twice, not even an empty one
    };
    const TPatientExample patients[] = {
        {"1001", "joão batista da silva", "M", "14/03/1950", "niterói", "12345678909"},
        {"1002", "maria das dores pereira", "F", "02/11/1962", "são gonçalo", "98765432100"},
        {"1003", "antônio carlos souza", "M", "23/07/1975", "rio de janeiro", "31415926590"},
        {"1004", "ana beatriz gonçalves", "F", "30/01/1988", "petrópolis", "27182818205"},
        {"1005", "francisco de assis lima", "M", "09/09/1941", "duque de caxias", "16180339805"},
    };
    for (const TPatientExample& example : patients) {
        TPaciente patient;
        patient.Prontuario = QString::fromUtf8(example.Prontuario);
        patient.Nome = QString::fromUtf8(example.Nome);
        patient.Sexo = QString::fromUtf8(example.Sexo);
        patient.Nascimento = QString::fromUtf8(example.Nascimento);
        patient.Cidade = QString::fromUtf8(example.Cidade);
        patient.CPF = QString::fromUtf8(example.CPF);
        patient.UF = QStringLiteral("RJ");
        if (!db.SavePatient(patient)) {
            throw TDBError(QStringLiteral("O paciente de exemplo não pôde ser gravado."));
        }
    }
    dataModule.Commit();
}

} // namespace

void CreateDatabaseFile(const QString& path, TSchemaVersion version, bool examples) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    if (QFileInfo::exists(absolute)) {
        throw TDBError(
            QStringLiteral("O arquivo \"%1\" já existe; nada foi alterado.").arg(absolute));
    }
    const QString create =
        QStringLiteral("CREATE DATABASE %1 USER %2 PASSWORD %3 PAGE_SIZE 8192 "
                       "DEFAULT CHARACTER SET WIN1252")
            .arg(SqlQuoted(QStringLiteral("localhost:") + absolute),
                 SqlQuoted(TDataModule1::kUserName), SqlQuoted(TDataModule1::kPassword));
    const QByteArray sql = create.toUtf8();
    ISC_STATUS_ARRAY status;
    isc_db_handle db = 0;
    isc_tr_handle transaction = 0;
    isc_dsql_execute_immediate(status, &db, &transaction, 0, sql.constData(), SQL_DIALECT_V6,
                               nullptr);
    Check(status);
    try {
        ExecuteEach(db, SchemaStatements(version));
    } catch (...) {
        ISC_STATUS_ARRAY ignored;
        isc_detach_database(ignored, &db);
        throw;
    }
    isc_detach_database(status, &db);
    Check(status);
    if (examples) {
        AddExamples(absolute);
    }
}

void DropDatabaseFile(const QString& path) {
    const QByteArray name =
        (QStringLiteral("localhost:") + QFileInfo(path).absoluteFilePath()).toLocal8Bit();
    const std::vector<char> dpb = LoginParameters();
    ISC_STATUS_ARRAY status;
    isc_db_handle db = 0;
    isc_attach_database(status, 0, name.constData(), &db, static_cast<short>(dpb.size()),
                        dpb.data());
    Check(status);
    isc_drop_database(status, &db);
    Check(status);
}

} // namespace endomira
