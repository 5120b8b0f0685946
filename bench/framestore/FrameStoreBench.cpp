// The live-image check that the automatic capture runs on every candidate frame, and the
// painting of the overlay over a whole frame with every layer, on a synthetic endothelium.
#include "CellOverlay.h"
#include "GreyImage.h"
#include "SyntheticEndothelium.h"
#include "UBCellFinder.h"
#include "UBFrameBuffer.h"
#include "VoronoiDistMatrix.h"

#include <benchmark/benchmark.h>

#include <QImage>

#include <memory>
#include <vector>

namespace {

using namespace endomira;

// About 900 centres over the frame at the example settings' scale.
const std::vector<std::uint8_t>& Grey() {
    static const std::vector<std::uint8_t> grey = [] {
        synthetic::TEndotheliumParams p;
        p.Seed = 1000;
        p.CellsPerMm2 = 1500.0;
        return synthetic::GenerateEndothelium(p).Grey;
    }();
    return grey;
}

QImage Frame() {
    QImage image(kFrameWidth, kFrameHeight, QImage::Format_RGB888);
    for (int y = 0; y < kFrameHeight; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < kFrameWidth; ++x) {
            line[3 * x] = line[3 * x + 1] = line[3 * x + 2] =
                Grey()[static_cast<std::size_t>(FrameIndex(y, x))];
        }
    }
    return image;
}

void BM_ComputeGreyStatistics(benchmark::State& state) {
    TBFrameBuffer buffer;
    const std::span<const std::uint8_t, kFramePixels> grey(Grey().data(), kFramePixels);
    for (auto _ : state) {
        buffer.BComputeGreyStatistics(grey);
        benchmark::DoNotOptimize(buffer.GreySD());
    }
}

// The whole check of one live image: grey conversion, statistics and the three tests.
void BM_CheckFrameStatistics(benchmark::State& state) {
    TBFrameBuffer buffer;
    const QImage frame = Frame();
    for (auto _ : state) {
        benchmark::DoNotOptimize(buffer.BCheckFrameStatistics(frame, 110.0, 30.0, 900.0, 0.3));
    }
}

void BM_DrawCellOverlayFullFrame(benchmark::State& state) {
    const QImage frame = Frame();
    const TRect roi{0, 0, 639, 479};
    TCMFinder finder(TGreyImage(Grey().data(), kFramePixels));
    finder.FindCenters(5, -3.0, roi);
    TDistMatrix cells(finder.Centers());
    cells.Recompute();
    TOverlayOptions options;
    options.ContrastView = true;
    options.ColourBySides = true;
    options.ShowCentres = true;
    options.ShowEdges = true;
    options.PachymetryLine = TPachymetryLine{100, 500, 400};
    QImage picture = frame;
    QImage snapshot;
    for (auto _ : state) {
        state.PauseTiming();
        picture = frame.copy(); // every painting starts from the frame's own image
        state.ResumeTiming();
        DrawCellOverlay(picture, roi, cells, options, TContrastSettings{}, snapshot);
        benchmark::DoNotOptimize(picture.constBits());
    }
    state.counters["centres"] = cells.Count();
}

} // namespace

BENCHMARK(BM_ComputeGreyStatistics)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_CheckFrameStatistics)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_DrawCellOverlayFullFrame)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
