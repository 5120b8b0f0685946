#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

// endomira-analyze run as a process, for the tests that check its output. The including
// target defines ENDOMIRA_ANALYZE_TOOL as the tool's path.
namespace endomira::testing {

struct TToolRun {
    int Exit = -1;
    QByteArray Out;
    QByteArray Err;
};

inline TToolRun RunAnalyzeTool(const QStringList& args) {
    QProcess p;
    p.start(QStringLiteral(ENDOMIRA_ANALYZE_TOOL), args);
    EXPECT_TRUE(p.waitForFinished(60000));
    TToolRun run;
    run.Exit = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.Out = p.readAllStandardOutput();
    run.Err = p.readAllStandardError();
    return run;
}

} // namespace endomira::testing
