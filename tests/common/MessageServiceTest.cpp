#include "MessageService.h"

#include <gtest/gtest.h>

using namespace endomira;

TEST(MessageService, TypedBoxesCarryTheToolkitTitles) {
    TMessageRecorder recorder;
    ShowMessageDlg(QStringLiteral("a"), TMsgKind::Error);
    ShowMessageDlg(QStringLiteral("b"), TMsgKind::Information);
    ShowMessageDlg(QStringLiteral("c"), TMsgKind::Confirmation, mbYes | mbNo);
    ShowMessageDlg(QStringLiteral("d"), TMsgKind::Warning);
    ShowMessageBox(QStringLiteral("e\rf"), QStringLiteral("AVISO"));
    ASSERT_EQ(recorder.Shown().size(), 5u);
    EXPECT_EQ(recorder.Shown()[0].Title, QStringLiteral("Error"));
    EXPECT_EQ(recorder.Shown()[1].Title, QStringLiteral("Information"));
    EXPECT_EQ(recorder.Shown()[2].Title, QStringLiteral("Confirm"));
    EXPECT_EQ(recorder.Shown()[3].Title, QStringLiteral("Warning"));
    EXPECT_EQ(recorder.Shown()[4].Title, QStringLiteral("AVISO"));
    EXPECT_EQ(recorder.Shown()[4].Kind, TMsgKind::Plain);
    EXPECT_EQ(recorder.Shown()[4].Text, QStringLiteral("e\rf"));
}

TEST(MessageService, RecorderAnswersFromItsScriptThenByDefault) {
    TMessageRecorder recorder;
    recorder.QueueAnswer(mbNo);
    EXPECT_EQ(ShowMessageDlg(QStringLiteral("q"), TMsgKind::Confirmation, mbYes | mbNo), mbNo);
    EXPECT_EQ(ShowMessageDlg(QStringLiteral("q"), TMsgKind::Confirmation, mbYes | mbNo), mbYes);
    EXPECT_EQ(ShowMessageBox(QStringLiteral("x"), QStringLiteral("Erro")), mbOK);
}

TEST(MessageService, RecordersNestAndRestore) {
    TMessageRecorder outer;
    {
        TMessageRecorder inner;
        ShowMessageBox(QStringLiteral("inner"), QStringLiteral("Aviso"));
        EXPECT_EQ(inner.Shown().size(), 1u);
    }
    ShowMessageBox(QStringLiteral("outer"), QStringLiteral("Aviso"));
    ASSERT_EQ(outer.Shown().size(), 1u);
    EXPECT_EQ(outer.Shown()[0].Text, QStringLiteral("outer"));
}

TEST(MessageService, WithoutAServiceTheSafestAnswerIsGiven) {
    ASSERT_EQ(SetMessageService(nullptr), nullptr);
    EXPECT_EQ(ShowMessageDlg(QStringLiteral("q"), TMsgKind::Confirmation, mbYes | mbNo), mbNo);
    EXPECT_EQ(ShowMessageBox(QStringLiteral("x"), QStringLiteral("Erro")), mbOK);
}
