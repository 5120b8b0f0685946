#include "CaptureEngine.h"

#include <QElapsedTimer>
#include <QPainter>
#include <QtGlobal>

namespace endomira {

namespace {

std::mutex gFactoryLock;
TPreviewSurfaceFactory gFactory;

} // namespace

void TPreviewFeed::Publish(const QImage& image, bool simulated) {
    std::lock_guard guard(Lock_);
    Image_ = image;
    Simulated_ = simulated;
    ++Sequence_;
}

bool TPreviewFeed::TakeIfNewer(quint64& seen, QImage& image, bool& simulated) const {
    std::lock_guard guard(Lock_);
    if (Sequence_ == seen) {
        return false;
    }
    seen = Sequence_;
    image = Image_;
    simulated = Simulated_;
    return true;
}

void SetPreviewSurfaceFactory(TPreviewSurfaceFactory factory) {
    std::lock_guard guard(gFactoryLock);
    gFactory = std::move(factory);
}

TPreviewSurfaceFactory PreviewSurfaceFactory() {
    std::lock_guard guard(gFactoryLock);
    return gFactory;
}

TCaptureEngine::TCaptureEngine(QObject* host, std::vector<TDevice> devices)
    : Devices_(std::move(devices)), Host_(host) {}

TCaptureEngine::~TCaptureEngine() {
    Stop();
}

QStringList TCaptureEngine::VideoDevices() const {
    QStringList names;
    for (const auto& device : Devices_) {
        names << device.Name;
    }
    return names;
}

void TCaptureEngine::SetVideoSize(int width, int height, bool useSize) {
    Width_ = std::max(1, width);
    Height_ = std::max(1, height);
    UseSize_ = useSize;
    ApplyDisplay();
}

void TCaptureEngine::PlacePreview(int left, int top, QObject* host, bool fillHost) {
    if (host != nullptr) {
        Host_ = host;
    }
    if (!Surface_ && Host_ != nullptr) {
        if (auto factory = PreviewSurfaceFactory()) {
            Surface_ = factory(Host_, Feed_);
            ApplyDisplay();
        }
    }
    if (Surface_) {
        Surface_->Place(left, top, fillHost);
    }
}

void TCaptureEngine::SetPreviewZoom(int percent) {
    if (Surface_) {
        Surface_->SetZoom(percent);
    }
}

void TCaptureEngine::SetDisplayAutoSize(bool autoSize) {
    AutoSize_ = autoSize;
    ApplyDisplay();
}

void TCaptureEngine::SetDisplayAspect(TDisplayAspect aspect) {
    Aspect_ = aspect;
    ApplyDisplay();
}

void TCaptureEngine::ApplyDisplay() {
    if (Surface_) {
        Surface_->SetDisplay(AutoSize_, Aspect_, Width_, Height_);
    }
}

void TCaptureEngine::SelectDevice(int index) {
    Stop();
    Source_.reset();
    DeviceIndex_ = index;
    if (index < 0 || index >= static_cast<int>(Devices_.size())) {
        qWarning("endomira: camera: there is no video device %d (%d devices)", index,
                 static_cast<int>(Devices_.size()));
        return;
    }
    Source_ = Devices_[static_cast<std::size_t>(index)].Make();
}

void TCaptureEngine::StartPreview() {
    Stop();
    if (!Source_) {
        qWarning("endomira: camera: no device selected, the preview does not start");
        return;
    }
    if (!Source_->Open(Width_, Height_)) {
        qWarning("endomira: camera: %s could not be opened", qUtf8Printable(Source_->Name()));
        return;
    }
    StopRequested_ = false;
    Streaming_ = true;
    FrameNumber_ = 0;
    Thread_ = std::thread([this] { Run(); });

    TPreviewStartedHandler started;
    {
        std::lock_guard guard(HandlerLock_);
        started = PreviewStarted_;
    }
    if (started) {
        started();
    }
}

void TCaptureEngine::Stop() {
    StopRequested_ = true;
    if (Thread_.get_id() == std::this_thread::get_id()) {
        return; // asked from a frame handler: the loop ends after this frame
    }
    if (Thread_.joinable()) {
        Thread_.join();
    }
    Streaming_ = false;
    if (Source_) {
        Source_->Close();
    }
}

void TCaptureEngine::SetPreviewVisible(bool visible) {
    if (Surface_) {
        Surface_->SetVisible(visible);
    }
}

TCameraSetting TCaptureEngine::GetCameraSetting(int index) const {
    if (!Source_ || index < 0 || index >= kCameraSettingCount) {
        return {};
    }
    return Source_->Setting(index);
}

TSettingResult TCaptureEngine::SetCameraSetting(int index, int value, int flags) {
    if (!Source_ || index < 0 || index >= kCameraSettingCount) {
        return TSettingResult::Ignored;
    }
    if (!Source_->Setting(index).Available) {
        return TSettingResult::Ignored;
    }
    return Source_->ApplySetting(index, value, flags);
}

void TCaptureEngine::AddShapeOverlay(const TShapeOverlay& shape) {
    std::lock_guard guard(OverlayLock_);
    Overlays_.push_back(shape);
}

std::vector<TShapeOverlay> TCaptureEngine::ShapeOverlays() const {
    std::lock_guard guard(OverlayLock_);
    return Overlays_;
}

QImage TCaptureEngine::CopyLatestFrame() const {
    // Frames are never changed after they are published, so sharing the pixels is a safe copy.
    std::lock_guard guard(FrameLock_);
    return Latest_;
}

void TCaptureEngine::OnPreviewStarted(TPreviewStartedHandler handler) {
    std::lock_guard guard(HandlerLock_);
    PreviewStarted_ = std::move(handler);
}

void TCaptureEngine::OnFrameCaptureCompleted(TCaptureCompletedHandler handler) {
    std::lock_guard guard(HandlerLock_);
    CaptureCompleted_ = std::move(handler);
}

void TCaptureEngine::OnFrameBitmap(TFrameBitmapHandler handler) {
    std::lock_guard guard(HandlerLock_);
    FrameBitmap_ = std::move(handler);
}

void TCaptureEngine::Run() {
    while (!StopRequested_) {
        QImage frame;
        const auto result = Source_->Read(frame);
        if (result == IVideoSource::TRead::Failed) {
            qWarning("endomira: camera: %s stopped delivering frames",
                     qUtf8Printable(Source_->Name()));
            break;
        }
        if (result == IVideoSource::TRead::Frame && !frame.isNull()) {
            HandleFrame(std::move(frame));
        }
    }
    Streaming_ = false;
}

void TCaptureEngine::HandleFrame(QImage frame) {
    if (FrameNumber_ == 0) {
        Clock_.start();
    }
    if (frame.format() != QImage::Format_RGB888) {
        frame = frame.convertToFormat(QImage::Format_RGB888);
    }
    if (UseSize_ && frame.size() != QSize(Width_, Height_)) {
        frame = frame.scaled(Width_, Height_, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    const bool flipH = FlipHorizontal_;
    const bool flipV = FlipVertical_;
    if (flipH || flipV) {
        frame = frame.mirrored(flipH, flipV);
    }
    {
        std::lock_guard guard(FrameLock_);
        Latest_ = frame;
    }

    if (!PreviewPaused_) {
        const auto overlays = ShapeOverlays();
        if (overlays.empty()) {
            Feed_->Publish(frame, Source_->IsSimulated());
        } else {
            // Shapes are drawn in video pixels, so they keep the video's proportions however the
            // preview is scaled; the grabbed frames stay free of them.
            QImage shown = frame.copy();
            QPainter painter(&shown);
            for (const auto& shape : overlays) {
                painter.setPen(QPen(shape.Pen, 1));
                painter.setBrush(Qt::NoBrush);
                const QRect& b = shape.Bounds;
                if (shape.Kind == TShapeOverlay::TKind::Circle) {
                    painter.drawEllipse(QRect(b.x(), b.y(), b.width() - 1, b.height() - 1));
                } else if (b.width() <= 1 || b.height() <= 1) {
                    painter.fillRect(b, shape.Pen); // a tick one pixel thick
                } else {
                    painter.drawRect(QRect(b.x(), b.y(), b.width() - 1, b.height() - 1));
                }
            }
            painter.end();
            Feed_->Publish(shown, Source_->IsSimulated());
        }
    }

    ++FrameNumber_;
    const TFrameInfo info{FrameNumber_, Clock_.elapsed()};
    std::lock_guard guard(HandlerLock_);
    if (FrameBitmap_) {
        FrameBitmap_(info);
    }
    if (CaptureCompleted_) {
        CaptureCompleted_(QStringLiteral("frame %1").arg(info.FrameNumber));
    }
}

} // namespace endomira
