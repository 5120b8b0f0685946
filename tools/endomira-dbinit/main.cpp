// endomira-dbinit PATH [--legacy] [--examples]
//
// Creates the program's database file through the local server with the whole schema. An
// existing file is refused and left as it is. --legacy creates a database of schema version
// "1.0.0.0" (CPF required and unique), as installations of that version have; --examples adds a
// few example doctors and patients.

#include "DBError.h"
#include "DatabaseFile.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

using namespace endomira;

namespace {

int Usage() {
    std::fprintf(stderr, "uso: endomira-dbinit CAMINHO [--legacy] [--examples]\n"
                         "  cria o banco de dados CAMINHO (ex.: <pasta do programa>/Database/"
                         "Endomira.FDB) no servidor local\n");
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QString path;
    bool legacy = false;
    bool examples = false;
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    for (const QString& argument : arguments) {
        if (argument == QStringLiteral("--legacy")) {
            legacy = true;
        } else if (argument == QStringLiteral("--examples")) {
            examples = true;
        } else if (argument.startsWith(u'-') || !path.isEmpty()) {
            return Usage();
        } else {
            path = argument;
        }
    }
    if (path.isEmpty()) {
        return Usage();
    }
    try {
        CreateDatabaseFile(path, legacy ? TSchemaVersion::Legacy : TSchemaVersion::Current,
                           examples);
    } catch (const TDBError& error) {
        std::fprintf(stderr, "endomira-dbinit: %s\n", qUtf8Printable(error.Message()));
        return 1;
    }
    std::printf("endomira-dbinit: banco de dados criado: %s\n", qUtf8Printable(path));
    return 0;
}
