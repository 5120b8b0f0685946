#pragma once

#include "FrameGeometry.h"
#include "UBCellFinder.h"

#include <array>

// The image-processing procedures of the detection, each working on whole 640 x 480 planes of
// doubles exactly as the detection is defined. The finder runs a streamed equivalent of the
// same steps (UBCellFinder.cpp); these whole-plane versions are the definition it is checked
// against and the building blocks for work on single steps.
namespace endomira {

using TPlane = std::array<double, kFramePixels>;
using TKernel3x3 = std::array<std::array<long double, 3>, 3>;

// Gaussian-shaped smoothing kernel divided by 11. The coefficients sum to 0.995636..., not 1,
// and are deliberately not renormalised: every smoothing pass darkens the frame slightly.
inline constexpr long double kSmoothCorner = 0.898L / 11;
inline constexpr long double kSmoothEdge = 1.34L / 11;
inline constexpr long double kSmoothCentre = 2.0L / 11;
inline constexpr TKernel3x3 kSmoothKernel{{{kSmoothCorner, kSmoothEdge, kSmoothCorner},
                                           {kSmoothEdge, kSmoothCentre, kSmoothEdge},
                                           {kSmoothCorner, kSmoothEdge, kSmoothCorner}}};
// Negative where a pixel is brighter than its surroundings: the cell bodies.
inline constexpr TKernel3x3 kLaplaceKernel{
    {{1.0L, 2.0L, 1.0L}, {2.0L, -12.0L, 2.0L}, {1.0L, 2.0L, 1.0L}}};

inline constexpr double kMaskOn = 255.0;
inline constexpr int kBorderClearWidth = 8; // counted inclusively: a band of 9 pixels
inline constexpr int kWindowMargin = 8;     // the normalisation window grows the ROI by this

// The grey range of the normalisation window: the ROI grown by kWindowMargin on every side and
// clipped to the frame. Min starts at 255 and Max at 0; a value that lowers Min is never also
// taken as Max, so Max can miss a maximum that first appears as a new minimum. Value(row, col)
// gives the grey value of a pixel.
struct TGreyRange {
    double Min = 255.0;
    double Max = 0.0;
    // A window of one grey value (or none) has no range to stretch; it yields no centres.
    bool IsUsable() const { return Max > Min; }
};

struct TWindow {
    int Top = 0, Bottom = -1, Left = 0, Right = -1; // inclusive; empty when Bottom < Top
};
TWindow NormalisationWindow(const TRect& roi);

template <class ValueAt> TGreyRange ScanGreyRange(const TRect& roi, ValueAt valueAt) {
    TGreyRange range;
    const TWindow w = NormalisationWindow(roi);
    for (int r = w.Top; r <= w.Bottom; ++r) {
        for (int c = w.Left; c <= w.Right; ++c) {
            const double v = valueAt(r, c);
            if (v < range.Min) {
                range.Min = v;
            } else if (v > range.Max) {
                range.Max = v;
            }
        }
    }
    return range;
}

// Every pixel clamped to [Min, Max] of the window and stretched to 0 ... 255. Returns false and
// leaves the plane as it is when the window has no usable range.
bool NormalizeToROI(TPlane& plane, const TRect& roi);
// The normalised value of one grey level under a usable range.
double NormalizedValue(double value, const TGreyRange& range);

// Rows 1 ... 478, columns 1 ... 638, left to right; the sum is accumulated in extended
// precision in kernel order. Src and Dst may be the same plane: the pass then reads its own
// results for the upper row and the left neighbour.
void Convolve3x3(const TPlane& src, TPlane& dst, const TKernel3x3& kernel);
void Smooth(const TPlane& src, TPlane& dst);
void Laplace(const TPlane& src, TPlane& dst);
void ThresholdMask(const TPlane& src, TPlane& mask, double sensitivity);
void ClearBorder(TPlane& plane, int width);
void RemoveIsolatedPixels(TPlane& mask);
void ClearPlane(TPlane& plane);
void ClearCenters(TCenterList& centers);

// Floods every 4-connected blob of the mask in raster order of its first pixel, accumulating
// coordinate sums and weights. Returns the number of blobs; sums are kept only for the first
// kMaxDetectedBlobs, since a frame with more yields no centres.
int LabelBlobs(const TPlane& mask, TPlane& labels, TCenterList& centers);

// Which fields a swap of the sort exchanges: detection leaves Manual alone (it is 0 for every
// detected centre), the cell editor moves whole entries.
enum class TCenterExchange { RowColWeight, AllFields };
// The unstable quicksort by Row whose order of equal rows decides label numbers downstream.
void SortCentersByRow(TCenterList& centers, int first, int last, TCenterExchange exchange);

// Turns the sums of blobs 1 ... blobs into a sorted centre list: more than kMaxDetectedBlobs
// blobs give no centres; centroids are rounded half to even.
void FinishCenters(TCenterList& centers, int blobs);

} // namespace endomira
