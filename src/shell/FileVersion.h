#pragma once

#include <QString>

namespace endomira {

// The program's version text for the about box, taken from the build: the version as built
// ("1.0.0.0"); an empty text when the build carries none; "Vazio" when the text the build
// carries is not a version of four numbers, which only a broken build can produce.
QString GetFileVersionText();
QString FileVersionTextOf(const QString& builtVersion);

} // namespace endomira
