// The detection steps on tiny built planes, and the finder on frames built to hit its limits.
#include "AnalysisFixtures.h"
#include "EndomiraProcessing.h"
#include "ReferenceAnalysis.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace endomira {
namespace {

std::unique_ptr<TPlane> EmptyPlane() {
    return std::make_unique<TPlane>();
}

void Set(TPlane& plane, int row, int col, double value = kMaskOn) {
    plane[static_cast<std::size_t>(FrameIndex(row, col))] = value;
}

double At(const TPlane& plane, int row, int col) {
    return plane[static_cast<std::size_t>(FrameIndex(row, col))];
}

// Labels the mask and turns it into a centre list as the finder does.
TCenterList CentersOf(const TPlane& mask) {
    auto labels = EmptyPlane();
    TCenterList centers{};
    FinishCenters(centers, LabelBlobs(mask, *labels, centers));
    return centers;
}

struct TBlobCase {
    std::vector<std::pair<int, int>> Pixels;
    int Row;
    int Col;
};

TEST(Processing, BlobCentroidsRoundHalfToEven) {
    const TBlobCase cases[] = {
        {{{200, 100}, {200, 101}}, 200, 100},               // column 100.5 -> 100
        {{{200, 101}, {200, 102}}, 200, 102},               // column 101.5 -> 102
        {{{201, 50}, {202, 50}}, 202, 50},                  // row 201.5 -> 202
        {{{200, 50}, {201, 50}}, 200, 50},                  // row 200.5 -> 200
        {{{20, 20}, {20, 21}, {20, 22}, {21, 22}}, 20, 21}, // 20.25, 21.25
    };
    for (const TBlobCase& c : cases) {
        auto mask = EmptyPlane();
        for (const auto& [r, col] : c.Pixels) {
            Set(*mask, r, col);
        }
        const TCenterList centers = CentersOf(*mask);
        ASSERT_EQ(CenterCount(centers), 1);
        EXPECT_EQ(centers[1], (TCenter{c.Row, c.Col, static_cast<int>(c.Pixels.size()), 0}))
            << "first pixel " << c.Pixels[0].first << "," << c.Pixels[0].second;
    }
}

TEST(Processing, BlobsAreFourConnectedAndNumberedInRasterOrder) {
    auto mask = EmptyPlane();
    // A diagonal pair is two blobs; the blob whose first pixel comes first in raster order is
    // label 1 even though it reaches further down.
    Set(*mask, 50, 60);
    Set(*mask, 51, 61);
    Set(*mask, 40, 300);
    Set(*mask, 41, 300);
    Set(*mask, 42, 300);
    auto labels = EmptyPlane();
    TCenterList centers{};
    ASSERT_EQ(LabelBlobs(*mask, *labels, centers), 3);
    EXPECT_EQ(At(*labels, 42, 300), 1.0);
    EXPECT_EQ(At(*labels, 50, 60), 2.0);
    EXPECT_EQ(At(*labels, 51, 61), 3.0);
    EXPECT_EQ(centers[1], (TCenter{123, 900, 3, 0}));
}

TEST(Processing, IsolatedPixelsAreRemovedAndPairsKept) {
    auto mask = EmptyPlane();
    Set(*mask, 100, 100); // alone
    Set(*mask, 100, 200); // pair
    Set(*mask, 101, 200); //
    Set(*mask, 150, 150); // diagonal neighbours only
    Set(*mask, 151, 151); //
    Set(*mask, 1, 1);     // alone on the first processed row
    RemoveIsolatedPixels(*mask);
    EXPECT_EQ(At(*mask, 100, 100), 0.0);
    EXPECT_EQ(At(*mask, 100, 200), kMaskOn);
    EXPECT_EQ(At(*mask, 101, 200), kMaskOn);
    EXPECT_EQ(At(*mask, 150, 150), 0.0);
    EXPECT_EQ(At(*mask, 151, 151), 0.0);
    EXPECT_EQ(At(*mask, 1, 1), 0.0);
}

TEST(Processing, BorderClearLeavesNothingWithinNinePixelsOfAnEdge) {
    auto mask = EmptyPlane();
    mask->fill(kMaskOn);
    ClearBorder(*mask, kBorderClearWidth);
    const struct {
        int Row, Col;
        bool Kept;
    } cases[] = {{8, 300, false}, {9, 300, true},    {470, 300, true}, {471, 300, false},
                 {200, 8, false}, {200, 9, true},    {200, 630, true}, {200, 631, false},
                 {0, 0, false},   {479, 639, false}, {9, 9, true},     {470, 630, true}};
    for (const auto& c : cases) {
        EXPECT_EQ(At(*mask, c.Row, c.Col), c.Kept ? kMaskOn : 0.0) << c.Row << "," << c.Col;
    }
}

// Two-pixel blobs spread over the live part of the frame.
std::unique_ptr<TPlane> MaskWithBlobs(int count) {
    auto mask = EmptyPlane();
    int placed = 0;
    for (int r = 10; r < 470 && placed < count; r += 3) {
        for (int c = 10; c < 629 && placed < count; c += 4, ++placed) {
            Set(*mask, r, c);
            Set(*mask, r, c + 1);
        }
    }
    return mask;
}

TEST(Processing, MoreThan1300BlobsYieldNoCentres) {
    EXPECT_EQ(CenterCount(CentersOf(*MaskWithBlobs(1300))), 1300);
    const TCenterList over = CentersOf(*MaskWithBlobs(1301));
    EXPECT_EQ(over[0], (TCenter{0, 0, 0, 0}));
    EXPECT_EQ(CenterCount(CentersOf(*MaskWithBlobs(20000))), 0);
}

// A dark frame with bright 3 x 3 spots on a grid: each spot is one blob.
testing::TGrey Spots(int count) {
    testing::TGrey g = testing::Constant(40);
    int placed = 0;
    for (int r = 14; r < 466 && placed < count; r += 11) {
        for (int c = 14; c < 626 && placed < count; c += 11, ++placed) {
            for (int dr = -1; dr <= 1; ++dr) {
                for (int dc = -1; dc <= 1; ++dc) {
                    g[static_cast<std::size_t>(FrameIndex(r + dr, c + dc))] = 220;
                }
            }
        }
    }
    return g;
}

TEST(Processing, FinderKeeps1300BlobsAndDropsAFrameWith1301) {
    const TRect roi{100, 100, 300, 300};
    for (const auto& [spots, expected] : {std::pair{1300, 1300}, std::pair{1301, 0}}) {
        const testing::TGrey grey = Spots(spots);
        TCMFinder finder(testing::AsImage(grey));
        EXPECT_EQ(finder.FindCenters(5, -3.0, roi), expected) << spots << " spots";
        EXPECT_EQ(CenterCount(reference::FindCenters(grey.data(), 5, -3.0, roi)->Centers),
                  expected);
    }
}

TEST(Processing, QuicksortOrderOfEqualRowsAndExchangedFields) {
    TCenterList list = testing::MakeCenters({{2, 10}, {1, 20}, {2, 30}});
    list[1].Manual = 1;
    TCenterList all = list;
    SortCentersByRow(list, 1, 3, TCenterExchange::RowColWeight);
    SortCentersByRow(all, 1, 3, TCenterExchange::AllFields);
    // The unstable partition leaves the two row-2 entries swapped.
    for (const TCenterList* l : {&list, &all}) {
        EXPECT_EQ((*l)[1].Col, 20);
        EXPECT_EQ((*l)[2].Col, 30);
        EXPECT_EQ((*l)[3].Col, 10);
    }
    // Detection never moves Manual; the editor moves whole entries.
    EXPECT_EQ(list[1].Manual, 1);
    EXPECT_EQ(list[3].Manual, 0);
    EXPECT_EQ(all[1].Manual, 0);
    EXPECT_EQ(all[3].Manual, 1);
}

TEST(Processing, NormalisationWindowIsTheGrownRoiClippedToTheFrame) {
    const struct {
        TRect Roi;
        TWindow Expected;
    } cases[] = {
        {{100, 50, 200, 150}, {42, 158, 92, 208}},
        {{200, 150, 100, 50}, {42, 158, 92, 208}}, // corners in any order
        {{0, 0, 10, 10}, {0, 18, 0, 18}},
        {{630, 470, 639, 479}, {462, 479, 622, 639}},
    };
    for (const auto& c : cases) {
        const TWindow w = NormalisationWindow(c.Roi);
        EXPECT_EQ(w.Top, c.Expected.Top);
        EXPECT_EQ(w.Bottom, c.Expected.Bottom);
        EXPECT_EQ(w.Left, c.Expected.Left);
        EXPECT_EQ(w.Right, c.Expected.Right);
    }
    const TWindow outside = NormalisationWindow({1000, 1000, 2000, 2000});
    EXPECT_LT(outside.Bottom, outside.Top);
}

TEST(Processing, NormalisationScansMinBeforeMaxAndSaturatesOutsideTheWindow) {
    auto plane = EmptyPlane();
    plane->fill(150.0);
    // The window of this ROI is rows 0 ... 18, columns 0 ... 18; its first pixel is the
    // brightest, but as a new minimum it never becomes Max.
    Set(*plane, 0, 0, 200.0);
    Set(*plane, 5, 5, 100.0);
    Set(*plane, 6, 6, 125.0);
    Set(*plane, 100, 100, 20.0); // outside the window, darker than anything in it
    ASSERT_TRUE(NormalizeToROI(*plane, {0, 0, 10, 10}));
    // Min 100, Max 150: the factor 255 / 50 is computed first, as a double.
    const double top = 50.0 * (255.0 / 50.0);
    EXPECT_EQ(At(*plane, 0, 0), top);
    EXPECT_EQ(At(*plane, 5, 5), 0.0);
    EXPECT_EQ(At(*plane, 6, 6), 25.0 * (255.0 / 50.0));
    EXPECT_EQ(At(*plane, 7, 7), top);
    EXPECT_EQ(At(*plane, 100, 100), 0.0);
}

TEST(Processing, WindowOfOneGreyValueGivesNoCentres) {
    for (const std::uint8_t level : {0, 128, 255}) {
        const testing::TGrey grey = testing::Constant(level);
        TCMFinder finder(testing::AsImage(grey));
        EXPECT_EQ(finder.FindCenters(5, -3.0, {100, 100, 300, 300}), 0) << int{level};
        EXPECT_EQ(finder.Centers()[0], (TCenter{0, 0, 0, 0}));
    }
    // Uniform inside the window, detail outside it.
    testing::TGrey grey = testing::Noise(3);
    for (int r = 92; r <= 308; ++r) {
        for (int c = 92; c <= 308; ++c) {
            grey[static_cast<std::size_t>(FrameIndex(r, c))] = 90;
        }
    }
    TCMFinder finder(testing::AsImage(grey));
    EXPECT_EQ(finder.FindCenters(5, -3.0, {100, 100, 300, 300}), 0);
}

TEST(Processing, FinderSurvivesHostileFramesAndRois) {
    const TRect rois[] = {{0, 0, 0, 0},
                          {639, 479, 639, 479},
                          {0, 0, 639, 479},
                          {-50, -50, -10, -10},
                          {700, 500, 900, 900},
                          {630, 0, 639, 479},
                          {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}};
    const testing::TGrey frames[] = {testing::Noise(9), testing::Checkerboard(2, 0, 255),
                                     testing::Checkerboard(5, 100, 110)};
    for (const testing::TGrey& grey : frames) {
        for (const TRect& roi : rois) {
            TCMFinder finder(testing::AsImage(grey));
            const int count = finder.FindCenters(5, -3.0, roi);
            const auto plain = reference::FindCenters(grey.data(), 5, -3.0, roi);
            ASSERT_EQ(count, CenterCount(plain->Centers));
            for (int i = 1; i <= count; ++i) {
                ASSERT_EQ(finder.Centers()[static_cast<std::size_t>(i)],
                          plain->Centers[static_cast<std::size_t>(i)]);
            }
        }
    }
}

TEST(Processing, SmoothingPassesAreCappedAtOneHundred) {
    // Uncapped, a million passes would run for minutes.
    const testing::TGrey grey = testing::Endothelium(3, 1500.0, synthetic::TBodyKind::Domed);
    TCMFinder capped(testing::AsImage(grey));
    capped.FindCenters(kMaxSmoothingPasses, -3.0, {100, 100, 400, 400});
    TCMFinder huge(testing::AsImage(grey));
    huge.FindCenters(1000000, -3.0, {100, 100, 400, 400});
    EXPECT_EQ(huge.Centers(), capped.Centers());
    EXPECT_TRUE(std::equal(huge.Mask().begin(), huge.Mask().end(), capped.Mask().begin()));
}

TEST(Processing, CheckerboardBreaksIntoTooManyBlobs) {
    // Squares of 5 survive the smoothing as separate bright spots.
    const testing::TGrey grey = testing::Checkerboard(5, 40, 200);
    const TRect roi{100, 100, 300, 300};
    const auto plain = reference::FindCenters(grey.data(), 5, -3.0, roi);
    auto labels = EmptyPlane();
    TCenterList sums{};
    EXPECT_GT(LabelBlobs(plain->Mask, *labels, sums), kMaxDetectedBlobs);
    TCMFinder finder(testing::AsImage(grey));
    EXPECT_EQ(finder.FindCenters(5, -3.0, roi), 0);
}

} // namespace
} // namespace endomira
