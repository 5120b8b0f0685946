// Overlay painting: colour operations, the contrast view, the layers, the whole overlay on a
// synthetic analysed frame, and the geometry of the zoomed crop with its click mapping.
#include "CellOverlay.h"
#include "GreyFrameImage.h"
#include "GreyImage.h"
#include "SyntheticEndothelium.h"
#include "UBCellFinder.h"
#include "VoronoiDistMatrix.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace endomira {
namespace {

QImage Filled(const QColor& colour) {
    QImage image(kFrameWidth, kFrameHeight, QImage::Format_RGB888);
    image.fill(colour);
    return image;
}

// A synthetic frame analysed as the examination window analyses it.
struct TAnalysedFrame {
    QImage Image;
    TRect Roi{170, 90, 470, 390};
    std::unique_ptr<TDistMatrix> Cells;

    TAnalysedFrame() {
        synthetic::TEndotheliumParams params;
        params.Seed = 3;
        params.CellsPerMm2 = 1500.0; // about 900 centres over the frame
        const std::vector<std::uint8_t> grey = synthetic::GenerateEndothelium(params).Grey;
        Image = GreyFrameImage(grey);
        std::vector<std::uint8_t> levels(kFramePixels);
        BitmapToGrey(Image, std::span<std::uint8_t, kFramePixels>(levels.data(), kFramePixels));
        TCMFinder finder(TGreyImage(levels.data(), kFramePixels));
        EXPECT_GT(finder.FindCenters(5, -3.0, Roi), 30);
        Cells = std::make_unique<TDistMatrix>(finder.Centers());
        Cells->Recompute();
    }
};

TEST(OverlayColours, HueOfTheSideClassesAndBack) {
    struct TCase {
        int Sides;
        double Hue;
    };
    const TCase cases[] = {{4, 1.3559322},   {5, 26.8235294},  {6, 143.6538461},
                           {7, 203.0769230}, {3, 219.0909090}, {9, 219.0909090}};
    for (const TCase& c : cases) {
        EXPECT_NEAR(HueOf(SideClassColour(c.Sides)), c.Hue, 1e-6) << c.Sides;
    }
    EXPECT_EQ(HueOf(QColor(0, 0, 0)), 0.0);
    EXPECT_EQ(HueOf(QColor(90, 90, 90)), 0.0); // a grey has no hue
    EXPECT_EQ(HueOf(QColor(255, 0, 128)), 360.0 - 128.0 / 255.0 * 60.0);
    EXPECT_EQ(ValueOf(QColor(10, 200, 30)), 200.0 / 255.0);

    // The six-sided class at half saturation over a level of 200: sector 2, parts p, v, t.
    EXPECT_EQ(HsvToColour(HueOf(SideClassColour(6)), 0.5, 200.0 / 255.0), QColor(100, 200, 139));
    EXPECT_EQ(HsvToColour(0.0, 1.0, 1.0), QColor(255, 0, 0));
    EXPECT_EQ(HsvToColour(120.0, 1.0, 1.0), QColor(0, 255, 0));
    EXPECT_EQ(HsvToColour(300.0, 1.0, 1.0), QColor(255, 0, 255));
    EXPECT_EQ(HsvToColour(203.0, 0.0, 77.0 / 255.0), QColor(77, 77, 77));
    // Full saturation and value give the class colour's own hue back.
    for (const int sides : {4, 5, 6, 7, 8}) {
        const QColor c = HsvToColour(HueOf(SideClassColour(sides)), 1.0, 1.0);
        EXPECT_NEAR(HueOf(c), HueOf(SideClassColour(sides)), 0.5) << sides;
    }
}

TEST(OverlayColours, ContrastStretchAroundMidGrey) {
    EXPECT_EQ(ContrastStretch(37, 0.0), 37); // factor 1
    EXPECT_EQ(ContrastStretch(200, 0.1), 216);
    EXPECT_EQ(ContrastStretch(100, 0.1), 94);
    EXPECT_EQ(ContrastStretch(10, 0.5), 0);
    EXPECT_EQ(ContrastStretch(250, 0.5), 255);
    EXPECT_EQ(ContrastStretch(128, 0.9), 128);
}

// The level at a pixel of a grey picture.
int LevelAt(const QImage& picture, int row, int col) {
    return picture.pixelColor(col, row).red();
}

TEST(ContrastView, StretchesEachColumnsRange) {
    // Three horizontal bands 50, 100 and 150 in the ROI; FIRlen 1 keeps each column's own range.
    QImage picture = Filled(Qt::black);
    for (int y = 0; y < kFrameHeight; ++y) {
        const int level = y < 130 ? 50 : (y < 160 ? 100 : 150);
        for (int x = 0; x < kFrameWidth; ++x) {
            picture.setPixelColor(x, y, QColor(level, level, level));
        }
    }
    TContrastSettings s;
    s.FIRlen = 1;
    s.Perc = 0.0;
    ContrastView(picture, TRect{200, 100, 300, 200}, s);
    EXPECT_EQ(LevelAt(picture, 110, 250), 0);   // the column's minimum
    EXPECT_EQ(LevelAt(picture, 145, 250), 128); // 127.5 to the even neighbour
    EXPECT_EQ(LevelAt(picture, 180, 250), 255); // the column's maximum
    EXPECT_EQ(LevelAt(picture, 110, 199), 50);  // outside the ROI: untouched
    EXPECT_TRUE(picture.pixelColor(250, 145).red() == picture.pixelColor(250, 145).blue());
}

TEST(ContrastView, ANarrowColumnRangeKeepsItsLevelsAndMinBlackIsClamped) {
    struct TCase {
        int Level;
        double Perc;
        int MinBlack;
        int Expected;
    };
    const TCase cases[] = {
        {100, 0.0, 0, 100}, // range 0: the level goes on unchanged
        {100, 0.1, 0, 94},  // ... into the contrast stretch
        {100, 0.0, 30, 130},
        {250, 0.0, 20, 255}, // beyond the grey scale: clamped, not wrapped
    };
    for (const TCase& c : cases) {
        QImage picture = Filled(QColor(c.Level, c.Level, c.Level));
        TContrastSettings s;
        s.Perc = c.Perc;
        s.MinBlack = c.MinBlack;
        ContrastView(picture, TRect{100, 100, 400, 300}, s);
        EXPECT_EQ(LevelAt(picture, 200, 250), c.Expected) << c.Level << " " << c.MinBlack;
    }
}

TEST(ContrastView, AnROIOnThePicturesEdgesStaysOnThePicture) {
    const TAnalysedFrame frame;
    for (const TRect roi : {TRect{0, 0, 639, 479}, TRect{0, 0, 640, 480}, TRect{5, 300, 60, 479}}) {
        QImage picture = frame.Image;
        TContrastSettings s;
        s.FIRlen = 15; // columns 7 ... 13 reach left of column 0
        ContrastView(picture, roi, s);
        for (int y = roi.Top; y <= std::min(roi.Bottom, 479); y += 3) {
            for (int x = roi.Left; x <= std::min(roi.Right, 639); x += 3) {
                const QColor c = picture.pixelColor(x, y);
                ASSERT_TRUE(c.red() == c.green() && c.green() == c.blue());
            }
        }
    }
}

TEST(OverlayLayers, TransparencyZeroLeavesThePictureAndFullReplacesIt) {
    const TAnalysedFrame frame;
    const std::span<const std::int32_t, kFramePixels> edges(frame.Cells->EdgeMap());
    int edgePixels = 0;
    int vertexPixels = 0;
    {
        QImage picture = frame.Image;
        DrawEdges(picture, frame.Roi, edges, TTransparency{0, 100});
        ColourCells(picture, frame.Roi, *frame.Cells, TTransparency{0, 100});
        EXPECT_EQ(picture, frame.Image); // a grey picture at saturation 0 stays itself
    }
    QImage picture = frame.Image;
    DrawEdges(picture, frame.Roi, edges, TTransparency{100, 100});
    const TRect& r = frame.Roi;
    for (int y = r.Top + 1; y < r.Bottom; ++y) {
        for (int x = r.Left + 1; x < r.Right; ++x) {
            const std::int32_t e = edges[static_cast<std::size_t>(FrameIndex(y, x))];
            const QColor expected = e == kEdgePixel     ? QColor(64, 64, 64)
                                    : e == kVertexPixel ? QColor(255, 0, 0)
                                                        : frame.Image.pixelColor(x, y);
            edgePixels += e == kEdgePixel;
            vertexPixels += e == kVertexPixel;
            ASSERT_EQ(picture.pixelColor(x, y), expected) << x << "," << y;
        }
    }
    EXPECT_GT(edgePixels, 1000);
    EXPECT_GT(vertexPixels, 100);
    // Half way: floor(64 * 50 / 100) + floor(X * 50 / 100) on every part.
    QImage half = frame.Image;
    DrawEdges(half, frame.Roi, edges, TTransparency{50, 100});
    for (int i = 0; i < kFramePixels; ++i) {
        if (edges[static_cast<std::size_t>(i)] == kEdgePixel) {
            const int x = i % kFrameWidth;
            const int y = i / kFrameWidth;
            if (y > r.Top && y < r.Bottom && x > r.Left && x < r.Right) {
                ASSERT_EQ(half.pixelColor(x, y).red(), 32 + frame.Image.pixelColor(x, y).red() / 2);
                break;
            }
        }
    }
}

TEST(OverlayLayers, ColouringTakesTheHueOfTheSidesAndKeepsTheBrightness) {
    const TAnalysedFrame frame;
    QImage picture = frame.Image;
    ColourCells(picture, frame.Roi, *frame.Cells, TTransparency{100, 100});
    const std::array<QPoint, 4> samples{QPoint(300, 200), QPoint(171, 91), QPoint(470, 390),
                                        QPoint(250, 300)};
    for (const QPoint& p : samples) {
        const int sides = frame.Cells->SidesOf(frame.Cells->LabelAt(p.y(), p.x()));
        const QColor painted = picture.pixelColor(p);
        EXPECT_EQ(painted, HsvToColour(HueOf(SideClassColour(sides)), 1.0,
                                       ValueOf(frame.Image.pixelColor(p))));
        EXPECT_EQ(ValueOf(painted), ValueOf(frame.Image.pixelColor(p)));
    }
    EXPECT_EQ(picture.pixelColor(169, 200), frame.Image.pixelColor(169, 200)); // outside
}

TEST(OverlayLayers, CentresInsideTheROIAndTheWhiteBorder) {
    TCenterList centres{};
    const TCenter list[] = {
        {150, 200, 1, 0}, {160, 210, 1, 1}, {100, 250, 1, 0}, {150, 300, 1, 0}, {200, 100, 1, 0}};
    centres[0] = TCenter{5, 5, 5, 0};
    for (std::size_t i = 0; i < 5; ++i) {
        centres[i + 1] = list[i];
    }
    QImage picture = Filled(Qt::black);
    const TRect roi{100, 100, 300, 200};
    DrawCentres(picture, roi, centres);
    EXPECT_EQ(picture.pixelColor(200, 150), QColor(255, 255, 0)); // detected
    EXPECT_EQ(picture.pixelColor(210, 160), QColor(0, 255, 0));   // added by the operator
    // On the border: white like the border, never yellow.
    EXPECT_EQ(picture.pixelColor(250, 100), QColor(255, 255, 255));
    EXPECT_EQ(picture.pixelColor(300, 150), QColor(255, 255, 255));
    EXPECT_EQ(picture.pixelColor(100, 200), QColor(255, 255, 255));
    EXPECT_EQ(picture.pixelColor(101, 101), QColor(0, 0, 0));
    EXPECT_EQ(picture.pixelColor(301, 150), QColor(0, 0, 0));
}

TEST(OverlayLayers, PachymetryLineMarksTwoColumns) {
    QImage picture = Filled(Qt::black);
    DrawPachymetryLine(picture, TPachymetryLine{120, 400, 280});
    DrawPachymetryLine(picture, TPachymetryLine{700, -3, 0}); // off the picture: nothing
    for (const int y : {0, 240, 479}) {
        EXPECT_EQ(picture.pixelColor(120, y), QColor(255, 0, 0));
        EXPECT_EQ(picture.pixelColor(400, y), QColor(255, 255, 0));
        EXPECT_EQ(picture.pixelColor(121, y), QColor(0, 0, 0));
    }
    DrawPachymetryLine(picture, TPachymetryLine{});
    EXPECT_EQ(picture.pixelColor(0, 300), QColor(255, 255, 0)); // the redraws' line at column 0
}

TEST(CellOverlay, OriginalViewWithEdgesOnly) {
    const TAnalysedFrame frame;
    QImage picture = frame.Image;
    QImage snapshot;
    TOverlayOptions options;
    options.ContrastView = false;
    options.ShowCentres = false;
    options.ShowEdges = true;
    options.PachymetryLine = TPachymetryLine{50, 600, 550};
    ASSERT_TRUE(DrawCellOverlay(picture, frame.Roi, *frame.Cells, options, {}, snapshot));
    // The snapshot is the frame itself: the plain crop is an exact copy of its ROI.
    EXPECT_EQ(snapshot, frame.Image);
    const TRect& r = frame.Roi;
    const QColor lime(0, 255, 0);
    EXPECT_EQ(picture.pixelColor(r.Left, r.Top), lime);
    EXPECT_EQ(picture.pixelColor(r.Right - 1, r.Bottom - 1), lime);
    EXPECT_EQ(picture.pixelColor(50, 10), QColor(255, 0, 0));
    EXPECT_EQ(picture.pixelColor(600, 10), QColor(255, 255, 0));
    // No white border of the centres step: column Right and row Bottom keep the frame's pixels.
    EXPECT_EQ(picture.pixelColor(r.Right, r.Top + 5), frame.Image.pixelColor(r.Right, r.Top + 5));
    EXPECT_EQ(picture.pixelColor(r.Left + 5, r.Bottom),
              frame.Image.pixelColor(r.Left + 5, r.Bottom));
    // Only boundaries, vertices, the line and the outline change; no centre is drawn.
    int changed = 0;
    for (int y = 0; y < kFrameHeight; ++y) {
        for (int x = 0; x < kFrameWidth; ++x) {
            const QColor c = picture.pixelColor(x, y);
            if (c != frame.Image.pixelColor(x, y)) {
                ++changed;
                const std::int32_t e =
                    frame.Cells->EdgeMap()[static_cast<std::size_t>(FrameIndex(y, x))];
                const bool outline =
                    ((x == r.Left || x == r.Right - 1) && y >= r.Top && y < r.Bottom) ||
                    ((y == r.Top || y == r.Bottom - 1) && x >= r.Left && x < r.Right);
                ASSERT_TRUE(e == kEdgePixel || e == kVertexPixel || x == 50 || x == 600 || outline)
                    << x << "," << y;
            }
        }
    }
    EXPECT_GT(changed, 1000);

    // Without a valid ROI nothing is painted.
    QImage untouched = frame.Image;
    EXPECT_FALSE(
        DrawCellOverlay(untouched, TRect{10, 10, 15, 20}, *frame.Cells, options, {}, snapshot));
    EXPECT_EQ(untouched, frame.Image);
}

TEST(CellOverlay, ContrastViewWithEveryLayerToPNG) {
    const TAnalysedFrame frame;
    QImage picture = frame.Image;
    QImage snapshot;
    TOverlayOptions options;
    options.ColourBySides = true;
    options.PachymetryLine = TPachymetryLine{60, 590, 530};
    ASSERT_TRUE(DrawCellOverlay(picture, frame.Roi, *frame.Cells, options, {}, snapshot));
    // The snapshot holds the contrast view without the cells: grey inside the ROI, the frame
    // outside it.
    EXPECT_EQ(snapshot.pixelColor(100, 100), frame.Image.pixelColor(100, 100));
    EXPECT_NE(snapshot.copy(170, 90, 300, 300), frame.Image.copy(170, 90, 300, 300));
    int coloured = 0;
    for (int y = frame.Roi.Top + 1; y < frame.Roi.Bottom; y += 2) {
        for (int x = frame.Roi.Left + 1; x < frame.Roi.Right; x += 2) {
            const QColor c = picture.pixelColor(x, y);
            coloured += c.red() != c.green() || c.green() != c.blue();
        }
    }
    EXPECT_GT(coloured, 10000);
    // "Centro e Contorno" through the redraws: both flags off still paints both layers.
    QImage both = frame.Image;
    options.ShowCentres = false;
    options.ShowEdges = false;
    ASSERT_TRUE(DrawCellOverlay(both, frame.Roi, *frame.Cells, options, {}, snapshot));
    EXPECT_EQ(both, picture);
}

TEST(ZoomedCrop, GeometryAndClickMapping) {
    struct TCase {
        int Zoom;
        TRect Roi;
        TZoomedCropGeometry Geometry;
    };
    const TCase cases[] = {
        {100, {0, 0, 100, 80}, {-80, -128, 800, 640}},  // -127.5 to the even -128
        {0, {0, 0, 100, 80}, {270, 152, 100, 80}},      // 152.5 to 152
        {50, {200, 150, 300, 230}, {95, 12, 450, 360}}, // zoom 2.25; 12.5 to 12
    };
    for (const TCase& c : cases) {
        const TZoomedCropGeometry g = ZoomedCropGeometry(c.Zoom, c.Roi);
        EXPECT_EQ(g.Left, c.Geometry.Left) << c.Zoom;
        EXPECT_EQ(g.Top, c.Geometry.Top) << c.Zoom;
        EXPECT_EQ(g.Width, c.Geometry.Width) << c.Zoom;
        EXPECT_EQ(g.Height, c.Geometry.Height) << c.Zoom;
    }
    // Zoom 0.5: control (100, 50) is (50, 25) on the crop and frame pixel (300, 200).
    const TPlotPoint plot = ControlToPlot(100, 50);
    EXPECT_EQ(plot.X, 50);
    EXPECT_EQ(plot.Y, 25);
    EXPECT_EQ(PlotToFrame(0, TRect{200, 150, 400, 300}, plot.X, plot.Y), (TFramePoint{300, 200}));
    EXPECT_EQ(ControlToPlot(5, 7).X, 2); // 2.5 to 2
    EXPECT_EQ(ControlToPlot(5, 7).Y, 4); // 3.5 to 4
    // The mapping undoes the display: a frame pixel shown at its place maps back to itself.
    const TRect roi{120, 80, 420, 380};
    for (const int zoom : {0, 1, 17, 50, 99, 100}) {
        const double z = ZoomOf(zoom);
        for (int col = roi.Left; col < roi.Right; col += 13) {
            const int row = roi.Top + (col - roi.Left) * 7 % (roi.Bottom - roi.Top);
            const auto x = static_cast<std::uint16_t>((col - roi.Left) * z + 0.5 * z);
            const auto y = static_cast<std::uint16_t>((row - roi.Top) * z + 0.5 * z);
            const TFramePoint p = PlotToFrame(zoom, roi, x, y);
            EXPECT_LE(std::abs(p.Col - col), 1) << zoom;
            EXPECT_LE(std::abs(p.Row - row), 1) << zoom;
        }
    }
}

} // namespace
} // namespace endomira
