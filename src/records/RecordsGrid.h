#pragma once

#include <QIdentityProxyModel>
#include <QTableView>
#include <utility>
#include <vector>

namespace endomira {

class TListModel;

// A manager's view of one of the data module's shared lists: its own column titles and row
// colours (a row's status decides its colour), without touching the list that other windows
// show too.
class TRecordsGridModel final : public QIdentityProxyModel {
    Q_OBJECT

public:
    // `statusColumn` empty: every row is an active one.
    TRecordsGridModel(TListModel& list, std::vector<std::pair<QString, QString>> titles,
                      QString statusColumn, QObject* parent = nullptr);

    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    TListModel& List() const { return List_; }
    // The column's field name, empty when there is none.
    QString FieldName(int column) const;
    // Status of a row: 1 active, 0 inactive (1 without a status column).
    int RowStatus(int row) const;
    QVariant Value(int row, const QString& column) const;
    // The first row whose `column` holds `id`, fetching the list block by block as far as it
    // must; `fallback` when the list does not hold it.
    int RowOf(const QString& column, int id, int fallback);
    bool Titled(const QString& field) const;

    static QColor ActiveRowColour() { return {208, 208, 255}; }
    static QColor InactiveRowColour() { return {255, 208, 208}; }
    static QColor ActiveSelectionColour() { return {0, 0, 255}; }
    static QColor InactiveSelectionColour() { return {255, 0, 0}; }

private:
    TListModel& List_;
    std::vector<std::pair<QString, QString>> Titles_;
    QString StatusColumn_;
    // Where the status column sits in the list's current statement (-1: none); looked up once
    // per search rather than for every cell painted.
    int StatusIndex_ = -1;
};

// The grid of a manager: whole-row selection, the titled columns shown and every other column
// present but hidden, the selected row drawn in the colour of its status. Keys reach the
// window after the grid has moved its selection.
class TRecordsGrid final : public QTableView {
    Q_OBJECT

public:
    explicit TRecordsGrid(TRecordsGridModel* model, QWidget* parent = nullptr);

    TRecordsGridModel& Grid() const { return *Model_; }
    // The column that takes the width the others leave (a name, rather than a short number).
    void SetStretchColumn(const QString& field);
    // 0-based current row, -1 when the list is empty.
    int CurrentRow() const;
    // Fetches the list up to the row when needed; a row past the end selects the last one.
    void SetCurrentRow(int row);

signals:
    void KeyPressed(int key);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void ApplyColumns();
    void ColourSelection();
    void FitStretchColumn();

    TRecordsGridModel* Model_;
    QString StretchColumn_;
};

} // namespace endomira
