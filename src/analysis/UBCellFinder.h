#pragma once

#include "FrameGeometry.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <span>

namespace endomira {

// One entry of a centre list. While blobs are labelled Row and Col hold running sums of the
// blob's pixel coordinates; afterwards they hold the rounded centroid.
struct TCenter {
    std::int32_t Row = 0;
    std::int32_t Col = 0;
    std::int32_t Weight = 0; // mask pixels of the blob
    std::int32_t Manual = 0; // 1 for a centre the operator added

    friend constexpr bool operator==(const TCenter&, const TCenter&) = default;
};

// Room for this many centres; entry 0 is the header whose Row, Col and Weight hold the count.
inline constexpr int kMaxCenters = 15000;
// Detection discards a frame whose mask breaks into more blobs than this.
inline constexpr int kMaxDetectedBlobs = 1300;

using TCenterList = std::array<TCenter, kMaxCenters + 1>;

// The count held in the header, bounded to the list's capacity so that a damaged header can
// never send a loop outside the list.
inline int CenterCount(const TCenterList& list) {
    return std::clamp(list[0].Row, 0, kMaxCenters);
}

// Extra smoothing passes beyond this are not run: the program asks for 5, and a runaway count
// would only hold the operator up.
inline constexpr int kMaxSmoothingPasses = 100;

using TGreyImage = std::span<const std::uint8_t, kFramePixels>;

class TDetectionScratch;

// Finds the cell centres of one grey frame. One finder serves one analysis: construct it from
// the grey image, call FindCenters once, read Centers.
//
// The working planes are not kept per finder: the pipeline streams the smoothing passes through
// a few rows at a time and keeps only the mask, and that storage is recycled between analyses
// of the same thread so that each analysis does not fault in fresh pages.
class TCMFinder {
public:
    explicit TCMFinder(TGreyImage image);
    ~TCMFinder();
    TCMFinder(const TCMFinder&) = delete;
    TCMFinder& operator=(const TCMFinder&) = delete;

    // Passes extra smoothing passes after the first (0 or less: the first only); the ROI fixes
    // only the grey range of the contrast normalisation. Returns the number of centres.
    int FindCenters(int passes, double sensitivity, const TRect& roi);

    const TCenterList& Centers() const;
    int Count() const { return CenterCount(Centers()); }

    // The mask after isolated pixels are removed and before labelling: 255 foreground, 0
    // background. Kept for diagnosis and for comparing against the plain pipeline.
    std::span<const std::uint8_t, kFramePixels> Mask() const;

private:
    struct TScratchDeleter {
        void operator()(TDetectionScratch* scratch) const;
    };
    std::unique_ptr<TDetectionScratch, TScratchDeleter> scratch_;
};

} // namespace endomira
