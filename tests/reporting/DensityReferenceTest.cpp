// Age in whole years, the birth date check against the program's today, and the density
// reference band with the patient's point.
#include "DensityReference.h"
#include "AgeInYears.h"
#include "Clock.h"

#include <gtest/gtest.h>

namespace endomira {
namespace {

TEST(Age, WholeYearsAroundBirthdays) {
    struct TCase {
        const char* Birth;
        const char* At;
        int Age;
    };
    const TCase cases[] = {
        {"15/06/1980", "14/06/2020", 39},
        {"15/06/1980", "15/06/2020", 40},
        {"15/06/1980", "31/12/2020", 40},
        {"29/02/2000", "28/02/2001", 0},
        {"29/02/2000", "01/03/2001", 1},
        {"29/02/2000", "29/02/2004", 4},
        {"29/02/2000", "28/02/2004", 3},
        {"01/01/1700", "01/01/2020", 255},
        {"01/01/2021", "01/01/2020", 0}, // born after the date of reckoning
        {"31/04/2000", "01/01/2020", 0}, // not a date
        {"", "01/01/2020", 0},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(AgeInYears(QString::fromLatin1(c.Birth), QString::fromLatin1(c.At)), c.Age)
            << c.Birth << " at " << c.At;
    }
}

TEST(Age, TodayComesFromTheProgramsClock) {
    const QDate system = QDate::currentDate();
    {
        const TScopedToday today(QDate(2020, 6, 14));
        EXPECT_EQ(Today(), QDate(2020, 6, 14));
        EXPECT_EQ(AgeInYears(QStringLiteral("15/06/1980"), QString()), 39);
        {
            const TScopedToday later(QDate(2020, 6, 15));
            EXPECT_EQ(AgeInYears(QStringLiteral("15/06/1980"), QString()), 40);
        }
        EXPECT_EQ(Today(), QDate(2020, 6, 14));
    }
    EXPECT_GE(Today(), system);
}

TEST(BirthDate, ValidWithinTheLast120YearsOnARealDay) {
    const TScopedToday today(QDate(2024, 3, 10));
    struct TCase {
        const char* Text;
        bool Valid;
    };
    const TCase cases[] = {
        {"29/02/2000", true},  {"15/06/1980", true},  {"31/12/2023", true},  {"01/01/1905", true},
        {"31/12/1904", false}, // 120 years before the current year
        {"01/01/2024", false}, // born this year
        {"30/02/2000", false}, {"29/02/2001", false}, {"31/04/2000", false}, {"00/05/2000", false},
        {"15/13/2000", false}, {"15/00/2000", false}, {"ab/cd/efgh", false}, {"15/06/", false},
        {"", false},           {"  /  /    ", false}, {"1/06/1980", false},
    };
    for (const TCase& c : cases) {
        EXPECT_EQ(IsValidBirthDate(QString::fromLatin1(c.Text)), c.Valid) << c.Text;
    }
}

TEST(DensityReference, BandAndPatientPoint) {
    EXPECT_EQ(ReferenceLine(TReferenceLine::Centre).Points[0], (TDensityPoint{1, 3156}));
    EXPECT_EQ(ReferenceLine(TReferenceLine::Centre).Points[1], (TDensityPoint{100, 2070}));
    EXPECT_EQ(ReferenceLine(TReferenceLine::Upper).Points[0], (TDensityPoint{1, 3439}));
    EXPECT_EQ(ReferenceLine(TReferenceLine::Upper).Points[1], (TDensityPoint{100, 2546}));
    EXPECT_EQ(ReferenceLine(TReferenceLine::Lower).Points[0], (TDensityPoint{1, 2873}));
    EXPECT_EQ(ReferenceLine(TReferenceLine::Lower).Points[1], (TDensityPoint{100, 1594}));

    // At 30 years a density of 2500 lies below the centre and just inside the band.
    EXPECT_NEAR(ReferenceDensityAt(TReferenceLine::Centre, 30), 2837.88, 0.01);
    EXPECT_NEAR(ReferenceDensityAt(TReferenceLine::Upper, 30), 3177.41, 0.01);
    EXPECT_NEAR(ReferenceDensityAt(TReferenceLine::Lower, 30), 2498.35, 0.01);
    EXPECT_GT(2500, ReferenceDensityAt(TReferenceLine::Lower, 30));
    EXPECT_EQ(ReferenceDensityAt(TReferenceLine::Upper, 100) -
                  ReferenceDensityAt(TReferenceLine::Centre, 100),
              476);

    const TDensityChartData aged = DensityChartData(104, 2100);
    ASSERT_TRUE(aged.Patient);
    EXPECT_EQ(*aged.Patient, (TDensityPoint{100, 2100}));
    EXPECT_EQ(aged.Band[2].Points[1], (TDensityPoint{100, 1594}));
    EXPECT_EQ(DensityChartData(30, 2500).Patient, (TDensityPoint{30, 2500}));
    EXPECT_FALSE(DensityChartData(std::nullopt, 2500).Patient); // no valid birth date

    EXPECT_EQ(DensityChartTitle(), QStringLiteral("Densidade Endotelial X Idade"));
    EXPECT_EQ(StoredExamDensityChartTitle(42),
              QStringLiteral("Densidade endotelial x Idade (42 anos)"));
}

} // namespace
} // namespace endomira
