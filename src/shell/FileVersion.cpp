#include "FileVersion.h"

#include "ProgramFolder.h"

#include <QRegularExpression>

namespace endomira {

QString FileVersionTextOf(const QString& builtVersion) {
    if (builtVersion.isEmpty()) {
        return {};
    }
    static const QRegularExpression fourNumbers(QStringLiteral("^\\d+\\.\\d+\\.\\d+\\.\\d+$"));
    if (!fourNumbers.match(builtVersion).hasMatch()) {
        return QStringLiteral("Vazio");
    }
    return builtVersion;
}

QString GetFileVersionText() {
    return FileVersionTextOf(ProgramVersion());
}

} // namespace endomira
