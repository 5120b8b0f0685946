// Start-up when the database server does not answer. CTest runs this program with a client
// configuration (FIREBIRD) that points the client at a port where no server listens, so that
// the failure is the real client's, without stopping the machine's server.

#include "DataModuleShellDatabase.h"
#include "MessageService.h"
#include "RealText.h"
#include "ShellStartup.h"
#include "ShellTestFolder.h"
#include "UBIniSettings.h"
#include "UDataModule1.h"

#include <gtest/gtest.h>

using namespace endomira;

TEST(ShellStartupNoServer, TheClientsMessageIsShownAndTheProgramStays) {
    ASSERT_FALSE(qEnvironmentVariable("FIREBIRD").isEmpty())
        << "run through CTest, which points the client at a port without a server";
    shelltest::TProgramFolderFixture folder;
    ASSERT_TRUE(folder.IsValid());
    TMessageRecorder boxes;
    TDataModule1 dataModule;
    TDataModuleShellDatabase database(dataModule);

    EXPECT_EQ(RunStartup(folder.Path(), database), TStartupState::NoDatabase);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].Title, QStringLiteral("Erro"));
    EXPECT_TRUE(
        boxes.Shown()[0].Text.contains(QStringLiteral("Unable to complete network request")))
        << qPrintable(boxes.Shown()[0].Text);
    EXPECT_NE(ProgramSettings(), nullptr);
    EXPECT_FALSE(dataModule.Connected());
    SetProgramSettings(nullptr);
    SetDecimalSeparator(QChar(u'.'));
}
