#pragma once

#include "VideoSource.h"

#include <QImage>
#include <chrono>
#include <cstdint>
#include <mutex>
#include <vector>

namespace endomira {

// Every simulated frame carries dashes of magenta and green in its outer band, inside the
// 9-pixel margin that detection never reads, so that no simulated frame passes for a patient's.
inline constexpr int kSimulationMarkerWidth = 6;
void DrawSimulationMarker(QImage& frame);
// True when the whole outer band of an RGB888 frame is the marker's.
bool HasSimulationMarker(const QImage& frame);

// The picture settings of a simulated camera (brightness, contrast, gain).
struct TSimulatedPicture {
    int Brightness = 128; // 0..255, 128 leaves the picture as rendered
    int Contrast = 128;   // 0..255, 128 leaves the picture as rendered
    int Gain = 64;        // 0..255, 64 is unity
    bool AutoGain = true; // automatic gain keeps unity
};

// Live picture of a corneal endothelium as the instrument's main camera would see it: a mosaic
// of bright cell bodies with dark borders, about 15 pixels across (some 2600 cells/mm^2 at
// 0.0014 mm per pixel), under an uneven illumination. The mosaic is rendered once; each frame
// samples it with a slow drift, blurs it by the focus of the moment, adds sensor noise and
// applies the picture settings.
class TEndotheliumRenderer {
public:
    explicit TEndotheliumRenderer(int width = 640, int height = 480, std::uint32_t seed = 20240u);

    // The blur (Gaussian sigma, pixels) of the focus breathing at a moment: a cycle of 7 s that
    // is sharp for a little under two seconds of each cycle.
    static double DefocusAt(double seconds);
    static constexpr double kFocusPeriod = 7.0;
    static constexpr double kMaxDefocus = 3.2;

    // The frame at a moment of the live stream.
    QImage Render(double seconds, const TSimulatedPicture& picture) const;
    // A frame with a given drift (pixels) and blur, for tests and the live stream alike.
    QImage RenderFrame(double dx, double dy, double sigma, const TSimulatedPicture& picture,
                       std::uint32_t noiseSeed) const;

    int Width() const { return Width_; }
    int Height() const { return Height_; }

private:
    int Width_;
    int Height_;
    int Margin_;
    int TexWidth_;
    int TexHeight_;
    std::vector<float> Texture_;      // the mosaic, grey levels
    std::vector<float> Illumination_; // per frame pixel, the optics' uneven lighting
    std::vector<float> Noise_;        // a long run of sensor noise sampled at random offsets
};

// The auxiliary camera's view of an eye (sclera, iris, pupil and the light's reflections),
// drifting a little as an eye does.
class TEyeRenderer {
public:
    TEyeRenderer(int width, int height);
    QImage Render(double seconds, const TSimulatedPicture& picture) const;

private:
    int Width_;
    int Height_;
    int Margin_;
    QImage Base_;
};

// A simulated device: paces frames at about 30 per second and offers brightness, contrast and
// gain, which change the picture.
class TSimulatedSource : public IVideoSource {
public:
    bool IsSimulated() const override { return true; }
    bool Open(int width, int height) override;
    void Close() override {}
    TRead Read(QImage& frame) override;
    TCameraSetting Setting(int index) const override;
    TSettingResult ApplySetting(int index, int value, int flags) override;

    TSimulatedPicture Picture() const;
    static constexpr double kFramesPerSecond = 30.0;

protected:
    virtual void Prepare(int width, int height) = 0;
    virtual QImage RenderAt(double seconds, const TSimulatedPicture& picture) = 0;

private:
    mutable std::mutex Lock_;
    TSimulatedPicture Picture_;
    // Set by Open; then the engine's thread only.
    int Width_ = 0;
    int Height_ = 0;
    bool Prepared_ = false;
    std::chrono::steady_clock::time_point Start_;
    std::chrono::steady_clock::time_point Next_;
};

class TSimulatedMainCamera final : public TSimulatedSource {
public:
    QString Name() const override { return QStringLiteral("Simulação: câmera principal"); }

protected:
    void Prepare(int width, int height) override;
    QImage RenderAt(double seconds, const TSimulatedPicture& picture) override;

private:
    std::shared_ptr<const TEndotheliumRenderer> Renderer_;
};

class TSimulatedAuxCamera final : public TSimulatedSource {
public:
    QString Name() const override { return QStringLiteral("Simulação: câmera auxiliar"); }

protected:
    void Prepare(int width, int height) override;
    QImage RenderAt(double seconds, const TSimulatedPicture& picture) override;

private:
    std::unique_ptr<TEyeRenderer> Renderer_;
};

} // namespace endomira
