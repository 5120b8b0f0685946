#pragma once

#include <QString>

namespace endomira {

// The folder of the running executable: the program's folder, which holds endomira.ini and the
// Database folder.
QString ProgramFolder();

// The program's version as the build gives it ("1.0.0.0").
QString ProgramVersion();

} // namespace endomira
