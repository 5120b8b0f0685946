#pragma once

#include "AgeInYears.h"

#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <optional>

namespace endomira {

// The check of a typed or shown birth date "dd/mm/yyyy": a real calendar date whose year lies
// within the last 120 years before the current one (Today()); a birth in the current year is
// not accepted.
bool IsValidBirthDate(QStringView text);

// The reference band of endothelial cell density against age: three straight lines from age 1
// to age 100, in the order of the chart's series.
enum class TReferenceLine { Centre = 0, Upper = 1, Lower = 2 };

struct TDensityPoint {
    double Age = 0.0;
    double Density = 0.0; // cells per mm²
    friend constexpr bool operator==(const TDensityPoint&, const TDensityPoint&) = default;
};

struct TDensitySeries {
    std::array<TDensityPoint, 2> Points;
};

inline constexpr int kReferenceFirstAge = 1;
inline constexpr int kReferenceLastAge = 100;

TDensitySeries ReferenceLine(TReferenceLine line);
// Where a line stands at an age between 1 and 100.
double ReferenceDensityAt(TReferenceLine line, double age);

// What the results chart and the report chart plot: series 0 to 2 the band, series 3 the
// patient's point (age capped at 100), absent without a valid birth date.
struct TDensityChartData {
    std::array<TDensitySeries, 3> Band;
    std::optional<TDensityPoint> Patient;
};

inline constexpr int kOldestPlottedAge = 100;
TDensityChartData DensityChartData(std::optional<int> age, double density);

// The chart's title, and the one shown with a stored examination.
QString DensityChartTitle();
QString StoredExamDensityChartTitle(int age);

} // namespace endomira
