#pragma once

#include "FrameGeometry.h"
#include "Pachymetry.h"
#include "VoronoiDistMatrix.h"

#include <QColor>
#include <QImage>
#include <QPainter>
#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace endomira {

// Where a frame was taken: a clock hour 0, 2, ..., 12 and a side "N" (nasal), "T" (temporal) or
// empty. Stored with the exam as EXM_FIX_SIDE and EXM_FIX_POS.
struct TFixation {
    QString FixSide; // at most one character
    std::uint16_t FixPos = 0;

    friend bool operator==(const TFixation&, const TFixation&) = default;
};

inline constexpr std::size_t kSidesClasses = kSidesClassCount; // 4, 5, 6, 7 sides, any other
inline constexpr std::size_t kAreaClasses = 7; // > 699, 600-699, ..., 200-299, < 200 µm²
using TSidesCounts = std::array<std::uint16_t, kSidesClasses>;
using TAreaClassCounts = std::array<std::uint16_t, kAreaClasses>;

// Every frame's level: producers store it, nothing reads it.
inline constexpr std::uint8_t kFrameLevel = 100;
inline constexpr double kNormalSensitivity = -3.0;
// MinArea of a frame without counted cells.
inline constexpr double kNoMinArea = 65000.0;

// One frame of the examination and everything attached to it. The record owns its images and
// its tessellation; a crop is a null QImage until the frame is analysed.
struct TFrameRecord {
    QImage Image;         // 640 x 480, RGB888
    QImage CropOriginal;  // the ROI of the view under the overlay, without it
    QImage CropProcessed; // the ROI of the view with the overlay
    QString FixSide;
    std::uint16_t FixPos = 0;
    std::uint8_t Eye = 0; // 0 OD, 1 OS
    std::uint8_t Level = 0;
    TRect ROI;
    std::uint16_t CellCount = 0;
    TSidesCounts SidesCount{};
    std::uint16_t Density = 0; // cells per mm²
    TAreaClassCounts AreaClassCount{};
    double MaxArea = 0.0;      // µm²
    double MinArea = 0.0;      // µm²
    double MeanArea = 0.0;     // µm²
    double AnalysedArea = 0.0; // mm²
    TPachymetryLine PachymetryLine;
    double AreaSD = 0.0; // µm²
    double AreaCV = 0.0; // a fraction
    double Sensitivity = 0.0;
    std::unique_ptr<TDistMatrix> Voronoi;
    bool UseInCalculation = false;
};

// The examination's results: means over the frames that count.
struct TExamSummary {
    std::uint16_t FramesUsed = 0;
    std::uint16_t CellCount = 0;
    TSidesCounts SidesCount{};
    std::uint16_t Density = 0;
    TAreaClassCounts AreaClassCount{};
    double MaxArea = 0.0;
    double MinArea = 0.0;
    double MeanArea = 0.0;
    double AnalysedArea = 0.0;
    double AreaSD = 0.0;
    double AreaCV = 0.0;
    std::int32_t Pachymetry = 0; // µm

    friend bool operator==(const TExamSummary&, const TExamSummary&) = default;
};

// The stored values of a saved examination that its summary is rebuilt from, named after their
// columns. The exam record fills them; the frame store does not depend on the record itself.
struct TStoredExamSummary {
    std::int32_t EXM_TOTALIMG = 0;
    std::int32_t EXM_TOTALCELULAS = 0;
    std::int32_t EXM_DENSIDADE = 0;
    double EXM_AREAMAX = 0.0;
    double EXM_AREAMIN = 0.0;
    double EXM_AREAMED = 0.0;
    double EXM_AREAANALISADA = 0.0;
    double EXM_DP = 0.0;
    double EXM_COEFVAR = 0.0;
    std::int32_t EXM_HEXAGONAIS = 0;  // shown, not loaded into the summary
    std::int32_t EXM_PAQUIMETRIA = 0; // shown, not loaded into the summary
    QString EXM_MORPHOINFO;
    QString EXM_MEGATINFO;
};

// The bitmap of a new frame. Replaceable so that tests can make the allocation fail as it does
// when memory runs out (a null image or std::bad_alloc).
using TFrameImageAllocator = QImage (*)(int width, int height);
TFrameImageAllocator SetFrameImageAllocator(TFrameImageAllocator allocator);

// The frames of one examination in capture order, with everything the workflow attaches to each,
// the examination summary and the grey statistics of the last live image checked. Frame indices
// are 16-bit; callers keep them below BGetCount.
class TBFrameBuffer {
public:
    TBFrameBuffer();
    ~TBFrameBuffer();
    TBFrameBuffer(const TBFrameBuffer&) = delete;
    TBFrameBuffer& operator=(const TBFrameBuffer&) = delete;

    // Frame set.
    std::uint16_t BGetCount() const { return Count_; }
    // Appends a copy of the (0, 0, 640, 480) area of source. Out of memory: shows the message and
    // returns false with the buffer unchanged.
    bool BAddFrame(const QImage& source, const TFixation& fixation, std::uint8_t eye,
                   std::uint8_t level, const TRect& roi, const TPachymetryLine& pachymetryLine,
                   double sensitivity);
    TFrameRecord& BGetFrame(std::uint16_t index);
    const TFrameRecord& BGetFrame(std::uint16_t index) const;
    TFrameRecord& BGetLastFrame();
    const std::vector<TFrameRecord>& BGetFrames() const { return Frames_; }

    // ROI.
    void BSetROI(std::uint16_t index, const TRect& corners);
    void BClearROI(std::uint16_t index);
    TRect BGetROI(std::uint16_t index) const;
    static bool BIsROIAreaValid(const TRect& rect, std::int32_t minArea);
    bool BHasValidROI(std::uint16_t index) const;
    // Leaves the canvas in not-xor mode.
    static void BDrawROI(QPainter& canvas, const TRect& rect, const QColor& colour);

    // Per-frame attributes.
    TFixation BGetFixation(std::uint16_t index) const;
    void BSetPachymetryLine(std::uint16_t index, std::int32_t startX, std::int32_t endX,
                            std::int32_t lengthPx);
    TPachymetryLine BGetPachymetryLine(std::uint16_t index) const;
    // µm = round(LengthPx * pixelToPaq); the scale is the settings' unless given.
    std::uint16_t BGetPachymetry(std::uint16_t index) const;
    std::uint16_t BGetPachymetry(std::uint16_t index, double pixelToPaq) const;
    void BSetSensitivity(std::uint16_t index, double value);
    double BGetSensitivity(std::uint16_t index) const;
    // The buffer owns the object from then on; the previous one is released.
    void BSetVoronoi(std::uint16_t index, std::unique_ptr<TDistMatrix> object);
    TDistMatrix* BGetVoronoi(std::uint16_t index) const;
    void BSetUseInCalculation(std::uint16_t index, bool value);
    bool BGetUseInCalculation(std::uint16_t index) const;
    // Cuts the (Left, Top) area of |Right - Left| x |Bottom - Top| from background (plain crop)
    // or from surface (processed crop), replacing the earlier crop of the same kind.
    void BCropFrame(std::uint16_t index, const QImage& background, const QImage& surface,
                    bool processed, const TRect& roi);
    const QImage& BGetCropOriginal(std::uint16_t index) const;
    const QImage& BGetCropProcessed(std::uint16_t index) const;
    // Puts the detected cells back over the operator's edits and recomputes.
    void BRestoreDetection(std::uint16_t index);

    std::uint16_t BGetCellCount(std::uint16_t index) const;
    TSidesCounts BGetSidesCount(std::uint16_t index) const;
    std::uint16_t BGetDensity(std::uint16_t index) const;
    double BGetMaxArea(std::uint16_t index) const;
    double BGetMinArea(std::uint16_t index) const;
    double BGetMeanArea(std::uint16_t index) const;
    double BGetAnalysedArea(std::uint16_t index) const;
    double BGetAreaSD(std::uint16_t index) const;
    double BGetAreaCV(std::uint16_t index) const;

    // Grey images: row after row (y * 640 + x), and column after column (x * 480 + y).
    static void BBitmapToGrey(const QImage& bitmap, std::span<std::uint8_t, kFramePixels> dest);
    static void BBitmapToGreyTransposed(const QImage& bitmap,
                                        std::span<std::uint8_t, kFramePixels> dest);
    void BGetGreyImage(std::uint16_t index, std::span<std::uint8_t, kFramePixels> dest) const;
    void BGetGreyImageTransposed(std::uint16_t index,
                                 std::span<std::uint8_t, kFramePixels> dest) const;

    // Morphometry of one frame over the cells 1 ... lastCell of cells whose centres lie strictly
    // inside roi. Any failure is shown in a box; the frame keeps what was written before it.
    void BCalculateStatistics(std::uint16_t index, int lastCell, double mmPerPixel,
                              std::span<const TCellStat> cells, const TRect& roi);
    // The summary recomputed from the frames that count; pachymetry at the settings' scale
    // unless given.
    const TExamSummary& BCalculateExamStatistics();
    const TExamSummary& BCalculateExamStatistics(double pixelToPaq);
    const TExamSummary& BGetSummary() const { return Summary_; }
    void BClearSummary();
    // Fills the summary from a saved examination. False when a distribution string is malformed;
    // the values read before the failing one are kept. Pachymetry and the frames are untouched.
    bool BLoadSummary(const TStoredExamSummary& exam);

    // Live-image check of the automatic capture.
    void BComputeGreyStatistics(std::span<const std::uint8_t, kFramePixels> grey);
    bool BCheckFrameStatistics(const QImage& source, double average, double sd, double variance,
                               double tolerance);
    const std::array<std::uint32_t, 256>& GreyHistogram() const { return GreyHistogram_; }
    double GreyMean() const { return GreyMean_; }
    double GreyVariance() const { return GreyVariance_; }
    double GreySD() const { return GreySD_; }

private:
    std::uint16_t Count_ = 0;
    std::vector<TFrameRecord> Frames_;
    std::array<std::uint32_t, 256> GreyHistogram_{};
    double GreyMean_ = 0.0;
    double GreyVariance_ = 0.0;
    double GreySD_ = 0.0;
    TExamSummary Summary_;
    // The live-image check's grey image, kept so that each tick reuses its pages.
    std::vector<std::uint8_t> LiveGrey_;
};

} // namespace endomira
