#pragma once

#include <QChar>
#include <QString>

namespace endomira {

// Texts of the database are Windows-1252: case changes stay inside that character set, so that
// a name the operator typed never turns into one the database refuses (µ keeps its form, ÿ
// becomes Ÿ), and one character always stays one character.
bool IsWin1252(QChar c);
QChar Win1252Upper(QChar c);
QChar Win1252Lower(QChar c);
QString Win1252LowerText(const QString& text);

} // namespace endomira
