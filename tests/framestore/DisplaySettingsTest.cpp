// The example settings file's contrast view: read through the settings object, it must give a
// picture whose ROI spans the grey scale.
#include "DisplaySettings.h"
#include "CellOverlay.h"
#include "RealText.h"
#include "SyntheticEndothelium.h"
#include "UBIniSettings.h"

#include <gtest/gtest.h>

#include <QImage>

#include <algorithm>
#include <vector>

namespace endomira {
namespace {

TEST(DisplaySettings, ExampleSettingsGiveAContrastViewThatSpansTheGreyScale) {
    const QChar separator = DecimalSeparator();
    const TBIniSettings settings(QStringLiteral(ENDOMIRA_SOURCE_DIR "/config"));
    const TContrastSettings s = ContrastSettingsOf(settings);
    SetDecimalSeparator(separator);
    EXPECT_EQ(s.FIRlen, 15);
    EXPECT_EQ(s.MinBlack, 0);
    EXPECT_EQ(s.Alpha0, 0.0);
    EXPECT_EQ(s.Beta0, 255.0);
    EXPECT_EQ(s.LargMin, 40.0);
    EXPECT_EQ(s.Perc, 0.10);

    // A dim, flat, grainy frame: the view has to make its cells stand out.
    synthetic::TEndotheliumParams params;
    params.Seed = 9;
    params.CellsPerMm2 = 2000.0;
    params.Kind = synthetic::TBodyKind::FlatGrainy;
    params.BodyLevel = 110.0;
    params.BorderLevel = 70.0;
    const std::vector<std::uint8_t> grey = synthetic::GenerateEndothelium(params).Grey;
    QImage picture(kFrameWidth, kFrameHeight, QImage::Format_RGB888);
    for (int y = 0; y < kFrameHeight; ++y) {
        for (int x = 0; x < kFrameWidth; ++x) {
            const int g = grey[static_cast<std::size_t>(FrameIndex(y, x))];
            picture.setPixelColor(x, y, QColor(g, g, g));
        }
    }
    const TRect roi{170, 90, 470, 390};
    const auto spread = [&](const QImage& image) {
        std::vector<int> levels;
        for (int y = roi.Top; y <= roi.Bottom; ++y) {
            for (int x = roi.Left; x <= roi.Right; ++x) {
                levels.push_back(image.pixelColor(x, y).red());
            }
        }
        std::sort(levels.begin(), levels.end());
        return levels[levels.size() * 95 / 100] - levels[levels.size() * 5 / 100];
    };
    const int before = spread(picture);
    ContrastView(picture, roi, s);
    const int after = spread(picture);
    EXPECT_LT(before, 60);
    EXPECT_GT(after, 150) << "from " << before;
}

} // namespace
} // namespace endomira
