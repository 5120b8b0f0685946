// endomira-analyze's statistics, overlay and pachymetry, checked against the libraries.
#include "AnalyzeToolRun.h"
#include "CellOverlay.h"
#include "GreyImage.h"
#include "SyntheticEndothelium.h"
#include "UBCellFinder.h"
#include "UBFrameBuffer.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

namespace endomira {
namespace {

using testing::RunAnalyzeTool;
using TRun = testing::TToolRun;

class AnalyzeToolOutput : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        synthetic::TEndotheliumParams params;
        params.Seed = 21;
        params.CellsPerMm2 = 1500.0;
        const std::vector<std::uint8_t> grey = synthetic::GenerateEndothelium(params).Grey;
        image_ = QImage(kFrameWidth, kFrameHeight, QImage::Format_RGB888);
        for (int y = 0; y < kFrameHeight; ++y) {
            for (int x = 0; x < kFrameWidth; ++x) {
                const int g = grey[static_cast<std::size_t>(FrameIndex(y, x))];
                // A dark band, a middle band and a bright band give the pachymetry its edges.
                const int level = x < 60 ? 15 : (x < 80 ? 80 : (x > 600 ? 240 : g));
                image_.setPixelColor(x, y, QColor(level, level, level));
            }
        }
        ASSERT_TRUE(image_.save(Path("frame.bmp"), "BMP"));
    }
    QString Path(const char* name) const { return dir_.filePath(QString::fromUtf8(name)); }

    QTemporaryDir dir_;
    QImage image_;
};

TEST_F(AnalyzeToolOutput, StatisticsOverlayAndPachymetryMatchTheLibraries) {
    const TRect roi{170, 90, 470, 390};
    const TRun run = RunAnalyzeTool(
        {Path("frame.bmp"), QStringLiteral("--roi"), QStringLiteral("470,390,170,90"),
         QStringLiteral("--delete"), QStringLiteral("240,320"), QStringLiteral("--pixel-to-mm"),
         QStringLiteral("0.0011"), QStringLiteral("--overlay"), Path("overlay.png"),
         QStringLiteral("--all"), QStringLiteral("--colour-by-sides"),
         QStringLiteral("--transparency"), QStringLiteral("70"), QStringLiteral("--pachymetry"),
         QStringLiteral("--pixel-to-paq"), QStringLiteral("1.75")});
    ASSERT_EQ(run.Exit, 0) << run.Err.toStdString();
    const QJsonObject json = QJsonDocument::fromJson(run.Out).object();

    // The same analysis in process.
    std::vector<std::uint8_t> grey(kFramePixels);
    BitmapToGrey(image_, std::span<std::uint8_t, kFramePixels>(grey.data(), kFramePixels));
    TCMFinder finder(TGreyImage(grey.data(), kFramePixels));
    ASSERT_GT(finder.FindCenters(5, -3.0, roi), 30);
    TDistMatrix cells(finder.Centers());
    cells.Recompute();
    cells.DeleteCell(240, 320);
    cells.Recompute();
    TBFrameBuffer buffer;
    ASSERT_TRUE(buffer.BAddFrame(image_, {}, 0, kFrameLevel, roi, {}, -3.0));
    buffer.BCalculateStatistics(0, cells.Count(), 0.0011, cells.CellStats(), roi);
    const TFrameRecord& f = buffer.BGetFrame(0);

    const QJsonObject stats = json[QStringLiteral("stats")].toObject();
    EXPECT_EQ(stats[QStringLiteral("CellCount")].toInt(), f.CellCount);
    EXPECT_GT(f.CellCount, 100);
    for (std::size_t i = 0; i < kSidesClasses; ++i) {
        EXPECT_EQ(stats[QStringLiteral("SidesCount")].toArray()[static_cast<int>(i)].toInt(),
                  f.SidesCount[i]);
    }
    for (std::size_t i = 0; i < kAreaClasses; ++i) {
        EXPECT_EQ(stats[QStringLiteral("AreaClassCount")].toArray()[static_cast<int>(i)].toInt(),
                  f.AreaClassCount[i]);
    }
    // Seventeen significant digits carry every double exactly.
    EXPECT_EQ(stats[QStringLiteral("MinArea")].toDouble(), f.MinArea);
    EXPECT_EQ(stats[QStringLiteral("MaxArea")].toDouble(), f.MaxArea);
    EXPECT_EQ(stats[QStringLiteral("MeanArea")].toDouble(), f.MeanArea);
    EXPECT_EQ(stats[QStringLiteral("AreaSD")].toDouble(), f.AreaSD);
    EXPECT_EQ(stats[QStringLiteral("AreaCV")].toDouble(), f.AreaCV);
    EXPECT_EQ(stats[QStringLiteral("AnalysedArea")].toDouble(), f.AnalysedArea);
    EXPECT_EQ(stats[QStringLiteral("Density")].toInt(), f.Density);

    const TPachymetryLine line = MeasurePachymetry(image_);
    EXPECT_EQ(line.StartX, 59);
    EXPECT_GT(line.EndX, line.StartX);
    const QJsonObject paq = json[QStringLiteral("pachymetry")].toObject();
    EXPECT_EQ(paq[QStringLiteral("StartX")].toInt(), line.StartX);
    EXPECT_EQ(paq[QStringLiteral("EndX")].toInt(), line.EndX);
    EXPECT_EQ(paq[QStringLiteral("LengthPx")].toInt(), line.LengthPx);
    buffer.BSetPachymetryLine(0, line.StartX, line.EndX, line.LengthPx);
    EXPECT_EQ(paq[QStringLiteral("micrometres")].toInt(), buffer.BGetPachymetry(0, 1.75));

    TOverlayOptions options;
    options.ColourBySides = true;
    options.Transparency = TTransparency{70, 100};
    options.PachymetryLine = line;
    QImage painted = image_.copy();
    QImage snapshot;
    ASSERT_TRUE(DrawCellOverlay(painted, roi, cells, options, TContrastSettings{}, snapshot));
    const QImage written(Path("overlay.png"));
    EXPECT_EQ(written.convertToFormat(QImage::Format_RGB888), painted);
}

TEST_F(AnalyzeToolOutput, RefusesBadValues) {
    const QStringList base{Path("frame.bmp"), QStringLiteral("--roi"),
                           QStringLiteral("170,90,470,390")};
    const QStringList bad[] = {
        {QStringLiteral("--pixel-to-mm"), QStringLiteral("0")},
        {QStringLiteral("--pixel-to-mm"), QStringLiteral("abc")},
        {QStringLiteral("--transparency"), QStringLiteral("101")},
        {QStringLiteral("--pixel-to-paq"), QStringLiteral("3.6")}, // without --pachymetry
        {QStringLiteral("--overlay")},
    };
    for (const QStringList& extra : bad) {
        const TRun run = RunAnalyzeTool(base + extra);
        EXPECT_EQ(run.Exit, 2) << extra.join(u' ').toStdString();
        EXPECT_FALSE(run.Err.isEmpty());
    }
}

} // namespace
} // namespace endomira
