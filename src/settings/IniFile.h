#pragma once

#include <QString>
#include <optional>

namespace endomira {

// One value of an INI file by section and key, as the settings object needs it: names match
// without regard to case; a read opens the file, finds the first matching key of the first
// matching section and closes it again; a write creates the file, the section or the key when
// missing, replaces the value otherwise, and keeps every other line, comment and line ending as
// it was. Values are trimmed of surrounding blanks; a value wrapped in one pair of double quotes
// loses the quotes.
class TIniFile {
public:
    explicit TIniFile(QString path) : Path_(std::move(path)) {}

    const QString& Path() const { return Path_; }

    // nullopt when the file, the section or the key is missing.
    std::optional<QString> Read(const QString& section, const QString& key) const;
    QString ReadString(const QString& section, const QString& key, const QString& def) const;

    // Throws std::runtime_error when the file cannot be written.
    void Write(const QString& section, const QString& key, const QString& value) const;

private:
    QString Path_;
};

} // namespace endomira
