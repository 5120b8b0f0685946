// Program entry: the main window, then the data module, then the message loop. The main window
// loads the settings and opens the database when it is first shown.

#include "Artwork.h"
#include "DataModuleShellDatabase.h"
#include "ProgramFolder.h"
#include "QtMessageService.h"
#include "ShellWindows.h"
#include "TerminationSignals.h"
#include "UDataModule1.h"
#include "UfrmMain.h"

#include <QApplication>
#include <QLocale>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QTimer>

using namespace endomira;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Endomira"));
    QApplication::setApplicationVersion(ProgramVersion());
    QApplication::setDesktopFileName(QStringLiteral("endomira"));
    QApplication::setWindowIcon(ProgramIcon());
    // Dates and numbers that the toolkit formats follow the clinic's language; reals follow the
    // settings file's separator.
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));

    TQtMessageService messageBoxes;
    SetMessageService(&messageBoxes);

    TfrmMain frmMain;
    TDataModule1 dataModule1;
    TDataModuleShellDatabase database(dataModule1);
    frmMain.SetDatabase(&database);
    ConnectRecordWindows(frmMain, dataModule1);

    // A termination request (the desktop logging out, the set-up script) closes the window as
    // the operator would.
    CloseOnTerminationSignals(&frmMain);
    // The main window is shown once the message loop runs.
    QTimer::singleShot(0, &frmMain, [&frmMain] {
        // The screen's working area first, for a desktop without a window manager to maximise.
        if (const QScreen* screen = QGuiApplication::primaryScreen()) {
            frmMain.setGeometry(screen->availableGeometry());
        }
        frmMain.showMaximized();
    });
    const int status = QApplication::exec();
    // The child windows still open use the data module: they go before it.
    const auto children = frmMain.Workspace()->subWindowList();
    qDeleteAll(children);
    SetMessageService(nullptr);
    return status;
}
