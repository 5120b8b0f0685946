#pragma once

#include <QString>

namespace endomira {

// The short form of a person's name shown by the examination and exam review managers: the
// first and the last word in full, every word between them longer than three characters cut
// to its initial and a full stop ("Maria Aparecida da Silva" gives "Maria A. da Silva").
// Names of any number of words are handled alike, so that the last word shown is always the
// name's real last word.
QString AbbreviateName(const QString& name);

} // namespace endomira
