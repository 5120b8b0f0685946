#pragma once

// A frame's grey levels, row after row, as the 24-bit picture a camera frame would be: each pixel
// grey in all three colour parts. Shared by the overlay and frame-buffer tests.
#include "FrameGeometry.h"

#include <QImage>

#include <cstdint>
#include <vector>

namespace endomira {

inline QImage GreyFrameImage(const std::vector<std::uint8_t>& grey) {
    QImage image(kFrameWidth, kFrameHeight, QImage::Format_RGB888);
    for (int y = 0; y < kFrameHeight; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < kFrameWidth; ++x) {
            line[3 * x] = line[3 * x + 1] = line[3 * x + 2] =
                grey[static_cast<std::size_t>(FrameIndex(y, x))];
        }
    }
    return image;
}

} // namespace endomira
