#pragma once

#include <QColor>
#include <QImage>
#include <QObject>
#include <QRect>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

namespace endomira {

// Camera settings are numbered as video processing-amplifier properties: 0 brightness,
// 1 contrast, 2 hue, 3 saturation, 4 sharpness, 5 gamma, 6 colour enable, 7 white balance,
// 8 backlight compensation, 9 gain. The program uses 0, 1 and 9.
inline constexpr int kSettingBrightness = 0;
inline constexpr int kSettingContrast = 1;
inline constexpr int kSettingGain = 9;
inline constexpr int kCameraSettingCount = 10;

inline constexpr int kSettingFlagAuto = 1;
inline constexpr int kSettingFlagManual = 2;

struct TCameraSetting {
    bool Available = false;
    int Value = 0;
    int Min = 0;
    int Max = 0;
    int Step = 0;
    int Default = 0;
    int Flags = 0; // kSettingFlagAuto or kSettingFlagManual
};

// What a change of a camera setting came to.
enum class TSettingResult {
    Applied,
    Ignored, // index outside 0..9 or a setting the device does not offer: nothing set
    Failed,  // the device refused the value
};

// How the preview shows a video whose size differs from its control's.
enum class TDisplayAspect { Box, NoResize, Stretch, PanScan };

struct TShapeOverlay {
    enum class TKind { Circle, Rectangle };
    TKind Kind = TKind::Rectangle;
    QRect Bounds; // video pixels; the outline is drawn inside, without fill
    QColor Pen = QColor(0, 255, 0);
};

struct TFrameInfo {
    quint64 FrameNumber = 0; // counted from 1 since the preview started
    qint64 TimestampMs = 0;  // since the preview started
};

// What the preview control shows, shared between the engine's thread (which writes the newest
// picture) and the user-interface thread (which paints it). Shared ownership keeps it valid for
// whichever side lets go last.
class TPreviewFeed {
public:
    void Publish(const QImage& image, bool simulated);
    // The newest picture when it is newer than `seen`; updates `seen`.
    bool TakeIfNewer(quint64& seen, QImage& image, bool& simulated) const;

private:
    mutable std::mutex Lock_;
    QImage Image_;
    bool Simulated_ = false;
    quint64 Sequence_ = 0;
};

// The preview control inside a host panel; created and used on the user-interface thread only.
class IPreviewSurface {
public:
    virtual ~IPreviewSurface() = default;
    virtual void Place(int left, int top, bool fillHost) = 0;
    virtual void SetZoom(int percent) = 0;
    virtual void SetDisplay(bool autoSize, TDisplayAspect aspect, int videoWidth,
                            int videoHeight) = 0;
    virtual void SetVisible(bool visible) = 0;
};

// Builds the preview control for a host. The window library installs the widget one; without it
// the engine runs without a visible preview (frames are still grabbed), as in the core tests.
using TPreviewSurfaceFactory =
    std::function<std::unique_ptr<IPreviewSurface>(QObject* host, std::shared_ptr<TPreviewFeed>)>;
void SetPreviewSurfaceFactory(TPreviewSurfaceFactory factory);
TPreviewSurfaceFactory PreviewSurfaceFactory();

// The video capture engine under a camera channel. Every operation is called on the
// user-interface thread; the frame events arrive on the engine's own thread.
class TVideoEngine {
public:
    using TPreviewStartedHandler = std::function<void()>;
    using TCaptureCompletedHandler = std::function<void(const QString&)>;
    using TFrameBitmapHandler = std::function<void(const TFrameInfo&)>;

    virtual ~TVideoEngine() = default;

    // Device names in index order: the cameras of the system, then the simulated devices.
    virtual QStringList VideoDevices() const = 0;
    // Frames are delivered exactly this size (the device's frames are scaled when it refuses it).
    virtual void SetVideoSize(int width, int height, bool useSize) = 0;
    virtual void PlacePreview(int left, int top, QObject* host, bool fillHost) = 0;
    virtual void SetPreviewZoom(int percent) = 0;
    virtual void SetFrameGrabberRGB() = 0;
    virtual void SetFlipVertical(bool flip) = 0;
    virtual void SetFlipHorizontal(bool flip) = 0;
    virtual void SetOverlaysKeepAspect(bool keep) = 0;
    virtual void SetDisplayAutoSize(bool autoSize) = 0;
    virtual void SetDisplayAspect(TDisplayAspect aspect) = 0;
    virtual void SelectDevice(int index) = 0;

    // A failure to open the device is logged and leaves the engine stopped without frames.
    virtual void StartPreview() = 0;
    virtual void Stop() = 0;
    virtual void PausePreview() = 0;
    virtual void ResumePreview() = 0;
    virtual void SetPreviewVisible(bool visible) = 0;
    // True while the selected device delivers frames.
    virtual bool IsStreaming() const = 0;

    virtual TCameraSetting GetCameraSetting(int index) const = 0;
    virtual TSettingResult SetCameraSetting(int index, int value, int flags) = 0;

    virtual void AddShapeOverlay(const TShapeOverlay& shape) = 0;
    virtual std::vector<TShapeOverlay> ShapeOverlays() const = 0;

    // The latest frame as a Width x Height RGB888 bitmap (null before the first frame).
    virtual QImage CopyLatestFrame() const = 0;

    // Binding a handler waits for a call in progress on the engine's thread to return, so that
    // after unbinding (nullptr) the handler's owner may go away.
    virtual void OnPreviewStarted(TPreviewStartedHandler handler) = 0;
    virtual void OnFrameCaptureCompleted(TCaptureCompletedHandler handler) = 0;
    virtual void OnFrameBitmap(TFrameBitmapHandler handler) = 0;
};

// The engine of the program: the V4L2 cameras followed by the simulated main and auxiliary
// cameras. `host` becomes the parent of its preview control.
std::unique_ptr<TVideoEngine> CreateVideoEngine(QObject* host);

} // namespace endomira
