#include "FrameGeometry.h"

#include <gtest/gtest.h>

using namespace endomira;

TEST(FrameGeometry, RowMajorIndex) {
    EXPECT_EQ(FrameIndex(0, 0), 0);
    EXPECT_EQ(FrameIndex(1, 0), 640);
    EXPECT_EQ(FrameIndex(479, 639), 307199);
    EXPECT_TRUE(IsInsideFrame(479, 639));
    EXPECT_FALSE(IsInsideFrame(480, 0));
    EXPECT_FALSE(IsInsideFrame(0, -1));
}

TEST(FrameGeometry, RoiIsNormalisedAndNeedsMoreThanFiftyPixels) {
    EXPECT_EQ((TRect{300, 200, 100, 50}.Normalized()), (TRect{100, 50, 300, 200}));
    struct Case {
        TRect rect;
        bool valid;
    };
    const Case cases[] = {
        {{10, 10, 17, 17}, false}, // 7 x 7 = 49
        {{10, 10, 15, 20}, false}, // 5 x 10 = 50
        {{10, 10, 13, 27}, true},  // 3 x 17 = 51
        {{0, 0, 0, 0}, false},     {{0, 0, 640, 480}, true},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsROIAreaValid(c.rect), c.valid)
            << c.rect.Left << "," << c.rect.Top << "," << c.rect.Right << "," << c.rect.Bottom;
    }
    // The area wraps in 32 bits as the stored rectangle does.
    EXPECT_EQ((TRect{0, 0, 65536, 65536}.Area32()), 0);
}
