// The streamed detection of TCMFinder against the whole-plane steps, on many frames.
#include "AnalysisFixtures.h"
#include "ReferenceAnalysis.h"

#include <gtest/gtest.h>

namespace endomira {
namespace {

using synthetic::TBodyKind;
using testing::TFrameCase;

constexpr double kSensitivities[] = {-2.5, -3.0, -3.5};
constexpr TRect kCentreRoi{170, 90, 470, 390};

std::vector<TFrameCase> Frames() {
    std::vector<TFrameCase> frames;
    int seed = 11;
    for (const double density : {1000.0, 2000.0, 3500.0}) {
        for (const TBodyKind kind : {TBodyKind::Domed, TBodyKind::FlatGrainy}) {
            frames.push_back({"endothelium " + std::to_string(static_cast<int>(density)) +
                                  (kind == TBodyKind::Domed ? " domed" : " flat"),
                              testing::Endothelium(seed++, density, kind, 0.6), kCentreRoi});
        }
    }
    frames.push_back({"lit everywhere", testing::Endothelium(31, 1500.0, TBodyKind::Domed),
                      TRect{20, 300, 200, 470}});
    frames.push_back({"noise", testing::Noise(5), kCentreRoi});
    frames.push_back({"checkerboard", testing::Checkerboard(5, 40, 200), kCentreRoi});
    frames.push_back({"coarse checkerboard", testing::Checkerboard(10, 40, 200), kCentreRoi});
    frames.push_back({"corner roi", testing::Endothelium(41, 2500.0, TBodyKind::FlatGrainy),
                      TRect{630, 470, 600, 440}});
    return frames;
}

void ExpectSameDetection(const TCMFinder& fast, const reference::TDetection& plain) {
    const TCenterList& a = fast.Centers();
    const TCenterList& b = plain.Centers;
    ASSERT_EQ(a[0], b[0]);
    for (int i = 1; i <= CenterCount(b); ++i) {
        ASSERT_EQ(a[static_cast<std::size_t>(i)], b[static_cast<std::size_t>(i)]) << "entry " << i;
    }
    for (int p = 0; p < kFramePixels; ++p) {
        ASSERT_EQ(fast.Mask()[static_cast<std::size_t>(p)],
                  static_cast<int>(plain.Mask[static_cast<std::size_t>(p)]))
            << "mask pixel " << p / kFrameWidth << "," << p % kFrameWidth;
    }
}

TEST(CellFinderOracle, StreamedPipelineEqualsWholePlaneStepsOnEveryFrameAndSensitivity) {
    for (const TFrameCase& f : Frames()) {
        for (const double sensitivity : kSensitivities) {
            SCOPED_TRACE(f.Name + " sensitivity " + std::to_string(sensitivity));
            TCMFinder finder(testing::AsImage(f.Grey));
            finder.FindCenters(5, sensitivity, f.Roi);
            const auto plain = reference::FindCenters(f.Grey.data(), 5, sensitivity, f.Roi);
            ExpectSameDetection(finder, *plain);
        }
    }
}

TEST(CellFinderOracle, OtherPassCountsEqualWholePlaneSteps) {
    const auto grey = testing::Endothelium(77, 2200.0, TBodyKind::FlatGrainy, 0.7);
    for (const int passes : {-3, 0, 1, 2, 9}) {
        SCOPED_TRACE("passes " + std::to_string(passes));
        TCMFinder finder(testing::AsImage(grey));
        finder.FindCenters(passes, -3.0, kCentreRoi);
        const auto plain = reference::FindCenters(grey.data(), passes, -3.0, kCentreRoi);
        ExpectSameDetection(finder, *plain);
    }
}

} // namespace
} // namespace endomira
