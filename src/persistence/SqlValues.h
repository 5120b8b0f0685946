#pragma once

#include <QSqlQuery>
#include <QString>
#include <QVariant>
#include <cstdint>

namespace endomira {

// The driver hands fixed-width CHAR columns back padded (to four times their width, the
// connection being UTF-8) and text blobs as UTF-8 bytes: both are turned into the text stored.
QVariant NormalizedValue(const QVariant& value);

// Column readers of the current row; a null column reads as 0 or as empty text.
QString ColumnText(const QSqlQuery& query, const QString& column);
std::int32_t ColumnInt(const QSqlQuery& query, const QString& column);
double ColumnReal(const QSqlQuery& query, const QString& column);

// A text value to bind: never a null string, which the driver would store as NULL.
inline QString BindText(const QString& text) {
    return text.isNull() ? QStringLiteral("") : text;
}

} // namespace endomira
