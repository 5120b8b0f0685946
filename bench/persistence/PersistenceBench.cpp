// The record layer against a clinic's history (20 000 patients, 200 doctors, 100 000 exams) on
// the local server. Times are wall-clock: the work happens in the server's process.
//
//   ListPatients: the one-word name search that runs on every keystroke of the patient manager.
//   ListExams: the exams of one patient.
//   StoreExam: a new exam's row, its three bitmaps and the commit that follows a save.

#include "ClinicDatabase.h"
#include "DBError.h"
#include "MessageService.h"
#include "UBDEndomira.h"
#include "UDataModule1.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QSqlQuery>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>
#include <random>

using namespace endomira;

namespace {

struct TContext {
    TMessageRecorder Messages;
    TDataModule1 DM;
    TBDEndomira DB{DM};
    int Patients = 0;
};

std::unique_ptr<TContext> gContext;

void ListPatientsByName(benchmark::State& state, const QString& word) {
    int rows = 0;
    for (auto _ : state) {
        rows = gContext->DB.ListPatients(word, 1, 0, QString(), -1, QString(), QString(), QString(),
                                         QString(), 0);
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = rows;
}

void BM_ListPatients_OneWord(benchmark::State& state) {
    ListPatientsByName(state, QStringLiteral("silva"));
}

// The first keystroke: one letter matches nearly every name.
void BM_ListPatients_FirstLetter(benchmark::State& state) {
    ListPatientsByName(state, QStringLiteral("m"));
}

void BM_ListPatients_All(benchmark::State& state) {
    ListPatientsByName(state, QString());
}

void BM_ListExams_OnePatient(benchmark::State& state) {
    std::mt19937 random(7);
    std::uniform_int_distribution<int> patients(1, gContext->Patients);
    int rows = 0;
    for (auto _ : state) {
        rows = gContext->DB.ListExams(patients(random), 0, QString(), QString(), QString());
        benchmark::DoNotOptimize(rows);
    }
    state.counters["rows"] = rows;
}

QImage Filled(int width, int height, QRgb colour) {
    QImage image(width, height, QImage::Format_RGB888);
    image.fill(colour);
    return image;
}

void BM_StoreExam_New(benchmark::State& state) {
    TContext& c = *gContext;
    QSqlQuery last = c.DM.Execute({QStringLiteral("select max(EXM_ID) from EXAME")});
    const int lastBefore = TDataModule1::Next(last) ? last.value(0).toInt() : 0;
    last = QSqlQuery();

    std::vector<TExamFrameImages> frames(4);
    for (int i = 0; i < 4; ++i) {
        frames[i].Image = Filled(640, 480, qRgb(40 * i, 90, 120));
        frames[i].CropOriginal = Filled(300, 260, qRgb(40 * i, 60, 80));
        frames[i].CropProcessed = Filled(300, 260, qRgb(40 * i, 200, 10));
    }
    frames[2].UseInCalculation = true;
    TExame exam;
    exam.EXM_MEDICO = 1;
    exam.EXM_OLHO = 1;
    exam.EXM_TOTALCELULAS = 220;
    exam.EXM_AREAANALISADA = 0.291;
    exam.EXM_DENSIDADE = 2650;
    exam.EXM_MORPHOINFO = QStringLiteral("12;30;45;9;4");
    exam.EXM_MEGATINFO = QStringLiteral("1;2;3;4;5;6;7");
    int patient = 1;
    for (auto _ : state) {
        exam.EXM_ID = -1;
        exam.EXM_PACIENTE = patient;
        patient = patient % c.Patients + 1;
        if (!c.DB.StoreExam(exam, frames)) {
            state.SkipWithError("StoreExam failed");
            break;
        }
        c.DM.Commit();
        c.Messages.Clear();
    }

    // The generated history stays as it was: the exams stored here go again.
    c.DM.Execute({QStringLiteral("delete from EXAME where EXM_ID > :id")},
                 {{QStringLiteral("id"), lastBefore}});
    c.DM.Commit();
    QDir(ExamImageRoot(c.DM.ProgramFolder())).removeRecursively();
}

} // namespace

BENCHMARK(BM_ListPatients_OneWord)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);
BENCHMARK(BM_ListPatients_FirstLetter)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5);
BENCHMARK(BM_ListPatients_All)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);
BENCHMARK(BM_ListExams_OnePatient)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);
BENCHMARK(BM_StoreExam_New)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5);

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    QString folder = qEnvironmentVariable("ENDOMIRA_BENCH_DIR");
    if (folder.isEmpty()) {
        folder = QStringLiteral(ENDOMIRA_BENCH_DIR);
    }
    QDir().mkpath(folder);
    bench::OpenFolderToServer(folder);
    const QString path = QDir(folder).absoluteFilePath(QStringLiteral("Endomira.FDB"));
    const bench::TClinicSize size;
    try {
        bench::EnsureClinicDatabase(path, size);
        gContext = std::make_unique<TContext>();
        gContext->Patients = size.Patients;
        gContext->DM.SetProgramFolder(QDir(folder).absoluteFilePath(QStringLiteral("program")));
        QDir().mkpath(gContext->DM.ProgramFolder() + QStringLiteral("/Database"));
        gContext->DM.ConnectDatabase(path);
        gContext->DM.StartTransaction();
    } catch (const TDBError& error) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(error.Message()));
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    gContext.reset();
    return 0;
}
