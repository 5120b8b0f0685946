// Helper of SignalCloseTest: a process that, like the program, handles SIGTERM itself. It saves a
// patient, receives SIGTERM, gives the client library time to act on the signal, and then
// commits as the program does when it closes. Exit 0 when the commit went through.

#include "DBError.h"
#include "UBDEndomira.h"
#include "UDataModule1.h"

#include <QCoreApplication>
#include <QThread>
#include <csignal>
#include <cstdio>
#include <unistd.h>

using namespace endomira;

namespace {

volatile std::sig_atomic_t gTerminate = 0;

void OnTerminate(int) {
    gTerminate = 1;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        return 64;
    }
    TDataModule1 dataModule;
    struct sigaction action {};
    action.sa_handler = OnTerminate;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    try {
        dataModule.ConnectDatabase(QString::fromLocal8Bit(argv[1]));
        dataModule.StartTransaction();
        TBDEndomira db(dataModule);
        TPaciente patient;
        patient.Prontuario = QStringLiteral("777");
        patient.Nome = QStringLiteral("paciente do sinal");
        patient.Nascimento = QStringLiteral("01/01/1970");
        if (!db.SavePatient(patient)) {
            return 2;
        }
        ::kill(::getpid(), SIGTERM);
        for (int i = 0; i < 200 && !gTerminate; ++i) {
            QThread::msleep(10);
        }
        if (!gTerminate) {
            return 4;
        }
        // Time for the library's own reaction to the signal, if it has one.
        QThread::msleep(1000);
        dataModule.Commit();
    } catch (const TDBError& error) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(error.Message()));
        return 3;
    }
    return 0;
}
