#include "SqlValues.h"

#include <QDate>
#include <QSqlRecord>
#include <QTime>

namespace endomira {

namespace {

QString TrimRight(const QString& text) {
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ') {
        --end;
    }
    return text.left(end);
}

} // namespace

QVariant NormalizedValue(const QVariant& value) {
    if (value.isNull()) {
        return value;
    }
    if (value.typeId() == QMetaType::QString) {
        return TrimRight(value.toString());
    }
    if (value.typeId() == QMetaType::QByteArray) {
        return QString::fromUtf8(value.toByteArray());
    }
    return value;
}

QString ColumnText(const QSqlQuery& query, const QString& column) {
    const QVariant value = NormalizedValue(query.value(column));
    if (value.isNull() || !value.isValid()) {
        return QStringLiteral("");
    }
    return value.toString();
}

std::int32_t ColumnInt(const QSqlQuery& query, const QString& column) {
    const QVariant value = query.value(column);
    return value.isNull() ? 0 : static_cast<std::int32_t>(value.toLongLong());
}

double ColumnReal(const QSqlQuery& query, const QString& column) {
    const QVariant value = query.value(column);
    return value.isNull() ? 0.0 : value.toDouble();
}

} // namespace endomira
