// Morphometry of a frame and of the examination, the results panels' texts, and the stored
// distribution strings.
#include "HistogramText.h"
#include "MessageService.h"
#include "MorphometryText.h"
#include "RealText.h"
#include "SyntheticEndothelium.h"
#include "UBCellFinder.h"
#include "UBFrameBuffer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <vector>

namespace endomira {
namespace {

constexpr double kOneMicrometre = 0.001; // mm per pixel: 1 µm per pixel
const TRect kRoi{100, 100, 400, 400};

// A cell table whose header (entry 0) looks like a cell inside the ROI: it must never count.
std::vector<TCellStat> Cells(const std::vector<TCellStat>& cells) {
    std::vector<TCellStat> table{TCellStat{999, 6, 200, 200}};
    table.insert(table.end(), cells.begin(), cells.end());
    return table;
}

TCellStat Cell(std::int32_t area, std::int32_t sides = 6, std::int32_t row = 200,
               std::int32_t col = 200) {
    return TCellStat{area, sides, row, col};
}

struct TFixture {
    TBFrameBuffer Buffer;
    TFixture(int frames = 1) {
        for (int i = 0; i < frames; ++i) {
            QImage image(kFrameWidth, kFrameHeight, QImage::Format_RGB888);
            image.fill(Qt::gray);
            EXPECT_TRUE(Buffer.BAddFrame(image, {}, 0, kFrameLevel, kRoi, {}, -3.0));
        }
    }
    const TFrameRecord& Calculate(const std::vector<TCellStat>& cells, double mm = kOneMicrometre,
                                  const TRect& roi = kRoi) {
        const std::vector<TCellStat> table = Cells(cells);
        Buffer.BCalculateStatistics(0, static_cast<int>(cells.size()), mm, table, roi);
        return Buffer.BGetFrame(0);
    }
};

TEST(Morphometry, TwoCellsGiveMeanDeviationAreaAndDensity) {
    TFixture f;
    const TFrameRecord& r = f.Calculate({Cell(100, 5), Cell(300, 6)});
    EXPECT_EQ(r.CellCount, 2);
    EXPECT_EQ(r.MeanArea, 200.0);
    EXPECT_EQ(r.AreaSD, 100.0); // population deviation
    EXPECT_EQ(r.AreaCV, 0.5);
    EXPECT_EQ(r.AnalysedArea, (kOneMicrometre * kOneMicrometre) * 400.0);
    EXPECT_DOUBLE_EQ(r.AnalysedArea, 0.0004);
    EXPECT_EQ(r.Density, 5000);
    EXPECT_EQ(r.MinArea, 100.0);
    EXPECT_EQ(r.MaxArea, 300.0);
    EXPECT_EQ(r.SidesCount, (TSidesCounts{0, 1, 1, 0, 0}));
    EXPECT_EQ(r.AreaClassCount, (TAreaClassCounts{0, 0, 0, 0, 1, 0, 1}));
}

TEST(Morphometry, AreaClassesOfRoundedMicrometres) {
    struct TCase {
        double MmPerPixel;
        std::int32_t Pixels;
        double Area;
        std::size_t Class;
    };
    const TCase cases[] = {
        {0.001, 350, 350, 4},   {0.001, 700, 700, 0},   {0.001, 699, 699, 1}, {0.001, 600, 600, 1},
        {0.001, 599, 599, 2},   {0.001, 500, 500, 2},   {0.001, 499, 499, 3}, {0.001, 400, 400, 3},
        {0.001, 399, 399, 4},   {0.001, 300, 300, 4},   {0.001, 299, 299, 5}, {0.001, 200, 200, 5},
        {0.001, 199, 199, 6},   {0.0005, 2798, 700, 0}, // 699.5 to the even 700
        {0.0005, 2794, 698, 1},                         // 698.5 to 698
        {0.0005, 798, 200, 5},                          // 199.5 to 200
        {0.0005, 794, 198, 6},                          // 198.5 to 198
    };
    for (const TCase& c : cases) {
        TFixture f;
        const TFrameRecord& r = f.Calculate({Cell(c.Pixels)}, c.MmPerPixel);
        EXPECT_EQ(r.MeanArea, c.Area) << c.Pixels << " px at " << c.MmPerPixel;
        TAreaClassCounts expected{};
        expected[c.Class] = 1;
        EXPECT_EQ(r.AreaClassCount, expected) << c.Pixels << " px at " << c.MmPerPixel;
    }
}

TEST(Morphometry, OnlyCentresStrictlyInsideTheROICount) {
    // Each centre on one of the ROI's four edges, then the same just inside.
    const std::vector<TCellStat> onEdges{Cell(300, 6, 100, 200), Cell(300, 6, 400, 200),
                                         Cell(300, 6, 200, 100), Cell(300, 6, 200, 400),
                                         Cell(300, 6, 0, 0)}; // a discarded cell
    const std::vector<TCellStat> inside{Cell(300, 4, 101, 200), Cell(300, 5, 399, 200),
                                        Cell(300, 7, 200, 101), Cell(300, 8, 200, 399),
                                        Cell(300, 3, 200, 200)};
    TFixture f;
    EXPECT_EQ(f.Calculate(onEdges).CellCount, 0);
    const TFrameRecord& r = f.Calculate(inside);
    EXPECT_EQ(r.CellCount, 5);
    EXPECT_EQ(r.SidesCount, (TSidesCounts{1, 1, 0, 1, 2}));
    EXPECT_EQ(f.Calculate(inside, kOneMicrometre, TRect{}).CellCount, 0); // a 0 x 0 ROI
}

TEST(Morphometry, AFrameWithoutCellsKeepsOnlyTheMinimumReset) {
    TFixture f;
    f.Calculate({Cell(100), Cell(300)});
    const TFrameRecord& r = f.Calculate({Cell(300, 6, 10, 10)}); // after an edit: none inside
    EXPECT_EQ(r.CellCount, 0);
    EXPECT_EQ(r.MinArea, 65000.0);
    EXPECT_EQ(r.MaxArea, 0.0);
    EXPECT_EQ(r.MeanArea, 0.0);
    EXPECT_EQ(r.AreaSD, 0.0);
    EXPECT_EQ(r.AreaCV, 0.0);
    EXPECT_EQ(r.AnalysedArea, 0.0);
    EXPECT_EQ(r.Density, 0);
    EXPECT_EQ(r.SidesCount, TSidesCounts{});
    EXPECT_EQ(r.AreaClassCount, TAreaClassCounts{});
}

TEST(Morphometry, DensityBeyondSixteenBitsWrapsAsTheField) {
    TFixture f;
    // One cell of one pixel at 1 µm per pixel: 1 000 000 cells per mm².
    EXPECT_EQ(f.Calculate({Cell(1)}).Density, 1000000 % 65536);
}

TEST(Morphometry, AFailureShowsTheMessageAndKeepsWhatWasWritten) {
    TMessageRecorder recorder;
    TFixture f;
    // A zero scale gives an analysed area of 0: the density has no value.
    const TFrameRecord& r = f.Calculate({Cell(100), Cell(300)}, 0.0);
    ASSERT_EQ(recorder.Shown().size(), 1u);
    EXPECT_EQ(recorder.Shown()[0].Text,
              QStringLiteral("Erro irrecuperável em 'TBFrameBuffer.BCalculateStatistics'"));
    EXPECT_EQ(recorder.Shown()[0].Title, QStringLiteral("ERRO"));
    EXPECT_EQ(r.CellCount, 2);
    EXPECT_EQ(r.AnalysedArea, 0.0);
    EXPECT_EQ(r.Density, 0);
    // A cell count beyond the table reads no further than the table.
    recorder.Clear();
    const std::vector<TCellStat> table = Cells({Cell(100)});
    f.Buffer.BCalculateStatistics(0, 15000, kOneMicrometre, table, kRoi);
    EXPECT_TRUE(recorder.Shown().empty());
    EXPECT_EQ(f.Buffer.BGetCellCount(0), 1);
}

TEST(Morphometry, RealTessellationAddsUp) {
    synthetic::TEndotheliumParams params;
    params.Seed = 11;
    params.CellsPerMm2 = 1500.0; // about 900 centres over the frame
    const std::vector<std::uint8_t> grey = synthetic::GenerateEndothelium(params).Grey;
    const TRect roi{170, 90, 470, 390};
    TCMFinder finder(TGreyImage(grey.data(), kFramePixels));
    ASSERT_GT(finder.FindCenters(5, -3.0, roi), 30);
    auto cells = std::make_unique<TDistMatrix>(finder.Centers());
    cells->Recompute();

    TFixture f;
    const TCellStats& stats = cells->CellStats();
    f.Buffer.BCalculateStatistics(0, cells->Count(), params.MmPerPixel, stats, roi);
    const TFrameRecord& r = f.Buffer.BGetFrame(0);
    std::int64_t pixels = 0;
    int counted = 0;
    for (int i = 1; i <= cells->Count(); ++i) {
        const TCellStat& s = stats[static_cast<std::size_t>(i)];
        if (roi.Top < s.Row && s.Row < roi.Bottom && roi.Left < s.Col && s.Col < roi.Right) {
            pixels += s.Area;
            ++counted;
        }
    }
    EXPECT_EQ(r.CellCount, counted);
    EXPECT_EQ(std::accumulate(r.SidesCount.begin(), r.SidesCount.end(), 0), counted);
    EXPECT_EQ(std::accumulate(r.AreaClassCount.begin(), r.AreaClassCount.end(), 0), counted);
    EXPECT_EQ(r.AnalysedArea, (params.MmPerPixel * params.MmPerPixel) * pixels);
    EXPECT_NEAR(r.Density, params.CellsPerMm2, 0.15 * params.CellsPerMm2);
    EXPECT_LE(r.MinArea, r.MeanArea);
    EXPECT_LE(r.MeanArea, r.MaxArea);
    EXPECT_GT(r.SidesCount[2], r.SidesCount[0]); // hexagons dominate a healthy mosaic
}

// Frames whose statistics are set by hand, all used.
void AddFramesWithDensities(TBFrameBuffer& buffer, const std::vector<std::uint16_t>& densities) {
    QImage image(kFrameWidth, kFrameHeight, QImage::Format_RGB888);
    for (const std::uint16_t d : densities) {
        EXPECT_TRUE(buffer.BAddFrame(image, {}, 0, kFrameLevel, {}, {}, -3.0));
        buffer.BGetLastFrame().Density = d;
        buffer.BGetLastFrame().UseInCalculation = true;
    }
}

TEST(Morphometry, ExamDensityIsTheMeanRoundedHalfToEven) {
    struct TCase {
        std::vector<std::uint16_t> Densities;
        std::uint16_t Mean;
    };
    const TCase cases[] = {
        {{2000, 2001, 2001}, 2001},
        {{2000, 2001, 2002, 2003}, 2002}, // 2001.5: the even neighbour
        {{2000, 2001, 2000, 2002}, 2001}, // 2000.75
        {{2001, 2002}, 2002},             // 2001.5
        {{2002, 2003}, 2002},             // 2002.5
        {std::vector<std::uint16_t>(30, 3000), 3000},
        {{65535, 65535, 65535}, 65535}, // no wrap-around of the total
    };
    for (const TCase& c : cases) {
        TBFrameBuffer buffer;
        AddFramesWithDensities(buffer, c.Densities);
        EXPECT_EQ(buffer.BCalculateExamStatistics(1.0).Density, c.Mean);
        EXPECT_EQ(buffer.BGetSummary().FramesUsed, c.Densities.size());
    }
}

TEST(Morphometry, ExamStatisticsAverageOnlyTheUsedFrames) {
    TBFrameBuffer buffer;
    AddFramesWithDensities(buffer, {1000, 2000, 3000});
    const double maxima[] = {700.0, 650.0, 1.0e6};
    for (std::uint16_t i = 0; i < 3; ++i) {
        TFrameRecord& f = buffer.BGetFrame(i);
        f.CellCount = static_cast<std::uint16_t>(100 + i);
        f.MaxArea = maxima[i];
        f.AreaCV = 0.1 * (i + 1);
        f.SidesCount = {1, 2, static_cast<std::uint16_t>(40 + i), 4, 5};
        f.AreaClassCount = {static_cast<std::uint16_t>(i), 0, 0, 0, 0, 0, 7};
        f.PachymetryLine = TPachymetryLine{0, 150 + i, 150 + i};
    }
    buffer.BSetUseInCalculation(2, false); // excluded
    const TExamSummary& s = buffer.BCalculateExamStatistics(3.6);
    EXPECT_EQ(s.FramesUsed, 2);
    EXPECT_EQ(s.Density, 1500);
    EXPECT_EQ(s.CellCount, 100); // 100.5: the even neighbour
    EXPECT_EQ(s.MaxArea, 675.0);
    EXPECT_EQ(s.AreaCV, (0.1 + 0.2) / 2.0);
    EXPECT_EQ(s.SidesCount, (TSidesCounts{1, 2, 40, 4, 5})); // 40.5 to 40
    EXPECT_EQ(s.AreaClassCount, (TAreaClassCounts{0, 0, 0, 0, 0, 0, 7}));
    EXPECT_EQ(s.Pachymetry, 542); // 150 x 3.6 = 540 and 151 x 3.6 = 543.6, rounded to 544

    for (std::uint16_t i = 0; i < 3; ++i) {
        buffer.BSetUseInCalculation(i, false);
    }
    EXPECT_EQ(buffer.BCalculateExamStatistics(3.6), TExamSummary{});
}

TEST(Morphometry, HistogramStringsRoundTripAndRefuseMalformedText) {
    const TSidesCounts sides{12, 30, 45, 9, 4};
    EXPECT_EQ(WriteHistogramString(sides), QStringLiteral("12;30;45;9;4"));
    EXPECT_EQ(WriteHistogramString(TSidesCounts{}), QStringLiteral("0;0;0;0;0"));
    const TAreaClassCounts classes{65535, 0, 1, 10, 100, 1000, 10000};
    TAreaClassCounts back{};
    ASSERT_TRUE(ReadHistogramString(WriteHistogramString(classes), back));
    EXPECT_EQ(back, classes);

    TSidesCounts signedRead{};
    ASSERT_TRUE(ReadHistogramString(u"+1;-2;007;4;5", signedRead));
    EXPECT_EQ(signedRead, (TSidesCounts{1, 65534, 7, 4, 5}));

    const char16_t* malformed[] = {
        u"",           u"1;2;3",      u"1;2;3;4;5;6",
        u"1;;3;4;5",   u"1;2;3;4;",   u";2;3;4;5",
        u" 1;2;3;4;5", u"1;2;3;4;5 ", u"1.0;2;3;4;5",
        u"1;2;x;4;5",  u"1;2;3;4;+",  u"1;2;3;4;99999999999",
        u"1,2,3,4,5",  u"1;2;3;4;5;",
    };
    for (const char16_t* text : malformed) {
        TSidesCounts values{};
        EXPECT_FALSE(ReadHistogramString(QStringView(text), values))
            << QString::fromUtf16(text).toStdString();
    }
}

TEST(Morphometry, PanelsFormatEveryFigureAlike) {
    SetDecimalSeparator(u',');
    TFrameRecord frame;
    frame.CellCount = 100;
    frame.AnalysedArea = 0.0004;
    frame.Density = 2500;
    frame.AreaSD = 100.005;
    frame.MinArea = 150.0;
    frame.MeanArea = 400.125;
    frame.MaxArea = 700.0;
    frame.SidesCount = {1, 2, 5, 3, 4};
    frame.AreaCV = 0.255;
    const TMorphometryText t = FormatMorphometry(FrameFigures(frame, 54));
    EXPECT_EQ(t.CellCount, QStringLiteral("100"));
    EXPECT_EQ(t.AnalysedArea, QStringLiteral("0,0004"));
    EXPECT_EQ(t.Density, QStringLiteral("2500"));
    EXPECT_EQ(t.MinArea, QStringLiteral("150,00"));
    EXPECT_EQ(t.MeanArea, QStringLiteral("400,12"));
    EXPECT_EQ(t.MaxArea, QStringLiteral("700,00"));
    EXPECT_EQ(t.Hexagonal, QStringLiteral("05"));
    EXPECT_EQ(t.AreaCV, QStringLiteral("26"));
    EXPECT_EQ(t.Pachymetry, QStringLiteral("054"));

    TStoredExamSummary stored;
    stored.EXM_TOTALCELULAS = 0; // no cells: no share to show
    stored.EXM_HEXAGONAIS = 0;
    stored.EXM_PAQUIMETRIA = 54;
    stored.EXM_TOTALIMG = 3;
    const TMorphometryText s = FormatMorphometry(StoredExamFigures(stored));
    EXPECT_EQ(s.Hexagonal, QStringLiteral("00"));
    EXPECT_EQ(s.Pachymetry, QStringLiteral("54"));
    EXPECT_EQ(s.FramesUsed, QStringLiteral("3"));
    SetDecimalSeparator(u'.');
}

} // namespace
} // namespace endomira
