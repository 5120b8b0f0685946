// Patients on a real server: saves read back from the table, the operator's messages from real
// server errors, and the patient searches.

#include "DBError.h"
#include "DbFixture.h"
#include "PatientAge.h"

#include <algorithm>

#include <QDate>

using namespace endomira;
using namespace endomira::test;

namespace {

class PatientTest : public TDbFixture {
protected:
    // A patient with one exam per given date, by doctor `doctorId`.
    void AddExam(int patientId, int doctorId, const QDate& date) {
        DM_.Execute({QStringLiteral("insert into EXAME (EXM_PACIENTE, EXM_MEDICO, EXM_DATA, "
                                    "EXM_OLHO) values (:p, :m, :d, 0)")},
                    {{QStringLiteral("p"), patientId},
                     {QStringLiteral("m"), doctorId},
                     {QStringLiteral("d"), date}});
    }
    int AddDoctor(const QString& crm) {
        TMedico d = SomeDoctor(crm, QStringLiteral("carlos ") + crm);
        EXPECT_TRUE(DB_.SaveDoctor(d));
        return d.Id;
    }
    int AddPatient(const QString& prontuario, const QString& nome,
                   const QString& nascimento = QStringLiteral("14/03/1950")) {
        TPaciente p = SomePatient(prontuario, nome);
        p.Nascimento = nascimento;
        EXPECT_TRUE(DB_.SavePatient(p)) << qPrintable(Texts().join(u'|'));
        return p.Id;
    }
    QStringList Column(const QString& name) {
        QStringList values;
        for (int row = 0; row < DM_.IBQPacList().rowCount(); ++row) {
            values << DM_.IBQPacList().Value(row, name).toString();
        }
        return values;
    }
};

TEST_F(PatientTest, InsertStoresNormalisedTextsAndReturnsTheNewRowsId) {
    TPaciente p = SomePatient(QStringLiteral(" 1001 "), QStringLiteral("  joão DA silva "));
    p.Email = QStringLiteral("  Joao.Silva@Clinica.COM.br ");
    p.Cidade = QStringLiteral("são gonçalo");
    p.Observacoes = QStringLiteral("Glaucoma — acompanhar µm e €");
    p.Orgao = QStringLiteral("SSP");
    ASSERT_TRUE(DB_.SavePatient(p)) << qPrintable(Texts().join(u'|'));
    EXPECT_EQ(p.Nome, QStringLiteral("João da Silva"));
    EXPECT_EQ(p.Email, QStringLiteral("joao.silva@clinica.com.br"));

    QSqlQuery row = DM_.Execute({QStringLiteral("select * from PACIENTE where PAC_ID=:id")},
                                {{QStringLiteral("id"), p.Id}});
    ASSERT_TRUE(TDataModule1::Next(row));
    EXPECT_EQ(ColumnInt(row, QStringLiteral("PAC_PRONTUARIO")), 1001);
    EXPECT_EQ(ColumnText(row, QStringLiteral("PAC_NOME")), QStringLiteral("João da Silva"));
    EXPECT_EQ(ColumnText(row, QStringLiteral("PAC_CIDADE")), QStringLiteral("São Gonçalo"));
    EXPECT_EQ(ColumnText(row, QStringLiteral("PAC_ORGAO")), QStringLiteral("SSP"));
    EXPECT_EQ(ColumnText(row, QStringLiteral("PAC_SEXO")), QStringLiteral("F"));
    EXPECT_EQ(row.value(QStringLiteral("PAC_NASCIMENTO")).toDate(), QDate(1950, 3, 14));
    EXPECT_EQ(ColumnText(row, QStringLiteral("PAC_OBSERVACOES")), p.Observacoes);
    EXPECT_EQ(ColumnInt(row, QStringLiteral("PAC_STATUS")), 1);
    EXPECT_TRUE(Messages_.Shown().empty());

    // Two more with an empty CPF: each gets its own row's id.
    const int second = AddPatient(QStringLiteral("1002"), QStringLiteral("ana"));
    const int third = AddPatient(QStringLiteral("1003"), QStringLiteral("bia"));
    EXPECT_GT(second, p.Id);
    EXPECT_GT(third, second);
    EXPECT_EQ(Scalar(QStringLiteral("select PAC_NOME from PACIENTE where PAC_ID=:id"),
                     {{QStringLiteral("id"), third}})
                  .toString(),
              QStringLiteral("Bia"));
}

TEST_F(PatientTest, UpdateChangesTheRowButNotItsStatus) {
    const int id = AddPatient(QStringLiteral("7"), QStringLiteral("ana"));
    DB_.SetPatientStatus(id, 0);
    TPaciente p = SomePatient(QStringLiteral("8"), QStringLiteral("ana maria"));
    p.Id = id;
    p.Nascimento = QStringLiteral("01/02/1960");
    ASSERT_TRUE(DB_.SavePatient(p));
    EXPECT_EQ(Count(QStringLiteral("PACIENTE")), 1);
    QSqlQuery row = DM_.Execute({QStringLiteral("select * from PACIENTE")});
    ASSERT_TRUE(TDataModule1::Next(row));
    EXPECT_EQ(ColumnInt(row, QStringLiteral("PAC_PRONTUARIO")), 8);
    EXPECT_EQ(ColumnText(row, QStringLiteral("PAC_NOME")), QStringLiteral("Ana Maria"));
    EXPECT_EQ(row.value(QStringLiteral("PAC_NASCIMENTO")).toDate(), QDate(1960, 2, 1));
    EXPECT_EQ(ColumnInt(row, QStringLiteral("PAC_STATUS")), 0);

    // A patient no longer stored is not reported as saved.
    p.Id = id + 1;
    EXPECT_FALSE(DB_.SavePatient(p));
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("ID não Encontrado!")});
}

TEST_F(PatientTest, InvalidFormShowsOneNumberedBoxAndWritesNothing) {
    TPaciente p = SomePatient(QStringLiteral("  "), QStringLiteral("ana"));
    p.Email = QStringLiteral("ana@clinica");
    EXPECT_FALSE(DB_.SavePatient(p));
    ASSERT_EQ(Messages_.Shown().size(), 1u);
    EXPECT_EQ(Messages_.Shown()[0].Kind, TMsgKind::Error);
    EXPECT_EQ(Messages_.Shown()[0].Text,
              QStringLiteral("ERRO! DADO(S) INVÁLIDO(S)!\n\n01 - Número de Prontuário Inválido!\n"
                             "02 - Email Inválido!\n"));
    Messages_.Clear();

    p = SomePatient(QStringLiteral("5"), QStringLiteral(""));
    p.CPF = QStringLiteral("5299822472");
    p.Orgao = QStringLiteral("SSP-RJX");
    p.Email = QStringLiteral("a b@c.d");
    EXPECT_FALSE(DB_.SavePatient(p));
    ASSERT_EQ(Messages_.Shown().size(), 1u);
    EXPECT_EQ(Messages_.Shown()[0].Text,
              QStringLiteral("ERRO! DADO(S) INVÁLIDO(S)!\n\n01 - Nome de Paciente Inválido!\n"
                             "02 - Número de CPF Inválido!\n03 - Orgão Expeditor deve ter no "
                             "máximo 6 caracteres!\n04 - Email Inválido!\n"));
    EXPECT_EQ(Count(QStringLiteral("PACIENTE")), 0);
}

TEST_F(PatientTest, ServerAndConversionErrorsReachTheOperator) {
    AddPatient(QStringLiteral("12"), QStringLiteral("ana"));
    const struct {
        const char* Prontuario;
        const char* Nome;
        const char* Nascimento;
        const char* ShownStart; // the whole text when Exact
        bool Exact;
    } cases[] = {
        {"12", "bia", "14/03/1950",
         "ERRO! PRONTUÁRIO DUPLICADO!\n\nNão é Possível Cadastrar Prontuário Duplicado!", true},
        {"13", "bia", "  /  /    ", "Data de Nascimento inválida!", true},
        {"13", "bia", "31/02/1950", "Data de Nascimento inválida!", true},
        {"13", "bia", "", "Data de Nascimento inválida!", true},
        {"13", "bia", "1950-03-14", "Data de Nascimento inválida!", true},
        {"1x3", "bia", "14/03/1950", "conversion error from string \"1x3\"", true},
        {"13", "bia bia bia bia bia bia bia bia bia bia bia bia bia", "14/03/1950",
         "arithmetic exception, numeric overflow, or string truncation", false},
        {"13", "Łukasz", "14/03/1950", "", false},
    };
    for (const auto& c : cases) {
        Messages_.Clear();
        TPaciente p = SomePatient(QString::fromUtf8(c.Prontuario), QString::fromUtf8(c.Nome));
        p.Nascimento = QString::fromUtf8(c.Nascimento);
        EXPECT_FALSE(DB_.SavePatient(p)) << c.Nome;
        EXPECT_EQ(p.Id, -1);
        ASSERT_EQ(Messages_.Shown().size(), 1u) << c.Nome;
        const QString shown = Messages_.Shown()[0].Text;
        EXPECT_EQ(Messages_.Shown()[0].Kind, TMsgKind::Error);
        if (c.Exact) {
            EXPECT_EQ(shown, QString::fromUtf8(c.ShownStart));
        } else {
            EXPECT_TRUE(shown.startsWith(QString::fromUtf8(c.ShownStart))) << qPrintable(shown);
            EXPECT_LE(shown.size(), 150);
            EXPECT_FALSE(shown.isEmpty());
        }
    }
    // Nothing of the refused saves was stored, neither as record number 0 nor as 1858-11-17.
    EXPECT_EQ(Count(QStringLiteral("PACIENTE")), 1);
}

TEST_F(PatientTest, StatusChanges) {
    const int id = AddPatient(QStringLiteral("1"), QStringLiteral("ana"));
    auto status = [&] {
        return Scalar(QStringLiteral("select PAC_STATUS from PACIENTE where PAC_ID=:id"),
                      {{QStringLiteral("id"), id}})
            .toInt();
    };
    EXPECT_TRUE(DB_.DeactivatePatient(id));
    EXPECT_EQ(status(), 0);
    EXPECT_TRUE(DB_.DeactivatePatient(id));
    EXPECT_EQ(status(), 0);
    EXPECT_TRUE(DB_.RestorePatient(id));
    EXPECT_EQ(status(), 1);
    DB_.SetPatientStatus(id, 0);
    EXPECT_EQ(status(), 0);
    EXPECT_TRUE(Messages_.Shown().empty());
    EXPECT_FALSE(DB_.DeactivatePatient(id + 100));
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("ID não Encontrado!")});
}

TEST_F(PatientTest, ListCountsExamsAndAges) {
    const QDate today = QDate::currentDate();
    const int withExams = AddPatient(QStringLiteral("1"), QStringLiteral("ana silva"),
                                     DateToText(today.addDays(-366)));
    AddPatient(QStringLiteral("2"), QStringLiteral("bia souza"), DateToText(today.addDays(-365)));
    const int doctor = AddDoctor(QStringLiteral("100"));
    AddExam(withExams, doctor, QDate(2020, 5, 1));
    AddExam(withExams, doctor, QDate(2021, 6, 1));

    EXPECT_EQ(DB_.ListPatients(QString(), 1, 0, QString(), -1, QString(), QString(), QString(),
                               QString(), 0),
              2);
    EXPECT_EQ(Column(QStringLiteral("PAC_NOME")),
              (QStringList{QStringLiteral("Ana Silva"), QStringLiteral("Bia Souza")}));
    EXPECT_EQ(Column(QStringLiteral("PAC_TOTALEXAME")),
              (QStringList{QStringLiteral("2"), QStringLiteral("0")}));
    EXPECT_EQ(Column(QStringLiteral("PAC_IDADE")),
              (QStringList{QStringLiteral("1"), QStringLiteral("0")}));
    EXPECT_EQ(DM_.CurrentRow(TDataModule1::TList::Patients), 0);

    // With a date range in force: one row per exam date in the range, counting only those.
    EXPECT_EQ(DB_.ListPatients(QString(), 2, 0, QString(), 0, QString(),
                               QStringLiteral("01/01/2020"), QStringLiteral("31/12/2021"),
                               QString(), 0),
              2);
    EXPECT_EQ(Column(QStringLiteral("PAC_TOTALEXAME")),
              (QStringList{QStringLiteral("1"), QStringLiteral("1")}));
    EXPECT_EQ(DB_.ListPatients(QString(), 2, 0, QString(), doctor, QString(),
                               QStringLiteral("01/01/2021"), QStringLiteral("  /  /    "),
                               QString(), 0),
              1); // one valid date only: no range
    EXPECT_EQ(Column(QStringLiteral("PAC_TOTALEXAME")), QStringList{QStringLiteral("2")});
    EXPECT_EQ(DB_.ListPatients(QString(), 2, 0, QString(), doctor + 1, QString(), QString(),
                               QString(), QString(), 0),
              0);
}

TEST_F(PatientTest, SearchFiltersAndSorting) {
    AddPatient(QStringLiteral("30"), QStringLiteral("ana maria silva"));
    AddPatient(QStringLiteral("10"), QStringLiteral("SILVANA ANDRADE"));
    AddPatient(QStringLiteral("20"), QStringLiteral("bia d'ávila"));
    TPaciente m = SomePatient(QStringLiteral("40"), QStringLiteral("carlos silva"));
    m.Sexo = QStringLiteral("M");
    m.CPF = QStringLiteral("52998224725");
    ASSERT_TRUE(DB_.SavePatient(m));
    auto list = [&](const QString& name, int status, int pront, const QString& cpf,
                    const QString& sex, const QString& sort) {
        return DB_.ListPatients(name, status, pront, cpf, -1, sex, QString(), QString(), sort, 0);
    };

    EXPECT_EQ(list(QStringLiteral("ana silva"), 1, 0, {}, {}, {}), 2);
    EXPECT_EQ(Column(QStringLiteral("PAC_NOME")),
              (QStringList{QStringLiteral("Ana Maria Silva"), QStringLiteral("Silvana Andrade")}));
    EXPECT_EQ(list(QStringLiteral("SILVA  ANA"), 1, 0, {}, {}, {}), 2); // empty word matches all
    EXPECT_EQ(list(QStringLiteral("d'ávila"), 1, 0, {}, {}, {}), 1);
    EXPECT_EQ(list(QStringLiteral("%"), 1, 0, {}, {}, {}), 4);
    EXPECT_EQ(list({}, 1, 20, {}, {}, {}), 1);
    EXPECT_EQ(list({}, 1, 0, QStringLiteral("8224"), {}, {}), 1);
    EXPECT_EQ(list({}, 1, 0, {}, QStringLiteral("M"), {}), 1);
    EXPECT_EQ(list({}, 1, 0, {}, QStringLiteral("X"), {}), 0);
    EXPECT_EQ(list({}, 3, 0, {}, {}, {}), 0);
    EXPECT_EQ(list({}, 0, 0, {}, {}, {}), 0);
    EXPECT_EQ(list({}, 2, 0, {}, {}, {}), 4);
    // No stored name can hold a character outside Windows-1252: such a search finds nothing.
    EXPECT_EQ(list(QStringLiteral("Łukasz"), 1, 0, {}, {}, {}), 0);

    // A plain column flips the direction: descending first, then ascending.
    EXPECT_EQ(list({}, 2, 0, {}, {}, QStringLiteral("PAC_PRONTUARIO")), 4);
    EXPECT_EQ(Column(QStringLiteral("PAC_PRONTUARIO")),
              (QStringList{QStringLiteral("40"), QStringLiteral("30"), QStringLiteral("20"),
                           QStringLiteral("10")}));
    EXPECT_EQ(DB_.SortDirection(), QStringLiteral("DESC"));
    list({}, 2, 0, {}, {}, QStringLiteral("PAC_PRONTUARIO"));
    EXPECT_EQ(Column(QStringLiteral("PAC_PRONTUARIO")),
              (QStringList{QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("30"),
                           QStringLiteral("40")}));
    for (int i = 0; i < 2; ++i) {
        list({}, 2, 0, {}, {}, QStringLiteral("-PAC_ID"));
        const QStringList ids = Column(QStringLiteral("PAC_ID"));
        EXPECT_TRUE(std::is_sorted(ids.begin(), ids.end(), [](const QString& a, const QString& b) {
            return a.toInt() < b.toInt();
        }));
    }
    list({}, 2, 0, {}, {}, QStringLiteral("+pac_nome"));
    EXPECT_EQ(Column(QStringLiteral("PAC_NOME")).first(), QStringLiteral("Silvana Andrade"));
    // After the explicit "+" form (descending) a plain column flips to ascending; the name is
    // the second key, ascending.
    list({}, 2, 0, {}, {}, QStringLiteral("PAC_SEXO"));
    EXPECT_EQ(Column(QStringLiteral("PAC_NOME")),
              (QStringList{QStringLiteral("Ana Maria Silva"), QStringLiteral("Bia D'ávila"),
                           QStringLiteral("Silvana Andrade"), QStringLiteral("Carlos Silva")}));

    // The row to restore, 1-based.
    list({}, 2, 0, {}, {}, QStringLiteral("-PAC_NOME"));
    DB_.ListPatients({}, 2, 0, {}, -1, {}, {}, {}, {}, 3);
    EXPECT_EQ(DM_.CurrentRow(TDataModule1::TList::Patients), 2);

    // Anything but a column of the list is refused before it reaches SQL.
    const QString direction = DB_.SortDirection();
    EXPECT_THROW(list({}, 2, 0, {}, {}, QStringLiteral("PAC_NOME; drop table EXAME")), TDBError);
    EXPECT_THROW(list({}, 2, 0, {}, {}, QStringLiteral("MED_NOME")), TDBError);
    EXPECT_EQ(DB_.SortDirection(), direction);
    EXPECT_EQ(Count(QStringLiteral("EXAME")), 0);
}

// More patients than one fetch block: the list hands over its rows as they are needed, while
// its count and the rows it reaches are those of the whole search.
TEST_F(PatientTest, ListLargerThanAFetchBlockCountsAndReachesEveryRow) {
    // 600 patients: "Paciente 002".."Paciente 600" (even numbers), then "Pessoa 001".."Pessoa
    // 599" (odd), so that the name order puts "Pessoa 599" last.
    DM_.Execute(
        {QStringLiteral("insert into PACIENTE (PAC_PRONTUARIO, PAC_NOME, PAC_STATUS) "
                        "with recursive N (I) as (select 1 from RDB$DATABASE union all "
                        "select I + 1 from N where I < 600) "
                        "select I, trim(iif(mod(I, 2) = 0, 'Paciente', 'Pessoa')) || ' ' || "
                        "lpad(cast(I as varchar(3)), 3, '0'), iif(I = 301, 0, 1) from N")});
    const int last =
        Scalar(QStringLiteral("select PAC_ID from PACIENTE where PAC_PRONTUARIO=599")).toInt();
    const int doctor = AddDoctor(QStringLiteral("100"));
    AddExam(last, doctor, QDate(2020, 5, 1));
    AddExam(last, doctor, QDate(2021, 5, 1));

    // "pessoa 5": two words, both bound; 120 odd numbers up to 599 have a digit 5.
    const struct {
        const char* Name;
        int Status;
        int Count;
    } searches[] = {
        {"", 2, 600},       {"", 1, 599},         {"pac", 1, 300},
        {"PESSOA", 1, 299}, {"pessoa 5", 1, 120}, {"pessoa", 0, 1},
    };
    for (const auto& search : searches) {
        SCOPED_TRACE(search.Name);
        EXPECT_EQ(DB_.ListPatients(QString::fromLatin1(search.Name), search.Status, 0, {}, -1, {},
                                   {}, {}, {}, 0),
                  search.Count);
        EXPECT_EQ(DM_.RowCount(TDataModule1::TList::Patients), search.Count);
    }

    ASSERT_EQ(DB_.ListPatients({}, 2, 0, {}, -1, {}, {}, {}, {}, 0), 600);
    EXPECT_LT(DM_.IBQPacList().rowCount(), 600);
    DM_.SetCurrentRow(TDataModule1::TList::Patients, 599);
    EXPECT_EQ(DM_.CurrentRow(TDataModule1::TList::Patients), 599);
    EXPECT_EQ(DM_.IBQPacList().Value(599, QStringLiteral("PAC_NOME")).toString(),
              QStringLiteral("Pessoa 599"));
    EXPECT_EQ(DM_.IBQPacList().Value(599, QStringLiteral("PAC_TOTALEXAME")).toInt(), 2);
    EXPECT_EQ(DM_.IBQPacList().Value(598, QStringLiteral("PAC_TOTALEXAME")).toInt(), 0);

    // The row to restore may lie past the first block.
    DB_.ListPatients({}, 2, 0, {}, -1, {}, {}, {}, QStringLiteral("-PAC_ID"), 500);
    EXPECT_EQ(DM_.CurrentRow(TDataModule1::TList::Patients), 499);
    EXPECT_EQ(DM_.IBQPacList().Value(499, QStringLiteral("PAC_PRONTUARIO")).toInt(), 500);

    // A commit ends the list's cursor: every row stays on show.
    DB_.ListPatients({}, 2, 0, {}, -1, {}, {}, {}, {}, 0);
    DM_.Commit();
    EXPECT_EQ(DM_.IBQPacList().rowCount(), 600);
    EXPECT_EQ(DM_.RowCount(TDataModule1::TList::Patients), 600);
    EXPECT_EQ(DM_.IBQPacList().Value(599, QStringLiteral("PAC_NOME")).toString(),
              QStringLiteral("Pessoa 599"));
}

TEST_F(PatientTest, ListsReopenWithTheirLastStatementAfterACommit) {
    AddPatient(QStringLiteral("1"), QStringLiteral("ana"));
    AddPatient(QStringLiteral("2"), QStringLiteral("bia"));
    EXPECT_EQ(DB_.ListPatients(QStringLiteral("bia"), 1, 0, {}, -1, {}, {}, {}, {}, 0), 1);
    AddPatient(QStringLiteral("3"), QStringLiteral("bianca"));
    DM_.ReopenList(QStringLiteral("patient"));
    EXPECT_TRUE(DM_.ListActive(TDataModule1::TList::Patients));
    EXPECT_EQ(DM_.IBQPacList().rowCount(), 2);
    // Committed: a second connection sees the rows.
    TDataModule1 other;
    other.ConnectDatabase(Database_.Path());
    QSqlQuery count = other.Execute({QStringLiteral("select count(*) from PACIENTE")});
    ASSERT_TRUE(TDataModule1::Next(count));
    EXPECT_EQ(count.value(0).toInt(), 3);
}

TEST_F(PatientTest, PatientAgeAtReadsTheBirthDate) {
    const int id =
        AddPatient(QStringLiteral("1"), QStringLiteral("ana"), QStringLiteral("15/06/1980"));
    EXPECT_EQ(PatientAgeAt(DM_, id, QDate(2020, 6, 14)), 39);
    EXPECT_EQ(PatientAgeAt(DM_, id, QDate(2020, 6, 15)), 40);
    EXPECT_EQ(PatientAgeAt(DM_, id + 1, QDate(2020, 6, 15)), 0);
}

} // namespace
