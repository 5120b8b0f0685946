#include "UBVideoGrabber_Espec_L.h"

#include "Rounding.h"

namespace endomira {

TVGrabber_Espec_L::TVGrabber_Espec_L(QObject* Host, std::uint16_t Width, std::uint16_t Height,
                                     std::uint16_t Top, std::uint16_t Left, int ChannelNumber,
                                     int PreviewZoom, bool FlipHorizontal, bool FlipVertical,
                                     const TVideoEngineFactory& factory)
    : TVGrabber(Host, Width, Height, Top, Left, ChannelNumber, PreviewZoom, FlipHorizontal,
                FlipVertical, factory) {
    Engine_->OnPreviewStarted([this] { PreviewStarted(); });
    OpenChannel(ChannelNumber);
}

TVGrabber_Espec_L::~TVGrabber_Espec_L() {
    Engine_->OnPreviewStarted(nullptr);
    Engine_->Stop();
}

std::array<TShapeOverlay, 5> TVGrabber_Espec_L::Reticle(int width, int height) {
    const double cx = width / 2.0;
    const double cy = height / 2.0;
    const auto at = [](double v) { return static_cast<int>(RoundHalfEven(v)); };
    const QColor green(0, 255, 0); // colour 65280
    using K = TShapeOverlay::TKind;
    // The ticks are 20 pixels long and leave a gap of 10 pixels to the ring of radius 20.
    return {{
        {K::Circle, QRect(at(cx - 20), at(cy - 20), 40, 40), green},
        {K::Rectangle, QRect(at(cx), at(cy - 50), 1, 20), green},
        {K::Rectangle, QRect(at(cx), at(cy + 30), 1, 20), green},
        {K::Rectangle, QRect(at(cx - 50), at(cy), 20, 1), green},
        {K::Rectangle, QRect(at(cx + 30), at(cy), 20, 1), green},
    }};
}

void TVGrabber_Espec_L::PreviewStarted() {
    // A channel opened again keeps the one reticle it has.
    if (ReticleAdded_) {
        return;
    }
    ReticleAdded_ = true;
    for (const auto& shape : Reticle(Width_, Height_)) {
        Engine_->AddShapeOverlay(shape);
    }
}

} // namespace endomira
