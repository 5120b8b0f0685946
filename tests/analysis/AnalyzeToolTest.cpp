// endomira-analyze run as a process: its refusals and one analysis checked against the library.
#include "AnalysisFixtures.h"
#include "AnalyzeToolRun.h"
#include "GreyImage.h"
#include "VoronoiDistMatrix.h"

#include <QByteArray>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace endomira {
namespace {

using testing::RunAnalyzeTool;
using TRun = testing::TToolRun;

QImage GreyToImage(const testing::TGrey& grey, QImage::Format format) {
    QImage rgb(kFrameWidth, kFrameHeight, QImage::Format_RGB888);
    for (int r = 0; r < kFrameHeight; ++r) {
        for (int c = 0; c < kFrameWidth; ++c) {
            const int g = grey[static_cast<std::size_t>(FrameIndex(r, c))];
            rgb.setPixel(c, r, qRgb(g, g, g));
        }
    }
    return format == QImage::Format_RGB888 ? rgb : rgb.convertToFormat(format);
}

class AnalyzeTool : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        grey_ = testing::Endothelium(5, 2000.0, synthetic::TBodyKind::FlatGrainy, 0.8);
        ASSERT_TRUE(GreyToImage(grey_, QImage::Format_RGB888).save(Path("frame.bmp"), "BMP"));
    }
    QString Path(const char* name) const { return dir_.filePath(QString::fromUtf8(name)); }

    QTemporaryDir dir_;
    testing::TGrey grey_;
};

TEST_F(AnalyzeTool, BadInputGivesOneLineOnStderrAndExitCode2) {
    QFile text(Path("notes.bmp"));
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("this is not a bitmap\n");
    text.close();
    ASSERT_TRUE(QImage(320, 240, QImage::Format_RGB888).save(Path("small.bmp"), "BMP"));
    ASSERT_TRUE(GreyToImage(grey_, QImage::Format_RGB888).save(Path("frame.png"), "PNG"));
    const QString frame = Path("frame.bmp");
    const QString roi = QStringLiteral("100,100,300,300");
    const QList<QStringList> cases = {
        {},
        {frame},
        {Path("missing.bmp"), "--roi", roi},
        {dir_.path(), "--roi", roi},
        {Path("notes.bmp"), "--roi", roi},
        {Path("frame.png"), "--roi", roi},
        {Path("small.bmp"), "--roi", roi},
        {frame, "--roi", "1,2,3"},
        {frame, "--roi", "1,2,3,4,5"},
        {frame, "--roi", "a,b,c,d"},
        {frame, "--roi", "100,,300,300"},
        {frame, "--roi", "100,100,300,99999999999"},
        {frame, "--roi"},
        {frame, "--roi", "-1,0,100,100"},
        {frame, "--roi", "0,0,640,100"},
        {frame, "--roi", "0,0,100,480"},
        {frame, "--roi", "10,10,15,20"}, // area 50
        {frame, "--roi", roi, "--roi", roi},
        {frame, "--roi", roi, "--sensitivity", "low"},
        {frame, "--roi", roi, "--sensitivity", "nan"},
        {frame, "--roi", roi, "--add", "5"},
        {frame, "--roi", roi, "--delete", "x,y"},
        {frame, "--roi", roi, "--verbose"},
        {frame, frame, "--roi", roi},
    };
    for (const QStringList& args : cases) {
        const TRun run = RunAnalyzeTool(args);
        SCOPED_TRACE(args.join(' ').toStdString());
        EXPECT_EQ(run.Exit, 2);
        EXPECT_TRUE(run.Out.isEmpty());
        EXPECT_EQ(run.Err.count('\n'), 1);
        EXPECT_TRUE(run.Err.endsWith('\n'));
        EXPECT_TRUE(run.Err.startsWith("endomira-analyze: "));
    }
}

TEST_F(AnalyzeTool, AnalysisWithEditsMatchesTheLibraryForEveryBitmapDepth) {
    // The same edits through the library.
    TCMFinder finder(testing::AsImage(grey_));
    finder.FindCenters(5, -3.5, {120, 80, 480, 400});
    ASSERT_GT(finder.Count(), 30);
    TDistMatrix m(finder.Centers());
    m.Recompute();
    const TCenter first = m.Centers()[5];
    m.AddCell(240, 321);
    m.Recompute();
    m.DeleteCell(first.Row, first.Col);
    m.Recompute();

    for (const QImage::Format format :
         {QImage::Format_RGB888, QImage::Format_Indexed8, QImage::Format_RGB32}) {
        SCOPED_TRACE(static_cast<int>(format));
        QImage image = GreyToImage(grey_, format);
        if (format == QImage::Format_Indexed8) {
            // Every grey level must keep its own palette entry.
            QList<QRgb> palette;
            for (int g = 0; g < 256; ++g) {
                palette.append(qRgb(g, g, g));
            }
            image = GreyToImage(grey_, QImage::Format_RGB888)
                        .convertToFormat(QImage::Format_Indexed8, palette);
        }
        ASSERT_TRUE(image.save(Path("depth.bmp"), "BMP"));
        const TRun run = RunAnalyzeTool(
            {Path("depth.bmp"), "--roi", "480,400,120,80", "--sensitivity", "-3.5", "--add",
             "240,321", "--delete", QStringLiteral("%1,%2").arg(first.Row).arg(first.Col),
             "--label-map", Path("labels.raw"), "--edge-map", Path("edges.raw")});
        ASSERT_EQ(run.Exit, 0) << run.Err.toStdString();
        const QJsonObject json = QJsonDocument::fromJson(run.Out).object();
        EXPECT_EQ(json["roi"].toArray(), (QJsonArray{120, 80, 480, 400}));
        EXPECT_EQ(json["detected"]["count"].toInt(), finder.Count());
        const QJsonArray detected = json["detected"]["centers"].toArray();
        ASSERT_EQ(detected.size(), finder.Count());
        EXPECT_EQ(detected[0].toArray(),
                  (QJsonArray{finder.Centers()[1].Row, finder.Centers()[1].Col,
                              finder.Centers()[1].Weight, 0}));
        EXPECT_FALSE(json["too_few_cells"].toBool());
        EXPECT_EQ(json["count"].toInt(), m.Count());
        EXPECT_EQ(json["vertex_count"].toInt(), static_cast<int>(m.Vertices().size()));
        EXPECT_EQ(json["header_sides"].toInt(), m.CellStats()[0].Sides);
        int cells = 0;
        for (int i = 1; i <= m.Count(); ++i) {
            cells += m.CellStats()[static_cast<std::size_t>(i)].Area > 0 ? 1 : 0;
        }
        const QJsonArray listed = json["cells"].toArray();
        ASSERT_EQ(listed.size(), cells);
        const int label = listed[0].toArray()[0].toInt();
        const TCellStat& s = m.CellStats()[static_cast<std::size_t>(label)];
        EXPECT_EQ(listed[0].toArray(), (QJsonArray{label, s.Area, s.Sides, s.Row, s.Col}));

        QFile labels(Path("labels.raw"));
        ASSERT_TRUE(labels.open(QIODevice::ReadOnly));
        const QByteArray raw = labels.readAll();
        ASSERT_EQ(raw.size(), kFramePixels * 4);
        EXPECT_EQ(std::memcmp(raw.constData(), m.LabelMap().data(), raw.size()), 0);
        QFile edges(Path("edges.raw"));
        ASSERT_TRUE(edges.open(QIODevice::ReadOnly));
        const QByteArray rawEdges = edges.readAll();
        ASSERT_EQ(rawEdges.size(), kFramePixels * 4);
        EXPECT_EQ(std::memcmp(rawEdges.constData(), m.EdgeMap().data(), rawEdges.size()), 0);
    }
}

TEST_F(AnalyzeTool, HelpPrintsTheUsageAndSucceeds) {
    for (const char* flag : {"--help", "-h"}) {
        const TRun run = RunAnalyzeTool({Path("frame.bmp"), QString::fromUtf8(flag)});
        EXPECT_EQ(run.Exit, 0) << flag;
        EXPECT_TRUE(run.Out.startsWith("usage: endomira-analyze")) << run.Out.constData();
        EXPECT_TRUE(run.Err.isEmpty()) << run.Err.constData();
    }
}

TEST_F(AnalyzeTool, TooFewCentresStopsBeforeTheTessellation) {
    ASSERT_TRUE(GreyToImage(testing::Constant(0), QImage::Format_RGB888).save(Path("black.bmp")));
    const TRun run =
        RunAnalyzeTool({Path("black.bmp"), "--roi", "0,0,639,479", "--add", "100,100"});
    ASSERT_EQ(run.Exit, 0);
    const QJsonObject json = QJsonDocument::fromJson(run.Out).object();
    EXPECT_TRUE(json["too_few_cells"].toBool());
    EXPECT_EQ(json["detected"]["count"].toInt(), 0);
    EXPECT_FALSE(json.contains("cells"));
}

TEST(GreyImage, MeanOfTheThreePartsRounded) {
    EXPECT_EQ(GreyOf(0, 0, 1), 0);     // 0.33
    EXPECT_EQ(GreyOf(0, 1, 1), 1);     // 0.67
    EXPECT_EQ(GreyOf(10, 20, 31), 20); // 20.33
    EXPECT_EQ(GreyOf(255, 255, 254), 255);
    QImage image(kFrameWidth + 10, 2, QImage::Format_RGB888);
    image.fill(qRgb(30, 60, 91)); // red 30, green 60, blue 91: 60.33
    image.setPixel(1, 1, qRgb(255, 0, 1));
    testing::TGrey grey(kFramePixels, 7);
    BitmapToGrey(image.convertToFormat(QImage::Format_ARGB32),
                 std::span<std::uint8_t, kFramePixels>(grey.data(), kFramePixels));
    EXPECT_EQ(grey[0], 60);
    EXPECT_EQ(grey[static_cast<std::size_t>(FrameIndex(1, 1))], 85);
    EXPECT_EQ(grey[static_cast<std::size_t>(FrameIndex(1, 639))], 60);
    EXPECT_EQ(grey[static_cast<std::size_t>(FrameIndex(2, 0))], 7); // below the bitmap
}

} // namespace
} // namespace endomira
