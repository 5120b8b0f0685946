#include "UBFrameBuffer.h"

#include "CellOverlay.h"
#include "GreyImage.h"
#include "HistogramText.h"
#include "MessageService.h"
#include "Rounding.h"
#include "UBIniSettings.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <stdexcept>

namespace endomira {

namespace {

QImage AllocateFrameImage(int width, int height) {
    return QImage(width, height, QImage::Format_RGB888);
}

TFrameImageAllocator gAllocator = &AllocateFrameImage;

// A step of the statistics that has no value (a division by zero, a number beyond the integers):
// the statistics stop there, as a floating-point fault would stop them.
struct TStatisticsFault {};

std::int64_t CheckedRound(double value) {
    constexpr double kLimit = 4.0e18;
    if (!std::isfinite(value) || std::fabs(value) > kLimit) {
        throw TStatisticsFault{};
    }
    return RoundHalfEven(value);
}

double CheckedDivide(double numerator, double denominator) {
    if (denominator == 0.0) {
        throw TStatisticsFault{};
    }
    const double quotient = numerator / denominator;
    if (!std::isfinite(quotient)) {
        throw TStatisticsFault{};
    }
    return quotient;
}

// Area classes in whole µm², largest first.
std::size_t AreaClass(std::int64_t area) {
    if (area > 699) {
        return 0;
    }
    if (area >= 600) {
        return 1;
    }
    if (area >= 500) {
        return 2;
    }
    if (area >= 400) {
        return 3;
    }
    if (area >= 300) {
        return 4;
    }
    if (area >= 200) {
        return 5;
    }
    return 6;
}

std::uint16_t Low16(std::int64_t value) {
    return static_cast<std::uint16_t>(static_cast<std::uint64_t>(value));
}

double PixelToPaqOfSettings() {
    const TBIniSettings* settings = ProgramSettings();
    if (settings == nullptr) {
        throw std::logic_error("TBFrameBuffer: the pachymetry scale needs the program's settings");
    }
    return settings->GetPixelToPaq();
}

} // namespace

TFrameImageAllocator SetFrameImageAllocator(TFrameImageAllocator allocator) {
    const TFrameImageAllocator previous = gAllocator;
    gAllocator = allocator != nullptr ? allocator : &AllocateFrameImage;
    return previous;
}

TBFrameBuffer::TBFrameBuffer() : LiveGrey_(kFramePixels, 0) {}

TBFrameBuffer::~TBFrameBuffer() {
    // Last frame first: its images, its crops and its tessellation go with the record.
    while (!Frames_.empty()) {
        Frames_.pop_back();
    }
}

bool TBFrameBuffer::BAddFrame(const QImage& source, const TFixation& fixation, std::uint8_t eye,
                              std::uint8_t level, const TRect& roi,
                              const TPachymetryLine& pachymetryLine, double sensitivity) {
    try {
        // The count is 16 bits wide: a buffer that cannot count another frame has no room for it.
        if (Count_ == std::numeric_limits<std::uint16_t>::max()) {
            throw std::bad_alloc();
        }
        QImage image = gAllocator(kFrameWidth, kFrameHeight);
        if (image.isNull()) {
            throw std::bad_alloc(); // the image allocator reports exhaustion with a null image
        }
        if (image.format() != QImage::Format_RGB888) {
            image = image.convertToFormat(QImage::Format_RGB888);
            if (image.isNull()) {
                throw std::bad_alloc();
            }
        }
        image.fill(Qt::black);
        if (!source.isNull()) {
            const QImage rgb = source.format() == QImage::Format_RGB888
                                   ? source
                                   : source.convertToFormat(QImage::Format_RGB888);
            if (rgb.isNull()) {
                throw std::bad_alloc();
            }
            const int rows = std::min(rgb.height(), kFrameHeight);
            const auto bytes = static_cast<std::size_t>(std::min(rgb.width(), kFrameWidth) * 3);
            for (int y = 0; y < rows; ++y) {
                std::memcpy(image.scanLine(y), rgb.constScanLine(y), bytes);
            }
        }
        Frames_.reserve(Frames_.size() + 1);
        TFrameRecord record;
        record.Image = std::move(image);
        record.FixSide = fixation.FixSide.left(1);
        record.FixPos = fixation.FixPos;
        record.Eye = eye;
        record.Level = level;
        record.ROI = roi;
        record.PachymetryLine = pachymetryLine;
        record.Sensitivity = sensitivity;
        Frames_.push_back(std::move(record)); // cannot throw: the room was reserved
        ++Count_;
        return true;
    } catch (const std::bad_alloc&) {
        ShowMessageBox(QStringLiteral("Memória insuficiente para concluir o processo!"),
                       QStringLiteral("Erro"), mbOK);
        return false;
    }
}

TFrameRecord& TBFrameBuffer::BGetFrame(std::uint16_t index) {
    return Frames_.at(index);
}

const TFrameRecord& TBFrameBuffer::BGetFrame(std::uint16_t index) const {
    return Frames_.at(index);
}

TFrameRecord& TBFrameBuffer::BGetLastFrame() {
    if (Frames_.empty()) {
        throw std::out_of_range("TBFrameBuffer::BGetLastFrame: the buffer holds no frame");
    }
    return Frames_.back();
}

void TBFrameBuffer::BSetROI(std::uint16_t index, const TRect& corners) {
    TFrameRecord& frame = BGetFrame(index);
    frame.ROI = TRect{};
    const TRect normalised = corners.Normalized();
    if (BIsROIAreaValid(normalised, kMinRoiArea)) {
        frame.ROI = normalised;
    }
}

void TBFrameBuffer::BClearROI(std::uint16_t index) {
    BGetFrame(index).ROI = TRect{};
}

TRect TBFrameBuffer::BGetROI(std::uint16_t index) const {
    return BGetFrame(index).ROI;
}

bool TBFrameBuffer::BIsROIAreaValid(const TRect& rect, std::int32_t minArea) {
    return IsROIAreaValid(rect, minArea);
}

bool TBFrameBuffer::BHasValidROI(std::uint16_t index) const {
    return BIsROIAreaValid(BGetROI(index), kMinRoiArea);
}

void TBFrameBuffer::BDrawROI(QPainter& canvas, const TRect& rect, const QColor& colour) {
    DrawROIRectangle(canvas, rect, colour);
}

TFixation TBFrameBuffer::BGetFixation(std::uint16_t index) const {
    const TFrameRecord& frame = BGetFrame(index);
    return TFixation{frame.FixSide, frame.FixPos};
}

void TBFrameBuffer::BSetPachymetryLine(std::uint16_t index, std::int32_t startX, std::int32_t endX,
                                       std::int32_t lengthPx) {
    BGetFrame(index).PachymetryLine = TPachymetryLine{startX, endX, lengthPx};
}

TPachymetryLine TBFrameBuffer::BGetPachymetryLine(std::uint16_t index) const {
    return BGetFrame(index).PachymetryLine;
}

std::uint16_t TBFrameBuffer::BGetPachymetry(std::uint16_t index) const {
    return BGetPachymetry(index, PixelToPaqOfSettings());
}

std::uint16_t TBFrameBuffer::BGetPachymetry(std::uint16_t index, double pixelToPaq) const {
    const double micrometres = BGetFrame(index).PachymetryLine.LengthPx * pixelToPaq;
    // A line whose bright edge lies left of its dark edge measures no thickness; a scale that
    // gives no number neither. Anything beyond the field is shown at its largest value.
    if (!std::isfinite(micrometres) || micrometres <= 0.0) {
        return 0;
    }
    constexpr double kLargest = std::numeric_limits<std::uint16_t>::max();
    return static_cast<std::uint16_t>(RoundHalfEven(std::min(micrometres, kLargest)));
}

void TBFrameBuffer::BSetSensitivity(std::uint16_t index, double value) {
    BGetFrame(index).Sensitivity = value;
}

double TBFrameBuffer::BGetSensitivity(std::uint16_t index) const {
    return BGetFrame(index).Sensitivity;
}

void TBFrameBuffer::BSetVoronoi(std::uint16_t index, std::unique_ptr<TDistMatrix> object) {
    BGetFrame(index).Voronoi = std::move(object);
}

TDistMatrix* TBFrameBuffer::BGetVoronoi(std::uint16_t index) const {
    return BGetFrame(index).Voronoi.get();
}

void TBFrameBuffer::BSetUseInCalculation(std::uint16_t index, bool value) {
    BGetFrame(index).UseInCalculation = value;
}

bool TBFrameBuffer::BGetUseInCalculation(std::uint16_t index) const {
    return BGetFrame(index).UseInCalculation;
}

void TBFrameBuffer::BCropFrame(std::uint16_t index, const QImage& background, const QImage& surface,
                               bool processed, const TRect& roi) {
    TFrameRecord& frame = BGetFrame(index);
    const int width = std::abs(roi.Right - roi.Left);
    const int height = std::abs(roi.Bottom - roi.Top);
    QImage crop;
    // An empty area gives no crop (QImage::copy would return the whole picture).
    if (width > 0 && height > 0) {
        const QImage& from = processed ? surface : background;
        crop = from.copy(QRect(roi.Left, roi.Top, width, height));
        if (crop.format() != QImage::Format_RGB888) {
            crop = crop.convertToFormat(QImage::Format_RGB888);
        }
    }
    (processed ? frame.CropProcessed : frame.CropOriginal) = std::move(crop);
}

const QImage& TBFrameBuffer::BGetCropOriginal(std::uint16_t index) const {
    return BGetFrame(index).CropOriginal;
}

const QImage& TBFrameBuffer::BGetCropProcessed(std::uint16_t index) const {
    return BGetFrame(index).CropProcessed;
}

void TBFrameBuffer::BRestoreDetection(std::uint16_t index) {
    if (TDistMatrix* cells = BGetVoronoi(index)) {
        cells->RestoreDetection();
    }
}

std::uint16_t TBFrameBuffer::BGetCellCount(std::uint16_t index) const {
    return BGetFrame(index).CellCount;
}

TSidesCounts TBFrameBuffer::BGetSidesCount(std::uint16_t index) const {
    return BGetFrame(index).SidesCount;
}

std::uint16_t TBFrameBuffer::BGetDensity(std::uint16_t index) const {
    return BGetFrame(index).Density;
}

double TBFrameBuffer::BGetMaxArea(std::uint16_t index) const {
    return BGetFrame(index).MaxArea;
}

double TBFrameBuffer::BGetMinArea(std::uint16_t index) const {
    return BGetFrame(index).MinArea;
}

double TBFrameBuffer::BGetMeanArea(std::uint16_t index) const {
    return BGetFrame(index).MeanArea;
}

double TBFrameBuffer::BGetAnalysedArea(std::uint16_t index) const {
    return BGetFrame(index).AnalysedArea;
}

double TBFrameBuffer::BGetAreaSD(std::uint16_t index) const {
    return BGetFrame(index).AreaSD;
}

double TBFrameBuffer::BGetAreaCV(std::uint16_t index) const {
    return BGetFrame(index).AreaCV;
}

void TBFrameBuffer::BBitmapToGrey(const QImage& bitmap,
                                  std::span<std::uint8_t, kFramePixels> dest) {
    BitmapToGrey(bitmap, dest);
}

void TBFrameBuffer::BBitmapToGreyTransposed(const QImage& bitmap,
                                            std::span<std::uint8_t, kFramePixels> dest) {
    BitmapToGreyTransposed(bitmap, dest);
}

void TBFrameBuffer::BGetGreyImage(std::uint16_t index,
                                  std::span<std::uint8_t, kFramePixels> dest) const {
    BBitmapToGrey(BGetFrame(index).Image, dest);
}

void TBFrameBuffer::BGetGreyImageTransposed(std::uint16_t index,
                                            std::span<std::uint8_t, kFramePixels> dest) const {
    BBitmapToGreyTransposed(BGetFrame(index).Image, dest);
}

void TBFrameBuffer::BCalculateStatistics(std::uint16_t index, int lastCell, double mmPerPixel,
                                         std::span<const TCellStat> cells, const TRect& roi) {
    try {
        TFrameRecord& f = BGetFrame(index);
        const double umPerPixel = mmPerPixel * 1000.0;
        const double umSquaredPerPixel = umPerPixel * umPerPixel;

        f.CellCount = 0;
        f.AnalysedArea = 0.0;
        f.Density = 0;
        f.MeanArea = 0.0;
        f.MaxArea = 0.0;
        f.AreaSD = 0.0;
        f.AreaCV = 0.0;
        f.SidesCount.fill(0);
        f.AreaClassCount.fill(0);
        f.MinArea = kNoMinArea;
        std::int64_t pixels = 0; // wide enough for the whole frame
        std::vector<double> areas;

        // Entry 0 is the table's header, never a cell; a count beyond the table reads no further.
        const int last = std::clamp(lastCell, 0, static_cast<int>(cells.size()) - 1);
        areas.reserve(static_cast<std::size_t>(std::max(last, 0)));
        for (int i = 1; i <= last; ++i) {
            const TCellStat& cell = cells[static_cast<std::size_t>(i)];
            if (!(roi.Top < cell.Row && cell.Row < roi.Bottom && roi.Left < cell.Col &&
                  cell.Col < roi.Right)) {
                continue;
            }
            ++f.SidesCount[static_cast<std::size_t>(SidesClassOf(cell.Sides))];
            pixels += cell.Area;
            const std::int64_t area = CheckedRound(cell.Area * umSquaredPerPixel);
            ++f.AreaClassCount[AreaClass(area)];
            const auto a = static_cast<double>(area);
            if (a > f.MaxArea) {
                f.MaxArea = a;
            }
            if (a < f.MinArea) {
                f.MinArea = a;
            }
            f.MeanArea += a;
            areas.push_back(a);
            ++f.CellCount;
        }
        if (f.CellCount > 0) {
            const auto count = static_cast<double>(f.CellCount);
            f.MeanArea = f.MeanArea / count;
            double deviation = 0.0;
            for (const double a : areas) {
                deviation += (a - f.MeanArea) * (a - f.MeanArea);
            }
            f.AreaSD = std::sqrt(deviation / count);
            f.AnalysedArea = (mmPerPixel * mmPerPixel) * static_cast<double>(pixels);
            f.Density = Low16(CheckedRound(CheckedDivide(count, f.AnalysedArea)));
            f.AreaCV = CheckedDivide(f.AreaSD, f.MeanArea);
        }
    } catch (...) {
        ShowMessageBox(QStringLiteral("Erro irrecuperável em 'TBFrameBuffer.BCalculateStatistics'"),
                       QStringLiteral("ERRO"), mbOK);
    }
}

const TExamSummary& TBFrameBuffer::BCalculateExamStatistics() {
    return BCalculateExamStatistics(PixelToPaqOfSettings());
}

const TExamSummary& TBFrameBuffer::BCalculateExamStatistics(double pixelToPaq) {
    BClearSummary();
    std::int64_t used = 0;
    std::int64_t cells = 0;
    std::int64_t density = 0;
    std::int64_t pachymetry = 0;
    std::array<std::int64_t, kSidesClasses> sides{};
    std::array<std::int64_t, kAreaClasses> classes{};
    TExamSummary& s = Summary_;
    for (std::size_t i = 0; i < Frames_.size(); ++i) {
        const TFrameRecord& f = Frames_[i];
        if (!f.UseInCalculation) {
            continue;
        }
        ++used;
        cells += f.CellCount;
        density += f.Density;
        s.MaxArea += f.MaxArea;
        s.MinArea += f.MinArea;
        s.MeanArea += f.MeanArea;
        s.AnalysedArea += f.AnalysedArea;
        s.AreaSD += f.AreaSD;
        s.AreaCV += f.AreaCV;
        pachymetry += BGetPachymetry(static_cast<std::uint16_t>(i), pixelToPaq);
        for (std::size_t k = 0; k < kSidesClasses; ++k) {
            sides[k] += f.SidesCount[k];
        }
        for (std::size_t k = 0; k < kAreaClasses; ++k) {
            classes[k] += f.AreaClassCount[k];
        }
    }
    s.FramesUsed = static_cast<std::uint16_t>(used);
    if (used > 0) {
        const auto frames = static_cast<double>(used);
        s.CellCount = Low16(RoundRatioHalfEven(cells, used));
        s.Density = Low16(RoundRatioHalfEven(density, used));
        for (std::size_t k = 0; k < kSidesClasses; ++k) {
            s.SidesCount[k] = Low16(RoundRatioHalfEven(sides[k], used));
        }
        for (std::size_t k = 0; k < kAreaClasses; ++k) {
            s.AreaClassCount[k] = Low16(RoundRatioHalfEven(classes[k], used));
        }
        s.MaxArea /= frames;
        s.MinArea /= frames;
        s.MeanArea /= frames;
        s.AnalysedArea /= frames;
        s.AreaSD /= frames;
        s.AreaCV /= frames;
        s.Pachymetry = static_cast<std::int32_t>(RoundRatioHalfEven(pachymetry, used));
    }
    return Summary_;
}

void TBFrameBuffer::BClearSummary() {
    Summary_ = TExamSummary{};
}

bool TBFrameBuffer::BLoadSummary(const TStoredExamSummary& exam) {
    TExamSummary& s = Summary_;
    s.FramesUsed = Low16(exam.EXM_TOTALIMG);
    s.CellCount = Low16(exam.EXM_TOTALCELULAS);
    s.Density = Low16(exam.EXM_DENSIDADE);
    s.MaxArea = exam.EXM_AREAMAX;
    s.MinArea = exam.EXM_AREAMIN;
    s.MeanArea = exam.EXM_AREAMED;
    s.AnalysedArea = exam.EXM_AREAANALISADA;
    s.AreaSD = exam.EXM_DP;
    s.AreaCV = exam.EXM_COEFVAR;
    return ReadHistogramString(exam.EXM_MORPHOINFO, s.SidesCount) &&
           ReadHistogramString(exam.EXM_MEGATINFO, s.AreaClassCount);
}

void TBFrameBuffer::BComputeGreyStatistics(std::span<const std::uint8_t, kFramePixels> grey) {
    GreyHistogram_.fill(0);
    for (const std::uint8_t v : grey) {
        ++GreyHistogram_[v];
    }
    std::int64_t sum = 0;
    for (std::size_t level = 0; level < GreyHistogram_.size(); ++level) {
        sum += static_cast<std::int64_t>(level) * GreyHistogram_[level];
    }
    const double pixels = static_cast<double>(kFramePixels);
    GreyMean_ = static_cast<double>(sum) / pixels;
    // Every pixel's squared deviation is one of 256 values; the sum still runs pixel by pixel,
    // row after row, so that it is the plain sum to the last bit.
    std::array<double, 256> squared{};
    for (std::size_t level = 0; level < squared.size(); ++level) {
        const double d = static_cast<double>(level) - GreyMean_;
        squared[level] = d * d;
    }
    double deviation = 0.0;
    for (const std::uint8_t v : grey) {
        deviation += squared[v];
    }
    GreyVariance_ = deviation / pixels;
    GreySD_ = std::sqrt(GreyVariance_);
}

bool TBFrameBuffer::BCheckFrameStatistics(const QImage& source, double average, double sd,
                                          double variance, double tolerance) {
    const std::span<std::uint8_t, kFramePixels> grey(LiveGrey_.data(), kFramePixels);
    if (source.width() < kFrameWidth || source.height() < kFrameHeight) {
        std::fill(grey.begin(), grey.end(), std::uint8_t{0}); // no stale pixels of a former image
    }
    BBitmapToGrey(source, grey);
    BComputeGreyStatistics(grey);
    const auto within = [tolerance](double value, double target) {
        return (1.0 - tolerance) * target <= value && value <= (1.0 + tolerance) * target;
    };
    return within(GreyMean_, average) && within(GreySD_, sd) && within(GreyVariance_, variance);
}

} // namespace endomira
