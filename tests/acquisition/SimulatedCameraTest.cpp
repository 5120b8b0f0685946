#include "SimulatedCamera.h"
#include "CaptureEngine.h"
#include "UBFrameBuffer.h"
#include "UBIniSettings.h"
#include "V4L2Source.h"

#include <QDir>
#include <QPainter>
#include <gtest/gtest.h>
#include <mutex>
#include <thread>

using namespace endomira;

namespace {

// The reference of a good frame from the example settings of an installation.
struct Reference {
    double Average, SD, Tolerance;
};

Reference ExampleReference() {
    const TBIniSettings settings(QStringLiteral(ENDOMIRA_SOURCE_DIR "/config"));
    return {settings.GetAverage(), settings.GetSD(), settings.GetTolerance()};
}

struct TGrey {
    double Mean, SD;
};

// The automatic capture's own acceptance test of a live frame, with its statistics.
bool Accepted(const QImage& frame, const Reference& ref, TGrey* grey = nullptr) {
    TBFrameBuffer buffer;
    const bool accepted =
        buffer.BCheckFrameStatistics(frame, ref.Average, ref.SD, ref.SD * ref.SD, ref.Tolerance);
    if (grey != nullptr) {
        *grey = {buffer.GreyMean(), buffer.GreySD()};
    }
    return accepted;
}

TGrey GreyStatistics(const QImage& frame) {
    TGrey grey{};
    Accepted(frame, {1.0, 1.0, 0.0}, &grey);
    return grey;
}

const TEndotheliumRenderer& Mosaic() {
    static const TEndotheliumRenderer renderer;
    return renderer;
}

} // namespace

TEST(SimulatedMainCamera, FramesCarryTheMarkerAndTheirSize) {
    TSimulatedMainCamera camera;
    ASSERT_TRUE(camera.Open(640, 480));
    QImage frame;
    ASSERT_EQ(camera.Read(frame), IVideoSource::TRead::Frame);
    EXPECT_EQ(frame.size(), QSize(640, 480));
    EXPECT_EQ(frame.format(), QImage::Format_RGB888);
    EXPECT_TRUE(HasSimulationMarker(frame));
    // The marker stays inside the band that detection never reads.
    const QImage inner = frame.copy(9, 9, 640 - 18, 480 - 18);
    QImage probe(inner.width() + 2 * kSimulationMarkerWidth,
                 inner.height() + 2 * kSimulationMarkerWidth, QImage::Format_RGB888);
    probe.fill(Qt::gray);
    EXPECT_FALSE(HasSimulationMarker(probe));
    EXPECT_FALSE(HasSimulationMarker(Mosaic().RenderFrame(0, 0, 0, {}, 1).copy(3, 3, 600, 400)));
}

TEST(SimulatedMainCamera, SharpFramesPassTheGreyTestAndBlurredOnesDoNot) {
    const Reference ref = ExampleReference();
    const TSimulatedPicture neutral;
    // Across one focus cycle of the live stream, every third frame.
    int sharpPassed = 0;
    int sharp = 0;
    int blurredPassed = 0;
    int blurred = 0;
    for (int i = 0; i < 7 * 30; i += 3) {
        const double t = i / 30.0;
        const double sigma = TEndotheliumRenderer::DefocusAt(t);
        const bool passed = Accepted(Mosaic().Render(t, neutral), ref);
        if (sigma < 0.5) {
            ++sharp;
            sharpPassed += passed;
        } else if (sigma > 1.0) {
            ++blurred;
            blurredPassed += passed;
        }
    }
    EXPECT_GT(sharp, 10);
    EXPECT_EQ(sharpPassed, sharp);
    EXPECT_GT(blurred, 10);
    EXPECT_EQ(blurredPassed, 0);

    // Blur alone decides: the same drift and noise, in focus and out of it.
    TGrey inFocus{};
    TGrey outOfFocus{};
    EXPECT_TRUE(Accepted(Mosaic().RenderFrame(5, -3, 0.0, neutral, 9), ref, &inFocus));
    EXPECT_FALSE(Accepted(Mosaic().RenderFrame(5, -3, 2.5, neutral, 9), ref, &outOfFocus));
    EXPECT_LT(outOfFocus.SD, inFocus.SD);
    EXPECT_NEAR(outOfFocus.Mean, inFocus.Mean, 1.0); // blur keeps the brightness
}

TEST(SimulatedMainCamera, FocusBreathesAndTheMosaicDrifts) {
    EXPECT_DOUBLE_EQ(TEndotheliumRenderer::DefocusAt(0.0), 0.0);
    EXPECT_NEAR(TEndotheliumRenderer::DefocusAt(TEndotheliumRenderer::kFocusPeriod / 2),
                TEndotheliumRenderer::kMaxDefocus, 1e-9);
    const TSimulatedPicture neutral;
    const QImage a = Mosaic().RenderFrame(0, 0, 0, neutral, 1);
    const QImage b = Mosaic().RenderFrame(4, 0, 0, neutral, 1);
    // Shifted by four pixels, the picture is the same picture moved, not a new one.
    int same = 0;
    int total = 0;
    for (int y = 50; y < 400; y += 7) {
        for (int x = 50; x < 500; x += 7) {
            ++total;
            same += std::abs(qGray(a.pixel(x + 4, y)) - qGray(b.pixel(x, y))) <= 12;
        }
    }
    EXPECT_GT(same, total * 9 / 10);
    EXPECT_NE(a, b);
}

TEST(SimulatedCameras, SettingsChangeThePictureAndRefuseValuesOutOfRange) {
    TSimulatedMainCamera camera;
    camera.Open(640, 480);
    for (const int index : {kSettingBrightness, kSettingContrast, kSettingGain}) {
        const auto s = camera.Setting(index);
        EXPECT_TRUE(s.Available) << index;
        EXPECT_EQ(s.Min, 0);
        EXPECT_EQ(s.Max, 255);
        EXPECT_EQ(s.Step, 1);
    }
    EXPECT_FALSE(camera.Setting(2).Available);
    EXPECT_EQ(camera.ApplySetting(2, 5, kSettingFlagManual), TSettingResult::Ignored);
    EXPECT_EQ(camera.ApplySetting(kSettingBrightness, 300, kSettingFlagManual),
              TSettingResult::Failed);
    EXPECT_EQ(camera.ApplySetting(kSettingContrast, 5, kSettingFlagAuto), TSettingResult::Failed);

    const auto base = GreyStatistics(Mosaic().RenderFrame(0, 0, 0, camera.Picture(), 3));
    ASSERT_EQ(camera.ApplySetting(kSettingBrightness, 168, kSettingFlagManual),
              TSettingResult::Applied);
    const auto brighter = GreyStatistics(Mosaic().RenderFrame(0, 0, 0, camera.Picture(), 3));
    EXPECT_NEAR(brighter.Mean - base.Mean, 40.0, 4.0);
    ASSERT_EQ(camera.ApplySetting(kSettingBrightness, 128, kSettingFlagManual),
              TSettingResult::Applied);

    ASSERT_EQ(camera.ApplySetting(kSettingContrast, 64, kSettingFlagManual),
              TSettingResult::Applied);
    const auto flatter = GreyStatistics(Mosaic().RenderFrame(0, 0, 0, camera.Picture(), 3));
    EXPECT_LT(flatter.SD, base.SD * 0.6);
    ASSERT_EQ(camera.ApplySetting(kSettingContrast, 128, kSettingFlagManual),
              TSettingResult::Applied);

    // Manual gain of 96 is 1.5 times the signal; automatic gain goes back to unity.
    ASSERT_EQ(camera.ApplySetting(kSettingGain, 96, kSettingFlagManual), TSettingResult::Applied);
    EXPECT_EQ(camera.Setting(kSettingGain).Flags, kSettingFlagManual);
    const auto gained = GreyStatistics(Mosaic().RenderFrame(0, 0, 0, camera.Picture(), 3));
    EXPECT_GT(gained.Mean, base.Mean + 30.0);
    ASSERT_EQ(camera.ApplySetting(kSettingGain, 0, kSettingFlagAuto), TSettingResult::Applied);
    EXPECT_EQ(camera.Setting(kSettingGain).Flags, kSettingFlagAuto);
    EXPECT_EQ(GreyStatistics(Mosaic().RenderFrame(0, 0, 0, camera.Picture(), 3)).Mean, base.Mean);
}

TEST(SimulatedCameras, AuxiliaryCameraShowsAnEyeWithTheMarker) {
    TSimulatedAuxCamera camera;
    ASSERT_TRUE(camera.Open(320, 240));
    QImage frame;
    ASSERT_EQ(camera.Read(frame), IVideoSource::TRead::Frame);
    EXPECT_EQ(frame.size(), QSize(320, 240));
    EXPECT_TRUE(HasSimulationMarker(frame));
    // The pupil is dark in the middle, the sclera bright beside the iris.
    EXPECT_LT(qGray(frame.pixel(160, 120)), 40);
    EXPECT_GT(qGray(frame.pixel(70, 120)), 150);
}

TEST(SimulatedCameras, EngineListsThemAfterTheSystemCameras) {
    const auto engine = CreateVideoEngine(nullptr);
    const QStringList devices = engine->VideoDevices();
    const auto cameras = EnumerateV4L2Devices();
    ASSERT_EQ(devices.size(), static_cast<qsizetype>(cameras.size() + 2));
    EXPECT_EQ(devices[devices.size() - 2], QStringLiteral("Simulação: câmera principal"));
    EXPECT_EQ(devices.back(), QStringLiteral("Simulação: câmera auxiliar"));
}

// ---------------------------------------------------------------------------------------------
// The engine's own work, with a device whose frames are known.

namespace {

// A device delivering a fixed asymmetric picture (a bright top-left quarter) of its own size.
class TPatternSource final : public IVideoSource {
public:
    TPatternSource(QSize size, int failAfter = -1, bool openFails = false)
        : Size_(size), FailAfter_(failAfter), OpenFails_(openFails) {}
    QString Name() const override { return QStringLiteral("pattern"); }
    bool IsSimulated() const override { return false; }
    bool Open(int, int) override { return !OpenFails_; }
    void Close() override {}
    TRead Read(QImage& frame) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        if (FailAfter_ >= 0 && Delivered_ >= FailAfter_) {
            return TRead::Failed;
        }
        ++Delivered_;
        frame = QImage(Size_, QImage::Format_RGB888);
        frame.fill(Qt::black);
        QPainter(&frame).fillRect(0, 0, Size_.width() / 2, Size_.height() / 2, Qt::white);
        return TRead::Frame;
    }
    TCameraSetting Setting(int) const override { return {}; }
    TSettingResult ApplySetting(int, int, int) override { return TSettingResult::Ignored; }

private:
    QSize Size_;
    int FailAfter_;
    bool OpenFails_;
    int Delivered_ = 0;
};

struct LogCapture {
    static inline std::mutex Lock;
    static inline QStringList Lines;
    QtMessageHandler Previous;
    LogCapture() {
        std::lock_guard guard(Lock);
        Lines.clear();
        Previous =
            qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
                std::lock_guard guard(Lock);
                Lines << text;
            });
    }
    ~LogCapture() { qInstallMessageHandler(Previous); }
    bool Contains(const QString& part) const {
        std::lock_guard guard(Lock);
        return std::any_of(Lines.begin(), Lines.end(),
                           [&](const QString& l) { return l.contains(part); });
    }
};

std::unique_ptr<TCaptureEngine> EngineWith(std::function<std::unique_ptr<IVideoSource>()> make) {
    std::vector<TCaptureEngine::TDevice> devices;
    devices.push_back({QStringLiteral("pattern"), std::move(make)});
    return std::make_unique<TCaptureEngine>(nullptr, std::move(devices));
}

bool WaitFor(const std::function<bool()>& condition) {
    for (int i = 0; i < 500; ++i) {
        if (condition()) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

} // namespace

TEST(CaptureEngine, SizesAndMirrorsFramesAndKeepsOverlaysOffThem) {
    auto engine = EngineWith([] { return std::make_unique<TPatternSource>(QSize(320, 240)); });
    std::atomic<int> frames{0};
    engine->OnFrameBitmap([&](const TFrameInfo&) { ++frames; });
    engine->SetVideoSize(640, 480, true);
    engine->SetFlipHorizontal(true);
    engine->AddShapeOverlay({TShapeOverlay::TKind::Rectangle, QRect(10, 300, 20, 1), Qt::green});
    engine->SelectDevice(0);
    engine->StartPreview();
    ASSERT_TRUE(WaitFor([&] { return frames >= 3; }));
    const QImage frame = engine->CopyLatestFrame();
    ASSERT_EQ(frame.size(), QSize(640, 480));
    // Mirrored left to right: the bright quarter is now top-right.
    EXPECT_EQ(qGray(frame.pixel(600, 40)), 255);
    EXPECT_EQ(qGray(frame.pixel(40, 40)), 0);
    // The overlay is on the preview only.
    EXPECT_EQ(frame.pixel(15, 300) & 0xFFFFFF, 0u);
    quint64 seen = 0;
    QImage shown;
    bool simulated = true;
    ASSERT_TRUE(engine->Feed()->TakeIfNewer(seen, shown, simulated));
    EXPECT_FALSE(simulated);
    EXPECT_EQ(shown.pixel(15, 300) & 0xFFFFFF, 0x00FF00u);

    // A paused preview is not fed, while frames still arrive for grabbing.
    engine->PausePreview();
    std::this_thread::sleep_for(std::chrono::milliseconds(30)); // a frame in progress ends
    engine->Feed()->TakeIfNewer(seen, shown, simulated);
    const int before = frames;
    ASSERT_TRUE(WaitFor([&] { return frames >= before + 3; }));
    EXPECT_FALSE(engine->Feed()->TakeIfNewer(seen, shown, simulated));
    engine->Stop();
    EXPECT_FALSE(engine->IsStreaming());
}

TEST(CaptureEngine, DeviceFailuresAreLoggedAndLeaveNoFrames) {
    {
        LogCapture log;
        auto engine = EngineWith([] { return std::make_unique<TPatternSource>(QSize(64, 48)); });
        engine->SelectDevice(4);
        engine->StartPreview();
        EXPECT_FALSE(engine->IsStreaming());
        EXPECT_TRUE(log.Contains(QStringLiteral("there is no video device 4")));
    }
    {
        LogCapture log;
        auto engine =
            EngineWith([] { return std::make_unique<TPatternSource>(QSize(64, 48), -1, true); });
        engine->SelectDevice(0);
        engine->StartPreview();
        EXPECT_FALSE(engine->IsStreaming());
        EXPECT_TRUE(engine->CopyLatestFrame().isNull());
        EXPECT_TRUE(log.Contains(QStringLiteral("could not be opened")));
    }
    {
        // A device that goes away while streaming: the stream ends with a log line.
        LogCapture log;
        auto engine = EngineWith([] { return std::make_unique<TPatternSource>(QSize(64, 48), 2); });
        engine->SelectDevice(0);
        engine->StartPreview();
        ASSERT_TRUE(WaitFor([&] { return !engine->IsStreaming(); }));
        EXPECT_TRUE(log.Contains(QStringLiteral("stopped delivering frames")));
        EXPECT_FALSE(engine->CopyLatestFrame().isNull());
    }
    {
        // A V4L2 device path that does not exist.
        LogCapture log;
        TV4L2Source camera({QStringLiteral("/dev/video-missing"), QStringLiteral("none")});
        EXPECT_FALSE(camera.Open(640, 480));
        EXPECT_FALSE(camera.Setting(kSettingBrightness).Available);
        EXPECT_EQ(camera.ApplySetting(kSettingBrightness, 1, kSettingFlagManual),
                  TSettingResult::Ignored);
        EXPECT_TRUE(log.Contains(QStringLiteral("/dev/video-missing: cannot open")));
    }
}

TEST(CaptureEngine, StreamsTheSimulatedMainCamera) {
    auto engine = CreateVideoEngine(nullptr);
    const int index = engine->VideoDevices().indexOf(QStringLiteral("Simulação: câmera principal"));
    std::atomic<int> frames{0};
    engine->OnFrameBitmap([&](const TFrameInfo&) { ++frames; });
    engine->SetVideoSize(640, 480, true);
    engine->SelectDevice(index);
    engine->StartPreview();
    ASSERT_TRUE(engine->IsStreaming());
    ASSERT_TRUE(WaitFor([&] { return frames >= 2; }));
    const QImage frame = engine->CopyLatestFrame();
    EXPECT_EQ(frame.size(), QSize(640, 480));
    EXPECT_TRUE(HasSimulationMarker(frame));
    EXPECT_TRUE(engine->GetCameraSetting(kSettingGain).Available);
    EXPECT_EQ(engine->SetCameraSetting(kSettingGain, 999, kSettingFlagManual),
              TSettingResult::Failed);
    EXPECT_EQ(engine->SetCameraSetting(12, 1, kSettingFlagManual), TSettingResult::Ignored);
    engine.reset(); // stops the thread
}
