#include "IniFile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringConverter>
#include <QStringList>
#include <stdexcept>

namespace endomira {

namespace {

// The file as lines, with what is needed to write it back byte for byte where nothing changed.
struct TIniText {
    QStringList Lines;
    QString Eol = QStringLiteral("\n");
    bool EndsWithEol = true;
    bool Utf8 = true;
    bool Bom = false;
};

std::optional<TIniText> Load(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return std::nullopt;
    }
    QByteArray bytes = file.readAll();
    TIniText text;
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        text.Bom = true;
        bytes.remove(0, 3);
    }
    // Files written on other systems may be in the Windows code page; Latin-1 keeps every byte.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString content = utf8.decode(bytes);
    if (utf8.hasError()) {
        text.Utf8 = false;
        content = QString::fromLatin1(bytes);
    }
    if (content.contains(QStringLiteral("\r\n"))) {
        text.Eol = QStringLiteral("\r\n");
    }
    text.EndsWithEol = content.isEmpty() || content.endsWith(QLatin1Char('\n'));
    text.Lines = content.split(QLatin1Char('\n'));
    if (text.EndsWithEol) {
        text.Lines.removeLast();
    }
    for (QString& line : text.Lines) {
        if (line.endsWith(QLatin1Char('\r'))) {
            line.chop(1);
        }
    }
    return text;
}

// "[NAME]" -> NAME, else nullopt.
std::optional<QString> SectionName(const QString& line) {
    const QString t = line.trimmed();
    if (t.size() >= 2 && t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']'))) {
        return t.mid(1, t.size() - 2).trimmed();
    }
    return std::nullopt;
}

bool IsComment(const QString& line) {
    const QString t = line.trimmed();
    return t.startsWith(QLatin1Char(';')) || t.startsWith(QLatin1Char('#'));
}

// "key=value" -> (key, value) with both trimmed.
std::optional<std::pair<QString, QString>> KeyValue(const QString& line) {
    if (IsComment(line)) {
        return std::nullopt;
    }
    const qsizetype eq = line.indexOf(QLatin1Char('='));
    if (eq <= 0) {
        return std::nullopt;
    }
    return std::make_pair(line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
}

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Index of the first line of the first matching section's header, or -1.
qsizetype FindSection(const QStringList& lines, const QString& section) {
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const auto name = SectionName(lines[i]);
        if (name && SameName(*name, section)) {
            return i;
        }
    }
    return -1;
}

// One past the last line of the section whose header is at `header`.
qsizetype SectionEnd(const QStringList& lines, qsizetype header) {
    qsizetype i = header + 1;
    while (i < lines.size() && !SectionName(lines[i])) {
        ++i;
    }
    return i;
}

QString Unquoted(const QString& value) {
    if (value.size() >= 2 && value.startsWith(QLatin1Char('"')) &&
        value.endsWith(QLatin1Char('"'))) {
        return value.mid(1, value.size() - 2);
    }
    return value;
}

} // namespace

std::optional<QString> TIniFile::Read(const QString& section, const QString& key) const {
    const auto text = Load(Path_);
    if (!text) {
        return std::nullopt;
    }
    const qsizetype header = FindSection(text->Lines, section);
    if (header < 0) {
        return std::nullopt;
    }
    const qsizetype end = SectionEnd(text->Lines, header);
    for (qsizetype i = header + 1; i < end; ++i) {
        const auto kv = KeyValue(text->Lines[i]);
        if (kv && SameName(kv->first, key)) {
            return Unquoted(kv->second);
        }
    }
    return std::nullopt;
}

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& def) const {
    return Read(section, key).value_or(def);
}

void TIniFile::Write(const QString& section, const QString& key, const QString& value) const {
    TIniText text = Load(Path_).value_or(TIniText{});
    QStringList& lines = text.Lines;
    const QString newLine = key + QLatin1Char('=') + value;
    const qsizetype header = FindSection(lines, section);
    if (header < 0) {
        // A new section goes at the end, after a blank line when the file has content.
        if (!lines.isEmpty() && !lines.last().trimmed().isEmpty()) {
            lines.append(QString());
        }
        lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
        lines.append(newLine);
    } else {
        const qsizetype end = SectionEnd(lines, header);
        bool replaced = false;
        for (qsizetype i = header + 1; i < end; ++i) {
            const auto kv = KeyValue(lines[i]);
            if (kv && SameName(kv->first, key)) {
                // Keep the key as the file spells it and any indentation before it.
                const qsizetype eq = lines[i].indexOf(QLatin1Char('='));
                lines[i] = lines[i].left(eq).trimmed().isEmpty()
                               ? newLine
                               : lines[i].left(eq).trimmed() + QLatin1Char('=') + value;
                replaced = true;
                break;
            }
        }
        if (!replaced) {
            // After the section's last non-blank line, so that blank lines between sections stay.
            qsizetype at = end;
            while (at > header + 1 && lines[at - 1].trimmed().isEmpty()) {
                --at;
            }
            lines.insert(at, newLine);
        }
    }

    const QString content = lines.join(text.Eol) + text.Eol;
    QByteArray bytes = text.Utf8 ? content.toUtf8() : content.toLatin1();
    if (text.Bom) {
        bytes.prepend("\xEF\xBB\xBF");
    }
    QSaveFile file(Path_);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        throw std::runtime_error(
            QStringLiteral("cannot write %1: %2").arg(Path_, file.errorString()).toStdString());
    }
}

} // namespace endomira
