#include "Rounding.h"

#include <cmath>
#include <cstdlib>

namespace endomira {

std::int64_t RoundHalfEven(double value) {
    // Written out rather than std::nearbyint so that the result never depends on the
    // floating-point environment's rounding mode.
    const double floor = std::floor(value);
    const double diff = value - floor;
    double result;
    if (diff < 0.5) {
        result = floor;
    } else if (diff > 0.5) {
        result = floor + 1.0;
    } else {
        result = std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
    }
    return static_cast<std::int64_t>(result);
}

std::int64_t RoundHalfEven(long double value) {
    const long double floor = std::floor(value);
    const long double diff = value - floor;
    long double result;
    if (diff < 0.5L) {
        result = floor;
    } else if (diff > 0.5L) {
        result = floor + 1.0L;
    } else {
        result = std::fmod(floor, 2.0L) == 0.0L ? floor : floor + 1.0L;
    }
    return static_cast<std::int64_t>(result);
}

std::int64_t RoundRatioHalfEven(std::int64_t numerator, std::int64_t denominator) {
    if (denominator < 0) {
        numerator = -numerator;
        denominator = -denominator;
    }
    std::int64_t quotient = numerator / denominator;
    std::int64_t remainder = numerator % denominator; // same sign as numerator
    // Compare 2|r| with d without overflow for the magnitudes used here.
    const std::int64_t twice = 2 * std::llabs(remainder);
    if (twice > denominator || (twice == denominator && (quotient % 2 != 0))) {
        quotient += remainder < 0 ? -1 : 1;
    }
    return quotient;
}

} // namespace endomira
