#include "DBError.h"

#include <QSqlError>

namespace endomira {

QString ErrorText(const QSqlError& error) {
    QString text = error.databaseText().trimmed();
    if (text.isEmpty()) {
        text = error.driverText().trimmed();
    }
    return text;
}

TDBError::TDBError(const QString& message)
    : std::runtime_error(message.toStdString()), Message_(message) {}

TDBError::TDBError(const QSqlError& error) : TDBError(ErrorText(error)) {}

} // namespace endomira
