#include "DensityReference.h"

#include "Clock.h"
#include "DateText.h"
#include "RealText.h"

#include <algorithm>

namespace endomira {

namespace {

// Density at age 1 and at age 100 of the centre, upper and lower lines.
constexpr std::array<std::array<int, 2>, 3> kLines{{{3156, 2070}, {3439, 2546}, {2873, 1594}}};

// How far back a birth date may lie.
constexpr int kOldestBirthYears = 120;

} // namespace

bool IsValidBirthDate(QStringView text) {
    // Day, month and year as the fields of the text "dd/mm/yyyy" hold them.
    if (text.size() < 6) {
        return false;
    }
    const std::optional<int> day = TryTextToInt(text.mid(0, 2));
    const std::optional<int> month = TryTextToInt(text.mid(3, 2));
    const std::optional<int> year = TryTextToInt(text.mid(6));
    if (!day || !month || !year) {
        return false;
    }
    const int current = Today().year();
    if (!(current - kOldestBirthYears < *year && *year < current)) {
        return false;
    }
    // A day that the month does not have is no birth date: the age could not be reckoned
    // from it.
    return QDate(*year, *month, *day).isValid();
}

TDensitySeries ReferenceLine(TReferenceLine line) {
    const auto& l = kLines[static_cast<std::size_t>(line)];
    return TDensitySeries{
        {TDensityPoint{static_cast<double>(kReferenceFirstAge), static_cast<double>(l[0])},
         TDensityPoint{static_cast<double>(kReferenceLastAge), static_cast<double>(l[1])}}};
}

double ReferenceDensityAt(TReferenceLine line, double age) {
    const auto& l = kLines[static_cast<std::size_t>(line)];
    return l[0] - static_cast<double>(l[0] - l[1]) * (age - kReferenceFirstAge) /
                      static_cast<double>(kReferenceLastAge - kReferenceFirstAge);
}

TDensityChartData DensityChartData(std::optional<int> age, double density) {
    TDensityChartData data;
    data.Band = {ReferenceLine(TReferenceLine::Centre), ReferenceLine(TReferenceLine::Upper),
                 ReferenceLine(TReferenceLine::Lower)};
    if (age) {
        data.Patient =
            TDensityPoint{static_cast<double>(std::min(*age, kOldestPlottedAge)), density};
    }
    return data;
}

QString DensityChartTitle() {
    return QStringLiteral("Densidade Endotelial X Idade");
}

QString StoredExamDensityChartTitle(int age) {
    return QStringLiteral("Densidade endotelial x Idade (") + QString::number(age) +
           QStringLiteral(" anos)");
}

} // namespace endomira
