#include "MessageService.h"
#include "ScriptedEngine.h"
#include "UBVideoGrabber_Espec_C.h"
#include "UBVideoGrabber_Espec_L.h"

#include <QObject>
#include <gtest/gtest.h>
#include <thread>

using namespace endomira;
using endomira::test::TScriptedEngine;

namespace {

QImage Solid(QRgb colour, int w = 640, int h = 480) {
    QImage image(w, h, QImage::Format_RGB888);
    image.fill(colour);
    return image;
}

QRgb ColourOf(const QImage& image) {
    return image.isNull() ? 0 : image.pixel(0, 0) & 0xFFFFFF;
}

// A main channel over a scripted engine, as the calibration window creates it.
struct MainChannel {
    QObject Host;
    TScriptedEngine* Engine = nullptr;
    std::unique_ptr<TVGrabber_Espec_C> Channel;

    explicit MainChannel(int channel = 0, bool flipH = false, bool flipV = false) {
        Channel = std::make_unique<TVGrabber_Espec_C>(
            &Host, 640, 480, 20, 0, channel, 100, flipH, flipV, [this](QObject*) {
                auto engine = std::make_unique<TScriptedEngine>();
                Engine = engine.get();
                return engine;
            });
    }
};

} // namespace

TEST(MainChannel, ConfiguresTheEngineInOrderAndOpensTheDevice) {
    MainChannel c(3, true, false);
    const QStringList expected = {"VideoSize 640x480 1",
                                  "PlacePreview 0,20 host=1 fill=1",
                                  "Zoom 100",
                                  "RGB",
                                  "FlipV 0",
                                  "FlipV 0",
                                  "FlipH 0",
                                  "FlipH 1",
                                  "KeepAspect 1",
                                  "AutoSize 0",
                                  "Aspect 1",
                                  "RGB",
                                  "Device 3",
                                  "Start"};
    EXPECT_EQ(c.Engine->Log, expected);
}

TEST(MainChannel, TwoSingleRequestsBeforeAFrameGrabOneFrame) {
    MainChannel c;
    c.Channel->RequestCapture(false);
    c.Channel->RequestCapture(false);
    EXPECT_TRUE(c.Channel->IsCapturePending());
    EXPECT_FALSE(c.Channel->IsFrameReady());

    c.Engine->Deliver(Solid(0x112233));
    EXPECT_TRUE(c.Channel->IsFrameReady());
    EXPECT_FALSE(c.Channel->IsCapturePending());
    EXPECT_EQ(ColourOf(c.Channel->GrabbedBitmap().Image()), 0x112233u);

    // The consumer takes it; the next frame is not grabbed and the held bitmap stays.
    c.Channel->SetFrameReady(false);
    c.Engine->Deliver(Solid(0x445566));
    EXPECT_FALSE(c.Channel->IsFrameReady());
    EXPECT_EQ(ColourOf(c.Channel->CopyGrabbed()), 0x112233u);
}

TEST(MainChannel, ContinuousGrabsTheNewestUntilSwitchedOff) {
    MainChannel c;
    c.Channel->RequestCapture(true);
    EXPECT_TRUE(c.Channel->IsContinuous());
    EXPECT_FALSE(c.Channel->IsCapturePending());
    c.Engine->Deliver(Solid(0x010101));
    c.Engine->Deliver(Solid(0x020202));
    EXPECT_TRUE(c.Channel->IsFrameReady());
    EXPECT_EQ(ColourOf(c.Channel->CopyGrabbed()), 0x020202u);

    // Switched off with a frame ready: the frame stays ready and held until the consumer
    // takes it, and later frames do not replace it.
    c.Channel->SetContinuous(false);
    c.Engine->Deliver(Solid(0x030303));
    EXPECT_TRUE(c.Channel->IsFrameReady());
    EXPECT_EQ(ColourOf(c.Channel->CopyGrabbed()), 0x020202u);
    c.Channel->SetFrameReady(false);
    EXPECT_FALSE(c.Channel->IsFrameReady());
    EXPECT_EQ(ColourOf(c.Channel->CopyGrabbed()), 0x020202u);

    // A new request clears the ready flag at once.
    c.Channel->RequestCapture(true);
    c.Channel->SetFrameReady(true);
    c.Channel->RequestCapture(false);
    EXPECT_FALSE(c.Channel->IsFrameReady());
    EXPECT_FALSE(c.Channel->IsContinuous());
}

TEST(MainChannel, ErrorsWhileRequestingOrHandlingAFrame) {
    MainChannel c;
    // A camera that delivers no frames cannot meet a single request: nothing stays pending.
    c.Engine->Streaming = false;
    c.Channel->RequestCapture(false);
    EXPECT_FALSE(c.Channel->IsCapturePending());
    EXPECT_FALSE(c.Channel->IsFrameReady());

    // A failure inside the frame handler is swallowed; the next frame is handled as usual.
    c.Engine->Streaming = true;
    c.Channel->RequestCapture(false);
    c.Engine->ThrowOnCopies = 1;
    c.Engine->Deliver(Solid(0x0A0A0A));
    EXPECT_FALSE(c.Channel->IsFrameReady());
    EXPECT_TRUE(c.Channel->IsCapturePending());
    c.Engine->Deliver(Solid(0x0B0B0B));
    EXPECT_TRUE(c.Channel->IsFrameReady());
    EXPECT_EQ(ColourOf(c.Channel->CopyGrabbed()), 0x0B0B0Bu);
}

// Frames arrive on another thread while the consumer takes them as the capture timer does.
// The consumer must only ever see whole frames of one colour; a bitmap released or replaced
// while it is being read shows up as a mixed frame or, under the sanitizers, as a use after
// free.
TEST(MainChannel, HandOverUnderConcurrentFrames) {
    MainChannel c;
    c.Channel->RequestCapture(true);
    std::atomic<bool> done{false};
    std::thread camera([&] {
        for (int i = 0; !done; ++i) {
            QImage frame(160, 120, QImage::Format_RGB888);
            frame.fill(qRgb(i % 251, i % 251, i % 251));
            c.Engine->Deliver(frame);
            std::this_thread::yield();
        }
    });
    constexpr int kTakes = 400;
    int taken = 0;
    int mixed = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (taken < kTakes && std::chrono::steady_clock::now() < deadline) {
        if (!c.Channel->IsFrameReady()) {
            continue;
        }
        {
            const auto grabbed = c.Channel->GrabbedBitmap();
            const QImage& image = grabbed.Image();
            const uchar first = image.constBits()[0];
            for (int y = 0; y < image.height(); ++y) {
                const uchar* line = image.constScanLine(y);
                for (int x = 0; x < 3 * image.width(); ++x) {
                    mixed += line[x] != first;
                }
            }
        }
        EXPECT_EQ(c.Channel->CopyGrabbed().size(), QSize(160, 120));
        c.Channel->SetFrameReady(false);
        ++taken;
        // Single requests in between, as the capture button makes them.
        if (taken % 7 == 0) {
            c.Channel->RequestCapture(false);
        } else if (taken % 7 == 1) {
            c.Channel->RequestCapture(true);
        }
    }
    done = true;
    camera.join();
    EXPECT_EQ(taken, kTakes);
    EXPECT_EQ(mixed, 0);
}

TEST(MainChannel, DestroyingAfterStopFreesTheEngineAndKeepsTheHost) {
    auto destroyed = std::make_shared<bool>(false);
    auto host = std::make_unique<QObject>();
    TScriptedEngine* engine = nullptr;
    auto channel = std::make_unique<TVGrabber_Espec_C>(
        host.get(), 640, 480, 20, 0, 0, 100, false, false, [&](QObject*) {
            auto e = std::make_unique<TScriptedEngine>(destroyed);
            engine = e.get();
            return e;
        });
    channel->StopChannel();
    EXPECT_EQ(engine->Log.back(), QStringLiteral("Stop"));
    channel.reset();
    EXPECT_TRUE(*destroyed);
    EXPECT_NE(host.get(), nullptr);
}

TEST(CameraSettings, AppliedRefusedAndUnavailable) {
    TMessageRecorder messages;
    MainChannel c;
    auto& gain = c.Engine->Settings[kSettingGain];
    gain = {true, 40, 0, 255, 5, 64, kSettingFlagManual};
    c.Engine->Settings[kSettingBrightness] = {true, 128, -64, 64, 1, 0, kSettingFlagManual};
    EXPECT_TRUE(c.Channel->IsSettingAvailable(kSettingGain));
    EXPECT_TRUE(c.Channel->IsSettingAvailable(kSettingBrightness));
    EXPECT_FALSE(c.Channel->IsSettingAvailable(kSettingContrast));
    EXPECT_EQ(c.Channel->GetGainMin(), 0);
    EXPECT_EQ(c.Channel->GetGainMax(), 255);
    EXPECT_EQ(c.Channel->GetGainStep(), 5);
    EXPECT_EQ(c.Channel->GetBrightnessMin(), -64);
    EXPECT_EQ(c.Channel->GetBrightnessMax(), 64);

    struct Case {
        const char* Name;
        TSettingResult Result;
        bool Throws;
        bool Auto;
        bool UseDefault;
        int ExpectedValue;
        int ExpectedFlags;
        bool Message;
    };
    const Case cases[] = {
        {"applied", TSettingResult::Applied, false, false, false, 77, kSettingFlagManual, false},
        {"automatic", TSettingResult::Applied, false, true, false, 77, kSettingFlagAuto, false},
        {"default value", TSettingResult::Applied, false, false, true, 64, kSettingFlagManual,
         false},
        {"not offered", TSettingResult::Ignored, false, false, false, 77, kSettingFlagManual,
         false},
        {"refused", TSettingResult::Failed, false, false, false, 77, kSettingFlagManual, true},
        {"device error", TSettingResult::Applied, true, false, false, 77, kSettingFlagManual, true},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.Name);
        messages.Clear();
        c.Engine->SettingCalls.clear();
        c.Engine->NextResult = k.Result;
        c.Engine->ThrowOnSetting = k.Throws;
        c.Channel->ApplyCameraSetting(kSettingGain, 77, k.Auto, k.UseDefault);
        ASSERT_EQ(c.Engine->SettingCalls.size(), 1u);
        EXPECT_EQ(c.Engine->SettingCalls[0].Index, kSettingGain);
        EXPECT_EQ(c.Engine->SettingCalls[0].Value, k.ExpectedValue);
        EXPECT_EQ(c.Engine->SettingCalls[0].Flags, k.ExpectedFlags);
        if (k.Message) {
            ASSERT_EQ(messages.Shown().size(), 1u);
            EXPECT_EQ(messages.Shown()[0].Text,
                      QStringLiteral("Parâmetros inválidos de controle de câmera!"));
            EXPECT_EQ(messages.Shown()[0].Title, QStringLiteral("ERRO"));
            EXPECT_EQ(messages.Shown()[0].Buttons, mbOK);
        } else {
            EXPECT_TRUE(messages.Shown().empty());
        }
    }
}

TEST(AuxChannel, ReticleCoordinates) {
    struct Case {
        int W, H;
        QRect Ring, Up, Down, Left, Right;
    };
    const Case cases[] = {
        // The auxiliary camera: ring 140..180 x 100..140, ticks at x 160 from y 70 and 150, at
        // y 120 from x 110 and 190.
        {320, 240, QRect(140, 100, 40, 40), QRect(160, 70, 1, 20), QRect(160, 150, 1, 20),
         QRect(110, 120, 20, 1), QRect(190, 120, 20, 1)},
        // Halves go to the even neighbour: 160.5 -> 160, 140.5 -> 140, 70.5 -> 70.
        {321, 241, QRect(140, 100, 40, 40), QRect(160, 70, 1, 20), QRect(160, 150, 1, 20),
         QRect(110, 120, 20, 1), QRect(190, 120, 20, 1)},
        // ... and 161.5 -> 162, 141.5 -> 142, 71.5 -> 72, 111.5 -> 112.
        {323, 243, QRect(142, 102, 40, 40), QRect(162, 72, 1, 20), QRect(162, 152, 1, 20),
         QRect(112, 122, 20, 1), QRect(192, 122, 20, 1)},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(QStringLiteral("%1x%2").arg(k.W).arg(k.H).toStdString());
        const auto r = TVGrabber_Espec_L::Reticle(k.W, k.H);
        EXPECT_EQ(r[0].Kind, TShapeOverlay::TKind::Circle);
        EXPECT_EQ(r[0].Bounds, k.Ring);
        EXPECT_EQ(r[1].Bounds, k.Up);
        EXPECT_EQ(r[2].Bounds, k.Down);
        EXPECT_EQ(r[3].Bounds, k.Left);
        EXPECT_EQ(r[4].Bounds, k.Right);
        for (int i = 1; i < 5; ++i) {
            EXPECT_EQ(r[static_cast<std::size_t>(i)].Kind, TShapeOverlay::TKind::Rectangle);
        }
        for (const auto& shape : r) {
            EXPECT_EQ(shape.Pen.rgb() & 0xFFFFFF, 0x00FF00u); // colour 65280
        }
    }
}

TEST(AuxChannel, AddsTheReticleWhenThePreviewStartsAndBindsNoFrameEvent) {
    QObject host;
    TScriptedEngine* engine = nullptr;
    TVGrabber_Espec_L channel(&host, 320, 240, 20, 0, 1, 100, false, true, [&](QObject*) {
        auto e = std::make_unique<TScriptedEngine>();
        engine = e.get();
        return e;
    });
    EXPECT_TRUE(engine->Log.contains(QStringLiteral("FlipV 1")));
    EXPECT_EQ(engine->Log.back(), QStringLiteral("Start"));
    ASSERT_EQ(engine->Overlays.size(), 5u);
    EXPECT_EQ(engine->Overlays[0].Bounds, QRect(140, 100, 40, 40));

    // Opening again keeps one reticle; frames are not grabbed by this channel.
    channel.OpenChannel(1);
    EXPECT_EQ(engine->Overlays.size(), 5u);
    engine->ThrowOnCopies = 1;
    engine->Deliver(Solid(0x123456, 320, 240));
    EXPECT_EQ(engine->ThrowOnCopies, 1); // nothing asked for the frame
}
