#pragma once

#include "FrameGeometry.h"
#include "Pachymetry.h"
#include "UBCellFinder.h"
#include "VoronoiDistMatrix.h"

#include <QColor>
#include <QImage>
#include <QPainter>

#include <array>
#include <cstdint>
#include <span>

// Painting of the analysis over a frame: the contrast view of the ROI, the colouring of cells by
// their number of sides, boundaries and vertices blended over the picture, the centres, the
// pachymetry line and the ROI outline. Every function paints on a 640 x 480 QImage in
// Format_RGB888 (the view's bitmap); the display choices come in as arguments.
namespace endomira {

// The contrast settings of the IMAGEPROCESSING section.
struct TContrastSettings {
    std::int32_t FIRlen = 15;
    std::int32_t MinBlack = 0;
    double Alpha0 = 0.0;
    double Beta0 = 255.0;
    double LargMin = 40.0;
    double Perc = 0.1;
};

struct TOverlayColours {
    QColor Lime{0, 255, 0};      // ROI outline and operator-added centres
    QColor Yellow{255, 255, 0};  // detected centres
    QColor Red{255, 0, 0};       // vertices
    QColor DarkGrey{64, 64, 64}; // boundaries
};

// The transparency bar of the editing page: its position 0 ... Maximum.
struct TTransparency {
    int Position = 50;
    int Maximum = 100;
};

struct TOverlayOptions {
    bool ContrastView = true; // "Imagem contraste" rather than "Imagem original"
    bool ColourBySides = false;
    bool ShowCentres = true;
    bool ShowEdges = true;
    TTransparency Transparency;
    TPachymetryLine PachymetryLine;
    TOverlayColours Colours;
};

// Colour operations. Hue in degrees 0 ... 360, value 0 ... 1.
double HueOf(const QColor& colour);
double ValueOf(const QColor& colour);
QColor HsvToColour(double hue, double saturation, double value);
// Steepens a level around mid-grey by perc (0 ... 1): rounded and clamped to 0 ... 255.
int ContrastStretch(int level, double perc);

// The class colour of a number of sides: 4, 5, 6, 7, any other.
QColor SideClassColour(int sides);

// The painting steps, each limited to the ROI (normalised by the caller).
void ContrastView(QImage& picture, const TRect& roi, const TContrastSettings& settings);
void ColourCells(QImage& picture, const TRect& roi, const TDistMatrix& cells,
                 const TTransparency& transparency);
void DrawEdges(QImage& picture, const TRect& roi, std::span<const std::int32_t, kFramePixels> edges,
               const TTransparency& transparency, const TOverlayColours& colours = {});
void DrawCentres(QImage& picture, const TRect& roi, const TCenterList& centres,
                 const TOverlayColours& colours = {});
void DrawPachymetryLine(QImage& picture, const TPachymetryLine& line);

// The ROI outline as the frame buffer draws it: normalises the rectangle and, when its area is
// above 50 pixels, draws its outline (columns Left ... Right - 1, rows Top ... Bottom - 1) with a
// hollow brush in copy mode, leaving the canvas in not-xor mode for the rubber band that
// follows.
void DrawROIRectangle(QPainter& canvas, const TRect& rect, const QColor& colour);

// Paints one analysed frame on picture, which holds the frame's own image. Does nothing and
// returns false without a valid ROI. snapshot receives the picture as it stands before the cells
// are painted (contrast-processed in the ROI when the contrast view is on): the source of the
// frame's plain crop.
bool DrawCellOverlay(QImage& picture, const TRect& roi, const TDistMatrix& cells,
                     const TOverlayOptions& options, const TContrastSettings& contrast,
                     QImage& snapshot);

// The zoom of the editing view: bar position 0 ... 100 gives 0.5 ... 4.0.
double ZoomOf(int zoomPosition);

// Size and place of the zoomed crop in its panel. The crop is shown at twice its size times the
// zoom, centred in the panel.
struct TZoomedCropGeometry {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};
inline constexpr int kZoomPanelWidth = 640;
inline constexpr int kZoomPanelHeight = 385;
TZoomedCropGeometry ZoomedCropGeometry(int zoomPosition, const TRect& roi,
                                       int panelWidth = kZoomPanelWidth,
                                       int panelHeight = kZoomPanelHeight);

// A position on the zoomed crop's control, in control pixels, to the crop's own scale (the crop
// is displayed at twice its size before zooming).
struct TPlotPoint {
    std::uint16_t X = 0;
    std::uint16_t Y = 0;
};
TPlotPoint ControlToPlot(int controlX, int controlY);

// The inverse of the zoomed display: a plotted position to frame pixels.
struct TFramePoint {
    std::uint16_t Col = 0;
    std::uint16_t Row = 0;
    friend constexpr bool operator==(const TFramePoint&, const TFramePoint&) = default;
};
TFramePoint PlotToFrame(int zoomPosition, const TRect& roi, std::uint16_t x, std::uint16_t y);

} // namespace endomira
