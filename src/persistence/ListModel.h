#pragma once

#include <QSqlQueryModel>

namespace endomira {

// A grid's dataset: every row of its last statement, fetched at once. Values read as the
// program means them: fixed-width texts without their padding, text blobs as text.
class TListModel : public QSqlQueryModel {
    Q_OBJECT

public:
    using QSqlQueryModel::QSqlQueryModel;

    QVariant data(const QModelIndex& item, int role = Qt::DisplayRole) const override;

    // The value of a column by name in a row; an invalid QVariant when there is none.
    QVariant Value(int row, const QString& column) const;
};

} // namespace endomira
