#include "Rounding.h"

#include <gtest/gtest.h>

using namespace endomira;

TEST(Rounding, HalvesGoToTheEvenNeighbour) {
    struct Case {
        double value;
        std::int64_t expected;
    };
    const Case cases[] = {
        {0.5, 0},
        {1.5, 2},
        {2.5, 2},
        {3.5, 4},
        {-0.5, 0},
        {-1.5, -2},
        {-2.5, -2},
        {100.5, 100},
        {101.5, 102},
        {2.4999999999, 2},
        {2.5000001, 3},
        {-2.5000001, -3},
        {0.0, 0},
        {-0.4, 0},
        {1e15 + 0.5, 1000000000000000},
        {0.49999999999999994, 0},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RoundHalfEven(c.value), c.expected) << c.value;
        EXPECT_EQ(RoundHalfEven(static_cast<long double>(c.value)), c.expected) << c.value;
    }
}

TEST(Rounding, ExactRatiosOfIntegers) {
    struct Case {
        std::int64_t num, den, expected;
    };
    const Case cases[] = {
        {201, 2, 100}, {203, 2, 102},   {1, 2, 0},       {3, 2, 2},       {-1, 2, 0},  {-3, 2, -2},
        {7, 3, 2},     {8, 3, 3},       {-7, 3, -2},     {-8, 3, -3},     {5, -2, -2}, {0, 5, 0},
        {600, 1, 600}, {8001, 4, 2000}, {8006, 4, 2002}, {8002, 4, 2000},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RoundRatioHalfEven(c.num, c.den), c.expected) << c.num << "/" << c.den;
    }
}

TEST(Rounding, IntegerDivisionTruncatesTowardZero) {
    EXPECT_EQ(DivTrunc(7, 2), 3);
    EXPECT_EQ(DivTrunc(-7, 2), -3);
    EXPECT_EQ(DivTrunc(7, -2), -3);
    EXPECT_EQ(DivTrunc(-7, -2), 3);
}
