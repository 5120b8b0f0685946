#include "UBIniSettings.h"

#include "ConversionError.h"
#include "IniFile.h"
#include "RealText.h"

#include <QDir>
#include <stdexcept>

namespace endomira {

namespace {

const QString kMissing = QStringLiteral("error");

const QString kSystem = QStringLiteral("SYSTEM");
const QString kVideo = QStringLiteral("VIDEO");
const QString kClinic = QStringLiteral("CLINIC_DATA");
const QString kCapture = QStringLiteral("CAPTURE");
const QString kAutoCapture = QStringLiteral("AUTOCAPTURE");
const QString kImageProcessing = QStringLiteral("IMAGEPROCESSING");
const QString kMetrics = QStringLiteral("METRICS");
const QString kCamera = QStringLiteral("CAMERA");

std::unique_ptr<TBIniSettings> gSettings;

// "True"/"False" or a number (0 is false), as a Boolean setting is typed.
std::optional<bool> TextToBool(const QString& text) {
    const QString t = text.trimmed();
    if (t.compare(QStringLiteral("true"), Qt::CaseInsensitive) == 0) {
        return true;
    }
    if (t.compare(QStringLiteral("false"), Qt::CaseInsensitive) == 0) {
        return false;
    }
    if (const auto number = TryTextToInt(t)) {
        return *number != 0;
    }
    return std::nullopt;
}

} // namespace

TBIniSettings::TBIniSettings(const QString& folder) {
    IniPath_ = QDir(folder).filePath(QStringLiteral("endomira.ini"));
    Load();
}

void TBIniSettings::Load() {
    DecimalSeparatorText_ = ReadStr(QStringLiteral("decimalSeparator"), kSystem);
    // An empty value has no first character; the full stop keeps every real readable that is
    // written with one, and NormalizeDecimal still accepts a comma for the normalised keys.
    SetDecimalSeparator(DecimalSeparatorText_.isEmpty() ? QChar(u'.')
                                                        : DecimalSeparatorText_.front());
    Average_ = ReadNormalizedReal(QStringLiteral("average"), kAutoCapture);
    SD_ = ReadNormalizedReal(QStringLiteral("sd"), kAutoCapture);
    Tolerance_ = ReadNormalizedReal(QStringLiteral("tolerance"), kAutoCapture);
    // Held as 16 bits, as the capture limit always was.
    MaxFrames_ =
        static_cast<std::uint16_t>(ReadNormalizedInt(QStringLiteral("maxFrames"), kCapture));
    FIRlen_ = ReadNormalizedInt(QStringLiteral("FIRlen"), kImageProcessing);
    MinBlack_ = ReadNormalizedInt(QStringLiteral("minBlack"), kImageProcessing);
    Alpha0_ = ReadNormalizedReal(QStringLiteral("alpha0"), kImageProcessing);
    Beta0_ = ReadNormalizedReal(QStringLiteral("beta0"), kImageProcessing);
    LargMin_ = ReadNormalizedReal(QStringLiteral("largMin"), kImageProcessing);
    Perc_ = ReadNormalizedReal(QStringLiteral("perc"), kImageProcessing);
    PixelToMM_ = ReadReal(QStringLiteral("pixelToMM"), kMetrics);
    PixelToPaq_ = ReadReal(QStringLiteral("pixelToPaq"), kMetrics);
    CaptureType_ = ReadStr(QStringLiteral("TYPE"), kCapture);
}

QString TBIniSettings::ReadValue(const QString& kind, const QString& key,
                                 const QString& section) const {
    const TIniFile file(IniPath_);
    if (kind == QStringLiteral("Int")) {
        const auto text = file.Read(section, key);
        const auto number = text ? TryTextToInt(*text) : std::nullopt;
        return QString::number(number.value_or(1));
    }
    if (kind == QStringLiteral("Bool")) {
        const auto text = file.Read(section, key);
        const auto flag = text ? TextToBool(*text) : std::nullopt;
        return flag.value_or(true) ? QStringLiteral("True") : QStringLiteral("False");
    }
    if (kind == QStringLiteral("Str")) {
        return file.ReadString(section, key, kMissing);
    }
    throw std::invalid_argument("ReadValue: unknown kind " + kind.toStdString());
}

void TBIniSettings::WriteValue(const QString& kind, const QString& value, const QString& key,
                               const QString& section) const {
    const TIniFile file(IniPath_);
    if (kind == QStringLiteral("Int")) {
        const auto number = TryTextToInt(value);
        if (!number) {
            throw TConversionError(value, TNumberKind::Integer, section, key);
        }
        file.Write(section, key, QString::number(*number));
    } else if (kind == QStringLiteral("Bool")) {
        const auto flag = TextToBool(value);
        if (!flag) {
            throw TConversionError(value, TNumberKind::Integer, section, key);
        }
        file.Write(section, key, *flag ? QStringLiteral("1") : QStringLiteral("0"));
    } else if (kind == QStringLiteral("Str")) {
        file.Write(section, key, value);
    } else {
        throw std::invalid_argument("WriteValue: unknown kind " + kind.toStdString());
    }
}

QString TBIniSettings::NormalizeDecimal(const QString& text) {
    const QChar separator = DecimalSeparator();
    if (text.contains(separator)) {
        return text;
    }
    QString result = text;
    const QChar from = separator != QLatin1Char(',') ? QChar(u',') : QChar(u'.');
    const qsizetype at = result.indexOf(from);
    if (at >= 0) {
        result[at] = separator;
    }
    return result;
}

QString TBIniSettings::ReadStr(const QString& key, const QString& section) const {
    return ReadValue(QStringLiteral("Str"), key, section);
}

void TBIniSettings::WriteStr(const QString& value, const QString& key,
                             const QString& section) const {
    WriteValue(QStringLiteral("Str"), value, key, section);
}

double TBIniSettings::ReadNormalizedReal(const QString& key, const QString& section) const {
    const QString text = ReadStr(key, section);
    if (const auto value = TryTextToReal(NormalizeDecimal(text))) {
        return *value;
    }
    throw TConversionError(text, TNumberKind::Real, section, key);
}

int TBIniSettings::ReadNormalizedInt(const QString& key, const QString& section) const {
    const QString text = ReadStr(key, section);
    if (const auto value = TryTextToInt(NormalizeDecimal(text))) {
        return *value;
    }
    throw TConversionError(text, TNumberKind::Integer, section, key);
}

double TBIniSettings::ReadReal(const QString& key, const QString& section) const {
    const QString text = ReadStr(key, section);
    if (const auto value = TryTextToReal(text)) {
        return *value;
    }
    throw TConversionError(text, TNumberKind::Real, section, key);
}

int TBIniSettings::ReadInt(const QString& key, const QString& section) const {
    const QString text = ReadStr(key, section);
    if (const auto value = TryTextToInt(text)) {
        return *value;
    }
    throw TConversionError(text, TNumberKind::Integer, section, key);
}

int TBIniSettings::GetBrightness() const {
    return ReadInt(QStringLiteral("Brightness"), kVideo);
}

int TBIniSettings::GetContrast() const {
    return ReadInt(QStringLiteral("Contrast"), kVideo);
}

QString TBIniSettings::GetGain() const {
    return ReadStr(QStringLiteral("Gain"), kVideo);
}

QString TBIniSettings::GetClinicName() const {
    return ReadStr(QStringLiteral("NAME"), kClinic);
}

QString TBIniSettings::GetClinicAddress() const {
    return ReadStr(QStringLiteral("ADDRESS"), kClinic);
}

QString TBIniSettings::GetClinicPhone() const {
    return ReadStr(QStringLiteral("PHONE"), kClinic);
}

int TBIniSettings::GetMainCamChannel() const {
    return ReadInt(QStringLiteral("mainCamChannel"), kCamera);
}

int TBIniSettings::GetAuxCamChannel() const {
    return ReadInt(QStringLiteral("auxCamChannel"), kCamera);
}

void TBIniSettings::SetBrightness(int value) const {
    WriteStr(QString::number(value), QStringLiteral("Brightness"), kVideo);
}

void TBIniSettings::SetContrast(int value) const {
    WriteStr(QString::number(value), QStringLiteral("Contrast"), kVideo);
}

void TBIniSettings::SetGain(const QString& value) const {
    WriteStr(value, QStringLiteral("Gain"), kVideo);
}

void TBIniSettings::SetClinicName(const QString& value) const {
    WriteStr(value, QStringLiteral("NAME"), kClinic);
}

void TBIniSettings::SetClinicAddress(const QString& value) const {
    WriteStr(value, QStringLiteral("ADDRESS"), kClinic);
}

void TBIniSettings::SetClinicPhone(const QString& value) const {
    WriteStr(value, QStringLiteral("PHONE"), kClinic);
}

void TBIniSettings::SetMainCamChannel(std::uint8_t value) const {
    WriteStr(QString::number(value), QStringLiteral("mainCamChannel"), kCamera);
}

void TBIniSettings::SetAuxCamChannel(std::uint8_t value) const {
    WriteStr(QString::number(value), QStringLiteral("auxCamChannel"), kCamera);
}

void TBIniSettings::SetAverage(double value) {
    WriteStr(FormatReal(value, u"0.00"), QStringLiteral("average"), kAutoCapture);
    Average_ = ReadNormalizedReal(QStringLiteral("average"), kAutoCapture);
}

void TBIniSettings::SetSD(double value) {
    WriteStr(FormatReal(value, u"0.00"), QStringLiteral("sd"), kAutoCapture);
    SD_ = ReadNormalizedReal(QStringLiteral("sd"), kAutoCapture);
}

void TBIniSettings::SetTolerance(double value) {
    WriteStr(FormatReal(value, u"0.00"), QStringLiteral("tolerance"), kAutoCapture);
    Tolerance_ = ReadNormalizedReal(QStringLiteral("tolerance"), kAutoCapture);
}

void TBIniSettings::SetMaxFrames(std::uint16_t value) {
    WriteStr(QString::number(value), QStringLiteral("maxFrames"), kCapture);
    MaxFrames_ =
        static_cast<std::uint16_t>(ReadNormalizedInt(QStringLiteral("maxFrames"), kCapture));
}

void TBIniSettings::SetPixelToMM(double value) const {
    WriteStr(FormatReal(value, u"0.000000"), QStringLiteral("pixelToMM"), kMetrics);
}

TBIniSettings* ProgramSettings() {
    return gSettings.get();
}

void SetProgramSettings(std::unique_ptr<TBIniSettings> settings) {
    gSettings = std::move(settings);
}

} // namespace endomira
