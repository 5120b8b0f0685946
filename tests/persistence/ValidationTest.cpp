// Checks and texts of the record layer that need no database.

#include "ExamImages.h"
#include "Schema.h"
#include "UBDEndomira.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

using namespace endomira;

TEST(IsValidCPF, PublishedCheckDigits) {
    const struct {
        const char* Text;
        bool Valid;
    } cases[] = {
        {"52998224725", true},  {"11144477735", true}, {"52998224724", false},
        {"52998224715", false}, {"5299822472", false}, {"529982247250", false},
        {"11111111111", true},  {"00000000000", true}, {"529.982.247-25", false},
        {"52998224725 ", true}, {"", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TBDEndomira::IsValidCPF(QString::fromUtf8(c.Text)), c.Valid) << c.Text;
    }
}

TEST(IsValidDate, CalendarDatesOnly) {
    const struct {
        const char* Text;
        bool Valid;
    } cases[] = {
        {"29/02/2020", true},  {"31/02/2020", false}, {"29/02/2019", false}, {"29/02/2000", true},
        {"29/02/1900", false}, {"31/12/9999", true},  {"01/01/0000", false}, {"00/05/2000", false},
        {"15/13/2000", false}, {"  /  /    ", false}, {"1/1/2000", false},   {"40/01/2000", false},
        {"14-03-1950", false}, {"14/03/1950", true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TBDEndomira::IsValidDate(QString::fromUtf8(c.Text)), c.Valid) << c.Text;
    }
}

TEST(ProperCaseName, WordsCapitalisedParticlesLowered) {
    const struct {
        const char* In;
        const char* Out;
    } cases[] = {
        {"maria das dores", "Maria das Dores"},
        {"ana dosvaldo", "Ana dosvaldo"},
        {"JOÃO DA SILVA", "João da Silva"},
        {"dom pedro de alcântara", "Dom Pedro de Alcântara"},
        {"de souza", "De Souza"},
        {"élio  de  araújo", "Élio  de  Araújo"},
        {"ÿves µm", "Ÿves µm"},
        {"maria da", "Maria Da"},
    };
    for (const auto& c : cases) {
        const QString out = TBDEndomira::ProperCaseName(QString::fromUtf8(c.In));
        EXPECT_EQ(out, QString::fromUtf8(c.Out)) << c.In;
        EXPECT_EQ(out.size(), QString::fromUtf8(c.In).size());
    }
}

TEST(IsValidEmail, NeedsAtAndDotWithoutSpaces) {
    EXPECT_TRUE(TBDEndomira::IsValidEmail(QString()));
    EXPECT_TRUE(TBDEndomira::IsValidEmail(QStringLiteral("ana@clinica.com.br")));
    EXPECT_FALSE(TBDEndomira::IsValidEmail(QStringLiteral("ana@clinica")));
    EXPECT_FALSE(TBDEndomira::IsValidEmail(QStringLiteral("ana.clinica.com")));
    EXPECT_FALSE(TBDEndomira::IsValidEmail(QStringLiteral("ana maria@clinica.com")));
}

TEST(DBErrorText, TranslatesServerMessages) {
    const QString dupPront = QStringLiteral(
        "violation of PRIMARY or UNIQUE KEY constraint \"UNQ_3_PAC_PRONTUARIO\" on table "
        "\"PACIENTE\" - Problematic key value is (\"PAC_PRONTUARIO\" = 12)");
    const QString dupCpf = QStringLiteral(
        "violation of PRIMARY or UNIQUE KEY constraint \"INTEG_6\" on table \"PACIENTE\"");
    const QString dupCrm = QStringLiteral(
        "violation of PRIMARY or UNIQUE KEY constraint \"UNQ_8_MED_CRM\" on table \"MEDICO\"");
    const QString dupOther = QStringLiteral(
        "violation of PRIMARY or UNIQUE KEY constraint \"PK_PACIENTE\" on table \"PACIENTE\"");
    const QString longText = QString(200, u'x');
    const struct {
        int Kind;
        QString Message;
        QString Shown;
    } cases[] = {
        {1, dupPront,
         QStringLiteral(
             "ERRO! PRONTUÁRIO DUPLICADO!\n\nNão é Possível Cadastrar Prontuário Duplicado!")},
        {1, dupCpf,
         QStringLiteral("ERRO! CPF DUPLICADO!\n\nNão é Possível Cadastrar CPF Duplicado!")},
        {1, dupOther, QStringLiteral("ERRO Inesperado!\n") + dupOther.left(150)},
        {2, dupCrm, QStringLiteral("ERRO! CRM DUPLICADO!\n\nNão é Possível Cadastrar !")},
        {2, dupPront, QStringLiteral("ERRO Inesperado!\n") + dupPront.left(150)},
        {1, QStringLiteral("conversion error from string \"x\" - not a valid date"),
         QStringLiteral("Data de Nascimento inválida!")},
        {2, QStringLiteral("not a valid date"), QStringLiteral("not a valid date")},
        {3, dupCrm, dupCrm},
        {3, longText, longText.left(150)},
        {1, QStringLiteral("violation of PRIMARY"),
         QStringLiteral("ERRO Inesperado!\n") + QStringLiteral("violation of PRIMARY")},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TBDEndomira::DBErrorText(c.Kind, c.Message), c.Shown)
            << c.Kind << " " << qPrintable(c.Message);
    }
}

TEST(ExamFolder, NamesAndStoredFrame) {
    EXPECT_EQ(ExamFolderName(7), QStringLiteral("0007"));
    EXPECT_EQ(ExamFolderName(123), QStringLiteral("0123"));
    EXPECT_EQ(ExamFolderName(10000), QStringLiteral("10000"));
    EXPECT_EQ(ExamFolderName(12345), QStringLiteral("12345"));

    std::vector<TExamFrameImages> frames(7);
    EXPECT_EQ(ChooseStoredFrame(frames), 0u);
    frames[0].UseInCalculation = frames[2].UseInCalculation = frames[5].UseInCalculation = true;
    EXPECT_EQ(ChooseStoredFrame(frames), 5u);
    EXPECT_EQ(ChooseStoredFrame({}), 0u);
}

// Frame records that own their bitmaps through pointers convert as well as plain images.
TEST(ExamFolder, FrameRecordsOfEitherKindConvert) {
    struct TPointerRecord {
        std::unique_ptr<QImage> Image, CropOriginal, CropProcessed;
        unsigned char UseInCalculation = 0;
    };
    std::vector<TPointerRecord> records(2);
    records[1].Image = std::make_unique<QImage>(4, 3, QImage::Format_RGB888);
    records[1].UseInCalculation = 1;
    const std::vector<TExamFrameImages> images = ExamFrameImages(records);
    ASSERT_EQ(images.size(), 2u);
    EXPECT_TRUE(images[0].Image.isNull());
    EXPECT_EQ(images[1].Image.size(), QSize(4, 3));
    EXPECT_TRUE(images[1].CropOriginal.isNull());
    EXPECT_EQ(ChooseStoredFrame(images), 1u);
}

TEST(ExamFolder, RootFindsExistingFoldersWhateverTheirCase) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString program = dir.path() + QStringLiteral("/endomira");
    ASSERT_TRUE(QDir().mkpath(program));
    // No database folder: the sibling Data folder, spelled as the program spells it.
    EXPECT_EQ(ExamImageRoot(program), dir.path() + QStringLiteral("/Data/DataBase/DBimages"));
    ASSERT_TRUE(QDir().mkpath(dir.path() + QStringLiteral("/data/DATABASE")));
    EXPECT_EQ(ExamImageRoot(program), dir.path() + QStringLiteral("/data/DATABASE/DBimages"));
    // A "Database" folder beside the program, as an installation has it.
    ASSERT_TRUE(QDir().mkpath(program + QStringLiteral("/Database")));
    EXPECT_EQ(ExamImageRoot(program), program + QStringLiteral("/Database/DBimages"));
    ASSERT_TRUE(QDir().mkpath(program + QStringLiteral("/Database/dbimages")));
    EXPECT_EQ(ExamImageRoot(program), program + QStringLiteral("/Database/dbimages"));
}

TEST(Schema, SortColumnsAreRecognisedOnlyByName) {
    EXPECT_EQ(FindColumn(PatientListColumns(), QStringLiteral("pac_nome")),
              QStringLiteral("PAC_NOME"));
    EXPECT_EQ(FindColumn(ExamSummaryColumns(), QStringLiteral("EXM_MED_NOME")),
              QStringLiteral("EXM_MED_NOME"));
    EXPECT_TRUE(
        FindColumn(PatientListColumns(), QStringLiteral("PAC_NOME; drop table x")).isEmpty());
    EXPECT_TRUE(FindColumn(DoctorColumns(), QStringLiteral("PAC_NOME")).isEmpty());
}
