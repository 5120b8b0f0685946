#pragma once

#include <cstdint>

namespace endomira {

// Nearest integer, an exact half going to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
std::int64_t RoundHalfEven(double value);
std::int64_t RoundHalfEven(long double value);

// Exact rounding of the quotient of two integers, halves to even. Means of integer sums
// (centroids, averages of counts) go through here so that no floating-point step can blur a half.
std::int64_t RoundRatioHalfEven(std::int64_t numerator, std::int64_t denominator);

// Integer division truncating toward zero, the only integer division the program uses.
constexpr std::int64_t DivTrunc(std::int64_t numerator, std::int64_t denominator) {
    return numerator / denominator;
}

} // namespace endomira
