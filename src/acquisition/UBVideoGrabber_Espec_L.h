#pragma once

#include "UBVideoGrabber.h"

#include <array>

namespace endomira {

// The auxiliary camera's channel (320 x 240): shows the eye with a green centring reticle.
class TVGrabber_Espec_L final : public TVGrabber {
public:
    TVGrabber_Espec_L(QObject* Host, std::uint16_t Width, std::uint16_t Height, std::uint16_t Top,
                      std::uint16_t Left, int ChannelNumber, int PreviewZoom, bool FlipHorizontal,
                      bool FlipVertical, const TVideoEngineFactory& factory = {});
    ~TVGrabber_Espec_L() override;

    // The ring and the four ticks for a video of that size, in the order ring, upper, lower,
    // left and right tick.
    static std::array<TShapeOverlay, 5> Reticle(int width, int height);

protected:
    void PreviewStarted() override;
    // This channel never grabs: the two frame events are never bound.
    void FrameCaptureCompleted(const QString& /*text*/) override {}
    void FrameArrived(const TFrameInfo& /*info*/) override {}

private:
    bool ReticleAdded_ = false;
};

} // namespace endomira
