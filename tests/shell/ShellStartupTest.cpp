// The main window's start-up work against a real database server: a good installation, and each
// way the start can fail, which the operator must see in a box while the program stays open.

#include "ShellStartup.h"
#include "DataModuleShellDatabase.h"
#include "MessageService.h"
#include "RealText.h"
#include "ShellTestFolder.h"
#include "UBIniSettings.h"
#include "UDataModule1.h"

#include <QFile>
#include <gtest/gtest.h>

using namespace endomira;

class ShellStartup : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(Folder.IsValid()); }
    void TearDown() override {
        SetProgramSettings(nullptr);
        SetDecimalSeparator(QChar(u'.'));
    }

    shelltest::TProgramFolderFixture Folder;
    TMessageRecorder Boxes;
    TDataModule1 DataModule;
    TDataModuleShellDatabase Database{DataModule};
};

TEST_F(ShellStartup, AGoodInstallationLoadsTheSettingsAndOpensTheDatabase) {
    Folder.CreateDatabase();
    EXPECT_EQ(RunStartup(Folder.Path(), Database), TStartupState::Ready);
    EXPECT_TRUE(Boxes.Shown().empty());
    ASSERT_NE(ProgramSettings(), nullptr);
    EXPECT_EQ(ProgramSettings()->GetIniPath(), Folder.IniPath());
    EXPECT_TRUE(DataModule.Connected());
    EXPECT_EQ(DataModule.DatabaseName(), QStringLiteral("localhost:") + Folder.DatabasePath());
    EXPECT_TRUE(DataModule.InTransaction());
    EXPECT_TRUE(DataModule.ListActive(TDataModule1::TList::Patients));
    EXPECT_EQ(Database.Version(), QStringLiteral("1.1.0.0"));
}

TEST_F(ShellStartup, ASettingsKeyThatDoesNotConvertIsNamedAndNothingElseIsTried) {
    Folder.CreateDatabase();
    Folder.WriteIni(shelltest::FullIni().replace(QStringLiteral("maxFrames=20\n"),
                                                 QStringLiteral("maxFrames=vinte\n")));
    EXPECT_EQ(RunStartup(Folder.Path(), Database), TStartupState::NoSettings);
    ASSERT_EQ(Boxes.Shown().size(), 1u);
    const TMessage& box = Boxes.Shown()[0];
    EXPECT_EQ(box.Title, QStringLiteral("Erro"));
    for (const QString& part : {QStringLiteral("maxFrames"), QStringLiteral("CAPTURE"),
                                QStringLiteral("vinte"), Folder.IniPath()}) {
        EXPECT_TRUE(box.Text.contains(part)) << qPrintable(box.Text);
    }
    EXPECT_EQ(ProgramSettings(), nullptr);
    EXPECT_FALSE(DataModule.Connected());
}

TEST_F(ShellStartup, AMissingKeyStopsTheStartTheSameWay) {
    Folder.WriteIni(shelltest::FullIni().replace(QStringLiteral("pixelToPaq=3.6\n"), QString()));
    EXPECT_EQ(RunStartup(Folder.Path(), Database), TStartupState::NoSettings);
    ASSERT_EQ(Boxes.Shown().size(), 1u);
    EXPECT_TRUE(Boxes.Shown()[0].Text.contains(QStringLiteral("pixelToPaq")));
    EXPECT_TRUE(Boxes.Shown()[0].Text.contains(QStringLiteral("'error'")));
}

TEST_F(ShellStartup, DatabaseFailuresShowTheClientsMessage) {
    const QFile::Permissions everyone =
        QFile::ReadOwner | QFile::WriteOwner | QFile::ReadOther | QFile::WriteOther;
    const struct {
        const char* Case;
        QByteArray Content; // empty: no file at all
        QFile::Permissions Permissions;
        const char* ClientSays;
    } cases[] = {
        {"missing file", QByteArray(), everyone, "No such file"},
        {"not a database", QByteArray(8192, 'x'), everyone, "not a valid database"},
        // Owned by another user and closed to the server's.
        {"unreadable file", QByteArray(8192, 'x'), QFile::ReadOwner, "Permission denied"},
    };
    for (const auto& c : cases) {
        if (!c.Content.isEmpty()) {
            QFile file(Folder.DatabasePath());
            ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(c.Content);
            file.close();
            file.setPermissions(c.Permissions);
        }
        Boxes.Clear();
        EXPECT_EQ(RunStartup(Folder.Path(), Database), TStartupState::NoDatabase) << c.Case;
        ASSERT_EQ(Boxes.Shown().size(), 1u) << c.Case;
        const TMessage& box = Boxes.Shown()[0];
        EXPECT_EQ(box.Title, QStringLiteral("Erro"));
        EXPECT_TRUE(box.Text.contains(Folder.DatabasePath())) << qPrintable(box.Text);
        EXPECT_TRUE(box.Text.contains(QString::fromLatin1(c.ClientSays), Qt::CaseInsensitive))
            << c.Case << ": " << qPrintable(box.Text);
        // The connection step named the file even though it is not there.
        EXPECT_EQ(DataModule.DatabaseName(), QStringLiteral("localhost:") + Folder.DatabasePath());
        // The settings were loaded before the database was tried.
        EXPECT_NE(ProgramSettings(), nullptr);
        EXPECT_FALSE(DataModule.Connected());
    }
}
