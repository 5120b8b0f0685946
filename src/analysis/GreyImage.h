#pragma once

#include "FrameGeometry.h"

#include <QImage>
#include <QString>

#include <cstdint>
#include <span>

namespace endomira {

// Grey level of a pixel: the mean of its three colour parts, rounded (a third can never be an
// exact half, but the rounding is the program's one exact integer rounding all the same).
std::uint8_t GreyOf(int blue, int green, int red);

// The frame's grey image, row after row with a row stride of 640. Rows and columns come from
// the bitmap's own size; a bitmap larger than a frame contributes only the part that fits, and
// pixels of a smaller one are left as dest holds them. Any format is read as 24-bit RGB.
void BitmapToGrey(const QImage& bitmap, std::span<std::uint8_t, kFramePixels> dest);

// Reads a BMP file (24-bit, 8-bit with a palette, 32-bit, ...) as a 24-bit RGB image. On failure
// returns a null image and says why in error.
QImage ReadBmpAsRgb888(const QString& path, QString& error);

} // namespace endomira
