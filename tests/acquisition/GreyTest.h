#pragma once

#include <QImage>
#include <cmath>
#include <cstdint>

namespace endomira::test {

// The automatic capture's acceptance test of a live frame: grey level of a pixel = the rounded
// mean of its three colour parts; mean, standard deviation and variance over all pixels, each
// within (1 - tolerance) .. (1 + tolerance) of the reference, bounds included.
struct TGreyStatistics {
    double Mean = 0.0;
    double Variance = 0.0;
    double SD = 0.0;
};

inline TGreyStatistics GreyStatistics(const QImage& frame) {
    const QImage rgb = frame.convertToFormat(QImage::Format_RGB888);
    std::uint64_t histogram[256] = {};
    for (int y = 0; y < rgb.height(); ++y) {
        const uchar* line = rgb.constScanLine(y);
        for (int x = 0; x < rgb.width(); ++x) {
            // The sum of three bytes over 3 is never an exact half: plain rounding is exact.
            const int sum = line[3 * x] + line[3 * x + 1] + line[3 * x + 2];
            ++histogram[(sum + 1) / 3];
        }
    }
    const double n = static_cast<double>(rgb.width()) * rgb.height();
    double total = 0.0;
    for (int v = 0; v < 256; ++v) {
        total += static_cast<double>(histogram[v]) * v;
    }
    TGreyStatistics s;
    s.Mean = total / n;
    double squares = 0.0;
    for (int v = 0; v < 256; ++v) {
        squares += static_cast<double>(histogram[v]) * (v - s.Mean) * (v - s.Mean);
    }
    s.Variance = squares / n;
    s.SD = std::sqrt(s.Variance);
    return s;
}

inline bool PassesGreyTest(const TGreyStatistics& s, double average, double sd, double tolerance) {
    const auto within = [&](double value, double reference) {
        return (1.0 - tolerance) * reference <= value && value <= (1.0 + tolerance) * reference;
    };
    return within(s.Mean, average) && within(s.SD, sd) && within(s.Variance, sd * sd);
}

} // namespace endomira::test
