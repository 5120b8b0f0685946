#pragma once

#include "VideoEngine.h"

#include <QString>
#include <QStringList>
#include <atomic>
#include <mutex>
#include <stdexcept>

namespace endomira::test {

// An engine that does what the test says: it logs every operation, delivers the frames it is
// given (on the calling thread, as the engine's thread would) and answers camera settings from
// a table.
class TScriptedEngine final : public TVideoEngine {
public:
    explicit TScriptedEngine(std::shared_ptr<bool> destroyed = nullptr)
        : Destroyed_(std::move(destroyed)) {}
    ~TScriptedEngine() override {
        if (Destroyed_) {
            *Destroyed_ = true;
        }
    }

    QStringList Log;
    std::array<TCameraSetting, kCameraSettingCount> Settings{};
    TSettingResult NextResult = TSettingResult::Applied;
    bool ThrowOnSetting = false;
    std::atomic<bool> Streaming{false};
    mutable std::atomic<int> ThrowOnCopies{0}; // the next copies of the latest frame fail
    struct TSettingCall {
        int Index, Value, Flags;
    };
    std::vector<TSettingCall> SettingCalls;
    std::vector<TShapeOverlay> Overlays;

    // A new frame from the device: becomes the latest and raises the frame event.
    void Deliver(const QImage& frame) {
        {
            std::lock_guard guard(FrameLock_);
            Latest_ = frame;
        }
        std::lock_guard guard(HandlerLock_);
        if (FrameBitmap_) {
            FrameBitmap_(TFrameInfo{++Frames_, 0});
        }
    }

    QStringList VideoDevices() const override { return {QStringLiteral("scripted")}; }
    void SetVideoSize(int w, int h, bool use) override {
        Log << QStringLiteral("VideoSize %1x%2 %3").arg(w).arg(h).arg(use);
    }
    void PlacePreview(int left, int top, QObject* host, bool fill) override {
        Log << QStringLiteral("PlacePreview %1,%2 host=%3 fill=%4")
                   .arg(left)
                   .arg(top)
                   .arg(host != nullptr)
                   .arg(fill);
    }
    void SetPreviewZoom(int percent) override { Log << QStringLiteral("Zoom %1").arg(percent); }
    void SetFrameGrabberRGB() override { Log << QStringLiteral("RGB"); }
    void SetFlipVertical(bool f) override { Log << QStringLiteral("FlipV %1").arg(f); }
    void SetFlipHorizontal(bool f) override { Log << QStringLiteral("FlipH %1").arg(f); }
    void SetOverlaysKeepAspect(bool k) override { Log << QStringLiteral("KeepAspect %1").arg(k); }
    void SetDisplayAutoSize(bool a) override { Log << QStringLiteral("AutoSize %1").arg(a); }
    void SetDisplayAspect(TDisplayAspect a) override {
        Log << QStringLiteral("Aspect %1").arg(static_cast<int>(a));
    }
    void SelectDevice(int index) override { Log << QStringLiteral("Device %1").arg(index); }
    void StartPreview() override {
        Log << QStringLiteral("Start");
        Streaming = true;
        if (PreviewStarted_) {
            PreviewStarted_();
        }
    }
    void Stop() override {
        Log << QStringLiteral("Stop");
        Streaming = false;
    }
    void PausePreview() override { Log << QStringLiteral("Pause"); }
    void ResumePreview() override { Log << QStringLiteral("Resume"); }
    void SetPreviewVisible(bool v) override { Log << QStringLiteral("Visible %1").arg(v); }
    bool IsStreaming() const override { return Streaming; }

    TCameraSetting GetCameraSetting(int index) const override {
        return index >= 0 && index < kCameraSettingCount ? Settings[static_cast<std::size_t>(index)]
                                                         : TCameraSetting{};
    }
    TSettingResult SetCameraSetting(int index, int value, int flags) override {
        SettingCalls.push_back({index, value, flags});
        if (ThrowOnSetting) {
            throw std::runtime_error("device error");
        }
        return NextResult;
    }

    void AddShapeOverlay(const TShapeOverlay& shape) override { Overlays.push_back(shape); }
    std::vector<TShapeOverlay> ShapeOverlays() const override { return Overlays; }

    QImage CopyLatestFrame() const override {
        if (ThrowOnCopies > 0) {
            --ThrowOnCopies;
            throw std::runtime_error("copy failed");
        }
        std::lock_guard guard(FrameLock_);
        return Latest_;
    }

    void OnPreviewStarted(TPreviewStartedHandler h) override { PreviewStarted_ = std::move(h); }
    void OnFrameCaptureCompleted(TCaptureCompletedHandler h) override {
        std::lock_guard guard(HandlerLock_);
        CaptureCompleted_ = std::move(h);
    }
    void OnFrameBitmap(TFrameBitmapHandler h) override {
        std::lock_guard guard(HandlerLock_);
        FrameBitmap_ = std::move(h);
    }

private:
    std::shared_ptr<bool> Destroyed_;
    mutable std::mutex FrameLock_;
    QImage Latest_;
    std::mutex HandlerLock_;
    quint64 Frames_ = 0;
    TPreviewStartedHandler PreviewStarted_;
    TCaptureCompletedHandler CaptureCompleted_;
    TFrameBitmapHandler FrameBitmap_;
};

} // namespace endomira::test
