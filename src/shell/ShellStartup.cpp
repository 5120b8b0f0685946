#include "ShellStartup.h"

#include "ConversionError.h"
#include "MessageService.h"
#include "ShellDatabase.h"
#include "UBIniSettings.h"

#include <QDir>
#include <exception>
#include <memory>

namespace endomira {

QString DatabasePathOf(const QString& programFolder) {
    return QDir(programFolder).filePath(QStringLiteral("Database/Endomira.FDB"));
}

TStartupState RunStartup(const QString& programFolder, IShellDatabase& database) {
    try {
        SetProgramSettings(std::make_unique<TBIniSettings>(programFolder));
    } catch (const TConversionError& error) {
        SetProgramSettings(nullptr);
        ShowMessageBox(
            QStringLiteral("%1\r\rArquivo: %2\rCorrija o arquivo de configuração e inicie o "
                           "programa novamente.")
                .arg(error.Message(), QDir(programFolder).filePath(QStringLiteral("endomira.ini"))),
            QStringLiteral("Erro"));
        return TStartupState::NoSettings;
    } catch (const std::exception& error) {
        // Anything else that stops the settings (an unreadable file) is reported the same way.
        SetProgramSettings(nullptr);
        ShowMessageBox(QStringLiteral("Não foi possível ler as configurações.\r%1")
                           .arg(QString::fromLocal8Bit(error.what())),
                       QStringLiteral("Erro"));
        return TStartupState::NoSettings;
    }
    const QString path = DatabasePathOf(programFolder);
    try {
        database.Open(path);
    } catch (const TShellDatabaseError& error) {
        ShowMessageBox(QStringLiteral("Não foi possível abrir o banco de dados\r%1\r\r%2")
                           .arg(path, error.Text()),
                       QStringLiteral("Erro"));
        return TStartupState::NoDatabase;
    } catch (const std::exception& error) {
        ShowMessageBox(QStringLiteral("Não foi possível abrir o banco de dados\r%1\r\r%2")
                           .arg(path, QString::fromLocal8Bit(error.what())),
                       QStringLiteral("Erro"));
        return TStartupState::NoDatabase;
    }
    return TStartupState::Ready;
}

} // namespace endomira
