#include "UDataModule1.h"

#include "DBError.h"
#include "ProgramFolder.h"
#include "Schema.h"

#include <QSqlError>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <ibase.h>
#include <limits>
#include <mutex>
#include <optional>

namespace endomira {

namespace {

std::atomic<int> gConnectionCount{0};

// On SIGINT and SIGTERM the client library ends every attachment by itself, from a thread of its
// own, while the program closes its windows and commits in its orderly way: the two race, the
// program may crash on its way out, and the attachment is gone before the commit, so the work of
// the open transaction is lost. The program handles these signals itself (it closes as the
// operator would), so the library's own shutdown on a signal is declined.
int DeclineShutdownOnSignal(const int reason, const int /*mask*/, void* /*arg*/) {
    return reason == fb_shutrsn_signal ? 1 : 0;
}

void InstallShutdownGuard() {
    static std::once_flag once;
    std::call_once(once, [] {
        ISC_STATUS_ARRAY status;
        fb_shutdown_callback(status, DeclineShutdownOnSignal, fb_shut_confirmation, nullptr);
    });
}

// Prepares and runs one statement: the lines joined with line breaks, each parameter bound by
// name. Throws TDBError.
QSqlQuery Run(const QSqlDatabase& db, const QStringList& lines, const QVariantMap& params,
              const bool forwardOnly) {
    QSqlQuery query(db);
    query.setForwardOnly(forwardOnly);
    if (!query.prepare(lines.join(u'\n'))) {
        throw TDBError(query.lastError());
    }
    for (auto it = params.cbegin(); it != params.cend(); ++it) {
        query.bindValue(u':' + it.key(), it.value());
    }
    if (!query.exec()) {
        throw TDBError(query.lastError());
    }
    return query;
}

} // namespace

TDataModule1::TDataModule1()
    : ConnectionName_(QStringLiteral("IBD_Endomira_%1").arg(gConnectionCount.fetch_add(1))),
      ProgramFolder_(endomira::ProgramFolder()) {
    InstallShutdownGuard();
    for (TListState& state : Lists_) {
        state.Model = std::make_unique<TListModel>();
    }
    // The patient list as the data module loads it: every patient once, with its age and its
    // number of exams (a subquery: joining the exams and grouping every column costs a second on
    // a large clinic), fetched as it is shown, with its count apart.
    State(TList::Patients).Lines = {QStringLiteral("select ") + PatientListSelectColumns(),
                                    PatientExamCountFrom()};
    State(TList::Patients).CountLines = {QStringLiteral("select count(*) from paciente ")};
    State(TList::Doctors).Lines = {QStringLiteral("select * from MEDICO order by MED_NOME")};
    State(TList::Exams).Lines = {QStringLiteral("select * from EXAME_RESUMO")};
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), ConnectionName_);
    db.setUserName(kUserName);
    db.setPassword(kPassword);
    // The driver always talks UTF-8 to the server, which converts to the database's WIN1252.
    db.setConnectOptions(QStringLiteral("ISC_DPB_LC_CTYPE=") + kCharacterSet);
}

TDataModule1::~TDataModule1() {
    try {
        Commit();
    } catch (const TDBError&) {
        // A connection already lost has nothing left to commit.
    }
    for (TListState& state : Lists_) {
        state.Model.reset();
    }
    {
        QSqlDatabase db = QSqlDatabase::database(ConnectionName_, false);
        db.close();
    }
    QSqlDatabase::removeDatabase(ConnectionName_);
}

QSqlDatabase TDataModule1::Database() const {
    return QSqlDatabase::database(ConnectionName_, false);
}

void TDataModule1::ConnectDatabase(const QString& path) {
    QSqlDatabase db = Database();
    if (db.isOpen()) {
        Commit();
        db.close();
    }
    db.setDatabaseName(QStringLiteral("localhost:") + path);
    if (!db.open()) {
        throw TDBError(db.lastError());
    }
}

void TDataModule1::OpenDatabase(const QString& path) {
    ConnectDatabase(path);
    QThread::msleep(300);
    StartTransaction();
    OpenList(TList::Patients, State(TList::Patients).Lines, State(TList::Patients).Params,
             State(TList::Patients).CountLines);
}

bool TDataModule1::Connected() const {
    return Database().isOpen();
}

QString TDataModule1::DatabaseName() const {
    return Database().databaseName();
}

void TDataModule1::StartTransaction() {
    EnsureTransaction();
}

void TDataModule1::EnsureTransaction() {
    if (InTransaction_) {
        return;
    }
    QSqlDatabase db = Database();
    if (!db.isOpen()) {
        throw TDBError(QStringLiteral("Não há conexão com o banco de dados."));
    }
    if (!db.transaction()) {
        throw TDBError(db.lastError());
    }
    InTransaction_ = true;
}

void TDataModule1::Commit() {
    CommitKeepingLists(nullptr);
}

void TDataModule1::CommitKeepingLists(const TListState* reopened) {
    if (!InTransaction_) {
        return;
    }
    // A list's cursor ends with its transaction: the rows not fetched yet are fetched now, so
    // that what stays on show is the whole list and its count. A list about to be reopened
    // does not need them.
    for (TListState& state : Lists_) {
        if (&state != reopened && state.Active) {
            try {
                FetchTo(state, std::numeric_limits<int>::max());
            } catch (const TDBError&) {
                // The list is emptied; the commit must happen all the same.
            }
        }
    }
    InTransaction_ = false;
    // A commit ends every list that was open in the transaction; their rows stay on show.
    for (TListState& state : Lists_) {
        state.Active = false;
    }
    QSqlDatabase db = Database();
    if (!db.commit()) {
        throw TDBError(db.lastError());
    }
}

void TDataModule1::ReopenList(const QString& listName) {
    TList list;
    if (listName == QStringLiteral("patient")) {
        list = TList::Patients;
    } else if (listName == QStringLiteral("doctor")) {
        list = TList::Doctors;
    } else if (listName == QStringLiteral("examination")) {
        list = TList::Exams;
    } else {
        Commit();
        return;
    }
    CommitKeepingLists(&State(list));
    Fetch(State(list));
}

QSqlQuery TDataModule1::Execute(const QStringList& lines, const QVariantMap& params) {
    EnsureTransaction();
    return Run(Database(), lines, params, true);
}

bool TDataModule1::Next(QSqlQuery& query) {
    if (query.next()) {
        return true;
    }
    if (query.lastError().isValid()) {
        throw TDBError(query.lastError());
    }
    return false;
}

int TDataModule1::OpenList(TList list, const QStringList& lines, const QVariantMap& params,
                           const QStringList& countLines) {
    TListState& state = State(list);
    state.Lines = lines;
    state.Params = params;
    state.CountLines = countLines;
    return Fetch(state);
}

int TDataModule1::Fetch(TListState& state) {
    state.Active = false;
    state.CurrentRow = -1;
    state.Rows = 0;
    state.Model->clear();
    EnsureTransaction();
    std::optional<int> counted;
    if (!state.CountLines.isEmpty()) {
        // Same transaction, so the same snapshot as the rows fetched later. A count the server
        // refuses (a searched text it cannot compare, for one) falls back to fetching every row:
        // the list then shows what the server hands over, as a list without a count does.
        try {
            QSqlQuery count = Execute(state.CountLines, state.Params);
            counted = Next(count) ? count.value(0).toInt() : 0;
        } catch (const TDBError&) {
            counted.reset();
        }
    }
    // A list's query scrolls back and forth as the grid shows it.
    QSqlQuery query = Run(Database(), state.Lines, state.Params, false);
    // The model fetches its first block of rows by itself.
    state.Model->setQuery(std::move(query));
    if (state.Model->lastError().isValid()) {
        const QSqlError error = state.Model->lastError();
        state.Model->clear();
        throw TDBError(error);
    }
    state.Active = true;
    state.Rows = counted.value_or(0);
    if (!counted) {
        FetchTo(state, std::numeric_limits<int>::max());
    } else if (!state.Model->canFetchMore()) {
        state.Rows = state.Model->rowCount();
    }
    state.CurrentRow = state.Rows > 0 ? 0 : -1;
    return state.Rows;
}

void TDataModule1::FetchTo(TListState& state, int row) {
    TListModel& model = *state.Model;
    while (model.rowCount() <= row && model.canFetchMore()) {
        model.fetchMore();
    }
    if (model.lastError().isValid()) {
        const QSqlError error = model.lastError();
        model.clear();
        state.Active = false;
        state.Rows = 0;
        state.CurrentRow = -1;
        throw TDBError(error);
    }
    if (!model.canFetchMore()) {
        state.Rows = model.rowCount();
    }
}

void TDataModule1::FetchTo(TList list, int row) {
    FetchTo(State(list), row);
}

int TDataModule1::RowCount(TList list) const {
    return State(list).Rows;
}

TListModel& TDataModule1::List(TList list) {
    return *State(list).Model;
}

int TDataModule1::CurrentRow(TList list) const {
    return State(list).CurrentRow;
}

void TDataModule1::SetCurrentRow(TList list, int row) {
    TListState& state = State(list);
    if (state.Rows == 0) {
        state.CurrentRow = -1;
        return;
    }
    row = std::clamp(row, 0, state.Rows - 1);
    FetchTo(state, row);
    state.CurrentRow = std::min(row, state.Model->rowCount() - 1);
}

bool TDataModule1::ListActive(TList list) const {
    return State(list).Active;
}

QString TDataModule1::ListStatement(TList list) const {
    return State(list).Lines.join(u'\n');
}

TDataModule1::TListState& TDataModule1::State(TList list) {
    return Lists_[static_cast<int>(list)];
}

const TDataModule1::TListState& TDataModule1::State(TList list) const {
    return Lists_[static_cast<int>(list)];
}

} // namespace endomira
