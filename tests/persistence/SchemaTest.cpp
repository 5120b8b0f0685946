// The database as the installation tool creates it, the upgrade of "1.0.0.0" databases and the
// connection's failures.

#include "DBError.h"
#include "DatabaseFile.h"
#include "DbFixture.h"

#include <QFileInfo>

using namespace endomira;
using namespace endomira::test;

namespace {

using SchemaTest = TDbFixture;

class LegacySchemaTest : public TDbFixture {
protected:
    LegacySchemaTest() : TDbFixture(TSchemaVersion::Legacy) {}

    bool Save(const QString& prontuario, const QString& cpf) {
        TPaciente p = SomePatient(prontuario, QStringLiteral("paciente ") + prontuario);
        p.CPF = cpf;
        return DB_.SavePatient(p);
    }
};

TEST_F(SchemaTest, CreatedDatabaseHasTheCurrentVersionAndNamedConstraints) {
    EXPECT_EQ(DB_.GetDBVersion(), kCurrentDBVersion);
    // No constraint is left to the server's own numbering.
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) from RDB$RELATION_CONSTRAINTS where "
                                    "RDB$CONSTRAINT_NAME starting with 'INTEG_'"))
                  .toInt(),
              0);
    EXPECT_EQ(Scalar(QStringLiteral("select MON$PAGE_SIZE from MON$DATABASE")).toInt(), 8192);
    EXPECT_EQ(
        Scalar(QStringLiteral("select trim(RDB$CHARACTER_SET_NAME) from RDB$DATABASE")).toString(),
        QStringLiteral("WIN1252"));
    // A new patient, doctor and exam start active.
    DM_.Execute({QStringLiteral("insert into MEDICO (MED_CRM) values ('1')")});
    EXPECT_EQ(Scalar(QStringLiteral("select MED_STATUS from MEDICO")).toInt(), 1);
}

TEST_F(SchemaTest, TheToolRefusesAnExistingFileAndLeavesItAlone) {
    TPaciente p = SomePatient(QStringLiteral("1"), QStringLiteral("ana"));
    ASSERT_TRUE(DB_.SavePatient(p));
    DM_.Commit();
    const qint64 size = QFileInfo(Database_.Path()).size();
    try {
        CreateDatabaseFile(Database_.Path(), TSchemaVersion::Current, true);
        ADD_FAILURE() << "an existing database was accepted";
    } catch (const TDBError& error) {
        EXPECT_TRUE(error.Message().contains(QStringLiteral("já existe")))
            << qPrintable(error.Message());
    }
    EXPECT_EQ(QFileInfo(Database_.Path()).size(), size);
    EXPECT_EQ(Count(QStringLiteral("PACIENTE")), 1);
    EXPECT_EQ(Count(QStringLiteral("MEDICO")), 0);
}

TEST_F(SchemaTest, ExamplesAreAddedThroughTheProgramsSavesInEitherVersion) {
    for (const TSchemaVersion version : {TSchemaVersion::Current, TSchemaVersion::Legacy}) {
        const QString path = Database_.Folder() + QStringLiteral("/Examples.FDB");
        CreateDatabaseFile(path, version, true);
        {
            TDataModule1 other;
            other.ConnectDatabase(path);
            TBDEndomira db(other);
            EXPECT_EQ(db.GetDBVersion(),
                      version == TSchemaVersion::Legacy ? kLegacyDBVersion : kCurrentDBVersion);
            EXPECT_GE(db.ListDoctors(QString(), 1, QString()), 2);
            EXPECT_GE(db.ListPatients(QString(), 1, 0, QString(), -1, QString(), QString(),
                                      QString(), QString(), 0),
                      2);
            EXPECT_TRUE(other.IBQPacList().Value(0, QStringLiteral("PAC_NOME")).toString().size() >
                        3);
        }
        DropDatabaseFile(path);
    }
}

TEST_F(LegacySchemaTest, UpgradeDropsTheUniqueCpfOnceAndSilently) {
    EXPECT_EQ(DB_.GetDBVersion(), QStringLiteral("1.0.0.0"));
    ASSERT_TRUE(Save(QStringLiteral("1"), QStringLiteral("52998224725")));
    EXPECT_FALSE(Save(QStringLiteral("2"), QStringLiteral("52998224725")));
    ASSERT_TRUE(Save(QStringLiteral("3"), QString()));
    EXPECT_FALSE(Save(QStringLiteral("4"), QString()));
    const QString duplicate =
        QStringLiteral("ERRO! CPF DUPLICADO!\n\nNão é Possível Cadastrar CPF Duplicado!");
    EXPECT_EQ(Texts(), (QStringList{duplicate, duplicate}));
    Messages_.Clear();

    // The patient manager opens: upgrade, then its list (which commits).
    DB_.CheckDBUpgrade();
    DM_.ReopenList(QStringLiteral("patient"));
    DB_.CheckDBUpgrade();
    DM_.ReopenList(QStringLiteral("patient"));
    EXPECT_TRUE(Messages_.Shown().empty());
    EXPECT_EQ(DB_.GetDBVersion(), QStringLiteral("1.0.0.0"));
    EXPECT_EQ(Scalar(QStringLiteral("select count(*) from RDB$RELATION_CONSTRAINTS where "
                                    "RDB$CONSTRAINT_NAME = 'INTEG_6'"))
                  .toInt(),
              0);

    EXPECT_TRUE(Save(QStringLiteral("2"), QStringLiteral("52998224725")));
    EXPECT_TRUE(Save(QStringLiteral("4"), QString()));
    EXPECT_TRUE(Save(QStringLiteral("5"), QString()));
    EXPECT_TRUE(Messages_.Shown().empty()) << qPrintable(Texts().join(u'|'));
    EXPECT_EQ(Count(QStringLiteral("PACIENTE")), 5);
    // The record number stays unique.
    EXPECT_FALSE(Save(QStringLiteral("5"), QString()));
    EXPECT_EQ(Texts(), QStringList{QStringLiteral("ERRO! PRONTUÁRIO DUPLICADO!\n\nNão é Possível "
                                                  "Cadastrar Prontuário Duplicado!")});
}

TEST_F(SchemaTest, UpgradeLeavesACurrentDatabaseAlone) {
    DB_.CheckDBUpgrade();
    EXPECT_TRUE(Messages_.Shown().empty());
    EXPECT_EQ(DB_.GetDBVersion(), kCurrentDBVersion);
}

TEST_F(SchemaTest, ConnectionFailuresRaiseTheClientsMessage) {
    TDataModule1 other;
    try {
        other.ConnectDatabase(Database_.Folder() + QStringLiteral("/Missing.FDB"));
        ADD_FAILURE() << "a missing file was opened";
    } catch (const TDBError& error) {
        EXPECT_TRUE(error.Message().contains(QStringLiteral("Missing.FDB")))
            << qPrintable(error.Message());
    }
    EXPECT_FALSE(other.Connected());
}

TEST_F(SchemaTest, ALostConnectionDuringASaveIsReportedNotFatal) {
    TPaciente p = SomePatient(QStringLiteral("1"), QStringLiteral("ana"));
    ASSERT_TRUE(DB_.SavePatient(p));
    const int attachment =
        Scalar(QStringLiteral("select CURRENT_CONNECTION from RDB$DATABASE")).toInt();
    {
        // The server ends this program's attachment, as when it is stopped or the link breaks.
        TDataModule1 admin;
        admin.ConnectDatabase(Database_.Path());
        admin.Execute({QStringLiteral("delete from MON$ATTACHMENTS where MON$ATTACHMENT_ID=:id")},
                      {{QStringLiteral("id"), attachment}});
        admin.Commit();
    }
    TPaciente q = SomePatient(QStringLiteral("2"), QStringLiteral("bia"));
    EXPECT_FALSE(DB_.SavePatient(q));
    ASSERT_EQ(Messages_.Shown().size(), 1u);
    EXPECT_FALSE(Messages_.Shown()[0].Text.isEmpty());
    EXPECT_EQ(Messages_.Shown()[0].Kind, TMsgKind::Error);
    EXPECT_FALSE(DB_.DeactivatePatient(p.Id));
    EXPECT_THROW(DM_.ReopenList(QStringLiteral("patient")), TDBError);
}

} // namespace
