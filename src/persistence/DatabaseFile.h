#pragma once

#include "Schema.h"

#include <QString>

namespace endomira {

// Creates the database file `path` (absolute, on this machine) through the local server: page
// size 8192, default character set WIN1252, the schema of `version` and its DB_INFO row. With
// `examples`, a few example doctors and patients are added through the program's own saves.
// An existing file is refused and never touched. Throws TDBError.
void CreateDatabaseFile(const QString& path, TSchemaVersion version, bool examples);

// Drops a database file through the local server. Throws TDBError.
void DropDatabaseFile(const QString& path);

} // namespace endomira
