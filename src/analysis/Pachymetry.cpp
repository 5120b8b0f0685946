#include "Pachymetry.h"

#include "GreyImage.h"
#include "Rounding.h"

#include <array>
#include <cstdlib>
#include <vector>

namespace endomira {

namespace {

constexpr int kW = kFrameWidth;
constexpr int kH = kFrameHeight;
// A rise is an edge whose tenfold difference to the next column exceeds this.
constexpr int kEdgeThreshold = 20;
constexpr int kWindow = 10; // columns averaged on each side of the edge
constexpr int kFirstColumn = 9;
constexpr int kLastColumn = 629;
constexpr int kDarkLeft = 40;
constexpr int kDarkRight = 100;
constexpr int kBrightLeft = 100;
constexpr int kBrightRight = 220;

int FirstLargest(const std::array<int, kW>& counts) {
    int best = 0;
    for (int x = 1; x < kW; ++x) {
        if (counts[static_cast<std::size_t>(x)] > counts[static_cast<std::size_t>(best)]) {
            best = x;
        }
    }
    return counts[static_cast<std::size_t>(best)] > 0 ? best : 0;
}

} // namespace

void BitmapToGreyTransposed(const QImage& bitmap, std::span<std::uint8_t, kFramePixels> dest) {
    // Through the row-major conversion so that both layouts hold the same levels. Pixels the
    // bitmap does not cover stay as dest holds them.
    std::vector<std::uint8_t> rows(dest.begin(), dest.end());
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            rows[static_cast<std::size_t>(FrameIndex(y, x))] =
                dest[static_cast<std::size_t>(x * kH + y)];
        }
    }
    BitmapToGrey(bitmap, std::span<std::uint8_t, kFramePixels>(rows.data(), kFramePixels));
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            dest[static_cast<std::size_t>(x * kH + y)] =
                rows[static_cast<std::size_t>(FrameIndex(y, x))];
        }
    }
}

TPachymetryLine FindPachymetryEdges(std::span<const std::uint8_t, kFramePixels> transposed) {
    const auto g = [&](int x, int y) -> int {
        return transposed[static_cast<std::size_t>(x * kH + y)];
    };
    std::array<int, kW> rises{};   // out of the dark region
    std::array<int, kW> brights{}; // into the bright region
    for (int x = kFirstColumn; x <= kLastColumn; ++x) {
        for (int y = 1; y < kH; ++y) {
            const int edge = std::abs(g(x, y) - g(x + 1, y)) * 10;
            if (edge <= kEdgeThreshold) {
                continue;
            }
            int leftSum = 0;
            int rightSum = 0;
            for (int k = 0; k < kWindow; ++k) {
                leftSum += g(x - k, y);
                rightSum += g(x + 1 + k, y);
            }
            const std::int64_t left = RoundRatioHalfEven(leftSum, kWindow);
            const std::int64_t right = RoundRatioHalfEven(rightSum, kWindow);
            if (left < kDarkLeft && right < kDarkRight) {
                ++rises[static_cast<std::size_t>(x)];
            }
            if (right > kBrightRight && left > kBrightLeft) {
                ++brights[static_cast<std::size_t>(x)];
            }
        }
    }
    TPachymetryLine line;
    line.StartX = FirstLargest(rises);
    line.EndX = FirstLargest(brights);
    line.LengthPx = line.EndX - line.StartX;
    return line;
}

TPachymetryLine MeasurePachymetry(const QImage& frame) {
    std::vector<std::uint8_t> transposed(kFramePixels, 0);
    BitmapToGreyTransposed(frame,
                           std::span<std::uint8_t, kFramePixels>(transposed.data(), kFramePixels));
    return FindPachymetryEdges(
        std::span<const std::uint8_t, kFramePixels>(transposed.data(), kFramePixels));
}

} // namespace endomira
