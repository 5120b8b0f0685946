#include "AbbreviateName.h"

#include <QStringList>

namespace endomira {

QString AbbreviateName(const QString& name) {
    const QString s = name.trimmed();
    // Split at every single space: two spaces in a row give an empty word, which keeps its
    // place (and its space) in the result.
    QStringList words = s.split(QLatin1Char(' '));
    if (words.size() <= 2) {
        return s;
    }
    for (qsizetype i = 1; i + 1 < words.size(); ++i) {
        if (words[i].size() > 3) {
            words[i] = words[i].left(1) + QLatin1Char('.');
        }
    }
    QString result;
    for (const QString& word : words) {
        result += word.trimmed() + QLatin1Char(' ');
    }
    return result.trimmed();
}

} // namespace endomira
