// The synthetic endothelium: reproducible, at the asked density, and with centres that the
// detection finds.
#include "AnalysisFixtures.h"

#include <gtest/gtest.h>

#include <cmath>

namespace endomira {
namespace {

using synthetic::TBodyKind;
using synthetic::TEndotheliumParams;

TEST(Synthetic, SameSeedSameFrameOtherSeedOtherFrame) {
    TEndotheliumParams p;
    p.Seed = 42;
    p.Kind = TBodyKind::FlatGrainy;
    const auto a = synthetic::GenerateEndothelium(p);
    const auto b = synthetic::GenerateEndothelium(p);
    EXPECT_EQ(a.Grey, b.Grey);
    ASSERT_EQ(a.Centres.size(), b.Centres.size());
    p.Seed = 43;
    EXPECT_NE(synthetic::GenerateEndothelium(p).Grey, a.Grey);
}

TEST(Synthetic, CentreCountFollowsTheDensity) {
    // The frame covers 640 x 480 pixels of 0.0014 mm: 0.602 mm^2.
    for (const double density : {1000.0, 2500.0, 3500.0}) {
        TEndotheliumParams p;
        p.CellsPerMm2 = density;
        const double expected = density * 640 * 480 * 0.0014 * 0.0014;
        const auto frame = synthetic::GenerateEndothelium(p);
        EXPECT_NEAR(static_cast<double>(frame.Centres.size()), expected, 0.06 * expected)
            << density;
    }
}

TEST(Synthetic, DetectionFindsTheTrueCentresOfBothKinds) {
    for (const TBodyKind kind : {TBodyKind::Domed, TBodyKind::FlatGrainy}) {
        TEndotheliumParams p;
        p.Seed = 7;
        p.CellsPerMm2 = 2000.0;
        p.Kind = kind;
        const auto frame = synthetic::GenerateEndothelium(p);
        TCMFinder finder(TGreyImage(frame.Grey.data(), kFramePixels));
        const int count = finder.FindCenters(5, -3.0, {170, 90, 470, 390});
        ASSERT_GT(count, 30);
        // Most detected centres lie within 3 pixels of a true centre.
        int near = 0;
        for (int i = 1; i <= count; ++i) {
            const TCenter& c = finder.Centers()[static_cast<std::size_t>(i)];
            for (const auto& t : frame.Centres) {
                if (std::hypot(c.Row - t.Row, c.Col - t.Col) <= 3.0) {
                    ++near;
                    break;
                }
            }
        }
        EXPECT_GT(near, 0.9 * count) << static_cast<int>(kind);
    }
}

} // namespace
} // namespace endomira
