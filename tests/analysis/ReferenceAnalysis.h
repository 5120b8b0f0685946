#pragma once

#include "EndomiraProcessing.h"
#include "UBCellFinder.h"
#include "VoronoiDistMatrix.h"

#include <memory>
#include <vector>

// The detection and the tessellation written out step by step on whole planes, with nothing
// fused, streamed or reordered: the oracle the fast code of the library is compared with.
namespace endomira::reference {

struct TDetection {
    TCenterList Centers{};
    TPlane Mask{}; // after isolated pixels are removed
};

std::unique_ptr<TDetection> FindCenters(const std::uint8_t* grey, int passes, double sensitivity,
                                        const TRect& roi);

struct TTessellation {
    TLabelMap LabelMap{};
    TEdgeMap EdgeMap{};
    std::vector<TVertex> Vertices;
    TCellStats CellStats{};
};

// Recompute of the centres as the plain steps: double distances from an extended-precision
// square root, pixel-by-pixel clearing and counting.
std::unique_ptr<TTessellation> Recompute(const TCenterList& centers);

} // namespace endomira::reference
