#include "DisplaySettings.h"

#include "UBIniSettings.h"

namespace endomira {

TContrastSettings ContrastSettingsOf(const TBIniSettings& settings) {
    TContrastSettings s;
    s.FIRlen = settings.GetFIRlen();
    s.MinBlack = settings.GetMinBlack();
    s.Alpha0 = settings.GetAlpha0();
    s.Beta0 = settings.GetBeta0();
    s.LargMin = settings.GetLargMin();
    s.Perc = settings.GetPerc();
    return s;
}

} // namespace endomira
