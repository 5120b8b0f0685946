#include "UBVideoGrabber_Espec_C.h"

#include <exception>
#include <stdexcept>

namespace endomira {

TVGrabber_Espec_C::TVGrabber_Espec_C(QObject* Host, std::uint16_t Width, std::uint16_t Height,
                                     std::uint16_t Top, std::uint16_t Left, int ChannelNumber,
                                     int PreviewZoom, bool FlipHorizontal, bool FlipVertical,
                                     const TVideoEngineFactory& factory)
    : TVGrabber(Host, Width, Height, Top, Left, ChannelNumber, PreviewZoom, FlipHorizontal,
                FlipVertical, factory) {
    Engine_->OnPreviewStarted([this] { PreviewStarted(); });
    Engine_->OnFrameCaptureCompleted([this](const QString& text) { FrameCaptureCompleted(text); });
    Engine_->OnFrameBitmap([this](const TFrameInfo& info) { FrameArrived(info); });
    OpenChannel(ChannelNumber);
}

TVGrabber_Espec_C::~TVGrabber_Espec_C() {
    // Unbinding waits for a frame handler in progress, so none runs while this object goes.
    Engine_->OnFrameBitmap(nullptr);
    Engine_->OnFrameCaptureCompleted(nullptr);
    Engine_->OnPreviewStarted(nullptr);
    Engine_->Stop();
}

void TVGrabber_Espec_C::RequestCapture(bool continuous) {
    std::lock_guard guard(Lock_);
    try {
        Continuous_ = continuous;
        FrameReady_ = false;
        if (!continuous) {
            if (!Engine_->IsStreaming()) {
                throw std::runtime_error("the camera delivers no frames");
            }
            CapturePending_ = true;
        }
    } catch (const std::exception& error) {
        qWarning("endomira: camera: capture request not taken: %s", error.what());
        CapturePending_ = false;
    }
}

void TVGrabber_Espec_C::SetContinuous(bool value) {
    std::lock_guard guard(Lock_);
    Continuous_ = value;
}

bool TVGrabber_Espec_C::IsContinuous() const {
    std::lock_guard guard(Lock_);
    return Continuous_;
}

void TVGrabber_Espec_C::SetCapturePending(bool value) {
    std::lock_guard guard(Lock_);
    CapturePending_ = value;
}

bool TVGrabber_Espec_C::IsCapturePending() const {
    std::lock_guard guard(Lock_);
    return CapturePending_;
}

void TVGrabber_Espec_C::SetFrameReady(bool value) {
    std::lock_guard guard(Lock_);
    FrameReady_ = value;
}

bool TVGrabber_Espec_C::IsFrameReady() const {
    std::lock_guard guard(Lock_);
    return FrameReady_;
}

TGrabbedBitmap TVGrabber_Espec_C::GrabbedBitmap() const {
    return TGrabbedBitmap(std::unique_lock(Lock_), Grabbed_);
}

QImage TVGrabber_Espec_C::CopyGrabbed() const {
    std::lock_guard guard(Lock_);
    return Grabbed_.copy();
}

void TVGrabber_Espec_C::FrameArrived(const TFrameInfo& /*info*/) {
    try {
        {
            // Most frames are not wanted: leave before touching the bitmap.
            std::lock_guard guard(Lock_);
            if (!Continuous_ && !CapturePending_) {
                return;
            }
        }
        QImage latest = Engine_->CopyLatestFrame();
        if (latest.isNull()) {
            return;
        }
        std::lock_guard guard(Lock_);
        if (!Continuous_) {
            // The flags may have changed while the frame was copied.
            if (!CapturePending_) {
                return;
            }
            CapturePending_ = false;
        }
        Grabbed_ = std::move(latest);
        FrameReady_ = true;
    } catch (...) {
        // A failure with one frame must not stop the stream: the next frame is handled as usual.
    }
}

} // namespace endomira
