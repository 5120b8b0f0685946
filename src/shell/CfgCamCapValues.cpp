#include "CfgCamCapValues.h"

#include "ConversionError.h"
#include "RealText.h"
#include "UBIniSettings.h"

#include <cstdint>
#include <stdexcept>

namespace endomira {

namespace {

QString ChannelText(const TBIniSettings& settings, int (TBIniSettings::*get)() const,
                    const QString& key) {
    try {
        return QString::number(static_cast<std::uint8_t>((settings.*get)()));
    } catch (const TConversionError&) {
        return settings.ReadValue(QStringLiteral("Str"), key, QStringLiteral("CAMERA"));
    }
}

} // namespace

TCfgTexts StoredCfgTexts(const TBIniSettings& settings) {
    TCfgTexts t;
    t[TCfgField::MainCam] =
        ChannelText(settings, &TBIniSettings::GetMainCamChannel, QStringLiteral("mainCamChannel"));
    t[TCfgField::AuxCam] =
        ChannelText(settings, &TBIniSettings::GetAuxCamChannel, QStringLiteral("auxCamChannel"));
    t[TCfgField::Average] = FormatReal(settings.GetAverage(), u"0.00");
    t[TCfgField::SD] = FormatReal(settings.GetSD(), u"0.00");
    t[TCfgField::Tolerance] = FormatReal(settings.GetTolerance(), u"0.00");
    t[TCfgField::MaxCaptures] = QString::number(settings.GetMaxFrames());
    t[TCfgField::ClinicName] = settings.GetClinicName();
    t[TCfgField::ClinicAddress] = settings.GetClinicAddress();
    t[TCfgField::ClinicPhone] = settings.GetClinicPhone();
    return t;
}

bool HasChanges(const TCfgTexts& edits, const TCfgTexts& stored) {
    for (int i = 0; i < kCfgFieldCount; ++i) {
        const auto field = static_cast<TCfgField>(i);
        if (edits[field] == stored[field]) {
            continue;
        }
        if (field == TCfgField::MaxCaptures) {
            const auto value = TryTextToInt(edits[field]);
            if (value && *value > kMaxCapturesLimit) {
                continue;
            }
        }
        return true;
    }
    return false;
}

TCfgButtons ButtonsAfterChange(TCfgField changed, const TCfgTexts& edits, const TCfgTexts& stored,
                               TCfgButtons current) {
    if (changed == TCfgField::MaxCaptures && !TryTextToInt(edits[changed])) {
        return current;
    }
    const bool pending = HasChanges(edits, stored);
    return TCfgButtons{pending, !pending};
}

std::optional<TCfgSaveFailure> SaveCfgTexts(const TCfgTexts& edits, TBIniSettings& settings) {
    TCfgField field = TCfgField::MainCam;
    try {
        settings.SetMainCamChannel(static_cast<std::uint8_t>(TextToInt(edits[field])));
        field = TCfgField::AuxCam;
        settings.SetAuxCamChannel(static_cast<std::uint8_t>(TextToInt(edits[field])));
        field = TCfgField::Average;
        settings.SetAverage(TextToReal(edits[field]));
        field = TCfgField::SD;
        settings.SetSD(TextToReal(edits[field]));
        field = TCfgField::Tolerance;
        settings.SetTolerance(TextToReal(edits[field]));
        field = TCfgField::MaxCaptures;
        settings.SetMaxFrames(static_cast<std::uint16_t>(TextToInt(edits[field])));
        field = TCfgField::ClinicName;
        settings.SetClinicName(edits[field]);
        field = TCfgField::ClinicAddress;
        settings.SetClinicAddress(edits[field]);
        field = TCfgField::ClinicPhone;
        settings.SetClinicPhone(edits[field]);
    } catch (const TConversionError& error) {
        return TCfgSaveFailure{field, error.Message()};
    } catch (const std::runtime_error& error) {
        // The settings file could not be written (a read-only file or folder).
        return TCfgSaveFailure{field,
                               QStringLiteral("Não foi possível gravar as configurações.\r%1")
                                   .arg(QString::fromStdString(error.what()))};
    }
    return std::nullopt;
}

} // namespace endomira
