#pragma once

#include "FrameGeometry.h"

#include <QImage>

#include <cstdint>
#include <span>

namespace endomira {

// The horizontal line on a frame across which the corneal thickness is measured, in frame
// columns. A line drawn by hand has LengthPx = |EndX - StartX|; the automatic measurement stores
// EndX - StartX, which is negative when it finds the bright edge left of the dark one.
struct TPachymetryLine {
    std::int32_t StartX = 0;
    std::int32_t EndX = 0;
    std::int32_t LengthPx = 0;

    friend constexpr bool operator==(const TPachymetryLine&, const TPachymetryLine&) = default;
};

// The frame's grey levels column after column (index x * 480 + y), for the column scans of the
// pachymetry search. The levels are those of BitmapToGrey.
void BitmapToGreyTransposed(const QImage& bitmap, std::span<std::uint8_t, kFramePixels> dest);

// The automatic search on a transposed grey frame: StartX is the column where most rows rise out
// of the dark region, EndX the column where most rows rise into the bright region (leftmost on
// ties, 0 when no row passes), LengthPx = EndX - StartX.
TPachymetryLine FindPachymetryEdges(std::span<const std::uint8_t, kFramePixels> transposed);

// The automatic measurement of a 640 x 480 frame.
TPachymetryLine MeasurePachymetry(const QImage& frame);

} // namespace endomira
