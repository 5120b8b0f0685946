#pragma once

#include "CellOverlay.h"

namespace endomira {

class TBIniSettings;

// The contrast view's settings as the settings file keeps them (section IMAGEPROCESSING).
TContrastSettings ContrastSettingsOf(const TBIniSettings& settings);

} // namespace endomira
