// Exams on a real server: the row, its folder of three bitmaps, the exam list and the loader.

#include "Clock.h"
#include "DBError.h"
#include "DbFixture.h"
#include "UBFrameBuffer.h"
#include "UDExamination.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>

using namespace endomira;
using namespace endomira::test;

namespace {

QImage Filled(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(colour);
    return image;
}

// Frame i has images of colour i, so that the stored files name their frame.
std::vector<TExamFrameImages> Frames(int count, std::initializer_list<int> used) {
    std::vector<TExamFrameImages> frames(count);
    for (int i = 0; i < count; ++i) {
        frames[i].Image = Filled(640, 480, qRgb(i * 10, 1, 2));
        frames[i].CropOriginal = Filled(120, 90, qRgb(i * 10, 3, 4));
        frames[i].CropProcessed = Filled(120, 90, qRgb(i * 10, 5, 6));
    }
    for (const int i : used) {
        frames[i].UseInCalculation = true;
    }
    return frames;
}

int BitsPerPixel(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return -1;
    }
    const QByteArray header = file.read(30);
    if (header.size() < 30 || !header.startsWith("BM")) {
        return -1;
    }
    return static_cast<unsigned char>(header[28]) | static_cast<unsigned char>(header[29]) << 8;
}

class ExamTest : public TDbFixture {
protected:
    void SetUp() override {
        TPaciente p = SomePatient(QStringLiteral("501"), QStringLiteral("ana"));
        p.Nascimento = QStringLiteral("15/06/1980");
        TMedico d = SomeDoctor(QStringLiteral("52-9"), QStringLiteral("paulo"));
        ASSERT_TRUE(DB_.SavePatient(p) && DB_.SaveDoctor(d));
        Exam_.EXM_PACIENTE = p.Id;
        Exam_.EXM_MEDICO = d.Id;
        Exam_.EXM_OLHO = 1;
        Exam_.EXM_FIX_SIDE = QStringLiteral("N");
        Exam_.EXM_FIX_POS = 10;
        Exam_.EXM_TOTALCELULAS = 231;
        Exam_.EXM_AREAANALISADA = 0.289;
        Exam_.EXM_DENSIDADE = 2604;
        Exam_.EXM_DP = 101.25;
        Exam_.EXM_AREAMIN = 150.5;
        Exam_.EXM_AREAMED = 384.123;
        Exam_.EXM_AREAMAX = 702.999;
        Exam_.EXM_HEXAGONAIS = 140;
        Exam_.EXM_COEFVAR = 0.264;
        Exam_.EXM_TOTALIMG = 3;
        Exam_.EXM_PAQUIMETRIA = 540;
        Exam_.EXM_MORPHOINFO = QStringLiteral("12;30;45;9;4");
        Exam_.EXM_MEGATINFO = QStringLiteral("1;2;3;4;5;6;7");
        Exam_.EXM_DIAGNOSTICO = QStringLiteral("Córnea com guttata discreta");
        Exam_.EXM_OBSERVACAO = QStringLiteral("Revisão em 6 meses");
        // An installation: the database folder beside the program.
        ASSERT_TRUE(QDir().mkpath(DM_.ProgramFolder() + QStringLiteral("/Database")));
        Messages_.Clear();
    }

    QString Folder(int id) const {
        return DM_.ProgramFolder() + QStringLiteral("/Database/DBimages/") + ExamFolderName(id);
    }

    TExame Exam_;
};

TEST_F(ExamTest, SavedTwiceInsertsThenUpdatesTheSameRowAndFolder) {
    const auto frames = Frames(6, {0, 2, 5});
    ASSERT_TRUE(DB_.StoreExam(Exam_, frames)) << qPrintable(Texts().join(u'|'));
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("Exame Salvo com Sucesso!")});
    EXPECT_EQ(Messages_.Shown()[0].Kind, TMsgKind::Information);
    const int id = Exam_.EXM_ID;
    ASSERT_GT(id, 0);
    EXPECT_EQ(Exam_.EXM_DATA, DateToText(QDate::currentDate()));
    EXPECT_EQ(Exam_.EXM_HORA.size(), 8);

    const QString folder = Folder(id);
    for (const char* name : {"Original.bmp", "Crop.bmp", "Process.bmp"}) {
        EXPECT_EQ(BitsPerPixel(folder + u'/' + QString::fromLatin1(name)), 24) << name;
    }
    // The images of frame 5, the last one used.
    EXPECT_EQ(QImage(folder + QStringLiteral("/Original.bmp")).pixel(3, 3), qRgb(50, 1, 2));
    EXPECT_EQ(QImage(folder + QStringLiteral("/Crop.bmp")).size(), QSize(120, 90));
    EXPECT_EQ(QImage(folder + QStringLiteral("/Process.bmp")).pixel(0, 0), qRgb(50, 5, 6));
    EXPECT_EQ(Exam_.EXM_IMG_CROP_ORIG, folder + QStringLiteral("/Crop.bmp"));
    EXPECT_EQ(Scalar(QStringLiteral("select EXM_IMG_CROP_PROC from EXAME")).toString(),
              folder + QStringLiteral("/Process.bmp"));

    // Second save: same row, results replaced, files rewritten; doctor and eye unchanged.
    Exam_.EXM_DENSIDADE = 2700;
    Exam_.EXM_OLHO = 0;
    Exam_.EXM_DIAGNOSTICO = QStringLiteral("Normal");
    const auto second = Frames(3, {1});
    ASSERT_TRUE(DB_.StoreExam(Exam_, second));
    EXPECT_EQ(Exam_.EXM_ID, id);
    EXPECT_EQ(Count(QStringLiteral("EXAME")), 1);
    EXPECT_EQ(Scalar(QStringLiteral("select EXM_DENSIDADE from EXAME")).toInt(), 2700);
    EXPECT_EQ(Scalar(QStringLiteral("select EXM_OLHO from EXAME")).toInt(), 1);
    EXPECT_EQ(QImage(folder + QStringLiteral("/Original.bmp")).pixel(3, 3), qRgb(10, 1, 2));
    EXPECT_EQ(QDir(Folder(id)).entryList(QDir::Files).size(), 3);

    // A second exam gets a larger id and its own folder.
    TExame next = Exam_;
    next.EXM_ID = -1;
    ASSERT_TRUE(DB_.StoreExam(next, Frames(1, {})));
    EXPECT_GT(next.EXM_ID, id);
    EXPECT_EQ(QImage(Folder(next.EXM_ID) + QStringLiteral("/Crop.bmp")).pixel(0, 0), qRgb(0, 3, 4));
}

// The examination window's own frame buffer: frames 0, 2 and 5 analysed and used.
TEST_F(ExamTest, StoresTheImagesOfTheFrameBuffer) {
    TBFrameBuffer buffer;
    for (int i = 0; i < 6; ++i) {
        ASSERT_TRUE(buffer.BAddFrame(Filled(640, 480, qRgb(i * 10, 1, 2)),
                                     TFixation{QStringLiteral("N"), 10}, 1, 100, TRect{},
                                     TPachymetryLine{}, kNormalSensitivity));
    }
    const TRect roi{100, 50, 400, 310};
    for (const std::uint16_t i : {0, 2, 5}) {
        const QImage background = Filled(640, 480, qRgb(i * 10, 3, 4));
        const QImage surface = Filled(640, 480, qRgb(i * 10, 5, 6));
        buffer.BCropFrame(i, background, surface, false, roi);
        buffer.BCropFrame(i, background, surface, true, roi);
        buffer.BSetUseInCalculation(i, true);
    }
    ASSERT_TRUE(DB_.StoreExam(Exam_, buffer)) << qPrintable(Texts().join(u'|'));
    const QString folder = Folder(Exam_.EXM_ID);
    EXPECT_EQ(QImage(folder + QStringLiteral("/Original.bmp")).pixel(0, 0), qRgb(50, 1, 2));
    const QImage crop(folder + QStringLiteral("/Crop.bmp"));
    EXPECT_EQ(crop.size(), QSize(300, 260));
    EXPECT_EQ(crop.pixel(0, 0), qRgb(50, 3, 4));
    EXPECT_EQ(QImage(folder + QStringLiteral("/Process.bmp")).pixel(0, 0), qRgb(50, 5, 6));
    for (const char* name : {"Original.bmp", "Crop.bmp", "Process.bmp"}) {
        EXPECT_EQ(BitsPerPixel(folder + u'/' + QString::fromLatin1(name)), 24) << name;
    }
}

TEST_F(ExamTest, WithoutADatabaseFolderTheImagesGoBesideTheProgram) {
    ASSERT_TRUE(QDir(DM_.ProgramFolder() + QStringLiteral("/Database")).removeRecursively());
    ASSERT_TRUE(DB_.StoreExam(Exam_, Frames(2, {})));
    const QString folder =
        QDir::cleanPath(DM_.ProgramFolder() + QStringLiteral("/../Data/DataBase/DBimages/") +
                        ExamFolderName(Exam_.EXM_ID));
    EXPECT_EQ(QImage(folder + QStringLiteral("/Original.bmp")).pixel(0, 0), qRgb(0, 1, 2));
    EXPECT_EQ(Exam_.EXM_IMG_CROP_PROC, folder + QStringLiteral("/Process.bmp"));
}

TEST_F(ExamTest, MissingDoctorOrPatientWritesNothing) {
    TExame exam = Exam_;
    exam.EXM_MEDICO = 0;
    exam.EXM_PACIENTE = 0;
    EXPECT_FALSE(DB_.StoreExam(exam, Frames(1, {0})));
    exam.EXM_MEDICO = Exam_.EXM_MEDICO;
    EXPECT_FALSE(DB_.StoreExam(exam, Frames(1, {0})));
    EXPECT_EQ(Texts(), (QStringList{QStringLiteral("Selecione um Médico Responsável!"),
                                    QStringLiteral("Selecione um paciente!")}));
    EXPECT_EQ(exam.EXM_ID, -1);
    EXPECT_EQ(Count(QStringLiteral("EXAME")), 0);
    EXPECT_FALSE(QFileInfo::exists(DM_.ProgramFolder() + QStringLiteral("/Database/DBimages")));
}

TEST_F(ExamTest, FailuresAreShownAndWhatWasDoneStays) {
    // A doctor that does not exist is refused by the database.
    TExame exam = Exam_;
    exam.EXM_MEDICO = Exam_.EXM_MEDICO + 50;
    EXPECT_FALSE(DB_.StoreExam(exam, Frames(1, {0})));
    ASSERT_EQ(Messages_.Shown().size(), 1u);
    // The server's own message is longer than the box takes: the box shows its first 150
    // characters.
    QString full;
    try {
        DM_.Execute(
            {QStringLiteral("insert into EXAME (EXM_MEDICO, EXM_PACIENTE) values (:m, :p)")},
            {{QStringLiteral("m"), exam.EXM_MEDICO}, {QStringLiteral("p"), exam.EXM_PACIENTE}});
    } catch (const TDBError& error) {
        full = error.Message();
    }
    ASSERT_GT(full.size(), 150) << qPrintable(full);
    EXPECT_TRUE(full.contains(QStringLiteral("FK_EXAME_MEDICO")));
    EXPECT_EQ(Messages_.Shown()[0].Text, full.left(150));
    EXPECT_EQ(Count(QStringLiteral("EXAME")), 0);

    // A frame never analysed has no crops: the row stays, without image paths.
    Messages_.Clear();
    std::vector<TExamFrameImages> frames(1);
    frames[0].Image = Filled(640, 480, qRgb(1, 1, 1));
    EXPECT_FALSE(DB_.StoreExam(Exam_, frames));
    ASSERT_EQ(Messages_.Shown().size(), 1u);
    EXPECT_EQ(Messages_.Shown()[0].Kind, TMsgKind::Error);
    EXPECT_TRUE(Messages_.Shown()[0].Text.contains(QStringLiteral("Crop.bmp")));
    EXPECT_LE(Messages_.Shown()[0].Text.size(), 150);
    EXPECT_GT(Exam_.EXM_ID, 0);
    EXPECT_EQ(Count(QStringLiteral("EXAME")), 1);
    EXPECT_TRUE(Scalar(QStringLiteral("select EXM_IMG_CROP_ORIG from EXAME")).isNull());
}

TEST_F(ExamTest, AnExamNoLongerStoredIsNotReportedAsSaved) {
    Exam_.EXM_ID = 4321;
    EXPECT_FALSE(DB_.StoreExam(Exam_, Frames(1, {0})));
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("Exame 4321 não encontrado; nada foi gravado.")});
    EXPECT_EQ(Count(QStringLiteral("EXAME")), 0);
    EXPECT_FALSE(QFileInfo::exists(Folder(4321)));
}

TEST_F(ExamTest, AFolderThatCannotBeMadeFailsOnTheFirstFile) {
    // A file where the images' root folder should be.
    QFile blocker(DM_.ProgramFolder() + QStringLiteral("/Database/DBimages"));
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    EXPECT_FALSE(DB_.StoreExam(Exam_, Frames(1, {0})));
    ASSERT_EQ(Messages_.Shown().size(), 1u);
    EXPECT_TRUE(Messages_.Shown()[0].Text.contains(QStringLiteral("Original.bmp")))
        << qPrintable(Messages_.Shown()[0].Text);
    EXPECT_EQ(Count(QStringLiteral("EXAME")), 1);
}

TEST_F(ExamTest, LoadExamReadsBackEveryField) {
    {
        // The day before the patient's 40th birthday.
        const TScopedToday today(QDate(2020, 6, 14));
        ASSERT_TRUE(DB_.StoreExam(Exam_, Frames(1, {0})));
    }
    EXPECT_EQ(Exam_.EXM_DATA, QStringLiteral("14/06/2020"));
    TExame loaded;
    TDExamination(DM_).LoadExam(Exam_.EXM_ID, loaded);
    EXPECT_EQ(loaded.EXM_ID, Exam_.EXM_ID);
    EXPECT_EQ(loaded.EXM_MEDICO, Exam_.EXM_MEDICO);
    EXPECT_EQ(loaded.MED_NOME, QStringLiteral("Dr. Paulo"));
    EXPECT_EQ(loaded.MED_CRM, QStringLiteral("52-9"));
    EXPECT_EQ(loaded.EXM_PACIENTE, Exam_.EXM_PACIENTE);
    EXPECT_EQ(loaded.PAC_PRONTUARIO, 501);
    EXPECT_EQ(loaded.EXM_DATA, Exam_.EXM_DATA);
    EXPECT_EQ(loaded.EXM_HORA, Exam_.EXM_HORA);
    EXPECT_EQ(loaded.EXM_IDADE, 39);
    EXPECT_EQ(loaded.EXM_OLHO, 1);
    EXPECT_EQ(loaded.EXM_FIX_SIDE, QStringLiteral("N"));
    EXPECT_EQ(loaded.EXM_FIX_POS, 10);
    EXPECT_EQ(loaded.EXM_FIRMWARE, QString());
    EXPECT_EQ(loaded.EXM_TOTALCELULAS, 231);
    EXPECT_DOUBLE_EQ(loaded.EXM_AREAANALISADA, 0.289);
    EXPECT_EQ(loaded.EXM_DENSIDADE, 2604);
    EXPECT_DOUBLE_EQ(loaded.EXM_DP, 101.25);
    EXPECT_DOUBLE_EQ(loaded.EXM_AREAMIN, 150.5);
    EXPECT_DOUBLE_EQ(loaded.EXM_AREAMED, 384.123);
    EXPECT_DOUBLE_EQ(loaded.EXM_AREAMAX, 702.999);
    EXPECT_EQ(loaded.EXM_HEXAGONAIS, 140);
    EXPECT_DOUBLE_EQ(loaded.EXM_COEFVAR, 0.264);
    EXPECT_EQ(loaded.EXM_TOTALIMG, 3);
    EXPECT_EQ(loaded.EXM_PAQUIMETRIA, 540);
    EXPECT_EQ(loaded.EXM_MORPHOINFO, Exam_.EXM_MORPHOINFO);
    EXPECT_EQ(loaded.EXM_MEGATINFO, Exam_.EXM_MEGATINFO);
    EXPECT_EQ(loaded.EXM_IMG_CROP_ORIG, Exam_.EXM_IMG_CROP_ORIG);
    EXPECT_EQ(loaded.EXM_IMG_CROP_PROC, Exam_.EXM_IMG_CROP_PROC);
    EXPECT_EQ(loaded.EXM_DIAGNOSTICO, Exam_.EXM_DIAGNOSTICO);
    EXPECT_EQ(loaded.EXM_OBSERVACAO, Exam_.EXM_OBSERVACAO);

    EXPECT_THROW(TDExamination(DM_).LoadExam(Exam_.EXM_ID + 1, loaded), TDBError);
}

TEST_F(ExamTest, NullColumnsReadAsZeroOrEmpty) {
    QSqlQuery insert = DM_.Execute(
        {QStringLiteral("insert into EXAME (EXM_FIX_SIDE) values (null) returning EXM_ID")});
    ASSERT_TRUE(TDataModule1::Next(insert));
    const int id = insert.value(0).toInt();
    TExame loaded = Exam_;
    TDExamination(DM_).LoadExam(id, loaded);
    EXPECT_EQ(loaded.EXM_ID, id);
    EXPECT_EQ(loaded.EXM_MEDICO, 0);
    EXPECT_EQ(loaded.MED_NOME, QString());
    EXPECT_EQ(loaded.EXM_PACIENTE, 0);
    EXPECT_EQ(loaded.PAC_PRONTUARIO, 0);
    EXPECT_EQ(loaded.EXM_IDADE, 0);
    EXPECT_EQ(loaded.EXM_DATA, QString());
    EXPECT_EQ(loaded.EXM_FIX_SIDE, QString());
    EXPECT_EQ(loaded.EXM_TOTALCELULAS, 0);
    EXPECT_EQ(loaded.EXM_AREAMED, 0.0);
    EXPECT_EQ(loaded.EXM_MORPHOINFO, QString());
    EXPECT_EQ(loaded.EXM_OLHO, 0);
}

TEST_F(ExamTest, ExamListAndItsSummaryView) {
    const auto frames = Frames(1, {0});
    TExame right = Exam_;
    right.EXM_OLHO = 0;
    ASSERT_TRUE(DB_.StoreExam(right, frames));
    TExame left = Exam_;
    ASSERT_TRUE(DB_.StoreExam(left, frames));
    // An older exam of the same patient.
    DM_.Execute({QStringLiteral("update EXAME set EXM_DATA='2019-06-15' where EXM_ID=:id")},
                {{QStringLiteral("id"), right.EXM_ID}});

    TListModel& list = DM_.IBQExmList();
    EXPECT_EQ(DB_.ListExams(Exam_.EXM_PACIENTE, 0, QString(), QString(), QString()), 2);
    EXPECT_EQ(list.Value(0, QStringLiteral("EXM_ID")).toInt(), left.EXM_ID);
    EXPECT_EQ(list.Value(0, QStringLiteral("EXM_OLHO")).toString(), QStringLiteral("OS"));
    EXPECT_EQ(list.Value(1, QStringLiteral("EXM_OLHO")).toString(), QStringLiteral("OD"));
    EXPECT_EQ(list.Value(1, QStringLiteral("EXM_IDADE")).toInt(), 39);
    EXPECT_EQ(list.Value(0, QStringLiteral("EXM_MED_NOME")).toString(),
              QStringLiteral("Dr. Paulo"));

    QStringList columns;
    for (int i = 0; i < list.columnCount(); ++i) {
        columns << list.headerData(i, Qt::Horizontal).toString();
    }
    EXPECT_EQ(columns, ExamSummaryColumns());

    EXPECT_EQ(DB_.ListExams(Exam_.EXM_PACIENTE, 0, QStringLiteral("01/01/2019"),
                            QStringLiteral("31/12/2019"), QString()),
              1);
    EXPECT_EQ(
        DB_.ListExams(Exam_.EXM_PACIENTE, 0, QStringLiteral("01/01/2019"), QString(), QString()),
        2);
    EXPECT_EQ(
        DB_.ListExams(Exam_.EXM_PACIENTE, Exam_.EXM_MEDICO + 1, QString(), QString(), QString()),
        0);
    EXPECT_EQ(DB_.ListExams(Exam_.EXM_PACIENTE + 1, 0, QString(), QString(), QString()), 0);

    // A sort column given twice: descending, then ascending.
    DB_.ListExams(Exam_.EXM_PACIENTE, Exam_.EXM_MEDICO, QString(), QString(),
                  QStringLiteral("EXM_ID"));
    EXPECT_EQ(list.Value(0, QStringLiteral("EXM_ID")).toInt(), left.EXM_ID);
    DB_.ListExams(Exam_.EXM_PACIENTE, Exam_.EXM_MEDICO, QString(), QString(),
                  QStringLiteral("EXM_ID"));
    EXPECT_EQ(list.Value(0, QStringLiteral("EXM_ID")).toInt(), right.EXM_ID);
    EXPECT_THROW(DB_.ListExams(Exam_.EXM_PACIENTE, 0, QString(), QString(),
                               QStringLiteral("EXM_ID desc --")),
                 TDBError);
}

} // namespace
