#include "ListModel.h"

#include "SqlValues.h"

#include <QSqlRecord>

namespace endomira {

QVariant TListModel::data(const QModelIndex& item, int role) const {
    QVariant value = QSqlQueryModel::data(item, role);
    if (role == Qt::DisplayRole || role == Qt::EditRole) {
        return NormalizedValue(value);
    }
    return value;
}

QVariant TListModel::Value(int row, const QString& column) const {
    const int field = record().indexOf(column);
    if (row < 0 || row >= rowCount() || field < 0) {
        return QVariant();
    }
    return data(index(row, field));
}

} // namespace endomira
