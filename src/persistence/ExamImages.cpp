#include "ExamImages.h"

#include <QDir>
#include <QFileInfo>

namespace endomira {

std::size_t ChooseStoredFrame(std::span<const TExamFrameImages> frames) {
    for (std::size_t i = frames.size(); i > 0; --i) {
        if (frames[i - 1].UseInCalculation) {
            return i - 1;
        }
    }
    return frames.empty() ? frames.size() : 0;
}

QString ExamFolderName(int examId) {
    return QStringLiteral("%1").arg(examId, 4, 10, QLatin1Char('0'));
}

namespace {

// The entry of `folder` named `name` without regard to case, else `name` itself.
QString ChildNoCase(const QString& folder, const QString& name) {
    const QDir dir(folder);
    if (dir.exists(name)) {
        return QDir(folder).filePath(name);
    }
    const QStringList entries = dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString& entry : entries) {
        if (entry.compare(name, Qt::CaseInsensitive) == 0) {
            return dir.filePath(entry);
        }
    }
    return dir.filePath(name);
}

} // namespace

QString ExamImageRoot(const QString& programFolder) {
    const QString program = QDir::cleanPath(programFolder);
    const QString database = ChildNoCase(program, QStringLiteral("DataBase"));
    if (QFileInfo(database).isDir()) {
        return ChildNoCase(database, QStringLiteral("DBimages"));
    }
    const QString parent = QDir::cleanPath(program + QStringLiteral("/.."));
    const QString data = ChildNoCase(parent, QStringLiteral("Data"));
    const QString dataBase = ChildNoCase(data, QStringLiteral("DataBase"));
    return ChildNoCase(dataBase, QStringLiteral("DBimages"));
}

QString WriteBmp24(const QImage& image, const QString& path) {
    if (image.isNull()) {
        return QStringLiteral("Não há imagem para gravar em \"%1\"").arg(path);
    }
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    if (!rgb.save(path, "BMP")) {
        return QStringLiteral("Não foi possível gravar o arquivo \"%1\"").arg(path);
    }
    return QString();
}

} // namespace endomira
