#include "TestDatabase.h"

#include "DBError.h"
#include "DatabaseFile.h"

#include <QCoreApplication>
#include <QFile>
#include <cstdio>
#include <pwd.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace endomira::test {

void EnsureApplication() {
    if (QCoreApplication::instance() == nullptr) {
        static int argc = 1;
        static char name[] = "endomira-test";
        static char* argv[] = {name, nullptr};
        static QCoreApplication app(argc, argv);
    }
}

void OpenToServer(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder);
    ::chmod(path.constData(), 0777);
    if (::geteuid() == 0) {
        if (const passwd* server = ::getpwnam("firebird")) {
            if (::chown(path.constData(), server->pw_uid, server->pw_gid) != 0) {
                std::perror("chown");
            }
        }
    }
}

TTestDatabase::TTestDatabase(TSchemaVersion version) {
    EnsureApplication();
    if (!Dir_.isValid()) {
        throw std::runtime_error("no temporary folder");
    }
    OpenToServer(Dir_.path());
    Path_ = Dir_.path() + QStringLiteral("/Endomira.FDB");
    CreateDatabaseFile(Path_, version, false);
}

TTestDatabase::~TTestDatabase() {
    try {
        DropDatabaseFile(Path_);
    } catch (const TDBError& error) {
        std::fprintf(stderr, "could not drop %s: %s\n", qUtf8Printable(Path_),
                     qUtf8Printable(error.Message()));
    }
}

} // namespace endomira::test
