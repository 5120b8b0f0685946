#pragma once

#include <algorithm>
#include <cstdint>

namespace endomira {

// Every frame of the instrument is 640 columns by 480 rows. Planes and maps are stored row
// after row, row 0 at the top.
inline constexpr int kFrameWidth = 640;
inline constexpr int kFrameHeight = 480;
inline constexpr int kFramePixels = kFrameWidth * kFrameHeight;

constexpr int FrameIndex(int row, int col) {
    return row * kFrameWidth + col;
}

constexpr bool IsInsideFrame(std::int64_t row, std::int64_t col) {
    return row >= 0 && row < kFrameHeight && col >= 0 && col < kFrameWidth;
}

// A rectangle of frame pixels: the operator's region of interest and the crops cut from it.
// All four zero means "no ROI".
struct TRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;

    friend constexpr bool operator==(const TRect&, const TRect&) = default;

    constexpr bool IsEmpty() const { return Left == 0 && Top == 0 && Right == 0 && Bottom == 0; }

    // Corners in any order become Left <= Right and Top <= Bottom.
    constexpr TRect Normalized() const {
        return TRect{std::min(Left, Right), std::min(Top, Bottom), std::max(Left, Right),
                     std::max(Top, Bottom)};
    }

    // (Bottom - Top) * (Right - Left) in 32-bit signed arithmetic that wraps as the stored
    // field does, computed without undefined overflow.
    constexpr std::int32_t Area32() const {
        const auto h = static_cast<std::uint32_t>(Bottom) - static_cast<std::uint32_t>(Top);
        const auto w = static_cast<std::uint32_t>(Right) - static_cast<std::uint32_t>(Left);
        return static_cast<std::int32_t>(h * w);
    }
};

// The ROI test of the whole program: an area strictly above MinArea (every caller passes 50).
inline constexpr std::int32_t kMinRoiArea = 50;

constexpr bool IsROIAreaValid(const TRect& rect, std::int32_t minArea = kMinRoiArea) {
    return rect.Area32() > minArea;
}

} // namespace endomira
