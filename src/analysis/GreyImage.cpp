#include "GreyImage.h"

#include "Rounding.h"

#include <QFileInfo>
#include <QImageReader>

#include <algorithm>
#include <array>

namespace endomira {

namespace {

// Every sum of three colour parts, 0 ... 765, and its grey level.
const std::array<std::uint8_t, 766>& GreyTable() {
    static const std::array<std::uint8_t, 766> table = [] {
        std::array<std::uint8_t, 766> t{};
        for (int sum = 0; sum < 766; ++sum) {
            t[static_cast<std::size_t>(sum)] =
                static_cast<std::uint8_t>(RoundRatioHalfEven(sum, 3));
        }
        return t;
    }();
    return table;
}

} // namespace

std::uint8_t GreyOf(int blue, int green, int red) {
    return GreyTable()[static_cast<std::size_t>(blue + green + red)];
}

void BitmapToGrey(const QImage& bitmap, std::span<std::uint8_t, kFramePixels> dest) {
    const QImage rgb = bitmap.format() == QImage::Format_RGB888
                           ? bitmap
                           : bitmap.convertToFormat(QImage::Format_RGB888);
    const auto& table = GreyTable();
    const int rows = std::min(rgb.height(), kFrameHeight);
    const int cols = std::min(rgb.width(), kFrameWidth);
    for (int y = 0; y < rows; ++y) {
        const uchar* line = rgb.constScanLine(y);
        std::uint8_t* out = dest.data() + static_cast<std::size_t>(y) * kFrameWidth;
        for (int x = 0; x < cols; ++x) {
            const uchar* px = line + 3 * x; // red, green, blue
            out[x] = table[static_cast<std::size_t>(px[0] + px[1] + px[2])];
        }
    }
}

QImage ReadBmpAsRgb888(const QString& path, QString& error) {
    const QFileInfo info(path);
    if (!info.exists()) {
        error = QStringLiteral("file not found: %1").arg(path);
        return {};
    }
    if (!info.isFile() || !info.isReadable()) {
        error = QStringLiteral("cannot read file: %1").arg(path);
        return {};
    }
    QImageReader reader(path, "bmp");
    reader.setDecideFormatFromContent(false);
    QImage image;
    if (!reader.canRead() || !reader.read(&image) || image.isNull()) {
        error = QStringLiteral("not a readable BMP image: %1").arg(path);
        return {};
    }
    error.clear();
    return image.format() == QImage::Format_RGB888 ? image
                                                   : image.convertToFormat(QImage::Format_RGB888);
}

} // namespace endomira
