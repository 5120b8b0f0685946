// endomira-analyze: the frame analysis without the windows, for researchers and for checking
// results. Reads a 640 x 480 BMP, detects the cell centres in it with the given ROI and
// sensitivity, tessellates them, applies the given edits and prints the result as JSON, with the
// frame's morphometry over the ROI; optionally paints the overlay to a PNG and measures the
// pachymetry line automatically.
#include "CellOverlay.h"
#include "FrameGeometry.h"
#include "GreyImage.h"
#include "MessageService.h"
#include "Pachymetry.h"
#include "UBCellFinder.h"
#include "UBFrameBuffer.h"
#include "VoronoiDistMatrix.h"

#include <QString>

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <exception>
#include <fstream>
#include <iostream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace endomira;

constexpr int kBadInput = 2;
constexpr int kPasses = 5;
// The frame analysis stops at this many centres or fewer.
constexpr int kTooFewCells = 30;

const char* const kUsage =
    "usage: endomira-analyze IMAGE.bmp --roi L,T,R,B [--sensitivity -3.0] [--add ROW,COL]... "
    "[--delete ROW,COL]... [--restore] [--label-map FILE] [--edge-map FILE] [--pixel-to-mm 0.0014] "
    "[--overlay FILE.png [--original] [--colour-by-sides] [--transparency 50] "
    "[--centres|--edges|--all]] [--pachymetry [--pixel-to-paq 3.6]]";

// The example settings' scales, used when none is given.
constexpr double kDefaultPixelToMM = 0.0014;
constexpr double kDefaultPixelToPaq = 3.6;

struct TBadInput {
    std::string Message;
};

// --help: the usage on standard output, and a successful exit.
struct TUsageRequested {};

enum class TEditKind { Add, Delete, Restore };
struct TEdit {
    TEditKind Kind;
    int Row = 0;
    int Col = 0;
};

struct TOptions {
    std::string Image;
    std::optional<TRect> Roi;
    double Sensitivity = -3.0;
    std::vector<TEdit> Edits;
    std::string LabelMap;
    std::string EdgeMap;
    double PixelToMM = kDefaultPixelToMM;
    std::string Overlay;
    bool Original = false;
    bool ColourBySides = false;
    int Transparency = 50;
    bool ShowCentres = false; // "Somente o contorno", the editing page's start, unless asked
    bool ShowEdges = true;
    bool Pachymetry = false;
    std::optional<double> PixelToPaq;
};

std::int32_t ParseInt(std::string_view text, const std::string& what) {
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
        throw TBadInput{"malformed " + what + ": '" + std::string(text) + "'"};
    }
    return value;
}

std::vector<std::int32_t> ParseList(std::string_view text, std::size_t count,
                                    const std::string& what) {
    std::vector<std::int32_t> values;
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = text.find(',', start);
        const std::string_view part = text.substr(
            start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        values.push_back(ParseInt(part, what));
        if (comma == std::string_view::npos) {
            break;
        }
        start = comma + 1;
    }
    if (values.size() != count) {
        throw TBadInput{"malformed " + what + ": '" + std::string(text) + "' needs " +
                        std::to_string(count) + " comma-separated integers"};
    }
    return values;
}

double ParseReal(std::string_view text, const std::string& what) {
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size() ||
        !std::isfinite(value)) {
        throw TBadInput{"malformed " + what + ": '" + std::string(text) + "'"};
    }
    return value;
}

TOptions ParseArguments(int argc, char** argv) {
    TOptions o;
    bool haveImage = false;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const auto value = [&]() -> std::string_view {
            if (i + 1 >= argc) {
                throw TBadInput{std::string(arg) + " needs a value"};
            }
            return argv[++i];
        };
        if (arg == "--roi") {
            if (o.Roi) {
                throw TBadInput{"--roi given twice"};
            }
            const auto v = ParseList(value(), 4, "ROI");
            o.Roi = TRect{v[0], v[1], v[2], v[3]};
        } else if (arg == "--sensitivity") {
            o.Sensitivity = ParseReal(value(), "sensitivity");
        } else if (arg == "--add" || arg == "--delete") {
            const auto v = ParseList(value(), 2, "pixel (ROW,COL)");
            o.Edits.push_back({arg == "--add" ? TEditKind::Add : TEditKind::Delete, v[0], v[1]});
        } else if (arg == "--restore") {
            o.Edits.push_back({TEditKind::Restore});
        } else if (arg == "--label-map" || arg == "--edge-map") {
            std::string& target = arg == "--label-map" ? o.LabelMap : o.EdgeMap;
            if (!target.empty()) {
                throw TBadInput{std::string(arg) + " given twice"};
            }
            target = value();
            if (target.empty()) {
                throw TBadInput{std::string(arg) + " needs a file name"};
            }
        } else if (arg == "--pixel-to-mm") {
            o.PixelToMM = ParseReal(value(), "pixel-to-mm");
            if (!(o.PixelToMM > 0.0)) {
                throw TBadInput{"--pixel-to-mm must be above 0"};
            }
        } else if (arg == "--overlay") {
            o.Overlay = value();
            if (o.Overlay.empty()) {
                throw TBadInput{"--overlay needs a file name"};
            }
        } else if (arg == "--original") {
            o.Original = true;
        } else if (arg == "--colour-by-sides") {
            o.ColourBySides = true;
        } else if (arg == "--transparency") {
            o.Transparency = ParseInt(value(), "transparency");
            if (o.Transparency < 0 || o.Transparency > 100) {
                throw TBadInput{"--transparency must be within 0 ... 100"};
            }
        } else if (arg == "--centres" || arg == "--edges" || arg == "--all") {
            o.ShowCentres = arg != "--edges";
            o.ShowEdges = arg != "--centres";
        } else if (arg == "--pachymetry") {
            o.Pachymetry = true;
        } else if (arg == "--pixel-to-paq") {
            o.PixelToPaq = ParseReal(value(), "pixel-to-paq");
        } else if (arg == "--help" || arg == "-h") {
            throw TUsageRequested{};
        } else if (arg.starts_with("-") && arg.size() > 1) {
            throw TBadInput{"unknown option " + std::string(arg)};
        } else if (haveImage) {
            throw TBadInput{"more than one image given"};
        } else {
            o.Image = arg;
            haveImage = true;
        }
    }
    if (!haveImage) {
        throw TBadInput{std::string("no image given; ") + kUsage};
    }
    if (o.PixelToPaq && !o.Pachymetry) {
        throw TBadInput{"--pixel-to-paq needs --pachymetry"};
    }
    if (!o.Roi) {
        throw TBadInput{"no ROI given (--roi L,T,R,B)"};
    }
    const TRect& r = *o.Roi;
    for (const std::int32_t x : {r.Left, r.Right}) {
        if (x < 0 || x >= kFrameWidth) {
            throw TBadInput{"ROI outside the frame: column " + std::to_string(x) +
                            " is not within 0 ... 639"};
        }
    }
    for (const std::int32_t y : {r.Top, r.Bottom}) {
        if (y < 0 || y >= kFrameHeight) {
            throw TBadInput{"ROI outside the frame: row " + std::to_string(y) +
                            " is not within 0 ... 479"};
        }
    }
    o.Roi = r.Normalized();
    if (!IsROIAreaValid(*o.Roi)) {
        throw TBadInput{"ROI area of " + std::to_string(o.Roi->Area32()) + " pixels is 50 or less"};
    }
    return o;
}

std::string Number(double value) {
    char buffer[64];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
    return ec == std::errc() ? std::string(buffer, end) : std::string("null");
}

void AppendCenters(std::ostringstream& out, const TCenterList& list) {
    out << '[';
    for (int i = 1; i <= CenterCount(list); ++i) {
        const TCenter& c = list[static_cast<std::size_t>(i)];
        out << (i > 1 ? "," : "") << '[' << c.Row << ',' << c.Col << ',' << c.Weight << ','
            << c.Manual << ']';
    }
    out << ']';
}

void WriteMap(const std::string& path, const std::array<std::int32_t, kFramePixels>& map) {
    std::vector<unsigned char> bytes(static_cast<std::size_t>(kFramePixels) * 4);
    for (std::size_t i = 0; i < map.size(); ++i) {
        const auto v = static_cast<std::uint32_t>(map[i]);
        for (int b = 0; b < 4; ++b) {
            bytes[i * 4 + static_cast<std::size_t>(b)] = static_cast<unsigned char>(v >> (8 * b));
        }
    }
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()),
               static_cast<std::streamsize>(bytes.size()));
    file.close();
    if (!file) {
        throw TBadInput{"cannot write " + path};
    }
}

std::string Real17(double value) {
    char buffer[64];
    const int n = std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return std::isfinite(value) && n > 0 ? std::string(buffer, static_cast<std::size_t>(n))
                                         : std::string("null");
}

template <std::size_t N>
void AppendCounts(std::ostringstream& out, const std::array<std::uint16_t, N>& counts) {
    out << '[';
    for (std::size_t i = 0; i < N; ++i) {
        out << (i > 0 ? "," : "") << counts[i];
    }
    out << ']';
}

// The frame's morphometry as the frame buffer computes it after every analysis and edit.
void AppendStats(std::ostringstream& out, const QImage& image, const TDistMatrix& matrix,
                 const TRect& roi, double pixelToMM) {
    TBFrameBuffer buffer;
    TMessageRecorder messages; // a failure is reported in the output, not in a box
    buffer.BAddFrame(image, {}, 0, kFrameLevel, roi, {}, kNormalSensitivity);
    buffer.BCalculateStatistics(0, matrix.Count(), pixelToMM, matrix.CellStats(), roi);
    const TFrameRecord& f = buffer.BGetFrame(0);
    out << ",\"stats\":{\"pixel_to_mm\":" << Real17(pixelToMM) << ",\"CellCount\":" << f.CellCount
        << ",\"SidesCount\":";
    AppendCounts(out, f.SidesCount);
    out << ",\"AreaClassCount\":";
    AppendCounts(out, f.AreaClassCount);
    out << ",\"MinArea\":" << Real17(f.MinArea) << ",\"MaxArea\":" << Real17(f.MaxArea)
        << ",\"MeanArea\":" << Real17(f.MeanArea) << ",\"AreaSD\":" << Real17(f.AreaSD)
        << ",\"AreaCV\":" << Real17(f.AreaCV) << ",\"AnalysedArea\":" << Real17(f.AnalysedArea)
        << ",\"Density\":" << f.Density;
    if (!messages.Shown().empty()) {
        out << ",\"error\":\"the statistics stopped on a value without meaning (a division by "
               "zero); the figures are those computed before it\"";
    }
    out << '}';
}

void AppendPachymetry(std::ostringstream& out, const TPachymetryLine& line, double pixelToPaq) {
    TBFrameBuffer buffer;
    buffer.BAddFrame(QImage(), {}, 0, kFrameLevel, {}, line, kNormalSensitivity);
    out << ",\"pachymetry\":{\"StartX\":" << line.StartX << ",\"EndX\":" << line.EndX
        << ",\"LengthPx\":" << line.LengthPx << ",\"pixel_to_paq\":" << Real17(pixelToPaq)
        << ",\"micrometres\":" << buffer.BGetPachymetry(0, pixelToPaq) << '}';
}

void WriteOverlay(const TOptions& o, const QImage& image, const TDistMatrix& matrix,
                  const TPachymetryLine& line) {
    TOverlayOptions options;
    options.ContrastView = !o.Original;
    options.ColourBySides = o.ColourBySides;
    options.ShowCentres = o.ShowCentres;
    options.ShowEdges = o.ShowEdges;
    options.Transparency = TTransparency{o.Transparency, 100};
    options.PachymetryLine = line;
    QImage picture = image.copy();
    QImage snapshot;
    DrawCellOverlay(picture, *o.Roi, matrix, options, TContrastSettings{}, snapshot);
    if (!picture.save(QString::fromStdString(o.Overlay), "PNG")) {
        throw TBadInput{"cannot write " + o.Overlay};
    }
}

int Run(int argc, char** argv) {
    const TOptions o = ParseArguments(argc, argv);
    QString error;
    const QImage image = ReadBmpAsRgb888(QString::fromStdString(o.Image), error);
    if (image.isNull()) {
        throw TBadInput{error.toStdString()};
    }
    if (image.width() != kFrameWidth || image.height() != kFrameHeight) {
        throw TBadInput{"image is " + std::to_string(image.width()) + " x " +
                        std::to_string(image.height()) + ", a frame is 640 x 480: " + o.Image};
    }
    std::vector<std::uint8_t> grey(kFramePixels, 0);
    BitmapToGrey(image, std::span<std::uint8_t, kFramePixels>(grey.data(), kFramePixels));

    // Measured on the frame as the window does when the ROI is drawn; it is also the line the
    // overlay shows.
    const TPachymetryLine pachymetry = MeasurePachymetry(image);
    const auto appendPachymetry = [&](std::ostringstream& out) {
        if (o.Pachymetry) {
            AppendPachymetry(out, pachymetry, o.PixelToPaq.value_or(kDefaultPixelToPaq));
        }
    };

    TCMFinder finder(TGreyImage(grey.data(), kFramePixels));
    const int detected = finder.FindCenters(kPasses, o.Sensitivity, *o.Roi);

    std::ostringstream out;
    const TRect& roi = *o.Roi;
    out << "{\"roi\":[" << roi.Left << ',' << roi.Top << ',' << roi.Right << ',' << roi.Bottom
        << "],\"sensitivity\":" << Number(o.Sensitivity) << ",\"detected\":{\"count\":" << detected
        << ",\"centers\":";
    AppendCenters(out, finder.Centers());
    out << '}';
    if (detected <= kTooFewCells) {
        appendPachymetry(out);
        out << ",\"too_few_cells\":true,\"message\":\"" << detected
            << " centres found; the analysis needs more than " << kTooFewCells
            << ": no tessellation, no edits, no maps, no statistics, no overlay\"}";
        std::cout << out.str() << '\n';
        return 0;
    }

    TDistMatrix matrix(finder.Centers());
    matrix.Recompute();
    for (const TEdit& e : o.Edits) {
        switch (e.Kind) {
        case TEditKind::Add:
            matrix.AddCell(e.Row, e.Col);
            matrix.Recompute();
            break;
        case TEditKind::Delete:
            matrix.DeleteCell(e.Row, e.Col);
            matrix.Recompute();
            break;
        case TEditKind::Restore:
            matrix.RestoreDetection();
            break;
        }
    }
    if (!o.LabelMap.empty()) {
        WriteMap(o.LabelMap, matrix.LabelMap());
    }
    if (!o.EdgeMap.empty()) {
        WriteMap(o.EdgeMap, matrix.EdgeMap());
    }
    if (!o.Overlay.empty()) {
        WriteOverlay(o, image, matrix, pachymetry);
    }

    const TCellStats& stats = matrix.CellStats();
    out << ",\"too_few_cells\":false,\"count\":" << matrix.Count() << ",\"centers\":";
    AppendCenters(out, matrix.Centers());
    out << ",\"vertex_count\":" << matrix.Vertices().size()
        << ",\"header_sides\":" << stats[0].Sides << ",\"cells\":[";
    bool first = true;
    for (int label = 1; label <= kMaxCenters; ++label) {
        const TCellStat& s = stats[static_cast<std::size_t>(label)];
        if (s.Area > 0) {
            out << (first ? "" : ",") << '[' << label << ',' << s.Area << ',' << s.Sides << ','
                << s.Row << ',' << s.Col << ']';
            first = false;
        }
    }
    out << ']';
    AppendStats(out, image, matrix, *o.Roi, o.PixelToMM);
    appendPachymetry(out);
    out << '}';
    std::cout << out.str() << '\n';
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(argc, argv);
    } catch (const TUsageRequested&) {
        std::cout << kUsage << '\n';
        return 0;
    } catch (const TBadInput& bad) {
        std::cerr << "endomira-analyze: " << bad.Message << '\n';
    } catch (const std::exception& e) {
        std::cerr << "endomira-analyze: " << e.what() << '\n';
    }
    return kBadInput;
}
