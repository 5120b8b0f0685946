#include "TerminationSignals.h"

#include <QApplication>
#include <QSocketNotifier>
#include <QWidget>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace endomira {

namespace {

int gSignalPipe[2] = {-1, -1};

void OnSignal(int) {
    const char byte = 1;
    // Only async-signal-safe work here: wake the event loop.
    [[maybe_unused]] const auto written = ::write(gSignalPipe[0], &byte, 1);
}

} // namespace

void CloseOnTerminationSignals(QWidget* window) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, gSignalPipe) != 0) {
        return;
    }
    auto* notifier = new QSocketNotifier(gSignalPipe[1], QSocketNotifier::Read, window);
    QObject::connect(notifier, &QSocketNotifier::activated, window, [window] {
        char byte = 0;
        [[maybe_unused]] const auto got = ::read(gSignalPipe[1], &byte, 1);
        // An open message box or modal dialog (a start-up failure, a question) would hold the
        // program: it is dismissed as with Escape, then the window closes and the loops end.
        for (int open = 0; open < 8; ++open) {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr) {
                break;
            }
            modal->close();
        }
        window->close();
        QApplication::exit(0);
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
}

} // namespace endomira
