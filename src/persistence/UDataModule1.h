#pragma once

#include "ListModel.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <memory>

namespace endomira {

// The one connection of the program to its database ("IBD_Endomira"), its single transaction
// ("IBT_Endomira") and the three lists that the manager windows show in their grids. It exists
// once for the run; every TBDEndomira works through it.
class TDataModule1 {
public:
    // The lists of the data module.
    enum class TList { Patients, Doctors, Exams };

    inline static const QString kUserName = QStringLiteral("SYSDBA");
    inline static const QString kPassword = QStringLiteral("kevrodmaz");
    inline static const QString kCharacterSet = QStringLiteral("WIN1252");

    TDataModule1();
    // Commits the transaction when it is active, then closes the connection.
    ~TDataModule1();
    TDataModule1(const TDataModule1&) = delete;
    TDataModule1& operator=(const TDataModule1&) = delete;

    // Connects to "localhost:" + path. Throws TDBError with the client's message when the
    // server or the file cannot be reached.
    void ConnectDatabase(const QString& path);
    // The start-up sequence: connect, wait 300 ms, start the transaction, open the patient list.
    void OpenDatabase(const QString& path);
    bool Connected() const;
    QString DatabaseName() const;

    void StartTransaction();
    // Commits IBT_Endomira when it is active; the next statement starts a new one by itself.
    void Commit();
    bool InTransaction() const { return InTransaction_; }

    // Commits, then reopens one list ("patient", "doctor" or "examination") with the statement
    // it last held. Throws TDBError.
    void ReopenList(const QString& listName);

    // Runs one statement: the lines joined with line breaks, each parameter bound by name.
    // Throws TDBError. The query is positioned before its first row.
    QSqlQuery Execute(const QStringList& lines, const QVariantMap& params = {});
    // Moves to the next row of a statement's result; false at the end. Throws TDBError for an
    // error that the server reports only when the row is fetched.
    static bool Next(QSqlQuery& query);

    // Opens a list on a new statement (remembered for ReopenList); the current row is the
    // first. Returns the number of rows. Throws TDBError.
    // Without a count statement every row is fetched at once. With one (a "select count(*)"
    // of the same conditions and parameters) only the first block of rows is fetched; the
    // grid fetches the rest as it is scrolled, and the count gives the number of rows.
    int OpenList(TList list, const QStringList& lines, const QVariantMap& params = {},
                 const QStringList& countLines = {});
    TListModel& List(TList list);
    // Number of rows of the list's last statement, fetched or not.
    int RowCount(TList list) const;
    // Fetches the list's rows up to `row` (0-based), or every row when it is past the end.
    // Throws TDBError.
    void FetchTo(TList list, int row);
    // 0-based current row of a list, -1 when it is empty or closed.
    int CurrentRow(TList list) const;
    // Fetches up to the row when it has not been fetched yet.
    void SetCurrentRow(TList list, int row);
    bool ListActive(TList list) const;
    QString ListStatement(TList list) const;

    TListModel& IBQPacList() { return List(TList::Patients); }
    TListModel& IBQMedList() { return List(TList::Doctors); }
    TListModel& IBQExmList() { return List(TList::Exams); }

    // The program's folder: the exam images are kept beside its database folder. The
    // executable's folder unless set otherwise (an installation tool or a test).
    QString ProgramFolder() const { return ProgramFolder_; }
    void SetProgramFolder(const QString& folder) { ProgramFolder_ = folder; }

    QSqlDatabase Database() const;

private:
    struct TListState {
        std::unique_ptr<TListModel> Model;
        QStringList Lines;
        QVariantMap Params;
        QStringList CountLines;
        int Rows = 0;
        int CurrentRow = -1;
        bool Active = false;
    };

    TListState& State(TList list);
    const TListState& State(TList list) const;
    int Fetch(TListState& state);
    void FetchTo(TListState& state, int row);
    // Commits; the lists other than `reopened` are fetched to their end first.
    void CommitKeepingLists(const TListState* reopened);
    void EnsureTransaction();

    QString ConnectionName_;
    QString ProgramFolder_;
    bool InTransaction_ = false;
    TListState Lists_[3];
};

} // namespace endomira
