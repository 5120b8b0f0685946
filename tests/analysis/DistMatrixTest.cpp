// The tessellation steps on tiny built label maps and centre lists, and the cell editor.
#include "AnalysisFixtures.h"
#include "VoronoiDistMatrix.h"

#include <gtest/gtest.h>

#include <memory>

namespace endomira {
namespace {

std::unique_ptr<TLabelMap> EmptyMap() {
    return std::make_unique<TLabelMap>();
}

std::int32_t& At(TLabelMap& m, int row, int col) {
    return m[static_cast<std::size_t>(FrameIndex(row, col))];
}

void FillRect(TLabelMap& m, int top, int left, int rows, int cols, std::int32_t label) {
    for (int r = top; r < top + rows; ++r) {
        for (int c = left; c < left + cols; ++c) {
            At(m, r, c) = label;
        }
    }
}

TEST(Tessellate, EqualDistanceGoesToTheCentreThatArrivesFirst) {
    // (100, 102) lies 2 from both centres and both reach it in the same sweep: the one whose
    // entries come first in the wavefront, the lower label, keeps it.
    const struct {
        std::vector<std::pair<int, int>> Centres;
        std::int32_t Owner;
    } cases[] = {{{{100, 100}, {100, 104}}, 1}, {{{100, 104}, {100, 100}}, 1}};
    for (const auto& c : cases) {
        auto m = EmptyMap();
        Tessellate(testing::MakeCenters(c.Centres), *m);
        EXPECT_EQ(At(*m, 100, 102), c.Owner);
        EXPECT_EQ(At(*m, 100, 101), c.Centres[0].second == 100 ? 1 : 2);
    }
}

TEST(Tessellate, StrictlyCloserCentreTakesOverAPixelReachedEarlier) {
    // (106, 106) is 9 sweeps from (115, 106) at distance 9, but 12 sweeps from (100, 100) at
    // distance 8.49: the later, closer centre takes it.
    auto m = EmptyMap();
    Tessellate(testing::MakeCenters({{100, 100}, {115, 106}}), *m);
    EXPECT_EQ(At(*m, 106, 106), 1);
    EXPECT_EQ(At(*m, 107, 106), 2); // 8 from the lower centre, 10 from the upper one
}

TEST(Tessellate, WavefrontStaysInsideTheFrameEdge) {
    auto m = EmptyMap();
    // A centre on row 0 labels its own pixel and enters the frame only below itself.
    Tessellate(testing::MakeCenters({{0, 320}, {240, 320}}), *m);
    EXPECT_EQ(At(*m, 0, 320), 1);
    EXPECT_EQ(At(*m, 0, 321), 0);
    EXPECT_EQ(At(*m, 1, 320), 1);
    EXPECT_EQ(At(*m, 479, 320), 0);
    EXPECT_EQ(At(*m, 240, 0), 0);
    EXPECT_EQ(At(*m, 478, 638), 2);
    EXPECT_EQ(At(*m, 1, 1), 1);
}

TEST(Tessellate, LaterCentreOnTheSamePixelTakesThePixelButTheEarlierSpreads) {
    auto m = EmptyMap();
    Tessellate(testing::MakeCenters({{200, 200}, {200, 200}}), *m);
    EXPECT_EQ(At(*m, 200, 200), 2);
    EXPECT_EQ(At(*m, 200, 201), 1);
    EXPECT_EQ(At(*m, 300, 500), 1);
}

TEST(EraseCells, LargeCellLimitIsInclusiveAt800Pixels) {
    auto m = EmptyMap();
    FillRect(*m, 100, 100, 20, 40, 1); // 800 pixels
    FillRect(*m, 200, 100, 20, 40, 2); // 801 pixels
    At(*m, 220, 100) = 2;
    const TCenterList centres = testing::MakeCenters({{110, 120}, {210, 120}});
    TCellStats stats{};
    CountAreas(*m, centres, stats);
    EXPECT_EQ(stats[1], (TCellStat{800, 0, 110, 120}));
    EXPECT_EQ(stats[2].Area, 801);
    EraseLargeCells(*m, centres, stats, kMaxCellArea);
    CountAreas(*m, centres, stats);
    EXPECT_EQ(stats[1].Area, 800);
    EXPECT_EQ(stats[2], (TCellStat{}));
    EXPECT_EQ(stats[0], (TCellStat{2, 2, 2, 2}));
}

TEST(EraseCells, EraseFollowsEightNeighboursAndOnlyTheRegionOfThePixel) {
    auto m = EmptyMap();
    FillRect(*m, 50, 50, 3, 3, 4);
    At(*m, 53, 53) = 4;            // touches diagonally: same region
    FillRect(*m, 60, 50, 2, 2, 4); // a separate fragment of the same label
    At(*m, 52, 54) = 5;            // another label next to it
    EraseCell(*m, 51, 51);
    EXPECT_EQ(At(*m, 50, 50), 0);
    EXPECT_EQ(At(*m, 53, 53), 0);
    EXPECT_EQ(At(*m, 60, 50), 4);
    EXPECT_EQ(At(*m, 52, 54), 5);
    EraseCell(*m, 51, 51); // label 0 now: nothing happens
    EraseCell(*m, -1, 9999);
    EXPECT_EQ(At(*m, 60, 51), 4);
}

TEST(EraseCells, CellsReachingTheClearedFrameAreDiscarded) {
    auto m = EmptyMap();
    FillRect(*m, 2, 100, 5, 5, 1);   // reaches row 2
    FillRect(*m, 3, 200, 5, 5, 2);   // stops at row 3
    FillRect(*m, 470, 100, 8, 5, 3); // reaches row 477
    FillRect(*m, 100, 2, 5, 5, 4);   // reaches column 2
    FillRect(*m, 100, 633, 5, 5, 5); // reaches column 637
    FillRect(*m, 200, 3, 5, 5, 6);   // stops at column 3
    EraseBorderCells(*m);
    EXPECT_EQ(At(*m, 4, 102), 0);
    EXPECT_EQ(At(*m, 5, 202), 2);
    EXPECT_EQ(At(*m, 472, 102), 0);
    EXPECT_EQ(At(*m, 102, 4), 0);
    EXPECT_EQ(At(*m, 102, 635), 0);
    EXPECT_EQ(At(*m, 202, 5), 6);
}

TEST(EdgesAndVertices, EachKindOfBlock) {
    const struct {
        std::int32_t A, B, D, E; // top-left, top-right, bottom-left, bottom-right
        std::int32_t Mark;
        std::optional<TVertex> Vertex;
    } cases[] = {
        {7, 7, 7, 7, 0, std::nullopt},
        {1, 2, 1, 2, kEdgePixel, std::nullopt},
        {1, 1, 2, 2, kEdgePixel, std::nullopt},
        {2, 1, 1, 1, kEdgePixel, std::nullopt},
        {0, 5, 0, 5, kEdgePixel, std::nullopt},
        {1, 2, 3, 3, kVertexPixel, TVertex{100, 100, 1, 2, 3}},
        {1, 2, 1, 3, kVertexPixel, TVertex{100, 100, 1, 2, 3}},
        {1, 1, 2, 3, kVertexPixel, TVertex{100, 100, 1, 3, 2}},
        {1, 2, 2, 3, kVertexPixel, TVertex{100, 100, 1, 2, 3}},
        {1, 2, 3, 4, kVertexPixel, TVertex{100, 100, 1, 2, 3}},
        {0, 2, 3, 0, kVertexPixel, TVertex{100, 100, 0, 2, 3}},
    };
    for (const auto& c : cases) {
        auto m = EmptyMap();
        // A uniform surrounding of the top-left label, so that only the blocks around the
        // built one are marked.
        FillRect(*m, 95, 95, 10, 10, c.A);
        At(*m, 100, 101) = c.B;
        At(*m, 101, 100) = c.D;
        At(*m, 101, 101) = c.E;
        auto edges = std::make_unique<TEdgeMap>();
        std::vector<TVertex> vertices;
        FindEdgesAndVertices(*m, *edges, vertices);
        SCOPED_TRACE(::testing::Message() << c.A << c.B << c.D << c.E);
        EXPECT_EQ((*edges)[static_cast<std::size_t>(FrameIndex(100, 100))], c.Mark);
        const auto it = std::find_if(vertices.begin(), vertices.end(),
                                     [](const TVertex& v) { return v.Row == 100 && v.Col == 100; });
        if (c.Vertex) {
            ASSERT_NE(it, vertices.end());
            EXPECT_EQ(*it, *c.Vertex);
        } else {
            EXPECT_EQ(it, vertices.end());
        }
    }
}

TEST(EdgesAndVertices, SidesCountVertexEntriesAndNothingIsMarkedOnTheFrame) {
    auto m = EmptyMap();
    m->fill(9); // touches every edge of the frame
    FillRect(*m, 100, 100, 10, 10, 1);
    FillRect(*m, 100, 110, 10, 10, 2);
    auto edges = std::make_unique<TEdgeMap>();
    std::vector<TVertex> vertices;
    FindEdgesAndVertices(*m, *edges, vertices);
    TCellStats stats{};
    CountSides(vertices, stats);
    // Two vertices where the shared side meets the surrounding: top and bottom.
    EXPECT_EQ(vertices.size(), 2u);
    EXPECT_EQ(stats[1].Sides, 2);
    EXPECT_EQ(stats[2].Sides, 2);
    EXPECT_EQ(stats[9].Sides, 2);
    for (int r = 0; r < kFrameHeight; ++r) {
        for (int c = 0; c < kFrameWidth; ++c) {
            if (r < 2 || r > 477 || c < 2 || c > 637) {
                ASSERT_EQ((*edges)[static_cast<std::size_t>(FrameIndex(r, c))], 0);
            }
        }
    }
}

// A small honeycomb of centres 20 pixels apart in the middle of the frame.
TCenterList Grid() {
    std::vector<std::pair<int, int>> points;
    for (int r = 100; r <= 380; r += 20) {
        for (int c = 100 + (r / 20 % 2) * 10; c <= 540; c += 20) {
            points.emplace_back(r, c);
        }
    }
    return testing::MakeCenters(points);
}

TEST(DistMatrix, NoCentresTessellateToEmptyMaps) {
    TDistMatrix m(testing::MakeCenters({}));
    m.Recompute();
    EXPECT_TRUE(
        std::all_of(m.LabelMap().begin(), m.LabelMap().end(), [](int v) { return v == 0; }));
    EXPECT_TRUE(std::all_of(m.EdgeMap().begin(), m.EdgeMap().end(), [](int v) { return v == 0; }));
    EXPECT_TRUE(m.Vertices().empty());
    EXPECT_EQ(m.CellStats()[0], (TCellStat{}));
}

TEST(DistMatrix, AddCellInsertsByRowAndIgnoresExistingAndOutsidePixels) {
    TDistMatrix m(Grid());
    m.Recompute();
    const int count = m.Count();
    m.AddCell(m.Centers()[1].Row, m.Centers()[1].Col); // an existing centre
    EXPECT_EQ(m.Count(), count);
    for (const auto& [r, c] : {std::pair{-1, 5}, {480, 5}, {5, 640}, {100000, -100000}}) {
        m.AddCell(r, c);
    }
    EXPECT_EQ(m.Count(), count);
    m.AddCell(205, 203);
    ASSERT_EQ(m.Count(), count + 1);
    EXPECT_EQ(m.Centers()[0].Row, count + 1);
    EXPECT_EQ(m.Centers()[0].Col, count); // only the header's Row follows the edits
    const auto& c = m.Centers();
    int found = 0;
    for (int i = 1; i <= m.Count(); ++i) {
        if (i > 1) {
            EXPECT_LE(c[static_cast<std::size_t>(i - 1)].Row, c[static_cast<std::size_t>(i)].Row);
        }
        if (c[static_cast<std::size_t>(i)].Row == 205 &&
            c[static_cast<std::size_t>(i)].Col == 203) {
            found = i;
            EXPECT_EQ(c[static_cast<std::size_t>(i)].Manual, 1);
        }
    }
    ASSERT_NE(found, 0);
    m.Recompute();
    EXPECT_EQ(m.LabelAt(205, 203), found);
}

TEST(DistMatrix, DeleteCellRemovesTheCentreOfTheCellUnderThePixel) {
    TDistMatrix m(Grid());
    m.Recompute();
    const int count = m.Count();
    // A pixel inside the cell of the centre (200, 300), not the centre itself.
    const std::int32_t label = m.LabelAt(203, 304);
    ASSERT_GT(label, 0);
    ASSERT_EQ(m.Centers()[static_cast<std::size_t>(label)].Col, 300);
    m.DeleteCell(203, 304);
    ASSERT_EQ(m.Count(), count - 1);
    for (int i = 1; i <= m.Count(); ++i) {
        const TCenter& e = m.Centers()[static_cast<std::size_t>(i)];
        EXPECT_FALSE(e.Row == 200 && e.Col == 300);
    }
    EXPECT_EQ(m.Centers()[static_cast<std::size_t>(count)].Row, kDeletedCenterRow);
    m.Recompute();
    // Background, the cleared frame and pixels outside the frame delete nothing.
    for (const auto& [r, c] : {std::pair{10, 10}, {0, 0}, {-5, 3}, {479, 639}}) {
        m.DeleteCell(r, c);
    }
    EXPECT_EQ(m.Count(), count - 1);
}

TEST(DistMatrix, DeleteCellOnEveryLabelIncludingTheHighest) {
    TDistMatrix m(Grid());
    m.Recompute();
    while (true) {
        // Always the highest label that still has pixels.
        int target = 0;
        for (int i = m.Count(); i >= 1 && target == 0; --i) {
            if (m.CellStats()[static_cast<std::size_t>(i)].Area > 0) {
                target = i;
            }
        }
        if (target == 0) {
            break;
        }
        const TCenter centre = m.Centers()[static_cast<std::size_t>(target)];
        const int before = m.Count();
        m.DeleteCell(centre.Row, centre.Col);
        ASSERT_EQ(m.Count(), before - 1);
        m.Recompute();
    }
    EXPECT_TRUE(std::all_of(m.EdgeMap().begin(), m.EdgeMap().end(), [](int v) { return v == 0; }));
}

TEST(DistMatrix, RestoreDetectionGivesTheFirstTessellationBack) {
    TDistMatrix m(Grid());
    m.Recompute();
    const auto labels = std::make_unique<TLabelMap>(m.LabelMap());
    const auto edges = std::make_unique<TEdgeMap>(m.EdgeMap());
    const auto stats = std::make_unique<TCellStats>(m.CellStats());
    const std::vector<TVertex> vertices = m.Vertices();
    m.AddCell(250, 250);
    m.Recompute();
    m.DeleteCell(300, 300);
    m.Recompute();
    m.AddCell(1, 1);
    m.Recompute();
    ASSERT_NE(m.LabelMap(), *labels);
    m.RestoreDetection();
    EXPECT_EQ(m.LabelMap(), *labels);
    EXPECT_EQ(m.EdgeMap(), *edges);
    EXPECT_EQ(m.CellStats(), *stats);
    EXPECT_EQ(m.Vertices(), vertices);
    EXPECT_EQ(m.Centers(), m.Backup());
}

TEST(DistMatrix, ThousandsOfAddCellStopAtTheListCapacity) {
    // 14 000 centres to start with, then operator clicks at distinct pixels and outside.
    std::vector<std::pair<int, int>> points;
    for (int i = 0; i < 14000; ++i) {
        points.emplace_back(i / 32 + 20, (i % 32) * 19 + 10);
    }
    TDistMatrix m(testing::MakeCenters(points));
    synthetic::TRandom random(4);
    for (int i = 0; i < 1500; ++i) {
        m.AddCell(random.Below(480), random.Below(640) / 19 * 19 + 5);
        m.AddCell(-random.Below(100000) - 1, random.Below(640));
    }
    EXPECT_EQ(m.Count(), kMaxCenters);
    m.Recompute();
    EXPECT_EQ(m.CellStats()[0].Area, kMaxCenters);
    std::int64_t area = 0;
    for (int i = 1; i <= kMaxCenters; ++i) {
        area += m.CellStats()[static_cast<std::size_t>(i)].Area;
        ASSERT_GE(m.SidesOf(i), 0);
    }
    EXPECT_GT(area, 400 * 600);
    EXPECT_EQ(m.SidesOf(-1), 0);
    EXPECT_EQ(m.SidesOf(kMaxCenters + 1), 0);
}

TEST(DistMatrix, CentresOutsideTheFrameAndDamagedCountsAreHarmless) {
    TCenterList list = testing::MakeCenters({{-5, 100}, {240, 320}, {300, 700}, {100000, 5}});
    auto map = EmptyMap();
    Tessellate(list, *map);
    EXPECT_EQ(At(*map, 240, 320), 2);
    EXPECT_EQ(At(*map, 1, 638), 2); // the one centre inside takes the whole frame
    TDistMatrix outside(list);
    outside.Recompute();
    EXPECT_EQ(outside.CellStats()[1].Area, 0);
    EXPECT_EQ(outside.CellStats()[3].Area, 0);
    // A header beyond the list's capacity is read as a full list, a negative one as empty.
    for (const std::int32_t count : {kMaxCenters + 5000, -3}) {
        TCenterList damaged = Grid();
        damaged[0].Row = count;
        TDistMatrix m(damaged);
        m.Recompute();
        m.AddCell(10, 10);
        m.DeleteCell(240, 320);
        m.Recompute();
        EXPECT_LE(m.Count(), kMaxCenters);
    }
}

TEST(DistMatrix, CopiesAndLookupsReadTheCurrentState) {
    TDistMatrix m(Grid());
    m.Recompute();
    auto edges = std::make_unique<TEdgeMap>();
    m.CopyEdgeMap(*edges);
    EXPECT_EQ(*edges, m.EdgeMap());
    TCenterList centres{};
    m.CopyCenters(centres);
    EXPECT_EQ(centres, m.Centers());
    const std::int32_t label = m.LabelAt(240, 320);
    ASSERT_GT(label, 0);
    EXPECT_EQ(m.SidesOf(label), m.CellStats()[static_cast<std::size_t>(label)].Sides);
    EXPECT_EQ(m.LabelAt(-1, 0), 0);
    EXPECT_EQ(m.LabelAt(0, 640), 0);
}

} // namespace
} // namespace endomira
