#pragma once

#include "Schema.h"

#include <QString>
#include <QTemporaryDir>

namespace endomira::test {

// A throwaway database in a temporary folder that the server's own user can write, created
// through the local server and dropped at the end.
class TTestDatabase {
public:
    explicit TTestDatabase(TSchemaVersion version = TSchemaVersion::Current);
    ~TTestDatabase();
    TTestDatabase(const TTestDatabase&) = delete;
    TTestDatabase& operator=(const TTestDatabase&) = delete;

    // The temporary folder (absolute) and the database file in it.
    QString Folder() const { return Dir_.path(); }
    QString Path() const { return Path_; }

private:
    QTemporaryDir Dir_;
    QString Path_;
};

// Makes a folder usable by the database server, which runs as its own user.
void OpenToServer(const QString& folder);

// A Qt application object for the whole test run (SQL drivers are plugins).
void EnsureApplication();

} // namespace endomira::test
