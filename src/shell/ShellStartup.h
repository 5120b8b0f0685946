#pragma once

#include <QString>

namespace endomira {

class IShellDatabase;

enum class TStartupState {
    Ready,      // settings loaded, database open
    NoSettings, // the settings file could not be read: nothing else was attempted
    NoDatabase, // settings loaded, the database could not be opened
};

// The database file of an installation: "Database/Endomira.FDB" below the program's folder.
QString DatabasePathOf(const QString& programFolder);

// The work of the main window's first show: the settings object in its program-wide place, then
// the database. A failure is shown to the operator in a box titled "Erro" (the settings file's
// section, key and text; the database client's own message) and reported in the result; the
// program then stays open for the operator to read it and exit.
TStartupState RunStartup(const QString& programFolder, IShellDatabase& database);

} // namespace endomira
