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
    // The repair of a "1.0.0.0" schema, statement by statement; the first failure stops it.
    try {
        DM_.Execute({QStringLiteral("alter table paciente Drop Constraint INTEG_6")});
        DM_.Execute({QStringLiteral("update RDB$RELATION_FIELDS "), QStringLiteral("set "),
                     QStringLiteral("RDB$NULL_FLAG = 0 "),
                     QStringLiteral("where RDB$FIELD_NAME = 'PAC_CPF' and "),
                     QStringLiteral("RDB$RELATION_NAME = 'PACIENTE'")});
        DM_.Commit();
    } catch (const TDBError& error) {
        throw TShellDatabaseError(error.Message());
    }
}

} // namespace endomira
