#include "ProgramFolder.h"

#include "EndomiraVersion.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace endomira {

QString ProgramFolder() {
    if (QCoreApplication::instance() != nullptr) {
        return QCoreApplication::applicationDirPath();
    }
    return QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section(u'/', 0, -2);
}

QString ProgramVersion() {
    return QStringLiteral(ENDOMIRA_VERSION_TEXT);
}

} // namespace endomira
