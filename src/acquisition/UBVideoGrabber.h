#pragma once

#include "VideoEngine.h"

#include <QObject>
#include <cstdint>
#include <functional>
#include <memory>

namespace endomira {

// Builds the engine of a channel for its host panel; the program's engine unless a test
// scripts one.
using TVideoEngineFactory = std::function<std::unique_ptr<TVideoEngine>(QObject* host)>;

// A camera channel: one engine instance showing one camera's live image inside a panel, with its
// device, flips, zoom and camera settings. The subclasses bind the engine's events and open the
// channel.
class TVGrabber {
public:
    TVGrabber(QObject* Host, std::uint16_t Width, std::uint16_t Height, std::uint16_t Top,
              std::uint16_t Left, int ChannelNumber, int PreviewZoom, bool FlipHorizontal,
              bool FlipVertical, const TVideoEngineFactory& factory = {});
    virtual ~TVGrabber();
    TVGrabber(const TVGrabber&) = delete;
    TVGrabber& operator=(const TVGrabber&) = delete;

    // Asks for RGB frames again, selects the device with that index and starts the preview. A
    // device that cannot be opened leaves the channel without frames and a log line.
    void OpenChannel(int ChannelNumber);
    void StopChannel();
    void PausePreview();
    void ResumePreview();
    void SetPreviewVisible(bool visible);

    bool IsSettingAvailable(int index) const;
    int GetBrightnessMin() const;
    int GetBrightnessMax() const;
    int GetBrightnessStep() const;
    int GetContrastMin() const;
    int GetContrastMax() const;
    int GetContrastStep() const;
    int GetGainMin() const;
    int GetGainMax() const;
    int GetGainStep() const;

    // Sets the camera setting whose index is the track bar's tag (0, 1 or 9). A value the device
    // refuses is reported to the operator; an index or setting the device does not offer is
    // ignored silently.
    void ApplyCameraSetting(int barTag, int value, bool automatic, bool useDefault);

    std::uint16_t Width() const { return Width_; }
    std::uint16_t Height() const { return Height_; }
    std::uint16_t Top() const { return Top_; }
    std::uint16_t Left() const { return Left_; }
    QObject* Host() const { return Host_; }
    TVideoEngine& Engine() const { return *Engine_; }

protected:
    // Bound to the engine's events by the subclasses that serve them.
    virtual void PreviewStarted() = 0;
    virtual void FrameCaptureCompleted(const QString& text) = 0;
    virtual void FrameArrived(const TFrameInfo& info) = 0;

    std::uint16_t Width_;
    std::uint16_t Height_;
    std::uint16_t Top_;
    std::uint16_t Left_;
    QObject* Host_;
    std::unique_ptr<TVideoEngine> Engine_;
};

} // namespace endomira
