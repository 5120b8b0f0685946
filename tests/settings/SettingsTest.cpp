#include "ConversionError.h"
#include "IniFile.h"
#include "RealText.h"
#include "UBIniSettings.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace endomira;

namespace {

// Every key of the settings file with working values; tests change single lines.
const char* const kFullIni = R"([SYSTEM]
decimalSeparator=,
[VIDEO]
Brightness=128
Contrast=64
Gain=AUTO
[CLINIC_DATA]
NAME=Clínica de Olhos
ADDRESS=Rua das Flores, 10
PHONE=(11) 5555-0000
[CAPTURE]
TYPE=AUTO
maxFrames=30
[AUTOCAPTURE]
average=120,00
sd=35,50
tolerance=0,25
[IMAGEPROCESSING]
FIRlen=15
minBlack=0
alpha0=0,0
beta0=255,0
largMin=60,0
perc=0,3
[METRICS]
pixelToMM=0,001400
pixelToPaq=3,6
[CAMERA]
mainCamChannel=0
auxCamChannel=1
)";

class SettingsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(Dir.isValid());
        Path = Dir.filePath("endomira.ini");
        SavedSeparator = DecimalSeparator();
    }
    void TearDown() override { SetDecimalSeparator(SavedSeparator); }

    void WriteIni(QString text) {
        QFile f(Path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text.toUtf8());
    }
    // The full file with the line "key=..." of the given key replaced (or removed when the
    // value is null).
    void WriteIniWith(const QString& key, const QString& value) {
        QStringList lines = QString::fromUtf8(kFullIni).split('\n');
        for (qsizetype i = 0; i < lines.size(); ++i) {
            if (lines[i].startsWith(key + '=')) {
                if (value.isNull()) {
                    lines.removeAt(i);
                } else {
                    lines[i] = key + '=' + value;
                }
                break;
            }
        }
        WriteIni(lines.join('\n'));
    }
    QString Line(const QString& key) {
        QFile f(Path);
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        for (const QString& line : QString::fromUtf8(f.readAll()).split('\n')) {
            if (line.startsWith(key + '=')) {
                return line;
            }
        }
        return {};
    }

    QTemporaryDir Dir;
    QString Path;
    QChar SavedSeparator;
};

} // namespace

TEST_F(SettingsTest, LoadsEveryKeptKey) {
    WriteIni(QString::fromUtf8(kFullIni));
    const TBIniSettings s(Dir.path());
    EXPECT_EQ(s.GetIniPath(), Path);
    EXPECT_EQ(s.GetDecimalSeparator(), QStringLiteral(","));
    EXPECT_EQ(DecimalSeparator(), QChar(u','));
    EXPECT_EQ(s.GetCaptureType(), QStringLiteral("AUTO"));
    EXPECT_EQ(s.GetMaxFrames(), 30);
    EXPECT_DOUBLE_EQ(s.GetAverage(), 120.0);
    EXPECT_DOUBLE_EQ(s.GetSD(), 35.5);
    EXPECT_DOUBLE_EQ(s.GetVariance(), 35.5 * 35.5);
    EXPECT_DOUBLE_EQ(s.GetTolerance(), 0.25);
    EXPECT_EQ(s.GetFIRlen(), 15);
    EXPECT_EQ(s.GetMinBlack(), 0);
    EXPECT_DOUBLE_EQ(s.GetAlpha0(), 0.0);
    EXPECT_DOUBLE_EQ(s.GetBeta0(), 255.0);
    EXPECT_DOUBLE_EQ(s.GetLargMin(), 60.0);
    EXPECT_DOUBLE_EQ(s.GetPerc(), 0.3);
    EXPECT_DOUBLE_EQ(s.GetPixelToMM(), 0.0014);
    EXPECT_DOUBLE_EQ(s.GetPixelToPaq(), 3.6);
    EXPECT_EQ(s.GetBrightness(), 128);
    EXPECT_EQ(s.GetContrast(), 64);
    EXPECT_EQ(s.GetGain(), QStringLiteral("AUTO"));
    EXPECT_EQ(s.GetClinicName(), QStringLiteral("Clínica de Olhos"));
    EXPECT_EQ(s.GetClinicAddress(), QStringLiteral("Rua das Flores, 10"));
    EXPECT_EQ(s.GetClinicPhone(), QStringLiteral("(11) 5555-0000"));
    EXPECT_EQ(s.GetMainCamChannel(), 0);
    EXPECT_EQ(s.GetAuxCamChannel(), 1);
}

TEST_F(SettingsTest, NormalisedKeysAcceptEitherSeparator) {
    struct Case {
        const char* separator;
        const char* average;
        double expected;
    };
    const Case cases[] = {
        {",", "12.5", 12.5},
        {",", "12,5", 12.5},
        {".", "12,5", 12.5},
        {".", "12.5", 12.5},
    };
    for (const Case& c : cases) {
        QString text = QString::fromUtf8(kFullIni);
        text.replace("decimalSeparator=,", QStringLiteral("decimalSeparator=") + c.separator);
        text.replace("average=120,00", QStringLiteral("average=") + c.average);
        text.replace("pixelToMM=0,001400", QStringLiteral("pixelToMM=0") + c.separator + "0014");
        text.replace("pixelToPaq=3,6", QStringLiteral("pixelToPaq=3") + c.separator + "6");
        WriteIni(text);
        const TBIniSettings s(Dir.path());
        EXPECT_DOUBLE_EQ(s.GetAverage(), c.expected) << c.separator << " " << c.average;
    }
}

TEST_F(SettingsTest, ScaleMustUseTheConfiguredSeparator) {
    WriteIniWith("pixelToMM", "0.001400");
    try {
        TBIniSettings s(Dir.path());
        FAIL() << "loaded";
    } catch (const TConversionError& error) {
        EXPECT_EQ(error.Section(), QStringLiteral("METRICS"));
        EXPECT_EQ(error.Key(), QStringLiteral("pixelToMM"));
        EXPECT_EQ(error.Text(), QStringLiteral("0.001400"));
        EXPECT_TRUE(error.Message().contains("pixelToMM"));
        EXPECT_TRUE(error.Message().contains("METRICS"));
        EXPECT_TRUE(error.Message().contains("0.001400"));
    }
}

TEST_F(SettingsTest, NormalizeDecimalReplacesOnlyTheFirstOccurrence) {
    SetDecimalSeparator(u'.');
    EXPECT_EQ(TBIniSettings::NormalizeDecimal("1,234,5"), QStringLiteral("1.234,5"));
    EXPECT_EQ(TBIniSettings::NormalizeDecimal("1.5,0"), QStringLiteral("1.5,0"));
    SetDecimalSeparator(u',');
    EXPECT_EQ(TBIniSettings::NormalizeDecimal("1.2.3"), QStringLiteral("1,2.3"));
    EXPECT_EQ(TBIniSettings::NormalizeDecimal("12"), QStringLiteral("12"));

    // So a value holding two commas still fails to convert.
    QString text = QString::fromUtf8(kFullIni);
    text.replace("decimalSeparator=,", "decimalSeparator=.");
    text.replace("pixelToMM=0,001400", "pixelToMM=0.0014");
    text.replace("pixelToPaq=3,6", "pixelToPaq=3.6");
    text.replace("sd=35,50", "sd=1,035,5");
    WriteIni(text);
    EXPECT_THROW(TBIniSettings{Dir.path()}, TConversionError);
}

TEST_F(SettingsTest, MissingKeysAndFile) {
    WriteIniWith("NAME", QString());
    const TBIniSettings s(Dir.path());
    EXPECT_EQ(s.GetClinicName(), QStringLiteral("error"));

    WriteIniWith("mainCamChannel", QString());
    EXPECT_THROW(s.GetMainCamChannel(), TConversionError);

    for (const char* key : {"average", "maxFrames", "pixelToPaq", "FIRlen"}) {
        WriteIniWith(key, QString());
        EXPECT_THROW(TBIniSettings{Dir.path()}, TConversionError) << key;
    }

    QFile::remove(Path);
    EXPECT_THROW(TBIniSettings{Dir.path()}, TConversionError);
    EXPECT_FALSE(QFile::exists(Path)) << "reading must not create the file";
}

TEST_F(SettingsTest, MissingOrEmptySeparator) {
    WriteIniWith("decimalSeparator", QString());
    EXPECT_THROW(TBIniSettings{Dir.path()}, TConversionError);
    EXPECT_EQ(DecimalSeparator(), QChar(u'e')); // the first character of "error"

    QString text = QString::fromUtf8(kFullIni);
    text.replace("decimalSeparator=,", "decimalSeparator=");
    text.replace("pixelToMM=0,001400", "pixelToMM=0.0014");
    text.replace("pixelToPaq=3,6", "pixelToPaq=3.6");
    WriteIni(text);
    const TBIniSettings s(Dir.path());
    EXPECT_EQ(s.GetDecimalSeparator(), QString());
    EXPECT_EQ(DecimalSeparator(), QChar(u'.'));
    EXPECT_DOUBLE_EQ(s.GetAverage(), 120.0);
    EXPECT_DOUBLE_EQ(s.GetPixelToMM(), 0.0014);
}

TEST_F(SettingsTest, SettersWriteTheirFormatsAndReadBack) {
    WriteIni(QString::fromUtf8(kFullIni));
    TBIniSettings s(Dir.path());

    s.SetMaxFrames(40);
    EXPECT_EQ(Line("maxFrames"), QStringLiteral("maxFrames=40"));
    EXPECT_EQ(s.GetMaxFrames(), 40);

    s.SetAverage(97.125);
    EXPECT_EQ(Line("average"), QStringLiteral("average=97,12"));
    EXPECT_DOUBLE_EQ(s.GetAverage(), 97.12);
    s.SetSD(12.0);
    EXPECT_EQ(Line("sd"), QStringLiteral("sd=12,00"));
    EXPECT_DOUBLE_EQ(s.GetVariance(), 144.0);
    s.SetTolerance(0.1);
    EXPECT_EQ(Line("tolerance"), QStringLiteral("tolerance=0,10"));
    EXPECT_DOUBLE_EQ(s.GetTolerance(), 0.1);

    s.SetPixelToMM(0.0012345678);
    EXPECT_EQ(Line("pixelToMM"), QStringLiteral("pixelToMM=0,001235"));
    EXPECT_DOUBLE_EQ(s.GetPixelToMM(), 0.0014) << "the scale in use changes at the next start";
    EXPECT_DOUBLE_EQ(TBIniSettings(Dir.path()).GetPixelToMM(), 0.001235);

    s.SetBrightness(-3);
    s.SetContrast(200);
    s.SetGain("12");
    s.SetMainCamChannel(2);
    s.SetAuxCamChannel(255);
    s.SetClinicName("Clínica São João");
    EXPECT_EQ(s.GetBrightness(), -3);
    EXPECT_EQ(s.GetContrast(), 200);
    EXPECT_EQ(s.GetGain(), QStringLiteral("12"));
    EXPECT_EQ(s.GetMainCamChannel(), 2);
    EXPECT_EQ(s.GetAuxCamChannel(), 255);
    EXPECT_EQ(s.GetClinicName(), QStringLiteral("Clínica São João"));
    EXPECT_EQ(Line("NAME"), QStringLiteral("NAME=Clínica São João"));
}

TEST_F(SettingsTest, SetterOfAFullStopInstallation) {
    QString text = QString::fromUtf8(kFullIni);
    text.replace("decimalSeparator=,", "decimalSeparator=.");
    text.replace("pixelToMM=0,001400", "pixelToMM=0.0014");
    text.replace("pixelToPaq=3,6", "pixelToPaq=3.6");
    WriteIni(text);
    const TBIniSettings s(Dir.path());
    s.SetPixelToMM(0.0012345678);
    EXPECT_EQ(Line("pixelToMM"), QStringLiteral("pixelToMM=0.001235"));
}

TEST_F(SettingsTest, UnkeptKeysAreReadAtEachCall) {
    WriteIni(QString::fromUtf8(kFullIni));
    const TBIniSettings s(Dir.path());
    TIniFile(Path).Write("VIDEO", "brightness", "7");
    TIniFile(Path).Write("capture", "MAXFRAMES", "99");
    EXPECT_EQ(s.GetBrightness(), 7);
    EXPECT_EQ(s.GetMaxFrames(), 30) << "kept keys are read once";
}

TEST_F(SettingsTest, SettersCreateAMissingFile) {
    WriteIni(QString::fromUtf8(kFullIni));
    const TBIniSettings s(Dir.path());
    QFile::remove(Path);
    s.SetClinicPhone("123");
    EXPECT_EQ(s.GetClinicPhone(), QStringLiteral("123"));
}

TEST_F(SettingsTest, FrameLimitIsHeldInSixteenBits) {
    WriteIniWith("maxFrames", "65537");
    EXPECT_EQ(TBIniSettings(Dir.path()).GetMaxFrames(), 1);
}

TEST_F(SettingsTest, ValuePrimitivesByKind) {
    WriteIni(QString::fromUtf8(kFullIni) + "[EXTRA]\nflag=0\nnumber=x\n");
    const TBIniSettings s(Dir.path());
    EXPECT_EQ(s.ReadValue("Str", "Gain", "VIDEO"), QStringLiteral("AUTO"));
    EXPECT_EQ(s.ReadValue("Str", "nothing", "VIDEO"), QStringLiteral("error"));
    EXPECT_EQ(s.ReadValue("Int", "Contrast", "VIDEO"), QStringLiteral("64"));
    EXPECT_EQ(s.ReadValue("Int", "number", "EXTRA"), QStringLiteral("1"));
    EXPECT_EQ(s.ReadValue("Int", "nothing", "EXTRA"), QStringLiteral("1"));
    EXPECT_EQ(s.ReadValue("Bool", "flag", "EXTRA"), QStringLiteral("False"));
    EXPECT_EQ(s.ReadValue("Bool", "nothing", "EXTRA"), QStringLiteral("True"));
    s.WriteValue("Int", "42", "answer", "EXTRA");
    EXPECT_EQ(s.ReadValue("Int", "answer", "EXTRA"), QStringLiteral("42"));
    EXPECT_THROW(s.WriteValue("Int", "4x", "answer", "EXTRA"), TConversionError);
    s.WriteValue("Bool", "False", "flag", "EXTRA");
    EXPECT_EQ(s.ReadValue("Str", "flag", "EXTRA"), QStringLiteral("0"));
}

TEST_F(SettingsTest, ShippedExampleLoads) {
    QFile::copy(ENDOMIRA_EXAMPLE_INI, Path);
    QFile::setPermissions(Path, QFile::ReadOwner | QFile::WriteOwner);
    const TBIniSettings s(Dir.path());
    EXPECT_GT(s.GetPixelToMM(), 0.001);
    EXPECT_LT(s.GetPixelToMM(), 0.002);
    EXPECT_GT(s.GetMaxFrames(), 0);
    EXPECT_GE(s.GetFIRlen(), 1);
    EXPECT_NE(s.GetClinicName(), QStringLiteral("error"));
    EXPECT_GE(s.GetMainCamChannel(), 0);
    EXPECT_GE(s.GetAuxCamChannel(), 0);
    EXPECT_NE(s.GetGain(), QStringLiteral("error"));
    EXPECT_NO_THROW(s.GetBrightness());
    EXPECT_NO_THROW(s.GetContrast());
}
