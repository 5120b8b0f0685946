#pragma once

#include <QSqlQueryModel>

namespace endomira {

// A grid's dataset: the rows of its last statement, fetched at once or as the grid is scrolled
// (the data module decides). Values read as the program means them: fixed-width texts without
// their padding, text blobs as text.
class TListModel : public QSqlQueryModel {
    Q_OBJECT

public:
    using QSqlQueryModel::QSqlQueryModel;

    QVariant data(const QModelIndex& item, int role = Qt::DisplayRole) const override;

    // The value of a column by name in a row; an invalid QVariant when there is none or the
    // row has not been fetched yet.
    QVariant Value(int row, const QString& column) const;
};

} // namespace endomira
