// Doctors on a real server: title, normalisation, optional birth date, duplicates, searches.

#include "DBError.h"
#include "DbFixture.h"

#include <QDate>

using namespace endomira;
using namespace endomira::test;

namespace {

using DoctorTest = TDbFixture;

TEST_F(DoctorTest, TitleAndNamesAreNormalised) {
    const struct {
        const char* Nome;
        const char* Sexo;
        const char* Stored;
    } cases[] = {
        {"joão silva", "M", "Dr. João Silva"},
        {"dra. maria de souza", "F", "Dra. Maria de Souza"},
        {"  lúcia   ", " f ", "Dra. Lúcia"},
        {"paulo dr freitas", "", "Paulo Dr Freitas"},
    };
    int crm = 1;
    for (const auto& c : cases) {
        TMedico d = SomeDoctor(QString::number(crm++), QString::fromUtf8(c.Nome));
        d.Sexo = QString::fromUtf8(c.Sexo);
        d.Email = QStringLiteral(" DR@Clinica.com ");
        ASSERT_TRUE(DB_.SaveDoctor(d)) << qPrintable(Texts().join(u'|'));
        EXPECT_EQ(Scalar(QStringLiteral("select MED_NOME from MEDICO where MED_ID=:id"),
                         {{QStringLiteral("id"), d.Id}})
                      .toString(),
                  QString::fromUtf8(c.Stored));
        EXPECT_EQ(Scalar(QStringLiteral("select MED_EMAIL from MEDICO where MED_ID=:id"),
                         {{QStringLiteral("id"), d.Id}})
                      .toString(),
                  QStringLiteral("dr@clinica.com"));
    }
    EXPECT_TRUE(Messages_.Shown().empty());
}

TEST_F(DoctorTest, EachCheckStopsWithItsOwnBox) {
    const struct {
        const char* Nome;
        const char* Sexo;
        const char* CRM;
        const char* CPF;
        const char* Orgao;
        const char* Email;
        const char* Nascimento;
        const char* Shown;
    } cases[] = {
        {"", "M", "1", "123", "", "", "", "Número de CPF Inválido!"},
        {"  ", "M", "1", "", "", "", "", "Nome de Medico Inválido!"},
        {"ana", "", "1", "", "", "", "",
         "Nome de Médico Inválido\nDigite o título ou selecione o sexo!"},
        {"ana", "F", " ", "", "", "", "", "CRM Inválido!"},
        {"ana", "F", "1", "", "1234567", "", "",
         "Orgão Expeditor deve ter no máximo 6 caracteres!"},
        {"ana", "F", "1", "", "", "ana@x", "", "Email Inválido!"},
        {"ana", "F", "1", "", "", "", "31/02/1970", "Data de Nascimento inválida!"},
    };
    for (const auto& c : cases) {
        Messages_.Clear();
        TMedico d = SomeDoctor(QString::fromUtf8(c.CRM), QString::fromUtf8(c.Nome));
        d.Sexo = QString::fromUtf8(c.Sexo);
        d.CPF = QString::fromUtf8(c.CPF);
        d.Orgao = QString::fromUtf8(c.Orgao);
        d.Email = QString::fromUtf8(c.Email);
        d.Nascimento = QString::fromUtf8(c.Nascimento);
        EXPECT_FALSE(DB_.SaveDoctor(d));
        EXPECT_EQ(Texts(), QStringList{QString::fromUtf8(c.Shown)});
    }
    EXPECT_EQ(Count(QStringLiteral("MEDICO")), 0);
}

TEST_F(DoctorTest, BirthDateIsOptionalAndKeptByAnUpdateWithoutIt) {
    TMedico d = SomeDoctor(QStringLiteral("52-1"), QStringLiteral("ana"));
    d.Nascimento = QStringLiteral("  /  /    ");
    ASSERT_TRUE(DB_.SaveDoctor(d));
    const QString birth = QStringLiteral("select MED_NASCIMENTO from MEDICO where MED_ID=:id");
    EXPECT_TRUE(Scalar(birth, {{QStringLiteral("id"), d.Id}}).isNull());

    d.Nascimento = QStringLiteral("05/10/1970");
    ASSERT_TRUE(DB_.SaveDoctor(d));
    EXPECT_EQ(Scalar(birth, {{QStringLiteral("id"), d.Id}}).toDate(), QDate(1970, 10, 5));
    d.Nascimento = QString();
    d.Especialidade = QStringLiteral("retina");
    ASSERT_TRUE(DB_.SaveDoctor(d));
    EXPECT_EQ(Scalar(birth, {{QStringLiteral("id"), d.Id}}).toDate(), QDate(1970, 10, 5));
    EXPECT_EQ(Scalar(QStringLiteral("select MED_ESPECIALIDADE from MEDICO")).toString(),
              QStringLiteral("Retina"));
    EXPECT_EQ(Count(QStringLiteral("MEDICO")), 1);

    d.Id += 1;
    EXPECT_FALSE(DB_.SaveDoctor(d));
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("ID do Médico não Encontrado!")});
}

TEST_F(DoctorTest, DuplicateCrmAndEmptyCpfs) {
    TMedico a = SomeDoctor(QStringLiteral("52-77"), QStringLiteral("ana"));
    TMedico b = SomeDoctor(QStringLiteral("52-78"), QStringLiteral("bia"));
    ASSERT_TRUE(DB_.SaveDoctor(a));
    ASSERT_TRUE(DB_.SaveDoctor(b));
    EXPECT_NE(a.Id, b.Id);
    EXPECT_EQ(Scalar(QStringLiteral("select MED_CRM from MEDICO where MED_ID=:id"),
                     {{QStringLiteral("id"), b.Id}})
                  .toString(),
              QStringLiteral("52-78"));
    TMedico c = SomeDoctor(QStringLiteral("52-77"), QStringLiteral("carla"));
    EXPECT_FALSE(DB_.SaveDoctor(c));
    EXPECT_EQ(Texts(),
              QStringList{QStringLiteral("ERRO! CRM DUPLICADO!\n\nNão é Possível Cadastrar !")});
    EXPECT_EQ(c.Id, -1);
}

TEST_F(DoctorTest, StatusAndSearch) {
    TMedico a = SomeDoctor(QStringLiteral("3"), QStringLiteral("ana paula lima"));
    TMedico b = SomeDoctor(QStringLiteral("1"), QStringLiteral("paulo lima"));
    TMedico c = SomeDoctor(QStringLiteral("2"), QStringLiteral("carla paula"));
    ASSERT_TRUE(DB_.SaveDoctor(a) && DB_.SaveDoctor(b) && DB_.SaveDoctor(c));
    EXPECT_TRUE(DB_.DeactivateDoctor(c.Id));
    EXPECT_FALSE(DB_.DeactivateDoctor(c.Id + 10));
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("ID do Médico não Encontrado!")});

    auto names = [&] {
        QStringList values;
        for (int row = 0; row < DM_.IBQMedList().rowCount(); ++row) {
            values << DM_.IBQMedList().Value(row, QStringLiteral("MED_NOME")).toString();
        }
        return values;
    };
    EXPECT_EQ(DB_.ListDoctors(QString(), 1, QString()), 2);
    EXPECT_EQ(names(), (QStringList{QStringLiteral("Dr. Ana Paula Lima"),
                                    QStringLiteral("Dr. Paulo Lima")}));
    EXPECT_EQ(DB_.ListDoctors(QString(), 1, QStringLiteral("med_crm")), 2);
    EXPECT_EQ(names(), (QStringList{QStringLiteral("Dr. Paulo Lima"),
                                    QStringLiteral("Dr. Ana Paula Lima")}));
    EXPECT_EQ(DB_.ListDoctors(QStringLiteral("PAULA lima"), 1, QString()), 1);
    EXPECT_EQ(DB_.ListDoctors(QStringLiteral("paula"), 0, QStringLiteral("MED_ID")), 1);
    EXPECT_EQ(names(), QStringList{QStringLiteral("Dr. Carla Paula")});
    EXPECT_THROW(DB_.ListDoctors(QString(), 1, QStringLiteral("1; drop table MEDICO")), TDBError);
}

} // namespace
