// The frame buffer: frames and their attributes, ROI, crops, the live-image grey statistics,
// running out of memory, and the summary of a saved examination.
#include "../overlay/GreyFrameImage.h"
#include "HistogramText.h"
#include "MessageService.h"
#include "SyntheticEndothelium.h"
#include "UBCellFinder.h"
#include "UBFrameBuffer.h"

#include <gtest/gtest.h>

#include <QPainter>

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

namespace endomira {
namespace {

QImage Gradient(int width = kFrameWidth, int height = kFrameHeight) {
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            line[3 * x] = static_cast<uchar>(x);
            line[3 * x + 1] = static_cast<uchar>(y);
            line[3 * x + 2] = static_cast<uchar>(x + y);
        }
    }
    return image;
}

void AddPlainFrame(TBFrameBuffer& buffer, const QImage& image = Gradient()) {
    ASSERT_TRUE(buffer.BAddFrame(image, TFixation{QStringLiteral("N"), 2}, 0, kFrameLevel, {}, {},
                                 kNormalSensitivity));
}

TEST(FrameBuffer, NewFrameIsACopyWithEverythingElseEmpty) {
    TBFrameBuffer buffer;
    EXPECT_EQ(buffer.BGetCount(), 0);
    // A larger picture contributes its (0, 0, 640, 480) area; a smaller one leaves the rest black.
    const QImage large = Gradient(700, 500);
    ASSERT_TRUE(buffer.BAddFrame(large, TFixation{QStringLiteral("TX"), 10}, 1, kFrameLevel, {}, {},
                                 kNormalSensitivity));
    AddPlainFrame(buffer, Gradient(100, 50).convertToFormat(QImage::Format_RGB32));
    ASSERT_EQ(buffer.BGetCount(), 2);
    ASSERT_EQ(buffer.BGetFrames().size(), 2u);

    const TFrameRecord& first = buffer.BGetFrame(0);
    EXPECT_EQ(first.Image.format(), QImage::Format_RGB888);
    EXPECT_EQ(first.Image.size(), QSize(kFrameWidth, kFrameHeight));
    EXPECT_EQ(first.Image, large.copy(0, 0, kFrameWidth, kFrameHeight));
    EXPECT_EQ(buffer.BGetFixation(0), (TFixation{QStringLiteral("T"), 10}));
    EXPECT_EQ(first.Eye, 1);
    EXPECT_EQ(first.Level, kFrameLevel);
    EXPECT_EQ(buffer.BGetSensitivity(0), -3.0);
    EXPECT_FALSE(buffer.BGetUseInCalculation(0));
    EXPECT_FALSE(buffer.BHasValidROI(0));
    EXPECT_TRUE(buffer.BGetROI(0).IsEmpty());
    EXPECT_TRUE(buffer.BGetCropOriginal(0).isNull());
    EXPECT_TRUE(buffer.BGetCropProcessed(0).isNull());
    EXPECT_EQ(buffer.BGetVoronoi(0), nullptr);
    EXPECT_EQ(buffer.BGetCellCount(0), 0);

    const QImage& second = buffer.BGetLastFrame().Image;
    EXPECT_EQ(second.pixelColor(99, 49), Gradient(100, 50).pixelColor(99, 49));
    EXPECT_EQ(second.pixelColor(100, 49), QColor(0, 0, 0));
    EXPECT_EQ(second.pixelColor(5, 50), QColor(0, 0, 0));
}

QImage NoImage(int, int) {
    return QImage();
}
QImage ThrowingAllocation(int, int) {
    throw std::bad_alloc();
}

TEST(FrameBuffer, AddFrameOutOfMemoryShowsTheMessageAndKeepsTheBuffer) {
    for (const TFrameImageAllocator failing : {&NoImage, &ThrowingAllocation}) {
        TMessageRecorder recorder;
        TBFrameBuffer buffer;
        AddPlainFrame(buffer);
        buffer.BSetROI(0, TRect{10, 10, 100, 100});

        const TFrameImageAllocator previous = SetFrameImageAllocator(failing);
        const bool added = buffer.BAddFrame(Gradient(), {}, 0, kFrameLevel, {}, {}, -3.0);
        SetFrameImageAllocator(previous);

        EXPECT_FALSE(added);
        EXPECT_EQ(buffer.BGetCount(), 1);
        EXPECT_EQ(buffer.BGetFrames().size(), 1u);
        EXPECT_EQ(buffer.BGetFrame(0).Image, Gradient());
        EXPECT_EQ(buffer.BGetROI(0), (TRect{10, 10, 100, 100}));
        ASSERT_EQ(recorder.Shown().size(), 1u);
        EXPECT_EQ(recorder.Shown()[0].Text,
                  QStringLiteral("Memória insuficiente para concluir o processo!"));
        EXPECT_EQ(recorder.Shown()[0].Title, QStringLiteral("Erro"));
        EXPECT_EQ(recorder.Shown()[0].Buttons, mbOK);
        // The buffer works on afterwards.
        AddPlainFrame(buffer);
        EXPECT_EQ(buffer.BGetCount(), 2);
    }
}

TEST(FrameBuffer, SetROINormalisesAndRejectsAreasOfFiftyOrLess) {
    struct TCase {
        TRect Corners;
        TRect Stored;
    };
    const TCase cases[] = {
        {{300, 200, 100, 50}, {100, 50, 300, 200}}, // right-to-left, bottom-to-top
        {{100, 200, 300, 50}, {100, 50, 300, 200}},
        {{10, 10, 17, 17}, {}},               // 7 x 7 = 49
        {{10, 10, 15, 20}, {}},               // 5 x 10 = 50
        {{10, 10, 13, 27}, {10, 10, 13, 27}}, // 3 x 17 = 51
        {{10, 10, 10, 400}, {}},              // no width
    };
    for (const TCase& c : cases) {
        TBFrameBuffer buffer;
        AddPlainFrame(buffer);
        buffer.BSetROI(0, TRect{1, 1, 200, 200}); // an earlier ROI never survives
        buffer.BSetROI(0, c.Corners);
        EXPECT_EQ(buffer.BGetROI(0), c.Stored);
        EXPECT_EQ(buffer.BHasValidROI(0), !c.Stored.IsEmpty());
    }
}

TEST(FrameBuffer, DrawROIOutlinesOnlyValidRectanglesAndLeavesNotXor) {
    const QColor lime(0, 255, 0);
    {
        QImage canvas(64, 64, QImage::Format_RGB888);
        canvas.fill(Qt::black);
        QPainter painter(&canvas);
        TBFrameBuffer::BDrawROI(painter, TRect{20, 20, 10, 15}, lime); // 10 x 5 = 50
        painter.end();
        QImage black(64, 64, QImage::Format_RGB888);
        black.fill(Qt::black);
        EXPECT_EQ(canvas, black);
    }
    QImage canvas(64, 64, QImage::Format_RGB888);
    canvas.fill(Qt::black);
    QPainter painter(&canvas);
    TBFrameBuffer::BDrawROI(painter, TRect{40, 30, 10, 20}, lime);
    EXPECT_EQ(painter.compositionMode(), QPainter::RasterOp_NotSourceXorDestination);
    painter.end();
    // The outline runs along columns 10 and 39 and rows 20 and 29; the brush is hollow.
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const bool onOutline = ((x == 10 || x == 39) && y >= 20 && y <= 29) ||
                                   ((y == 20 || y == 29) && x >= 10 && x <= 39);
            EXPECT_EQ(canvas.pixelColor(x, y), onOutline ? lime : QColor(Qt::black))
                << x << "," << y;
        }
    }
}

TEST(FrameBuffer, PachymetryIsTheRoundedLengthTimesTheScale) {
    struct TCase {
        std::int32_t LengthPx;
        double PixelToPaq;
        std::uint16_t Micrometres;
    };
    const TCase cases[] = {
        {0, 3.6, 0},          {100, 1.75, 175},
        {150, 3.6, 540},      {5, 0.5, 2}, // 2.5: the even neighbour
        {7, 0.5, 4},                       // 3.5
        {-150, 3.6, 0},                    // bright edge left of the dark one: no thickness
        {100000, 3.6, 65535},
    };
    for (const TCase& c : cases) {
        TBFrameBuffer buffer;
        AddPlainFrame(buffer);
        buffer.BSetPachymetryLine(0, 400, 400 + c.LengthPx, c.LengthPx);
        EXPECT_EQ(buffer.BGetPachymetryLine(0),
                  (TPachymetryLine{400, 400 + c.LengthPx, c.LengthPx}));
        EXPECT_EQ(buffer.BGetPachymetry(0, c.PixelToPaq), c.Micrometres) << c.LengthPx;
    }
}

TEST(FrameBuffer, CropsCutTheROIFromTheirSourceAndReplaceEarlierOnes) {
    TBFrameBuffer buffer;
    AddPlainFrame(buffer);
    const QImage background = Gradient();
    QImage surface = Gradient();
    surface.fill(QColor(1, 2, 3));
    const TRect roi{100, 50, 300, 200};
    buffer.BCropFrame(0, background, surface, false, roi);
    buffer.BCropFrame(0, background, surface, true, roi);
    EXPECT_EQ(buffer.BGetCropOriginal(0), background.copy(100, 50, 200, 150));
    EXPECT_EQ(buffer.BGetCropOriginal(0).format(), QImage::Format_RGB888);
    EXPECT_EQ(buffer.BGetCropProcessed(0).size(), QSize(200, 150));
    EXPECT_EQ(buffer.BGetCropProcessed(0).pixelColor(199, 149), QColor(1, 2, 3));

    buffer.BCropFrame(0, surface, background, false, TRect{0, 0, 10, 20});
    EXPECT_EQ(buffer.BGetCropOriginal(0), surface.copy(0, 0, 10, 20));
    EXPECT_EQ(buffer.BGetCropProcessed(0).size(), QSize(200, 150)); // the other kind stays
    // An empty area gives no crop rather than the whole picture.
    buffer.BCropFrame(0, background, surface, true, TRect{});
    EXPECT_TRUE(buffer.BGetCropProcessed(0).isNull());
}

TEST(FrameBuffer, GreyImagesInBothLayoutsHoldTheSameLevels) {
    TBFrameBuffer buffer;
    AddPlainFrame(buffer);
    std::vector<std::uint8_t> rows(kFramePixels);
    std::vector<std::uint8_t> columns(kFramePixels);
    buffer.BGetGreyImage(0, std::span<std::uint8_t, kFramePixels>(rows.data(), kFramePixels));
    buffer.BGetGreyImageTransposed(
        0, std::span<std::uint8_t, kFramePixels>(columns.data(), kFramePixels));
    for (int y = 0; y < kFrameHeight; y += 7) {
        for (int x = 0; x < kFrameWidth; x += 5) {
            const int sum = x % 256 + y % 256 + (x + y) % 256;
            const int expected = sum / 3 + (sum % 3 == 2 ? 1 : 0); // rounded mean
            ASSERT_EQ(rows[static_cast<std::size_t>(FrameIndex(y, x))], expected);
            ASSERT_EQ(columns[static_cast<std::size_t>(x * kFrameHeight + y)], expected);
        }
    }
}

struct TPlainStatistics {
    double Mean = 0.0;
    double Variance = 0.0;
};

// The statistics as written: a plain pass for the mean and one for the squared deviations.
TPlainStatistics PlainStatistics(const std::vector<std::uint8_t>& grey) {
    double sum = 0.0;
    for (const std::uint8_t v : grey) {
        sum += v;
    }
    TPlainStatistics s;
    s.Mean = sum / kFramePixels;
    double deviation = 0.0;
    for (const std::uint8_t v : grey) {
        deviation += (v - s.Mean) * (v - s.Mean);
    }
    s.Variance = deviation / kFramePixels;
    return s;
}

TEST(FrameBuffer, GreyStatisticsAreThePlainSumsToTheLastBit) {
    synthetic::TEndotheliumParams params;
    params.Seed = 7;
    params.Kind = synthetic::TBodyKind::FlatGrainy;
    const std::vector<std::uint8_t> grey = synthetic::GenerateEndothelium(params).Grey;
    TBFrameBuffer buffer;
    buffer.BComputeGreyStatistics(
        std::span<const std::uint8_t, kFramePixels>(grey.data(), kFramePixels));
    const TPlainStatistics plain = PlainStatistics(grey);
    EXPECT_EQ(buffer.GreyMean(), plain.Mean);
    EXPECT_EQ(buffer.GreyVariance(), plain.Variance);
    EXPECT_EQ(buffer.GreySD(), std::sqrt(plain.Variance));
    std::array<std::uint32_t, 256> histogram{};
    for (const std::uint8_t v : grey) {
        ++histogram[v];
    }
    EXPECT_EQ(buffer.GreyHistogram(), histogram);

    // With tolerance 0 only the exact figures pass; each bound is included.
    const QImage image = GreyFrameImage(grey);
    const double m = plain.Mean;
    const double sd = std::sqrt(plain.Variance);
    const double v = plain.Variance;
    const auto up = [](double x) { return std::nextafter(x, 1.0e9); };
    const auto down = [](double x) { return std::nextafter(x, -1.0e9); };
    EXPECT_TRUE(buffer.BCheckFrameStatistics(image, m, sd, v, 0.0));
    EXPECT_FALSE(buffer.BCheckFrameStatistics(image, up(m), sd, v, 0.0));
    EXPECT_FALSE(buffer.BCheckFrameStatistics(image, down(m), sd, v, 0.0));
    EXPECT_FALSE(buffer.BCheckFrameStatistics(image, m, up(sd), v, 0.0));
    EXPECT_FALSE(buffer.BCheckFrameStatistics(image, m, sd, down(v), 0.0));
    EXPECT_TRUE(buffer.BCheckFrameStatistics(image, m * 1.2, sd * 0.8, v * 1.25, 0.25));
    EXPECT_FALSE(buffer.BCheckFrameStatistics(image, m * 1.5, sd, v, 0.25));
}

TEST(FrameBuffer, OwnsTheTessellationAndRestoresItsDetection) {
    synthetic::TEndotheliumParams params;
    params.Seed = 5;
    params.CellsPerMm2 = 1500.0;
    const std::vector<std::uint8_t> grey = synthetic::GenerateEndothelium(params).Grey;
    TBFrameBuffer buffer;
    AddPlainFrame(buffer, GreyFrameImage(grey));
    buffer.BSetROI(0, TRect{170, 90, 470, 390});
    std::vector<std::uint8_t> levels(kFramePixels);
    buffer.BGetGreyImage(0, std::span<std::uint8_t, kFramePixels>(levels.data(), kFramePixels));
    EXPECT_EQ(levels, grey);
    TCMFinder finder(TGreyImage(levels.data(), kFramePixels));
    ASSERT_GT(finder.FindCenters(5, -3.0, buffer.BGetROI(0)), 30);

    buffer.BSetVoronoi(0, std::make_unique<TDistMatrix>(finder.Centers()));
    buffer.BSetVoronoi(0, std::make_unique<TDistMatrix>(finder.Centers())); // replaces the first
    TDistMatrix* cells = buffer.BGetVoronoi(0);
    ASSERT_NE(cells, nullptr);
    cells->Recompute();
    const std::vector<TCellStat> analysed(cells->CellStats().begin(), cells->CellStats().end());
    const int count = cells->Count();
    cells->DeleteCell(240, 320);
    cells->Recompute();
    ASSERT_EQ(cells->Count(), count - 1);
    buffer.BRestoreDetection(0);
    EXPECT_EQ(cells->Count(), count);
    EXPECT_TRUE(std::equal(analysed.begin(), analysed.end(), cells->CellStats().begin()));
    buffer.BRestoreDetection(0); // and a frame never analysed has nothing to restore
    AddPlainFrame(buffer);
    buffer.BRestoreDetection(1);
    EXPECT_EQ(buffer.BGetVoronoi(1), nullptr);
}

TEST(FrameBuffer, LoadSummaryFillsFromTheStoredExam) {
    TStoredExamSummary exam;
    exam.EXM_TOTALIMG = 3;
    exam.EXM_TOTALCELULAS = 412;
    exam.EXM_DENSIDADE = 2480;
    exam.EXM_AREAMAX = 700.5;
    exam.EXM_AREAMIN = 150.25;
    exam.EXM_AREAMED = 403.0;
    exam.EXM_AREAANALISADA = 0.1661;
    exam.EXM_DP = 90.5;
    exam.EXM_COEFVAR = 0.22;
    exam.EXM_MORPHOINFO = QStringLiteral("12;30;45;9;4");
    exam.EXM_MEGATINFO = QStringLiteral("1;2;3;4;5;6;7");

    TBFrameBuffer buffer;
    AddPlainFrame(buffer);
    buffer.BSetPachymetryLine(0, 1, 151, 150);
    buffer.BSetUseInCalculation(0, true);
    buffer.BCalculateExamStatistics(3.6); // pachymetry 540
    ASSERT_TRUE(buffer.BLoadSummary(exam));
    const TExamSummary& s = buffer.BGetSummary();
    EXPECT_EQ(s.FramesUsed, 3);
    EXPECT_EQ(s.CellCount, 412);
    EXPECT_EQ(s.Density, 2480);
    EXPECT_EQ(s.MaxArea, 700.5);
    EXPECT_EQ(s.MinArea, 150.25);
    EXPECT_EQ(s.MeanArea, 403.0);
    EXPECT_EQ(s.AnalysedArea, 0.1661);
    EXPECT_EQ(s.AreaSD, 90.5);
    EXPECT_EQ(s.AreaCV, 0.22);
    EXPECT_EQ(s.SidesCount, (TSidesCounts{12, 30, 45, 9, 4}));
    EXPECT_EQ(s.AreaClassCount, (TAreaClassCounts{1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(s.Pachymetry, 540); // untouched
    EXPECT_EQ(buffer.BGetCount(), 1);

    // Three sides numbers: false; what was read before the failure stays.
    exam.EXM_MORPHOINFO = QStringLiteral("5;6;7");
    exam.EXM_MEGATINFO = QStringLiteral("7;6;5;4;3;2;1");
    EXPECT_FALSE(buffer.BLoadSummary(exam));
    EXPECT_EQ(buffer.BGetSummary().SidesCount, (TSidesCounts{5, 6, 7, 9, 4}));
    EXPECT_EQ(buffer.BGetSummary().AreaClassCount, (TAreaClassCounts{1, 2, 3, 4, 5, 6, 7}));
}

} // namespace
} // namespace endomira
