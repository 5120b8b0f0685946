#pragma once

#include "VideoEngine.h"
#include "VideoSource.h"

#include <QElapsedTimer>
#include <atomic>
#include <thread>

namespace endomira {

// The engine of the program: drives one device of its list on a thread of its own, mirrors and
// sizes every frame, keeps the latest one, draws the shape overlays over the preview and raises
// the frame events on that thread.
class TCaptureEngine final : public TVideoEngine {
public:
    struct TDevice {
        QString Name;
        std::function<std::unique_ptr<IVideoSource>()> Make;
    };

    TCaptureEngine(QObject* host, std::vector<TDevice> devices);
    ~TCaptureEngine() override;
    TCaptureEngine(const TCaptureEngine&) = delete;
    TCaptureEngine& operator=(const TCaptureEngine&) = delete;

    QStringList VideoDevices() const override;
    void SetVideoSize(int width, int height, bool useSize) override;
    void PlacePreview(int left, int top, QObject* host, bool fillHost) override;
    void SetPreviewZoom(int percent) override;
    void SetFrameGrabberRGB() override {}
    void SetFlipVertical(bool flip) override { FlipVertical_ = flip; }
    void SetFlipHorizontal(bool flip) override { FlipHorizontal_ = flip; }
    void SetOverlaysKeepAspect(bool keep) override { OverlaysKeepAspect_ = keep; }
    void SetDisplayAutoSize(bool autoSize) override;
    void SetDisplayAspect(TDisplayAspect aspect) override;
    void SelectDevice(int index) override;

    void StartPreview() override;
    void Stop() override;
    void PausePreview() override { PreviewPaused_ = true; }
    void ResumePreview() override { PreviewPaused_ = false; }
    void SetPreviewVisible(bool visible) override;
    bool IsStreaming() const override { return Streaming_; }

    TCameraSetting GetCameraSetting(int index) const override;
    TSettingResult SetCameraSetting(int index, int value, int flags) override;

    void AddShapeOverlay(const TShapeOverlay& shape) override;
    std::vector<TShapeOverlay> ShapeOverlays() const override;

    QImage CopyLatestFrame() const override;

    void OnPreviewStarted(TPreviewStartedHandler handler) override;
    void OnFrameCaptureCompleted(TCaptureCompletedHandler handler) override;
    void OnFrameBitmap(TFrameBitmapHandler handler) override;

    int SelectedDevice() const { return DeviceIndex_; }
    std::shared_ptr<TPreviewFeed> Feed() const { return Feed_; }

private:
    void Run();
    void HandleFrame(QImage frame);
    void ApplyDisplay();

    std::vector<TDevice> Devices_;
    QObject* Host_ = nullptr;
    std::shared_ptr<TPreviewFeed> Feed_ = std::make_shared<TPreviewFeed>();
    std::unique_ptr<IPreviewSurface> Surface_;

    int Width_ = 640;
    int Height_ = 480;
    bool UseSize_ = true;
    bool AutoSize_ = false;
    TDisplayAspect Aspect_ = TDisplayAspect::NoResize;
    int DeviceIndex_ = -1;
    std::unique_ptr<IVideoSource> Source_;

    std::atomic<bool> FlipVertical_{false};
    std::atomic<bool> FlipHorizontal_{false};
    std::atomic<bool> OverlaysKeepAspect_{true};
    std::atomic<bool> PreviewPaused_{false};
    std::atomic<bool> StopRequested_{false};
    std::atomic<bool> Streaming_{false};
    std::thread Thread_;
    quint64 FrameNumber_ = 0; // the engine's thread only, as the clock
    QElapsedTimer Clock_;

    mutable std::mutex FrameLock_;
    QImage Latest_;
    mutable std::mutex OverlayLock_;
    std::vector<TShapeOverlay> Overlays_;
    // Held while a handler runs on the engine's thread, and while one is replaced.
    std::mutex HandlerLock_;
    TPreviewStartedHandler PreviewStarted_;
    TCaptureCompletedHandler CaptureCompleted_;
    TFrameBitmapHandler FrameBitmap_;
};

} // namespace endomira
