#pragma once

#include <QString>
#include <stdexcept>

class QSqlError;

namespace endomira {

// A failed database statement or connection. The text is what the server or the client library
// said (or, for values the program converts itself, a text in the same style), so that the error
// translation shown to the operator reads the same words whatever raised it.
class TDBError : public std::runtime_error {
public:
    explicit TDBError(const QString& message);
    explicit TDBError(const QSqlError& error);

    const QString& Message() const { return Message_; }

private:
    QString Message_;
};

// The text of a failed statement: the server's lines, else the client driver's own words.
QString ErrorText(const QSqlError& error);

} // namespace endomira
