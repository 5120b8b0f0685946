// The automatic pachymetry search on pictures whose edges are known.
#include "Pachymetry.h"

#include <gtest/gtest.h>

#include <QImage>

#include <functional>

namespace endomira {
namespace {

// A picture whose grey level depends on the column (and, if asked, on the row).
QImage Columns(const std::function<int(int x, int y)>& level) {
    QImage image(kFrameWidth, kFrameHeight, QImage::Format_RGB888);
    for (int y = 0; y < kFrameHeight; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < kFrameWidth; ++x) {
            line[3 * x] = line[3 * x + 1] = line[3 * x + 2] = static_cast<uchar>(level(x, y));
        }
    }
    return image;
}

int Steps(int x) {
    // Dark up to column 199, then two middle levels, bright from column 400.
    return x <= 199 ? 20 : (x <= 299 ? 80 : (x <= 399 ? 160 : 240));
}

TEST(Pachymetry, FindsTheRiseOutOfTheDarkAndIntoTheBright) {
    EXPECT_EQ(MeasurePachymetry(Columns([](int x, int) { return Steps(x); })),
              (TPachymetryLine{199, 399, 200}));
    // The rise into the bright region left of the rise out of the dark: a negative length.
    EXPECT_EQ(MeasurePachymetry(Columns([](int x, int) {
                  return x <= 99 ? 150 : (x <= 199 ? 240 : (x <= 449 ? 20 : 80));
              })),
              (TPachymetryLine{449, 99, -350}));
}

TEST(Pachymetry, AFrameWithoutEdgesGivesAnEmptyLine) {
    EXPECT_EQ(MeasurePachymetry(Columns([](int, int) { return 128; })), TPachymetryLine{});
    // Steps too small to count as edges (a difference of 2 is 20, not above it).
    EXPECT_EQ(MeasurePachymetry(Columns([](int x, int) { return x / 10 * 2; })), TPachymetryLine{});
}

TEST(Pachymetry, WindowMeansRoundHalfToEven) {
    // The ten columns left of the edge at 300 alternate two levels: a mean of 39.5 rounds to
    // 40 and is not dark; 38.5 rounds to 38 and is.
    const auto darkThenMiddle = [](int low) {
        return [low](int x, int) { return x <= 300 ? low + (x % 2) : 90; };
    };
    EXPECT_EQ(MeasurePachymetry(Columns(darkThenMiddle(39))).StartX, 0);
    EXPECT_EQ(MeasurePachymetry(Columns(darkThenMiddle(38))).StartX, 300);
}

TEST(Pachymetry, TiesGoToTheLeftmostColumn) {
    // Two dark-to-middle edges passed by the same number of rows.
    const QImage picture =
        Columns([](int x, int) { return (x > 100 && x <= 200) || x > 400 ? 70 : 10; });
    EXPECT_EQ(MeasurePachymetry(picture).StartX, 100);
    // One more row at the second edge wins it.
    const QImage more = Columns([](int x, int y) {
        if (y == 0) {
            return 10; // row 0 is never scanned
        }
        return (x > 100 && x <= 200 && y > 1) || x > 400 ? 70 : 10;
    });
    EXPECT_EQ(MeasurePachymetry(more).StartX, 400);
}

} // namespace
} // namespace endomira
