#pragma once

#include "UBVideoGrabber.h"

#include <QImage>
#include <mutex>

namespace endomira {

// The consumer's hold on the grabbed bitmap: while it lives, the engine's thread cannot replace
// or release the bitmap.
class TGrabbedBitmap {
public:
    TGrabbedBitmap(std::unique_lock<std::mutex> lock, const QImage& image)
        : Lock_(std::move(lock)), Image_(&image) {}
    const QImage& Image() const { return *Image_; }
    const QImage* operator->() const { return Image_; }

private:
    std::unique_lock<std::mutex> Lock_;
    const QImage* Image_;
};

// The main camera's channel (640 x 480): grabs a frame on request, or every frame while
// continuous, and hands it to the frame capture and to calibration.
//
// Frames arrive on the engine's thread; the consumer reads on the user-interface thread. The
// flags and the swap of `Grabbed` are done under one lock that the consumer also takes while
// it reads the bitmap (GrabbedBitmap or CopyGrabbed).
class TVGrabber_Espec_C final : public TVGrabber {
public:
    TVGrabber_Espec_C(QObject* Host, std::uint16_t Width, std::uint16_t Height, std::uint16_t Top,
                      std::uint16_t Left, int ChannelNumber, int PreviewZoom, bool FlipHorizontal,
                      bool FlipVertical, const TVideoEngineFactory& factory = {});
    ~TVGrabber_Espec_C() override;

    // Continuous grabs every arriving frame; otherwise the next frame is grabbed once. A request
    // while the camera delivers no frames cannot be met: it leaves no capture pending.
    void RequestCapture(bool continuous);
    void SetContinuous(bool value);
    bool IsContinuous() const;
    void SetCapturePending(bool value);
    bool IsCapturePending() const;
    void SetFrameReady(bool value);
    bool IsFrameReady() const;

    // The grabbed bitmap, held under the hand-over lock for as long as the result lives: keep
    // it short, copy what is needed and let it go before calling the channel again (the lock is
    // not recursive).
    TGrabbedBitmap GrabbedBitmap() const;
    // A copy of the grabbed bitmap that no later frame can touch.
    QImage CopyGrabbed() const;

protected:
    void PreviewStarted() override {}
    void FrameCaptureCompleted(const QString& /*text*/) override {}
    void FrameArrived(const TFrameInfo& info) override;

private:
    mutable std::mutex Lock_;
    bool FrameReady_ = false;
    bool CapturePending_ = false;
    bool Continuous_ = false;
    QImage Grabbed_;
};

} // namespace endomira
