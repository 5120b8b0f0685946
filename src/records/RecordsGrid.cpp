#include "RecordsGrid.h"

#include "ListModel.h"

#include <QColor>
#include <QHeaderView>
#include <QKeyEvent>
#include <QSqlRecord>
#include <algorithm>

namespace endomira {

TRecordsGridModel::TRecordsGridModel(TListModel& list,
                                     std::vector<std::pair<QString, QString>> titles,
                                     QString statusColumn, QObject* parent)
    : QIdentityProxyModel(parent), List_(list), Titles_(std::move(titles)),
      StatusColumn_(std::move(statusColumn)) {
    auto locateStatus = [this] {
        StatusIndex_ = StatusColumn_.isEmpty() ? -1 : List_.record().indexOf(StatusColumn_);
    };
    locateStatus();
    // Connected before the proxy's own connection, so that the index is right when the views
    // hear of the reset.
    connect(&List_, &QAbstractItemModel::modelReset, this, locateStatus);
    setSourceModel(&List_);
}

QString TRecordsGridModel::FieldName(int column) const {
    const QSqlRecord record = List_.record();
    return column >= 0 && column < record.count() ? record.fieldName(column) : QString();
}

bool TRecordsGridModel::Titled(const QString& field) const {
    for (const auto& [name, title] : Titles_) {
        if (name.compare(field, Qt::CaseInsensitive) == 0) {
            return true;
        }
    }
    return false;
}

int TRecordsGridModel::RowStatus(int row) const {
    if (StatusIndex_ < 0 || row < 0 || row >= List_.rowCount()) {
        return 1;
    }
    return List_.data(List_.index(row, StatusIndex_)).toInt();
}

QVariant TRecordsGridModel::Value(int row, const QString& column) const {
    return List_.Value(row, column);
}

int TRecordsGridModel::RowOf(const QString& column, int id, int fallback) {
    for (int r = 0;; ++r) {
        if (r >= rowCount()) {
            if (!canFetchMore(QModelIndex())) {
                break;
            }
            fetchMore(QModelIndex());
            if (r >= rowCount()) {
                break;
            }
        }
        if (Value(r, column).toInt() == id) {
            return r;
        }
    }
    return fallback;
}

QVariant TRecordsGridModel::data(const QModelIndex& index, int role) const {
    if (role == Qt::BackgroundRole && index.isValid()) {
        return RowStatus(index.row()) == 1 ? ActiveRowColour() : InactiveRowColour();
    }
    if (role == Qt::ForegroundRole && index.isValid()) {
        return QColor(Qt::black);
    }
    return QIdentityProxyModel::data(index, role);
}

QVariant TRecordsGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole) {
        const QString field = FieldName(section);
        for (const auto& [name, title] : Titles_) {
            if (name.compare(field, Qt::CaseInsensitive) == 0) {
                return title;
            }
        }
    }
    return QIdentityProxyModel::headerData(section, orientation, role);
}

TRecordsGrid::TRecordsGrid(TRecordsGridModel* model, QWidget* parent)
    : QTableView(parent), Model_(model) {
    setModel(model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setAlternatingRowColors(false);
    setWordWrap(false);
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    // Column widths are taken from the first rows only: a list of thousands is laid out again
    // at every keystroke of a search. (The horizontal header's precision counts the rows a
    // column's width is measured on; the vertical header's counts columns.)
    horizontalHeader()->setResizeContentsPrecision(200);
    horizontalHeader()->setSectionsClickable(true);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setStretchLastSection(false);
    QPalette colours = palette();
    colours.setColor(QPalette::HighlightedText, Qt::white);
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText, Qt::white);
    setPalette(colours);
    // A search replaces the list's statement: the column set is laid out again each time.
    connect(model, &QAbstractItemModel::modelReset, this, &TRecordsGrid::ApplyColumns);
    connect(selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            &TRecordsGrid::ColourSelection);
    connect(model, &QAbstractItemModel::modelReset, this, &TRecordsGrid::ColourSelection);
    ApplyColumns();
}

void TRecordsGrid::SetStretchColumn(const QString& field) {
    StretchColumn_ = field;
    ApplyColumns();
}

void TRecordsGrid::ApplyColumns() {
    const int columns = Model_->columnCount();
    for (int c = 0; c < columns; ++c) {
        const QString field = Model_->FieldName(c);
        setColumnHidden(c, !Model_->Titled(field));
    }
    resizeColumnsToContents();
    FitStretchColumn();
}

void TRecordsGrid::FitStretchColumn() {
    int stretch = -1;
    int others = 0;
    for (int c = 0; c < Model_->columnCount(); ++c) {
        if (isColumnHidden(c)) {
            continue;
        }
        if (Model_->FieldName(c) == StretchColumn_) {
            stretch = c;
        } else {
            others += columnWidth(c);
        }
    }
    if (stretch >= 0) {
        setColumnWidth(stretch, std::max(sizeHintForColumn(stretch), viewport()->width() - others));
    }
}

void TRecordsGrid::resizeEvent(QResizeEvent* event) {
    QTableView::resizeEvent(event);
    FitStretchColumn();
}

void TRecordsGrid::ColourSelection() {
    const int row = CurrentRow();
    const QColor colour = row >= 0 && Model_->RowStatus(row) != 1
                              ? TRecordsGridModel::InactiveSelectionColour()
                              : TRecordsGridModel::ActiveSelectionColour();
    QPalette colours = palette();
    colours.setColor(QPalette::Active, QPalette::Highlight, colour);
    colours.setColor(QPalette::Inactive, QPalette::Highlight, colour);
    colours.setColor(QPalette::Disabled, QPalette::Highlight, colour);
    setPalette(colours);
}

int TRecordsGrid::CurrentRow() const {
    if (Model_->rowCount() == 0) {
        return -1;
    }
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

void TRecordsGrid::SetCurrentRow(int row) {
    // A list may be fetched only as far as it has been shown: the rows up to this one are
    // fetched first (all of them for a row past the end).
    while (row >= Model_->rowCount() && Model_->canFetchMore(QModelIndex())) {
        Model_->fetchMore(QModelIndex());
    }
    const int rows = Model_->rowCount();
    if (rows == 0) {
        return;
    }
    row = std::clamp(row, 0, rows - 1);
    int column = 0;
    while (column < Model_->columnCount() && isColumnHidden(column)) {
        ++column;
    }
    const QModelIndex index = Model_->index(row, column);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect |
                                                 QItemSelectionModel::Rows);
    scrollTo(index);
}

void TRecordsGrid::keyPressEvent(QKeyEvent* event) {
    QTableView::keyPressEvent(event);
    emit KeyPressed(event->key());
}

} // namespace endomira
