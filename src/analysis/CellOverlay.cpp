#include "CellOverlay.h"

#include "Rounding.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace endomira {

namespace {

constexpr int kW = kFrameWidth;
constexpr int kH = kFrameHeight;

// The picture's grey level: the three parts' sum divided by 3, truncated. (The detection's grey
// image rounds instead; the painting has always used the plain quotient.)
int LevelOf(const uchar* px) {
    return (px[0] + px[1] + px[2]) / 3;
}

int ClampLevel(std::int64_t level) {
    return static_cast<int>(std::clamp<std::int64_t>(level, 0, 255));
}

// The part of a ROI (both ends included) that lies on the picture. Empty when Last < First.
struct TSpan {
    int First = 0;
    int Last = -1;
};
TSpan ColumnsOf(const TRect& roi) {
    return {std::max(roi.Left, 0), std::min(roi.Right, kW - 1)};
}
TSpan RowsOf(const TRect& roi) {
    return {std::max(roi.Top, 0), std::min(roi.Bottom, kH - 1)};
}

bool IsPaintable(const QImage& picture) {
    return picture.format() == QImage::Format_RGB888 && picture.width() == kW &&
           picture.height() == kH;
}

uchar* PixelAt(QImage& picture, int row, int col) {
    return picture.scanLine(row) + 3 * col;
}

void SetPixel(QImage& picture, int row, int col, const QColor& colour) {
    uchar* px = PixelAt(picture, row, col);
    px[0] = static_cast<uchar>(colour.red());
    px[1] = static_cast<uchar>(colour.green());
    px[2] = static_cast<uchar>(colour.blue());
}

// Position and maximum of the bar, brought to 0 <= Position <= Maximum, Maximum >= 1.
TTransparency Sane(const TTransparency& t) {
    const int maximum = std::max(t.Maximum, 1);
    return {std::clamp(t.Position, 0, maximum), maximum};
}

const std::array<QColor, kSidesClassCount> kSideClassColours{
    QColor(192, 19, 15), QColor(255, 114, 0), QColor(111, 215, 152), QColor(203, 235, 255),
    QColor(12, 58, 144)};

// Lo and Hi of one ROI column: the column's own range near the picture's sides, otherwise the
// range smoothed over FIRlen columns to its left with linearly falling weights.
void SmoothColumnRanges(const std::array<double, kW>& mins, const std::array<double, kW>& maxs,
                        const TSpan& cols, int firLen, std::array<double, kW>& lo,
                        std::array<double, kW>& hi) {
    const int len = std::max(firLen, 1); // a window needs at least the column itself
    const int half = len / 2;
    const double weightSum = static_cast<double>(static_cast<std::int64_t>(len + 1) * len / 2);
    for (int c = cols.First; c <= cols.Last; ++c) {
        const auto ci = static_cast<std::size_t>(c);
        if (c < half || c > kW - half) {
            lo[ci] = mins[ci];
            hi[ci] = maxs[ci];
            continue;
        }
        double sumLo = 0.0;
        double sumHi = 0.0;
        for (int k = 0; k < len; ++k) {
            // Columns left of the picture do not exist: the window repeats column 0.
            const auto src = static_cast<std::size_t>(std::max(c - k, 0));
            const double weight = static_cast<double>(len - k);
            sumLo += weight * mins[src] / weightSum;
            sumHi += weight * maxs[src] / weightSum;
        }
        lo[ci] = sumLo;
        hi[ci] = sumHi;
    }
}

// The level G' of grey level g in a column whose smoothed range is lo ... hi, before the
// contrast stretch.
std::int64_t StretchedLevel(int g, double lo, double hi, const TContrastSettings& s) {
    const double range = hi - lo;
    if (!(range > s.LargMin || range > 1.0)) {
        return g;
    }
    double a = s.Alpha0;
    double b = s.Beta0;
    if (!(range > s.LargMin)) {
        // A narrow range is stretched in proportion to its width.
        a = (s.Alpha0 - lo) / s.LargMin * range + lo;
        b = (s.Beta0 - hi) / s.LargMin * range + hi;
    }
    const double value = (b - a) * (static_cast<double>(g) - lo) / range;
    // A range setting that yields no number leaves the level as it is.
    return std::isfinite(value) ? RoundHalfEven(std::clamp(value, -1.0e9, 1.0e9)) : g;
}

// The contrast stretch and the minBlack lift of a level G', tabulated over the levels a
// stretch normally yields.
class TFinishedLevels {
public:
    explicit TFinishedLevels(const TContrastSettings& s) : Settings_(s) {
        for (int i = 0; i < static_cast<int>(Table_.size()); ++i) {
            Table_[static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(Compute(i - kSpan));
        }
    }
    std::uint8_t operator()(std::int64_t level) const {
        return level >= -kSpan && level <= kSpan ? Table_[static_cast<std::size_t>(level + kSpan)]
                                                 : static_cast<std::uint8_t>(Compute(level));
    }

private:
    static constexpr int kSpan = 2048;
    int Compute(std::int64_t level) const {
        const auto clamped = static_cast<int>(std::clamp<std::int64_t>(level, -1000000, 1000000));
        // minBlack raises the level; a sum beyond the grey scale is clamped to it.
        return ClampLevel(static_cast<std::int64_t>(ContrastStretch(clamped, Settings_.Perc)) +
                          Settings_.MinBlack);
    }
    TContrastSettings Settings_;
    std::array<std::uint8_t, 2 * kSpan + 1> Table_{};
};

} // namespace

double HueOf(const QColor& colour) {
    const double r = colour.red() / 255.0;
    const double g = colour.green() / 255.0;
    const double b = colour.blue() / 255.0;
    const double mx = std::max({r, g, b});
    const double mn = std::min({r, g, b});
    const double d = mx - mn;
    if (mx == 0.0 || d == 0.0) {
        return 0.0; // black, or a grey: no hue
    }
    double h;
    if (mx == r) {
        h = (g - b) / d;
    } else if (mx == g) {
        h = (b - r) / d + 2.0;
    } else {
        h = (r - g) / d + 4.0;
    }
    h *= 60.0;
    if (h < 0.0) {
        h += 360.0;
    }
    return h;
}

double ValueOf(const QColor& colour) {
    return std::max({colour.red(), colour.green(), colour.blue()}) / 255.0;
}

QColor HsvToColour(double hue, double saturation, double value) {
    const auto part = [](double v) { return ClampLevel(RoundHalfEven(v)); };
    const double v255 = value * 255.0;
    if (saturation == 0.0) {
        const int grey = part(v255);
        return QColor(grey, grey, grey);
    }
    const double sector = std::floor(hue / 60.0);
    const double f = hue / 60.0 - sector;
    const int p = part(value * (1.0 - saturation) * 255.0);
    const int q = part(value * (1.0 - saturation * f) * 255.0);
    const int t = part(value * (1.0 - saturation * (1.0 - f)) * 255.0);
    const int v = part(v255);
    switch (static_cast<int>(std::clamp(sector, -1.0, 6.0))) {
    case 0:
        return QColor(v, t, p);
    case 1:
        return QColor(q, v, p);
    case 2:
        return QColor(p, v, t);
    case 3:
        return QColor(p, q, v);
    case 4:
        return QColor(t, p, v);
    default:
        return QColor(v, p, q);
    }
}

int ContrastStretch(int level, double perc) {
    const double c = 255.0 * perc;
    const double f = 259.0 * (c + 255.0) / (255.0 * (259.0 - c));
    const double stretched = f * (static_cast<double>(level) - 128.0) + 128.0;
    if (!std::isfinite(stretched)) {
        return stretched > 0 ? 255 : (stretched < 0 ? 0 : level);
    }
    return ClampLevel(RoundHalfEven(std::clamp(stretched, -1.0e9, 1.0e9)));
}

QColor SideClassColour(int sides) {
    return kSideClassColours[static_cast<std::size_t>(SidesClassOf(sides))];
}

void ContrastView(QImage& picture, const TRect& roi, const TContrastSettings& settings) {
    if (!IsPaintable(picture)) {
        return;
    }
    const TSpan cols = ColumnsOf(roi);
    const TSpan rows = RowsOf(roi);
    if (cols.Last < cols.First || rows.Last < rows.First) {
        return;
    }
    // 1. Grey range of every ROI column; the others keep the starting values.
    std::array<double, kW> mins;
    std::array<double, kW> maxs;
    mins.fill(256.0);
    maxs.fill(0.0);
    std::array<int, kW> lowest;
    std::array<int, kW> highest;
    lowest.fill(256);
    highest.fill(-1);
    for (int r = rows.First; r <= rows.Last; ++r) {
        const uchar* line = picture.constScanLine(r);
        for (int c = cols.First; c <= cols.Last; ++c) {
            const int g = LevelOf(line + 3 * c);
            auto& lo = lowest[static_cast<std::size_t>(c)];
            auto& hi = highest[static_cast<std::size_t>(c)];
            lo = std::min(lo, g);
            hi = std::max(hi, g);
        }
    }
    for (int c = cols.First; c <= cols.Last; ++c) {
        mins[static_cast<std::size_t>(c)] = lowest[static_cast<std::size_t>(c)];
        maxs[static_cast<std::size_t>(c)] = highest[static_cast<std::size_t>(c)];
    }
    // 2. Smoothed ranges.
    std::array<double, kW> lo{};
    std::array<double, kW> hi{};
    SmoothColumnRanges(mins, maxs, cols, settings.FIRlen, lo, hi);

    // 3 to 5. The new level depends only on the column and the old level: tabulate each
    // column over the levels that occur in it.
    const int width = cols.Last - cols.First + 1;
    std::vector<std::uint8_t> table(static_cast<std::size_t>(width) * 256);
    const TFinishedLevels finished(settings);
    for (int c = cols.First; c <= cols.Last; ++c) {
        const auto ci = static_cast<std::size_t>(c);
        std::uint8_t* t = table.data() + static_cast<std::size_t>(c - cols.First) * 256;
        for (int g = lowest[ci]; g <= highest[ci]; ++g) {
            t[g] = finished(StretchedLevel(g, lo[ci], hi[ci], settings));
        }
    }
    for (int r = rows.First; r <= rows.Last; ++r) {
        uchar* line = picture.scanLine(r);
        for (int c = cols.First; c <= cols.Last; ++c) {
            uchar* px = line + 3 * c;
            const std::uint8_t level = table[static_cast<std::size_t>(c - cols.First) * 256 +
                                             static_cast<std::size_t>(LevelOf(px))];
            px[0] = px[1] = px[2] = level;
        }
    }

    // 6. 3 x 3 smoothing of the ROI over the levels just written; neighbours outside the ROI are
    // the picture's own pixels, and beyond the picture's edge the nearest pixel on it. The
    // levels are gathered once into a band one pixel wider than the ROI on every side.
    const int bandWidth = width + 2;
    const int bandHeight = rows.Last - rows.First + 3;
    std::vector<int> levels(static_cast<std::size_t>(bandWidth * bandHeight));
    for (int b = 0; b < bandHeight; ++b) {
        const uchar* line = picture.constScanLine(std::clamp(rows.First - 1 + b, 0, kH - 1));
        int* out = levels.data() + static_cast<std::size_t>(b * bandWidth);
        for (int k = 0; k < bandWidth; ++k) {
            out[k] = LevelOf(line + 3 * std::clamp(cols.First - 1 + k, 0, kW - 1));
        }
    }
    for (int r = rows.First; r <= rows.Last; ++r) {
        const int* above = levels.data() + static_cast<std::size_t>((r - rows.First) * bandWidth);
        const int* here = above + bandWidth;
        const int* below = here + bandWidth;
        uchar* px = picture.scanLine(r) + 3 * cols.First;
        for (int k = 1; k <= width; ++k, px += 3) {
            const int sum = 4 * here[k] + 2 * (above[k] + below[k] + here[k - 1] + here[k + 1]) +
                            above[k - 1] + above[k + 1] + below[k - 1] + below[k + 1];
            px[0] = px[1] = px[2] = static_cast<uchar>(sum / 16);
        }
    }
}

void ColourCells(QImage& picture, const TRect& roi, const TDistMatrix& cells,
                 const TTransparency& transparency) {
    if (!IsPaintable(picture)) {
        return;
    }
    const TTransparency t = Sane(transparency);
    const double saturation = static_cast<double>(t.Position) / static_cast<double>(t.Maximum);
    // The new colour depends only on the side class and the pixel's brightest part.
    std::array<std::array<std::array<uchar, 3>, 256>, 5> table{};
    for (std::size_t k = 0; k < table.size(); ++k) {
        const double hue = HueOf(kSideClassColours[k]);
        for (int v = 0; v < 256; ++v) {
            const QColor colour = HsvToColour(hue, saturation, v / 255.0);
            table[k][static_cast<std::size_t>(v)] = {static_cast<uchar>(colour.red()),
                                                     static_cast<uchar>(colour.green()),
                                                     static_cast<uchar>(colour.blue())};
        }
    }
    // The side class of every label, asked of the tessellation once per painting.
    std::vector<std::uint8_t> classOf(static_cast<std::size_t>(kMaxCenters) + 1);
    for (int label = 0; label <= kMaxCenters; ++label) {
        classOf[static_cast<std::size_t>(label)] =
            static_cast<std::uint8_t>(SidesClassOf(cells.SidesOf(label)));
    }
    const auto classAt = [&](std::int32_t label) -> std::size_t {
        return label >= 0 && label <= kMaxCenters ? classOf[static_cast<std::size_t>(label)]
                                                  : static_cast<std::size_t>(SidesClassOf(0));
    };
    const TSpan cols = ColumnsOf(roi);
    const TSpan rows = RowsOf(roi);
    const TLabelMap& labels = cells.LabelMap();
    for (int r = rows.First; r <= rows.Last; ++r) {
        uchar* line = picture.scanLine(r);
        const std::int32_t* labelRow = labels.data() + static_cast<std::size_t>(FrameIndex(r, 0));
        for (int c = cols.First; c <= cols.Last; ++c) {
            uchar* px = line + 3 * c;
            const auto& rgb = table[classAt(labelRow[c])]
                                   [static_cast<std::size_t>(std::max({px[0], px[1], px[2]}))];
            px[0] = rgb[0];
            px[1] = rgb[1];
            px[2] = rgb[2];
        }
    }
}

void DrawEdges(QImage& picture, const TRect& roi, std::span<const std::int32_t, kFramePixels> edges,
               const TTransparency& transparency, const TOverlayColours& colours) {
    if (!IsPaintable(picture)) {
        return;
    }
    const TTransparency t = Sane(transparency);
    const int p = t.Position;
    const int m = t.Maximum;
    // Blending in integers, part by part: floor(K * P / M) + floor(X * (M - P) / M).
    std::array<int, 256> under{};
    for (int x = 0; x < 256; ++x) {
        under[static_cast<std::size_t>(x)] = x * (m - p) / m;
    }
    const auto over = [&](const QColor& k) {
        return std::array<int, 3>{k.red() * p / m, k.green() * p / m, k.blue() * p / m};
    };
    const std::array<int, 3> edge = over(colours.DarkGrey);
    const std::array<int, 3> vertex = over(colours.Red);
    const int firstRow = std::max(roi.Top + 1, 0);
    const int lastRow = std::min(roi.Bottom - 1, kH - 1);
    const int firstCol = std::max(roi.Left + 1, 0);
    const int lastCol = std::min(roi.Right - 1, kW - 1);
    for (int r = firstRow; r <= lastRow; ++r) {
        uchar* line = picture.scanLine(r);
        const std::int32_t* edgeRow = edges.data() + static_cast<std::size_t>(FrameIndex(r, 0));
        for (int c = firstCol; c <= lastCol; ++c) {
            const std::int32_t e = edgeRow[c];
            if (e != kEdgePixel && e != kVertexPixel) {
                continue;
            }
            const std::array<int, 3>& k = e == kEdgePixel ? edge : vertex;
            uchar* px = line + 3 * c;
            for (int i = 0; i < 3; ++i) {
                px[i] = static_cast<uchar>(k[static_cast<std::size_t>(i)] +
                                           under[static_cast<std::size_t>(px[i])]);
            }
        }
    }
}

void DrawCentres(QImage& picture, const TRect& roi, const TCenterList& centres,
                 const TOverlayColours& colours) {
    if (!IsPaintable(picture)) {
        return;
    }
    for (int i = 1; i <= CenterCount(centres); ++i) {
        const TCenter& centre = centres[static_cast<std::size_t>(i)];
        if (roi.Top < centre.Row && centre.Row < roi.Bottom && roi.Left < centre.Col &&
            centre.Col < roi.Right && IsInsideFrame(centre.Row, centre.Col)) {
            SetPixel(picture, centre.Row, centre.Col,
                     centre.Manual == 1 ? colours.Lime : colours.Yellow);
        }
    }
    const QColor white(255, 255, 255);
    for (int r = roi.Top; r <= roi.Bottom; ++r) {
        for (const int c : {roi.Left, roi.Right}) {
            if (IsInsideFrame(r, c)) {
                SetPixel(picture, r, c, white);
            }
        }
    }
    for (int c = roi.Left; c <= roi.Right; ++c) {
        for (const int r : {roi.Top, roi.Bottom}) {
            if (IsInsideFrame(r, c)) {
                SetPixel(picture, r, c, white);
            }
        }
    }
}

void DrawPachymetryLine(QImage& picture, const TPachymetryLine& line) {
    if (!IsPaintable(picture)) {
        return;
    }
    const QColor red(255, 0, 0);
    const QColor yellow(255, 255, 0);
    for (int r = 0; r < kH; ++r) {
        if (IsInsideFrame(r, line.StartX)) {
            SetPixel(picture, r, line.StartX, red);
        }
        if (IsInsideFrame(r, line.EndX)) {
            SetPixel(picture, r, line.EndX, yellow);
        }
    }
}

void DrawROIRectangle(QPainter& canvas, const TRect& rect, const QColor& colour) {
    const TRect r = rect.Normalized();
    if (!IsROIAreaValid(r)) {
        return;
    }
    canvas.setRenderHint(QPainter::Antialiasing, false);
    canvas.setBrush(Qt::NoBrush);
    canvas.setCompositionMode(QPainter::CompositionMode_SourceOver);
    canvas.setPen(QPen(colour, 0));
    // A cosmetic pen along the rectangle's pixel edges gives the outline the rectangle command
    // of the original platform draws: the right and bottom edges lie one pixel inside.
    canvas.drawRect(QRect(r.Left, r.Top, r.Right - r.Left - 1, r.Bottom - r.Top - 1));
    canvas.setCompositionMode(QPainter::RasterOp_NotSourceXorDestination);
}

bool DrawCellOverlay(QImage& picture, const TRect& roi, const TDistMatrix& cells,
                     const TOverlayOptions& options, const TContrastSettings& contrast,
                     QImage& snapshot) {
    const TRect r = roi.Normalized();
    if (!IsROIAreaValid(r) || !IsPaintable(picture)) {
        return false;
    }
    if (options.ContrastView) {
        ContrastView(picture, r, contrast);
    }
    snapshot = picture.copy();
    if (options.ColourBySides) {
        ColourCells(picture, r, cells, options.Transparency);
    }
    const std::span<const std::int32_t, kFramePixels> edges(cells.EdgeMap());
    if (options.ShowEdges) {
        DrawEdges(picture, r, edges, options.Transparency, options.Colours);
    }
    if (options.ShowCentres) {
        DrawCentres(picture, r, cells.Centers(), options.Colours);
    }
    DrawPachymetryLine(picture, options.PachymetryLine);
    // "Centro e Contorno" reaches the painting with both flags off.
    if (!options.ShowEdges && !options.ShowCentres) {
        DrawEdges(picture, r, edges, options.Transparency, options.Colours);
        DrawCentres(picture, r, cells.Centers(), options.Colours);
    }
    QPainter canvas(&picture);
    DrawROIRectangle(canvas, r, options.Colours.Lime);
    return true;
}

double ZoomOf(int zoomPosition) {
    return zoomPosition * 3.5 / 100.0 + 0.5;
}

TZoomedCropGeometry ZoomedCropGeometry(int zoomPosition, const TRect& roi, int panelWidth,
                                       int panelHeight) {
    const double zoom = ZoomOf(zoomPosition);
    TZoomedCropGeometry g;
    g.Width = static_cast<int>(RoundHalfEven(2.0 * (roi.Right - roi.Left) * zoom));
    g.Height = static_cast<int>(RoundHalfEven(2.0 * (roi.Bottom - roi.Top) * zoom));
    g.Left = static_cast<int>(RoundHalfEven((panelWidth - g.Width) / 2.0));
    g.Top = static_cast<int>(RoundHalfEven((panelHeight - g.Height) / 2.0));
    return g;
}

TPlotPoint ControlToPlot(int controlX, int controlY) {
    const auto half = [](int v) {
        return static_cast<std::uint16_t>(RoundHalfEven(static_cast<double>(v) / 2.0));
    };
    return {half(controlX), half(controlY)};
}

TFramePoint PlotToFrame(int zoomPosition, const TRect& roi, std::uint16_t x, std::uint16_t y) {
    const double zoom = ZoomOf(zoomPosition);
    TFramePoint p;
    p.Col = static_cast<std::uint16_t>(RoundHalfEven(x / zoom + roi.Left));
    p.Row = static_cast<std::uint16_t>(RoundHalfEven(y / zoom + roi.Top));
    return p;
}

} // namespace endomira
