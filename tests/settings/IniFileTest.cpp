#include "IniFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace endomira;

namespace {

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    EXPECT_TRUE(f.open(QIODevice::ReadOnly));
    return f.readAll();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

} // namespace

TEST(IniFile, NamesMatchWithoutRegardToCase) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.ini");
    WriteAll(path, "; comment\n[System]\nDecimalSeparator = , \nname=\"  quoted \"\n");
    const TIniFile ini(path);
    EXPECT_EQ(ini.Read("SYSTEM", "decimalSeparator"), QStringLiteral(","));
    EXPECT_EQ(ini.Read("system", "NAME"), QStringLiteral("  quoted "));
    EXPECT_EQ(ini.Read("SYSTEM", "missing"), std::nullopt);
    EXPECT_EQ(ini.Read("OTHER", "name"), std::nullopt);
    EXPECT_EQ(TIniFile(dir.filePath("none.ini")).Read("SYSTEM", "name"), std::nullopt);
}

TEST(IniFile, WriteReplacesOnlyItsValueAndKeepsEveryOtherLine) {
    QTemporaryDir dir;
    const QString path = dir.filePath("a.ini");
    const QByteArray before = "; the clinic's settings\r\n"
                              "[CLINIC_DATA]\r\n"
                              "; shown on reports\r\n"
                              "Name=Old\r\n"
                              "PHONE=123\r\n"
                              "\r\n"
                              "[METRICS]\r\n"
                              "pixelToMM=0,001400\r\n";
    WriteAll(path, before);
    const TIniFile ini(path);
    ini.Write("clinic_data", "NAME", "Clínica Nova");
    QByteArray expected = before;
    expected.replace("Name=Old", "Name=Clínica Nova");
    EXPECT_EQ(ReadAll(path), expected);

    // A missing key joins the end of its section, before the blank line.
    ini.Write("CLINIC_DATA", "ADDRESS", "Rua A, 1");
    expected.replace("PHONE=123\r\n", "PHONE=123\r\nADDRESS=Rua A, 1\r\n");
    EXPECT_EQ(ReadAll(path), expected);

    // A missing section is appended.
    ini.Write("CAMERA", "mainCamChannel", "0");
    expected += "\r\n[CAMERA]\r\nmainCamChannel=0\r\n";
    EXPECT_EQ(ReadAll(path), expected);
    EXPECT_EQ(ini.Read("camera", "MAINCAMCHANNEL"), QStringLiteral("0"));
}

TEST(IniFile, WriteCreatesTheFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath("new.ini");
    TIniFile(path).Write("CAPTURE", "maxFrames", "40");
    EXPECT_EQ(ReadAll(path), QByteArray("[CAPTURE]\nmaxFrames=40\n"));
}

TEST(IniFile, FileInTheWindowsCodePageKeepsItsBytes) {
    QTemporaryDir dir;
    const QString path = dir.filePath("latin.ini");
    WriteAll(path, "[CLINIC_DATA]\nNAME=Cl\xEDnica\nPHONE=1\n");
    const TIniFile ini(path);
    EXPECT_EQ(ini.Read("CLINIC_DATA", "NAME"), QStringLiteral("Clínica"));
    ini.Write("CLINIC_DATA", "PHONE", "2");
    EXPECT_EQ(ReadAll(path), QByteArray("[CLINIC_DATA]\nNAME=Cl\xEDnica\nPHONE=2\n"));
}

TEST(IniFile, UnwritableFileIsReported) {
    EXPECT_THROW(TIniFile("/proc/no/such/dir/a.ini").Write("A", "b", "c"), std::runtime_error);
}
