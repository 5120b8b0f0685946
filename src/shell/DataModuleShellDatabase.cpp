#include "DataModuleShellDatabase.h"

#include "DBError.h"
#include "UBDEndomira.h"
#include "UDataModule1.h"

namespace endomira {

void TDataModuleShellDatabase::Open(const QString& path) {
    try {
        DM_.OpenDatabase(path);
    } catch (const TDBError& error) {
        throw TShellDatabaseError(error.Message());
    }
}

QString TDataModuleShellDatabase::Version() {
    try {
        return TBDEndomira(DM_).GetDBVersion();
    } catch (const TDBError& error) {
        throw TShellDatabaseError(error.Message());
    }
}

void TDataModuleShellDatabase::AlterPatientTable() {
    try {
        TBDEndomira(DM_).AlterPatientTable();
    } catch (const TDBError& error) {
        throw TShellDatabaseError(error.Message());
    }
}

} // namespace endomira
