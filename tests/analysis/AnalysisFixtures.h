#pragma once

#include "FrameGeometry.h"
#include "SyntheticEndothelium.h"
#include "UBCellFinder.h"

#include <cstdint>
#include <string>
#include <vector>

// Frames and centre lists shared by the analysis tests.
namespace endomira::testing {

using TGrey = std::vector<std::uint8_t>;

inline TGreyImage AsImage(const TGrey& grey) {
    return TGreyImage(grey.data(), kFramePixels);
}

// A named frame and ROI for the comparison tables.
struct TFrameCase {
    std::string Name;
    TGrey Grey;
    TRect Roi;
};

inline TGrey Constant(std::uint8_t value) {
    return TGrey(kFramePixels, value);
}

inline TGrey Noise(std::uint64_t seed) {
    synthetic::TRandom random(seed);
    TGrey g(kFramePixels);
    for (auto& v : g) {
        v = static_cast<std::uint8_t>(random.Below(256));
    }
    return g;
}

// Squares of `size` pixels alternating between two levels.
inline TGrey Checkerboard(int size, std::uint8_t dark, std::uint8_t bright) {
    TGrey g(kFramePixels);
    for (int r = 0; r < kFrameHeight; ++r) {
        for (int c = 0; c < kFrameWidth; ++c) {
            g[static_cast<std::size_t>(FrameIndex(r, c))] =
                ((r / size + c / size) % 2) != 0 ? bright : dark;
        }
    }
    return g;
}

inline TGrey Endothelium(std::uint64_t seed, double density, synthetic::TBodyKind kind,
                         double litFraction = 1.0) {
    synthetic::TEndotheliumParams p;
    p.Seed = seed;
    p.CellsPerMm2 = density;
    p.Kind = kind;
    p.LitFraction = litFraction;
    return synthetic::GenerateEndothelium(p).Grey;
}

// A centre list holding the given (row, col) centres in the given order.
inline TCenterList MakeCenters(const std::vector<std::pair<int, int>>& points) {
    TCenterList list{};
    const int n = static_cast<int>(points.size());
    list[0] = TCenter{n, n, n, 0};
    for (int i = 0; i < n; ++i) {
        list[static_cast<std::size_t>(i + 1)] =
            TCenter{points[static_cast<std::size_t>(i)].first,
                    points[static_cast<std::size_t>(i)].second, 1, 0};
    }
    return list;
}

} // namespace endomira::testing
