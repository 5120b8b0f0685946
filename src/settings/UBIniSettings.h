#pragma once

#include <QString>
#include <cstdint>
#include <memory>

namespace endomira {

// The program's only access to its settings file "endomira.ini" in the program's folder. The
// keys marked as kept are read once by Load; every other key is read from the file at each call,
// so that a value written by one window is seen by the next reader.
//
// Numeric keys that do not convert throw TConversionError naming the section, the key and the
// text; a missing key reads as the text "error".
class TBIniSettings {
public:
    // Loads from "<folder>/endomira.ini"; the program passes its own folder.
    explicit TBIniSettings(const QString& folder);

    void Load();

    // Kind "Str", "Int" or "Bool" (see the .cpp); every getter and setter uses "Str".
    QString ReadValue(const QString& kind, const QString& key, const QString& section) const;
    void WriteValue(const QString& kind, const QString& value, const QString& key,
                    const QString& section) const;

    // Replaces the first "," (or, with "," as separator, the first ".") by the separator,
    // unless the separator already occurs in the text.
    static QString NormalizeDecimal(const QString& text);

    QString GetIniPath() const { return IniPath_; }
    QString GetDecimalSeparator() const { return DecimalSeparatorText_; }

    // Read from the file at each call.
    int GetBrightness() const;
    int GetContrast() const;
    QString GetGain() const;
    QString GetClinicName() const;
    QString GetClinicAddress() const;
    QString GetClinicPhone() const;
    int GetMainCamChannel() const;
    int GetAuxCamChannel() const;

    // Kept in memory.
    QString GetCaptureType() const { return CaptureType_; }
    std::uint16_t GetMaxFrames() const { return MaxFrames_; }
    double GetAverage() const { return Average_; }
    double GetSD() const { return SD_; }
    double GetVariance() const { return SD_ * SD_; }
    double GetTolerance() const { return Tolerance_; }
    std::int32_t GetFIRlen() const { return FIRlen_; }
    std::int32_t GetMinBlack() const { return MinBlack_; }
    double GetAlpha0() const { return Alpha0_; }
    double GetBeta0() const { return Beta0_; }
    double GetLargMin() const { return LargMin_; }
    double GetPerc() const { return Perc_; }
    double GetPixelToMM() const { return PixelToMM_; }
    double GetPixelToPaq() const { return PixelToPaq_; }

    void SetBrightness(int value) const;
    void SetContrast(int value) const;
    void SetGain(const QString& value) const;
    void SetClinicName(const QString& value) const;
    void SetClinicAddress(const QString& value) const;
    void SetClinicPhone(const QString& value) const;
    void SetMainCamChannel(std::uint8_t value) const;
    void SetAuxCamChannel(std::uint8_t value) const;
    // These four read their key back into the kept value.
    void SetAverage(double value);
    void SetSD(double value);
    void SetTolerance(double value);
    void SetMaxFrames(std::uint16_t value);
    // Writes only: the scale in use stays the one loaded at start until the next start.
    void SetPixelToMM(double value) const;

private:
    QString ReadStr(const QString& key, const QString& section) const;
    void WriteStr(const QString& value, const QString& key, const QString& section) const;
    double ReadNormalizedReal(const QString& key, const QString& section) const;
    int ReadNormalizedInt(const QString& key, const QString& section) const;
    double ReadReal(const QString& key, const QString& section) const;
    int ReadInt(const QString& key, const QString& section) const;

    QString IniPath_;
    QString DecimalSeparatorText_;
    QString CaptureType_;
    double Average_ = 0.0;
    double SD_ = 0.0;
    double Tolerance_ = 0.0;
    double PixelToMM_ = 0.0;
    double PixelToPaq_ = 0.0;
    std::uint16_t MaxFrames_ = 0;
    std::int32_t FIRlen_ = 0;
    std::int32_t MinBlack_ = 0;
    double Alpha0_ = 0.0;
    double Beta0_ = 0.0;
    double LargMin_ = 0.0;
    double Perc_ = 0.0;
};

// The settings object of the run, created at start-up by the main window.
TBIniSettings* ProgramSettings();
void SetProgramSettings(std::unique_ptr<TBIniSettings> settings);

} // namespace endomira
