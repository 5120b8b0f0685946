#pragma once

#include "VideoEngine.h"

#include <QImage>
#include <QString>

namespace endomira {

// One video device as the capture engine drives it. Open and Close are called while the device
// does not stream, Read on the engine's thread while it does; the settings may be called from the
// user-interface thread at any time, so every source guards them itself.
class IVideoSource {
public:
    enum class TRead { Frame, NoFrame, Failed };

    virtual ~IVideoSource() = default;
    virtual QString Name() const = 0;
    virtual bool IsSimulated() const = 0;
    // Prepares frames of about width x height; false (with a log line) when the device cannot.
    virtual bool Open(int width, int height) = 0;
    virtual void Close() = 0;
    // Waits a short while for the next frame. Failed means the device is gone or broken.
    virtual TRead Read(QImage& frame) = 0;
    virtual TCameraSetting Setting(int index) const = 0;
    virtual TSettingResult ApplySetting(int index, int value, int flags) = 0;
};

} // namespace endomira
