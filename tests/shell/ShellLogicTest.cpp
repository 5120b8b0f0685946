#include "AbbreviateName.h"
#include "CfgCamCapValues.h"
#include "FileVersion.h"
#include "IniFile.h"
#include "ProgramFolder.h"
#include "RealText.h"
#include "ShellTestFolder.h"
#include "UBIniSettings.h"

#include <gtest/gtest.h>

using namespace endomira;

TEST(AbbreviateName, Table) {
    const QString twentyTwo = QStringLiteral("Pedro") + QStringLiteral(" Palavra").repeated(20) +
                              QStringLiteral(" Final");
    const QString twentyTwoShort =
        QStringLiteral("Pedro") + QStringLiteral(" P.").repeated(20) + QStringLiteral(" Final");
    const struct {
        QString Name;
        QString Expected;
    } cases[] = {
        {QStringLiteral("  João Silva  "), QStringLiteral("João Silva")},
        {QStringLiteral("Pedro"), QStringLiteral("Pedro")},
        {QString(), QString()},
        {QStringLiteral("José Francisco dos Santos"), QStringLiteral("José F. dos Santos")},
        {QStringLiteral("Ana Helena Beatriz Costa"), QStringLiteral("Ana H. B. Costa")},
        {QStringLiteral("Ana de Souza"), QStringLiteral("Ana de Souza")},
        // Four characters are shortened, three are kept; the last word is never shortened.
        {QStringLiteral("Rui Luiz Melo"), QStringLiteral("Rui L. Melo")},
        {QStringLiteral("Rui Dos Melo"), QStringLiteral("Rui Dos Melo")},
        {QStringLiteral("Ana Álvares Vasconcelos"), QStringLiteral("Ana Á. Vasconcelos")},
        // Two spaces in a row make an empty word, which keeps its space.
        {QStringLiteral("Ana  Maria Souza"), QStringLiteral("Ana  M. Souza")},
        // Beyond twenty words every middle word is treated alike and the last one stays whole.
        {twentyTwo, twentyTwoShort},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(AbbreviateName(c.Name), c.Expected) << qPrintable(c.Name);
    }
}

TEST(FileVersion, TheBuildsVersionOrEmptyOrVazio) {
    EXPECT_EQ(FileVersionTextOf(QStringLiteral("4.1.0.0")), QStringLiteral("4.1.0.0"));
    EXPECT_EQ(FileVersionTextOf(QString()), QString());
    EXPECT_EQ(FileVersionTextOf(QStringLiteral("1.0")), QStringLiteral("Vazio"));
    EXPECT_EQ(FileVersionTextOf(QStringLiteral("@PROJECT_VERSION@")), QStringLiteral("Vazio"));
    EXPECT_EQ(GetFileVersionText(), ProgramVersion());
    EXPECT_FALSE(GetFileVersionText().isEmpty());
}

class CfgValues : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Folder.IsValid());
        Settings = std::make_unique<TBIniSettings>(Folder.Path());
        Stored = StoredCfgTexts(*Settings);
    }
    void TearDown() override { SetDecimalSeparator(QChar(u'.')); }

    TCfgTexts With(TCfgField field, const QString& text) const {
        TCfgTexts edits = Stored;
        edits[field] = text;
        return edits;
    }
    QString IniValue(const char* section, const char* key) const {
        return TIniFile(Folder.IniPath())
            .Read(QString::fromLatin1(section), QString::fromLatin1(key))
            .value_or(QStringLiteral("<missing>"));
    }

    shelltest::TProgramFolderFixture Folder;
    std::unique_ptr<TBIniSettings> Settings;
    TCfgTexts Stored;
};

TEST_F(CfgValues, StoredValuesAreShownInTheDialogsFormats) {
    EXPECT_EQ(Stored[TCfgField::MainCam], QStringLiteral("0"));
    EXPECT_EQ(Stored[TCfgField::AuxCam], QStringLiteral("1"));
    EXPECT_EQ(Stored[TCfgField::Average], QStringLiteral("110.00"));
    EXPECT_EQ(Stored[TCfgField::SD], QStringLiteral("30.00"));
    EXPECT_EQ(Stored[TCfgField::Tolerance], QStringLiteral("0.10"));
    EXPECT_EQ(Stored[TCfgField::MaxCaptures], QStringLiteral("20"));
    EXPECT_EQ(Stored[TCfgField::ClinicName], QStringLiteral("Clínica Olhos Claros"));
    EXPECT_FALSE(HasChanges(Stored, Stored));
}

TEST_F(CfgValues, WhatCountsAsAChange) {
    const struct {
        TCfgField Field;
        QString Text;
        bool Changed;
    } cases[] = {
        {TCfgField::Tolerance, QStringLiteral("0.15"), true},
        {TCfgField::Tolerance, QStringLiteral("0.10"), false},
        {TCfgField::Tolerance, QStringLiteral("0.1"), true}, // textual: "0.1" is not "0.10"
        {TCfgField::Average, QStringLiteral("110,00"), true},
        {TCfgField::MainCam, QStringLiteral("00"), true},
        {TCfgField::MaxCaptures, QStringLiteral("350"), false},
        {TCfgField::MaxCaptures, QStringLiteral("301"), false},
        {TCfgField::MaxCaptures, QStringLiteral("300"), true},
        {TCfgField::MaxCaptures, QStringLiteral("200"), true},
        {TCfgField::MaxCaptures, QStringLiteral("0"), true},
        {TCfgField::MaxCaptures, QStringLiteral("020"), true},
        // Not an integer: pending, so that "OK" cannot discard it unseen.
        {TCfgField::MaxCaptures, QStringLiteral("2O"), true},
        {TCfgField::ClinicPhone, QStringLiteral("(11) 3000-0001"), true},
        {TCfgField::ClinicName, QStringLiteral("Clínica Olhos Claros "), true},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HasChanges(With(c.Field, c.Text), Stored), c.Changed) << qPrintable(c.Text);
    }
    // A maximum above 300 does not hide a change elsewhere.
    TCfgTexts both = With(TCfgField::MaxCaptures, QStringLiteral("350"));
    both[TCfgField::ClinicAddress] = QStringLiteral("Outra rua");
    EXPECT_TRUE(HasChanges(both, Stored));
}

TEST_F(CfgValues, ButtonsFollowEveryChangeExceptANonIntegerMaximum) {
    TCfgButtons b;
    b = ButtonsAfterChange(TCfgField::Tolerance, With(TCfgField::Tolerance, "0.15"), Stored, b);
    EXPECT_TRUE(b.ApplyEnabled);
    EXPECT_FALSE(b.OKEnabled);
    b = ButtonsAfterChange(TCfgField::Tolerance, Stored, Stored, b);
    EXPECT_FALSE(b.ApplyEnabled);
    EXPECT_TRUE(b.OKEnabled);

    for (const TCfgButtons before : {TCfgButtons{false, true}, TCfgButtons{true, false}}) {
        const TCfgButtons after = ButtonsAfterChange(
            TCfgField::MaxCaptures, With(TCfgField::MaxCaptures, "abc"), Stored, before);
        EXPECT_EQ(after.ApplyEnabled, before.ApplyEnabled);
        EXPECT_EQ(after.OKEnabled, before.OKEnabled);
    }
    // Another edit's change with that maximum pending keeps "Aplicar".
    TCfgTexts edits = With(TCfgField::MaxCaptures, "abc");
    b = ButtonsAfterChange(TCfgField::ClinicPhone, edits, Stored, TCfgButtons{});
    EXPECT_TRUE(b.ApplyEnabled);
    EXPECT_FALSE(b.OKEnabled);
}

TEST_F(CfgValues, SaveWritesEveryFieldWithItsFormat) {
    TCfgTexts edits = Stored;
    edits[TCfgField::MainCam] = QStringLiteral("300"); // a byte: 300 mod 256
    edits[TCfgField::AuxCam] = QStringLiteral("07");
    edits[TCfgField::Average] = QStringLiteral("12.3456");
    edits[TCfgField::SD] = QStringLiteral("5");
    edits[TCfgField::Tolerance] = QStringLiteral("0.125"); // half to even
    edits[TCfgField::MaxCaptures] = QStringLiteral("0");
    edits[TCfgField::ClinicName] = QStringLiteral("Clínica São João");
    edits[TCfgField::ClinicAddress] = QStringLiteral("Av. Paulista, 1000");
    edits[TCfgField::ClinicPhone] = QStringLiteral("(11) 4000-1234");
    ASSERT_FALSE(SaveCfgTexts(edits, *Settings).has_value());

    EXPECT_EQ(IniValue("CAMERA", "mainCamChannel"), QStringLiteral("44"));
    EXPECT_EQ(IniValue("CAMERA", "auxCamChannel"), QStringLiteral("7"));
    EXPECT_EQ(IniValue("AUTOCAPTURE", "average"), QStringLiteral("12.35"));
    EXPECT_EQ(IniValue("AUTOCAPTURE", "sd"), QStringLiteral("5.00"));
    EXPECT_EQ(IniValue("AUTOCAPTURE", "tolerance"), QStringLiteral("0.12"));
    EXPECT_EQ(IniValue("CAPTURE", "maxFrames"), QStringLiteral("0"));
    EXPECT_EQ(IniValue("CLINIC_DATA", "NAME"), QStringLiteral("Clínica São João"));
    EXPECT_EQ(IniValue("CLINIC_DATA", "PHONE"), QStringLiteral("(11) 4000-1234"));
    // The kept values are re-read at once, and the dialog shows them so the next time.
    EXPECT_DOUBLE_EQ(Settings->GetAverage(), 12.35);
    EXPECT_EQ(Settings->GetMaxFrames(), 0);
    const TCfgTexts shown = StoredCfgTexts(*Settings);
    EXPECT_EQ(shown[TCfgField::Average], QStringLiteral("12.35"));
    EXPECT_EQ(shown[TCfgField::MainCam], QStringLiteral("44"));
}

TEST_F(CfgValues, SaveStopsAtTheFieldThatDoesNotConvert) {
    TCfgTexts edits = Stored;
    edits[TCfgField::MainCam] = QStringLiteral("3");
    edits[TCfgField::AuxCam] = QStringLiteral("4");
    edits[TCfgField::Average] = QStringLiteral("12,5"); // the separator is a full stop
    edits[TCfgField::SD] = QStringLiteral("9.00");
    edits[TCfgField::ClinicPhone] = QStringLiteral("(11) 4000-1234");
    const auto failure = SaveCfgTexts(edits, *Settings);
    ASSERT_TRUE(failure.has_value());
    EXPECT_EQ(failure->Field, TCfgField::Average);
    EXPECT_TRUE(failure->Message.contains(QStringLiteral("12,5"))) << qPrintable(failure->Message);
    // The fields before it are written, the ones after it are not.
    EXPECT_EQ(IniValue("CAMERA", "mainCamChannel"), QStringLiteral("3"));
    EXPECT_EQ(IniValue("CAMERA", "auxCamChannel"), QStringLiteral("4"));
    EXPECT_EQ(IniValue("AUTOCAPTURE", "average"), QStringLiteral("110.00"));
    EXPECT_EQ(IniValue("AUTOCAPTURE", "sd"), QStringLiteral("30.00"));
    EXPECT_EQ(IniValue("CLINIC_DATA", "PHONE"), QStringLiteral("(11) 3000-0000"));

    edits[TCfgField::Average] = QStringLiteral("12.5");
    edits[TCfgField::MaxCaptures] = QString();
    const auto second = SaveCfgTexts(edits, *Settings);
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->Field, TCfgField::MaxCaptures);
    EXPECT_EQ(IniValue("AUTOCAPTURE", "sd"), QStringLiteral("9.00"));
    EXPECT_EQ(IniValue("CAPTURE", "maxFrames"), QStringLiteral("20"));
}

TEST_F(CfgValues, AChannelStoredAsTextIsShownAsStored) {
    Folder.WriteIni(shelltest::FullIni().replace(QStringLiteral("mainCamChannel=0"),
                                                 QStringLiteral("mainCamChannel=zero")));
    EXPECT_EQ(StoredCfgTexts(*Settings)[TCfgField::MainCam], QStringLiteral("zero"));
}

TEST_F(CfgValues, ACommaSeparatorIsUsedForShowingAndSaving) {
    Folder.WriteIni(
        shelltest::FullIni()
            .replace(QStringLiteral("decimalSeparator=."), QStringLiteral("decimalSeparator=,"))
            .replace(QStringLiteral("0.001400"), QStringLiteral("0,001400"))
            .replace(QStringLiteral("3.6"), QStringLiteral("3,6")));
    Settings = std::make_unique<TBIniSettings>(Folder.Path());
    TCfgTexts edits = StoredCfgTexts(*Settings);
    EXPECT_EQ(edits[TCfgField::Tolerance], QStringLiteral("0,10"));
    edits[TCfgField::Average] = QStringLiteral("99,999");
    ASSERT_FALSE(SaveCfgTexts(edits, *Settings).has_value());
    EXPECT_EQ(IniValue("AUTOCAPTURE", "average"), QStringLiteral("100,00"));
}
