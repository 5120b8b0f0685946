// The tessellation of TDistMatrix against the plain steps, on detections of generated frames
// and through sequences of edits.
#include "AnalysisFixtures.h"
#include "EndomiraProcessing.h"
#include "ReferenceAnalysis.h"
#include "VoronoiDistMatrix.h"

#include <gtest/gtest.h>

namespace endomira {
namespace {

using synthetic::TBodyKind;

void ExpectSameTessellation(const TDistMatrix& fast) {
    const auto plain = reference::Recompute(fast.Centers());
    ASSERT_EQ(fast.LabelMap(), plain->LabelMap);
    ASSERT_EQ(fast.EdgeMap(), plain->EdgeMap);
    ASSERT_EQ(fast.Vertices(), plain->Vertices);
    ASSERT_EQ(fast.CellStats(), plain->CellStats);
}

TCenterList Detect(std::uint64_t seed, double density, TBodyKind kind, double lit,
                   double sensitivity) {
    const auto grey = testing::Endothelium(seed, density, kind, lit);
    TCMFinder finder(testing::AsImage(grey));
    finder.FindCenters(5, sensitivity, {170, 90, 470, 390});
    return finder.Centers();
}

TEST(DistMatrixOracle, RecomputeEqualsPlainStepsOnDetectedFrames) {
    int seed = 100;
    for (const double density : {1000.0, 2000.0, 3500.0}) {
        for (const TBodyKind kind : {TBodyKind::Domed, TBodyKind::FlatGrainy}) {
            for (const double sensitivity : {-2.5, -3.0, -3.5}) {
                SCOPED_TRACE(::testing::Message()
                             << density << " " << static_cast<int>(kind) << " " << sensitivity);
                const TCenterList centres =
                    Detect(seed++, density, kind, density > 3000 ? 0.45 : 0.9, sensitivity);
                ASSERT_GT(CenterCount(centres), 30);
                TDistMatrix m(centres);
                m.Recompute();
                ExpectSameTessellation(m);
            }
        }
    }
}

TEST(DistMatrixOracle, EditsKeepTheTessellationEqualToPlainSteps) {
    TDistMatrix m(Detect(7, 2500.0, TBodyKind::FlatGrainy, 0.7, -3.0));
    m.Recompute();
    synthetic::TRandom random(8);
    for (int step = 0; step < 24; ++step) {
        const int row = random.Below(480);
        const int col = random.Below(640);
        switch (random.Below(4)) {
        case 0:
        case 1:
            m.AddCell(row, col);
            break;
        case 2: {
            // On a live cell, so that the delete does something.
            const TCellStat& s =
                m.CellStats()[static_cast<std::size_t>(1 + random.Below(std::max(m.Count(), 1)))];
            m.DeleteCell(s.Area > 0 ? s.Row : row, s.Area > 0 ? s.Col : col);
            break;
        }
        default:
            if (step % 8 == 7) {
                m.RestoreDetection();
                continue;
            }
            m.AddCell(row < 240 ? 0 : 479, col); // on the frame's edge
        }
        m.Recompute();
        SCOPED_TRACE(step);
        ExpectSameTessellation(m);
    }
}

TEST(DistMatrixOracle, CrowdedAndTiedCentresEqualPlainSteps) {
    // Many centres on a few rows, duplicates and centres on the frame's edge: the tie-breaks and
    // stale wavefront entries all come into play.
    std::vector<std::pair<int, int>> points;
    synthetic::TRandom random(21);
    for (int i = 0; i < 3000; ++i) {
        points.emplace_back(random.Below(48) * 10, random.Below(64) * 10);
    }
    points.emplace_back(0, 0);
    points.emplace_back(479, 639);
    TCenterList list = testing::MakeCenters(points);
    SortCentersByRow(list, 1, CenterCount(list), TCenterExchange::AllFields);
    TDistMatrix m(list);
    m.Recompute();
    ExpectSameTessellation(m);
}

} // namespace
} // namespace endomira

namespace endomira {
namespace {

TEST(DistMatrixOracle, FullListOutgrowsTheUsualFrontier) {
    // 15 000 centres, each somewhere in its own 4 x 4 square: one sweep of the wavefront holds
    // about 91 000 entries, beyond the 64 001 reserved for a normal frame.
    std::vector<std::pair<int, int>> points;
    synthetic::TRandom random(99);
    for (int i = 0; i < kMaxCenters; ++i) {
        points.emplace_back(4 + (i / 150) * 4 + random.Below(4),
                            20 + (i % 150) * 4 + random.Below(4));
    }
    TCenterList list = testing::MakeCenters(points);
    SortCentersByRow(list, 1, kMaxCenters, TCenterExchange::AllFields);
    TDistMatrix m(list);
    m.Recompute();
    ExpectSameTessellation(m);
}

} // namespace
} // namespace endomira
