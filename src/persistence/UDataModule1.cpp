#include "UDataModule1.h"

#include "DBError.h"
#include "ProgramFolder.h"

#include <QSqlError>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <ibase.h>
#include <mutex>

namespace endomira {

namespace {

std::atomic<int> gConnectionCount{0};

// The patient list as the data module loads it: every patient once, with its age and its number
// of exams.
const QStringList kPatientListLoaded = {
    QStringLiteral(
        "select distinct PAC_ID,PAC_STATUS,PAC_PRONTUARIO,PAC_NOME,PAC_SEXO,PAC_PROF,PAC_CIVIL,"
        "PAC_SANGUE,PAC_CPF,PAC_RG,PAC_ORGAO,PAC_NASCIMENTO,PAC_NATURAL,PAC_NAT_UF,PAC_PAI,"
        "PAC_MAE,PAC_LOGRADOURO,PAC_COMPLEMENTO,PAC_BAIRRO,PAC_CIDADE,PAC_UF,PAC_CEP,PAC_FONE1,"
        "PAC_FONE2,PAC_FONE3,PAC_EMAIL,PAC_OBSERVACOES,"
        "trunc((current_date - PAC_NASCIMENTO) / 365.2422) as PAC_IDADE,"),
    QStringLiteral("count(EXM_ID) as PAC_TOTALEXAME from paciente left join exame on "
                   "PAC_ID=EXM_Paciente "),
    QStringLiteral(
        "group by PAC_ID,PAC_STATUS,PAC_PRONTUARIO,PAC_NOME,PAC_SEXO,PAC_PROF,PAC_CIVIL,"
        "PAC_SANGUE,PAC_CPF,PAC_RG,PAC_ORGAO,PAC_NASCIMENTO,PAC_NATURAL,PAC_NAT_UF,PAC_PAI,"
        "PAC_MAE,PAC_LOGRADOURO,PAC_COMPLEMENTO,PAC_BAIRRO,PAC_CIDADE,PAC_UF,PAC_CEP,PAC_FONE1,"
        "PAC_FONE2,PAC_FONE3,PAC_EMAIL,PAC_OBSERVACOES,PAC_IDADE"),
};

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

} // namespace

TDataModule1::TDataModule1()
    : ConnectionName_(QStringLiteral("IBD_Endomira_%1").arg(gConnectionCount.fetch_add(1))),
      ProgramFolder_(endomira::ProgramFolder()) {
    InstallShutdownGuard();
    for (TListState& state : Lists_) {
        state.Model = std::make_unique<TListModel>();
    }
    State(TList::Patients).Lines = kPatientListLoaded;
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
    OpenList(TList::Patients, State(TList::Patients).Lines, State(TList::Patients).Params);
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
    if (!InTransaction_) {
        return;
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
    Commit();
    TList list;
    if (listName == QStringLiteral("patient")) {
        list = TList::Patients;
    } else if (listName == QStringLiteral("doctor")) {
        list = TList::Doctors;
    } else if (listName == QStringLiteral("examination")) {
        list = TList::Exams;
    } else {
        return;
    }
    Fetch(State(list));
}

QSqlQuery TDataModule1::Execute(const QStringList& lines, const QVariantMap& params) {
    EnsureTransaction();
    QSqlQuery query(Database());
    query.setForwardOnly(true);
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

bool TDataModule1::Next(QSqlQuery& query) {
    if (query.next()) {
        return true;
    }
    if (query.lastError().isValid()) {
        throw TDBError(query.lastError());
    }
    return false;
}

int TDataModule1::OpenList(TList list, const QStringList& lines, const QVariantMap& params) {
    TListState& state = State(list);
    state.Lines = lines;
    state.Params = params;
    return Fetch(state);
}

int TDataModule1::Fetch(TListState& state) {
    state.Active = false;
    state.CurrentRow = -1;
    state.Model->clear();
    EnsureTransaction();
    QSqlQuery query(Database());
    if (!query.prepare(state.Lines.join(u'\n'))) {
        throw TDBError(query.lastError());
    }
    for (auto it = state.Params.cbegin(); it != state.Params.cend(); ++it) {
        query.bindValue(u':' + it.key(), it.value());
    }
    if (!query.exec()) {
        throw TDBError(query.lastError());
    }
    state.Model->setQuery(std::move(query));
    while (state.Model->canFetchMore()) {
        state.Model->fetchMore();
    }
    if (state.Model->lastError().isValid()) {
        const QSqlError error = state.Model->lastError();
        state.Model->clear();
        throw TDBError(error);
    }
    state.Active = true;
    const int rows = state.Model->rowCount();
    state.CurrentRow = rows > 0 ? 0 : -1;
    return rows;
}

TListModel& TDataModule1::List(TList list) {
    return *State(list).Model;
}

int TDataModule1::CurrentRow(TList list) const {
    return State(list).CurrentRow;
}

void TDataModule1::SetCurrentRow(TList list, int row) {
    TListState& state = State(list);
    const int rows = state.Model->rowCount();
    state.CurrentRow = rows == 0 ? -1 : std::clamp(row, 0, rows - 1);
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
