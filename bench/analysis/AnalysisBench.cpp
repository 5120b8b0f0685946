// Detection and tessellation on realistic synthetic frames: 900 to 1100 centres, an ROI of
// 300 x 300, densities of 1500 to 3500 cells/mm^2 at 0.0014 mm/pixel.
//
// Unless a benchmark says "cold", the working storage of detection and tessellation is recycled
// between analyses (as in the program, where the next analysis reuses it), so the figures do
// not include faulting in fresh pages; the cold variants free it before every iteration.
#include "ScratchPool.h"
#include "SyntheticEndothelium.h"
#include "UBCellFinder.h"
#include "VoronoiDistMatrix.h"
#ifdef ENDOMIRA_HAVE_REFERENCE
#include "ReferenceAnalysis.h"
#endif

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>

namespace {

using namespace endomira;
using synthetic::TBodyKind;

constexpr TRect kRoi{170, 90, 470, 390};
constexpr double kSensitivity = -3.0;

struct TBenchFrame {
    const char* Name;
    double Density;
    TBodyKind Kind;
    double Lit;
};

// Lit bands chosen so that each frame yields 900 to 1100 centres.
constexpr TBenchFrame kFrames[] = {
    {"1500 domed", 1500.0, TBodyKind::Domed, 1.0},
    {"2000 flat", 2000.0, TBodyKind::FlatGrainy, 0.7},
    {"3500 flat", 3500.0, TBodyKind::FlatGrainy, 0.45},
};

const std::vector<std::uint8_t>& Grey(int index) {
    static std::vector<std::uint8_t> frames[std::size(kFrames)];
    auto& g = frames[index];
    if (g.empty()) {
        synthetic::TEndotheliumParams p;
        p.Seed = 1000 + static_cast<std::uint64_t>(index);
        p.CellsPerMm2 = kFrames[index].Density;
        p.Kind = kFrames[index].Kind;
        p.LitFraction = kFrames[index].Lit;
        g = synthetic::GenerateEndothelium(p).Grey;
    }
    return g;
}

TGreyImage Image(int index) {
    return TGreyImage(Grey(index).data(), kFramePixels);
}

void Label(benchmark::State& state, int count) {
    state.SetLabel(kFrames[state.range(0)].Name);
    state.counters["centres"] = count;
}

void BM_FindCenters(benchmark::State& state) {
    const int frame = static_cast<int>(state.range(0));
    int count = 0;
    for (auto _ : state) {
        TCMFinder finder(Image(frame));
        count = finder.FindCenters(5, kSensitivity, kRoi);
        benchmark::DoNotOptimize(finder.Centers().data());
    }
    Label(state, count);
}

void BM_FindCentersCold(benchmark::State& state) {
    const int frame = static_cast<int>(state.range(0));
    int count = 0;
    for (auto _ : state) {
        state.PauseTiming();
        ReleaseAnalysisScratch();
        state.ResumeTiming();
        TCMFinder finder(Image(frame));
        count = finder.FindCenters(5, kSensitivity, kRoi);
        benchmark::DoNotOptimize(finder.Centers().data());
    }
    Label(state, count);
}

std::unique_ptr<TDistMatrix> Tessellated(int frame) {
    TCMFinder finder(Image(frame));
    finder.FindCenters(5, kSensitivity, kRoi);
    auto m = std::make_unique<TDistMatrix>(finder.Centers());
    m->Recompute();
    return m;
}

// A pixel inside a live cell near the middle of the frame.
TCenter LiveCentre(const TDistMatrix& m) {
    const std::int32_t label = m.LabelAt(240, 320);
    return m.Centers()[static_cast<std::size_t>(label > 0 ? label : 1)];
}

void BM_RecomputeAfterAddCell(benchmark::State& state) {
    const int frame = static_cast<int>(state.range(0));
    auto m = Tessellated(frame);
    const TCenter c = LiveCentre(*m);
    for (auto _ : state) {
        state.PauseTiming();
        m->AddCell(c.Row + 3, c.Col + 2);
        state.ResumeTiming();
        m->Recompute();
        state.PauseTiming();
        m->DeleteCell(c.Row + 3, c.Col + 2);
        m->Recompute();
        state.ResumeTiming();
    }
    Label(state, m->Count());
}

void BM_RecomputeAfterDeleteCell(benchmark::State& state) {
    const int frame = static_cast<int>(state.range(0));
    auto m = Tessellated(frame);
    const TCenter c = LiveCentre(*m);
    for (auto _ : state) {
        state.PauseTiming();
        m->DeleteCell(c.Row, c.Col);
        state.ResumeTiming();
        m->Recompute();
        state.PauseTiming();
        m->RestoreDetection();
        state.ResumeTiming();
    }
    Label(state, m->Count());
}

// Create and first Recompute, as the frame analysis does after detection.
void BM_CreateAndRecompute(benchmark::State& state) {
    const int frame = static_cast<int>(state.range(0));
    TCMFinder finder(Image(frame));
    finder.FindCenters(5, kSensitivity, kRoi);
    for (auto _ : state) {
        TDistMatrix m(finder.Centers());
        m.Recompute();
        benchmark::DoNotOptimize(m.LabelMap().data());
    }
    Label(state, finder.Count());
}

std::int64_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return static_cast<std::int64_t>(info.uordblks + info.hblkhd);
}

std::int64_t ResidentBytes() {
    std::ifstream statm("/proc/self/statm");
    std::int64_t size = 0;
    std::int64_t resident = 0;
    statm >> size >> resident;
    return resident * sysconf(_SC_PAGESIZE);
}

// The memory of one analysis: finder and tessellation alive together, every recycled block
// counted (the storage is freed first, so all of it is allocated inside the measurement).
void BM_AnalysisMemory(benchmark::State& state) {
    const int frame = static_cast<int>(state.range(0));
    double heap = 0;
    double resident = 0;
    for (auto _ : state) {
        ReleaseAnalysisScratch();
        malloc_trim(0);
        const std::int64_t heap0 = HeapInUse();
        const std::int64_t rss0 = ResidentBytes();
        TCMFinder finder(Image(frame));
        finder.FindCenters(5, kSensitivity, kRoi);
        TDistMatrix m(finder.Centers());
        m.Recompute();
        heap = static_cast<double>(HeapInUse() - heap0);
        resident = static_cast<double>(ResidentBytes() - rss0);
    }
    state.counters["heap_MB"] = heap / 1e6;
    state.counters["rss_MB"] = resident / 1e6;
    state.SetLabel(kFrames[frame].Name);
}

#ifdef ENDOMIRA_HAVE_REFERENCE
// The whole-plane steps that the tests use as the oracle, for comparison side by side.
void BM_PlainFindCenters(benchmark::State& state) {
    const int frame = static_cast<int>(state.range(0));
    int count = 0;
    for (auto _ : state) {
        count =
            CenterCount(reference::FindCenters(Grey(frame).data(), 5, kSensitivity, kRoi)->Centers);
    }
    Label(state, count);
}

void BM_PlainRecompute(benchmark::State& state) {
    const int frame = static_cast<int>(state.range(0));
    auto m = Tessellated(frame);
    for (auto _ : state) {
        benchmark::DoNotOptimize(reference::Recompute(m->Centers())->LabelMap.data());
    }
    Label(state, m->Count());
}
BENCHMARK(BM_PlainFindCenters)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlainRecompute)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
#endif

BENCHMARK(BM_FindCenters)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FindCentersCold)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecomputeAfterAddCell)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_RecomputeAfterDeleteCell)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CreateAndRecompute)->DenseRange(0, 2)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AnalysisMemory)->DenseRange(0, 2)->Iterations(3);

} // namespace

BENCHMARK_MAIN();
