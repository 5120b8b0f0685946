// A termination signal must leave the program free to close as the operator would: the client
// library may not end the connection under it before the work is committed.

#include "DbFixture.h"

#include <QProcess>

using namespace endomira;
using namespace endomira::test;

namespace {

TEST(SignalClose, WorkIsCommittedAfterSigterm) {
    TTestDatabase database;
    QProcess helper;
    helper.start(QStringLiteral(ENDOMIRA_SIGNAL_HELPER), {database.Path()});
    ASSERT_TRUE(helper.waitForFinished(30000));
    EXPECT_EQ(helper.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(helper.exitCode(), 0) << helper.readAllStandardError().toStdString();

    TDataModule1 dm;
    dm.ConnectDatabase(database.Path());
    QSqlQuery row = dm.Execute({QStringLiteral("select PAC_NOME from PACIENTE")});
    ASSERT_TRUE(TDataModule1::Next(row));
    EXPECT_EQ(row.value(0).toString(), QStringLiteral("Paciente do Sinal"));
}

} // namespace
