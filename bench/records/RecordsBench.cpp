// The patient manager on a clinic of 20 000 patients (the record layer's generated database):
// the time from one keystroke in a filter field to the window painted again with the new list.
// Each iteration sends the key to the real window offscreen and then paints it, so the figure
// covers the search and its count, the fetch of the rows the grid holds, the grid's reset and
// the repaint; the key that puts the field back is sent outside the timing. Times are
// wall-clock (the search runs in the server's process); the "max_ms" counter is the slowest
// single keystroke of a run, "rows" the rows the grid holds (fetched so far), "listed" the
// count the window shows.
//
//   FirstLetter: "m" typed in the empty name field, which matches most names.
//   Word:        the last letter of "silva".
//   ClearName:   the name field emptied, which lists every active patient.
//   RecordNumber: the last digit of an existing record number ("100012").

#include "ClinicDatabase.h"
#include "DBError.h"
#include "MessageService.h"
#include "RecordsGrid.h"
#include "UDataModule1.h"
#include "UfrmPatientManager.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <algorithm>
#include <benchmark/benchmark.h>
#include <cstdio>
#include <memory>

using namespace endomira;

namespace {

struct TContext {
    TMessageRecorder Messages;
    TDataModule1 DM;
    TfrmPatientManager* Form = nullptr;
    QLineEdit* Name = nullptr;
    QLineEdit* HandBook = nullptr;
};

std::unique_ptr<TContext> gContext;

void Key(QWidget* target, int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
}

// One keystroke and the paint that shows its result, in milliseconds.
double TimedKey(QWidget* target, int key, const QString& text) {
    QElapsedTimer clock;
    clock.start();
    Key(target, key, text);
    gContext->Form->repaint();
    return static_cast<double>(clock.nsecsElapsed()) / 1e6;
}

void SetField(QLineEdit* field, const QString& text) {
    field->setFocus();
    field->setText(text);
    field->end(false);
}

// `prepare` leaves the field one keystroke away from the searched text; `key`, `text` is that
// keystroke; `undo` goes back (untimed).
template <typename Prepare, typename Undo>
void Keystrokes(benchmark::State& state, QLineEdit* field, Prepare prepare, int key,
                const QString& text, Undo undo) {
    prepare();
    const QAbstractItemModel* list = gContext->Form->findChild<TRecordsGrid*>()->model();
    double slowest = 0;
    int rows = 0;
    int listed = 0;
    for (auto _ : state) {
        const double ms = TimedKey(field, key, text);
        state.SetIterationTime(ms / 1000.0);
        slowest = std::max(slowest, ms);
        rows = list->rowCount();
        listed = gContext->DM.RowCount(TDataModule1::TList::Patients);
        undo();
    }
    state.counters["max_ms"] = slowest;
    state.counters["rows"] = rows;
    state.counters["listed"] = listed;
}

void BM_Keystroke_FirstLetter(benchmark::State& state) {
    QLineEdit* name = gContext->Name;
    Keystrokes(
        state, name, [&] { SetField(name, QString()); }, Qt::Key_M, QStringLiteral("m"),
        [&] { SetField(name, QString()); });
}

void BM_Keystroke_Word(benchmark::State& state) {
    QLineEdit* name = gContext->Name;
    Keystrokes(
        state, name, [&] { SetField(name, QStringLiteral("silv")); }, Qt::Key_A,
        QStringLiteral("a"), [&] { SetField(name, QStringLiteral("silv")); });
}

void BM_Keystroke_ClearName(benchmark::State& state) {
    QLineEdit* name = gContext->Name;
    Keystrokes(
        state, name, [&] { SetField(name, QStringLiteral("m")); }, Qt::Key_Backspace, QString(),
        [&] { SetField(name, QStringLiteral("m")); });
}

void BM_Keystroke_RecordNumber(benchmark::State& state) {
    QLineEdit* handBook = gContext->HandBook;
    Keystrokes(
        state, handBook, [&] { SetField(handBook, QStringLiteral("10001")); }, Qt::Key_2,
        QStringLiteral("2"), [&] { SetField(handBook, QStringLiteral("10001")); });
}

} // namespace

BENCHMARK(BM_Keystroke_FirstLetter)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(10)
    ->Repetitions(5);
BENCHMARK(BM_Keystroke_Word)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(10)
    ->Repetitions(5);
BENCHMARK(BM_Keystroke_ClearName)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(10)
    ->Repetitions(5);
BENCHMARK(BM_Keystroke_RecordNumber)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(10)
    ->Repetitions(5);

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    QString folder = qEnvironmentVariable("ENDOMIRA_BENCH_DIR");
    if (folder.isEmpty()) {
        folder = QStringLiteral(ENDOMIRA_BENCH_DIR);
    }
    QDir().mkpath(folder);
    bench::OpenFolderToServer(folder);
    const QString path = QDir(folder).absoluteFilePath(QStringLiteral("Endomira.FDB"));
    try {
        bench::EnsureClinicDatabase(path);
        gContext = std::make_unique<TContext>();
        gContext->DM.OpenDatabase(path);
    } catch (const TDBError& error) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(error.Message()));
        return 1;
    }
    // The window as the operator has it: maximised on a 1280 x 1024 screen, filter on.
    auto* form = new TfrmPatientManager(gContext->DM);
    gContext->Form = form;
    form->resize(1280, 1000);
    form->show();
    QLabel* filter = form->findChild<QLabel*>(QStringLiteral("Lbl_Pac_Filtro"));
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(filter, &release);
    QApplication::processEvents();
    gContext->Name = form->findChild<QLineEdit*>(QStringLiteral("Edt_PAC_FNome"));
    gContext->HandBook = form->findChild<QLineEdit*>(QStringLiteral("Edt_PAC_HandBook"));
    if (!gContext->Messages.Shown().empty()) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(gContext->Messages.Shown().front().Text));
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    delete form;
    gContext.reset();
    return 0;
}
