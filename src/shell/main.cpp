// Program entry: loads the settings of the installation and opens the main window.

#include "ConversionError.h"
#include "ProgramFolder.h"
#include "QtMessageService.h"
#include "RealText.h"
#include "TerminationSignals.h"
#include "UBIniSettings.h"

#include <QApplication>
#include <QLabel>
#include <QLocale>
#include <QMainWindow>
#include <cstdio>
#include <memory>

using namespace endomira;

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Endomira"));
    QApplication::setApplicationVersion(ProgramVersion());
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));

    TQtMessageService messageBoxes;
    SetMessageService(&messageBoxes);

    try {
        SetProgramSettings(std::make_unique<TBIniSettings>(ProgramFolder()));
    } catch (const TConversionError& error) {
        std::fprintf(stderr, "endomira: %s\n", qUtf8Printable(error.Message()));
        ShowMessageBox(error.Message(), QStringLiteral("Erro"));
        return 1;
    }
    const TBIniSettings& settings = *ProgramSettings();
    const QString summary =
        QStringLiteral("Configurações carregadas de %1\rSeparador decimal: \"%2\"\r"
                       "Escala: %3 mm por pixel\rLimite de imagens por exame: %4")
            .arg(settings.GetIniPath(), settings.GetDecimalSeparator(),
                 FormatReal(settings.GetPixelToMM(), u"0.000000"))
            .arg(settings.GetMaxFrames());
    std::printf("endomira: %s\n", qUtf8Printable(QString(summary).replace(u'\r', u'\n')));
    std::fflush(stdout);

    QMainWindow window;
    window.setObjectName(QStringLiteral("frmMain"));
    window.setWindowTitle(QStringLiteral("Endomira"));
    auto* label = new QLabel(QString(summary).replace(u'\r', u'\n'), &window);
    label->setAlignment(Qt::AlignCenter);
    window.setCentralWidget(label);
    window.resize(800, 600);
    window.show();

    // A termination request (the desktop logging out, the set-up script) closes the window as
    // the operator would.
    CloseOnTerminationSignals(&window);
    return QApplication::exec();
}
