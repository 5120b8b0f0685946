#pragma once

// A throwaway program folder for the shell's tests: the settings file and, when asked, a real
// database in "Database/Endomira.FDB" created through the local server.

#include "DatabaseFile.h"
#include "Schema.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace endomira::shelltest {

// Every key of the settings file, with a full stop as separator; tests change single lines.
inline QString FullIni() {
    return QStringLiteral("[SYSTEM]\n"
                          "decimalSeparator=.\n"
                          "[VIDEO]\nBrightness=128\nContrast=128\nGain=AUTO\n"
                          "[CLINIC_DATA]\nNAME=Clínica Olhos Claros\nADDRESS=Rua das Acácias, 10\n"
                          "PHONE=(11) 3000-0000\n"
                          "[CAPTURE]\nTYPE=AUTO\nmaxFrames=20\n"
                          "[AUTOCAPTURE]\naverage=110.00\nsd=30.00\ntolerance=0.10\n"
                          "[IMAGEPROCESSING]\nFIRlen=15\nminBlack=0\nalpha0=0.0\nbeta0=255.0\n"
                          "largMin=40.0\nperc=0.10\n"
                          "[METRICS]\npixelToMM=0.001400\npixelToPaq=3.6\n"
                          "[CAMERA]\nmainCamChannel=0\nauxCamChannel=1\n");
}

class TProgramFolderFixture {
public:
    TProgramFolderFixture() {
        // The database server runs as its own user and must reach the folder.
        ::chmod(qPrintable(Dir_.path()), 0755);
        QDir(Dir_.path()).mkpath(QStringLiteral("Database"));
        const QString database = QDir(Dir_.path()).filePath(QStringLiteral("Database"));
        ::chmod(qPrintable(database), 0777);
        if (const passwd* user = ::getpwnam("firebird")) {
            [[maybe_unused]] const int changed =
                ::chown(qPrintable(database), user->pw_uid, user->pw_gid);
        }
        WriteIni(FullIni());
    }
    ~TProgramFolderFixture() {
        if (Created_) {
            try {
                DropDatabaseFile(DatabasePath());
            } catch (...) {
            }
        }
    }
    TProgramFolderFixture(const TProgramFolderFixture&) = delete;
    TProgramFolderFixture& operator=(const TProgramFolderFixture&) = delete;

    bool IsValid() const { return Dir_.isValid(); }
    QString Path() const { return Dir_.path(); }
    QString IniPath() const { return QDir(Dir_.path()).filePath(QStringLiteral("endomira.ini")); }
    QString DatabasePath() const {
        return QDir(Dir_.path()).filePath(QStringLiteral("Database/Endomira.FDB"));
    }

    void WriteIni(const QString& text) const {
        QFile file(IniPath());
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            file.write(text.toUtf8());
        }
    }
    QByteArray IniBytes() const {
        QFile file(IniPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    void CreateDatabase(TSchemaVersion version = TSchemaVersion::Current) {
        CreateDatabaseFile(DatabasePath(), version, false);
        Created_ = true;
    }

private:
    QTemporaryDir Dir_;
    bool Created_ = false;
};

} // namespace endomira::shelltest
