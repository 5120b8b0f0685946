#include "SyntheticEndothelium.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace endomira::synthetic {

std::uint64_t TRandom::Next() {
    // splitmix64: fixed by definition, so frames do not change with the standard library.
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

double TRandom::Uniform() {
    return static_cast<double>(Next() >> 11) * 0x1.0p-53;
}

double TRandom::Uniform(double lo, double hi) {
    return lo + (hi - lo) * Uniform();
}

double TRandom::Gaussian() {
    const double u1 = 1.0 - Uniform(); // (0, 1]
    const double u2 = Uniform();
    return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
}

int TRandom::Below(int n) {
    return n <= 0 ? 0 : static_cast<int>(Next() % static_cast<std::uint64_t>(n));
}

namespace {

constexpr int kW = kFrameWidth;
constexpr int kH = kFrameHeight;

struct TSeed {
    double Row;
    double Col;
    double Level; // the cell's own body level offset
};

} // namespace

TEndotheliumFrame GenerateEndothelium(const TEndotheliumParams& p) {
    TRandom random(p.Seed);
    // A regular hexagon of side-to-side spacing a covers sqrt(3)/2 a^2.
    const double density = std::max(p.CellsPerMm2, 1.0);
    const double spacingMm = std::sqrt(2.0 / (std::sqrt(3.0) * density));
    const double a = std::max(spacingMm / std::max(p.MmPerPixel, 1e-6), 3.0);
    const double rowStep = a * std::sqrt(3.0) / 2.0;

    // Seeds on a jittered hexagonal lattice over the frame and a margin, bucketed by a.
    const double margin = 2.0 * a;
    const int bucketCols = static_cast<int>((kW + 2 * margin) / a) + 1;
    const int bucketRows = static_cast<int>((kH + 2 * margin) / a) + 1;
    std::vector<std::vector<int>> buckets(static_cast<std::size_t>(bucketCols * bucketRows));
    std::vector<TSeed> seeds;
    const auto bucketOf = [&](double row, double col) {
        const int br = std::clamp(static_cast<int>((row + margin) / a), 0, bucketRows - 1);
        const int bc = std::clamp(static_cast<int>((col + margin) / a), 0, bucketCols - 1);
        return std::pair{br, bc};
    };
    int latticeRow = 0;
    for (double y = -margin; y < kH + margin; y += rowStep, ++latticeRow) {
        const double shift = (latticeRow % 2) * a / 2.0;
        for (double x = -margin + shift; x < kW + margin; x += a) {
            TSeed s{y + random.Uniform(-p.Jitter, p.Jitter) * a,
                    x + random.Uniform(-p.Jitter, p.Jitter) * a,
                    random.Gaussian() * p.CellLevelSpread};
            const auto [br, bc] = bucketOf(s.Row, s.Col);
            buckets[static_cast<std::size_t>(br * bucketCols + bc)].push_back(
                static_cast<int>(seeds.size()));
            seeds.push_back(s);
        }
    }

    std::vector<double> blocks(static_cast<std::size_t>((kW / 8 + 1) * (kH / 8 + 1)));
    for (double& b : blocks) {
        b = random.Gaussian() * p.Blockiness;
    }

    std::vector<double> image(kFramePixels);
    const double halfBorder = p.BorderWidth / 2.0;
    for (int r = 0; r < kH; ++r) {
        for (int c = 0; c < kW; ++c) {
            // The two nearest seeds.
            int best = -1;
            int second = -1;
            double d1 = 1e300;
            double d2 = 1e300;
            const auto [br, bc] = bucketOf(r, c);
            for (int dr = -2; dr <= 2; ++dr) {
                for (int dc = -2; dc <= 2; ++dc) {
                    const int nr = br + dr;
                    const int nc = bc + dc;
                    if (nr < 0 || nr >= bucketRows || nc < 0 || nc >= bucketCols) {
                        continue;
                    }
                    for (const int i : buckets[static_cast<std::size_t>(nr * bucketCols + nc)]) {
                        const double er = r - seeds[static_cast<std::size_t>(i)].Row;
                        const double ec = c - seeds[static_cast<std::size_t>(i)].Col;
                        const double d = er * er + ec * ec;
                        if (d < d1) {
                            d2 = d1;
                            second = best;
                            d1 = d;
                            best = i;
                        } else if (d < d2) {
                            d2 = d;
                            second = i;
                        }
                    }
                }
            }
            const TSeed& s1 = seeds[static_cast<std::size_t>(best)];
            double toBorder = a;
            if (second >= 0) {
                const TSeed& s2 = seeds[static_cast<std::size_t>(second)];
                const double sep = std::hypot(s1.Row - s2.Row, s1.Col - s2.Col);
                toBorder = (d2 - d1) / (2.0 * std::max(sep, 1e-9));
            }
            // 0 on the border line, 1 inside the body.
            const double body = std::clamp((toBorder - halfBorder) / 1.5 + 0.5, 0.0, 1.0);
            double level;
            if (p.Kind == TBodyKind::Domed) {
                const double inner = std::clamp(toBorder / (0.5 * a), 0.0, 1.0);
                const double dome = 1.0 - (1.0 - inner) * (1.0 - inner);
                level = p.BorderLevel + (p.BodyLevel + s1.Level - p.BorderLevel) * body * dome;
            } else {
                const double texture =
                    blocks[static_cast<std::size_t>((r / 8) * (kW / 8 + 1) + c / 8)] +
                    random.Gaussian() * p.Grain;
                level = p.BorderLevel + (p.BodyLevel + s1.Level - p.BorderLevel) * body +
                        body * texture;
            }
            image[static_cast<std::size_t>(r * kW + c)] = level;
        }
    }

    std::vector<double> tmp(kFramePixels);
    for (int pass = 0; pass < p.BlurPasses; ++pass) {
        for (int r = 0; r < kH; ++r) {
            for (int c = 0; c < kW; ++c) {
                double sum = 0.0;
                double weight = 0.0;
                for (int dr = -1; dr <= 1; ++dr) {
                    for (int dc = -1; dc <= 1; ++dc) {
                        const int nr = r + dr;
                        const int nc = c + dc;
                        if (nr < 0 || nr >= kH || nc < 0 || nc >= kW) {
                            continue;
                        }
                        const double w = (dr == 0 ? 2.0 : 1.0) * (dc == 0 ? 2.0 : 1.0);
                        sum += w * image[static_cast<std::size_t>(nr * kW + nc)];
                        weight += w;
                    }
                }
                tmp[static_cast<std::size_t>(r * kW + c)] = sum / weight;
            }
        }
        image.swap(tmp);
    }

    TEndotheliumFrame frame;
    frame.Grey.resize(kFramePixels);
    const double litHalf = std::clamp(p.LitFraction, 0.0, 1.0) * kW / 2.0;
    const double edge = 30.0;
    for (int r = 0; r < kH; ++r) {
        for (int c = 0; c < kW; ++c) {
            double light = 1.0 - p.Gradient * c / (kW - 1);
            const double fromCentre = std::abs(c - (kW - 1) / 2.0);
            if (p.LitFraction < 1.0 && fromCentre > litHalf) {
                const double t = std::clamp((fromCentre - litHalf) / edge, 0.0, 1.0);
                light *= 1.0 - (1.0 - p.DarkFactor) * t;
            }
            const double v =
                image[static_cast<std::size_t>(r * kW + c)] * light + random.Gaussian() * p.Noise;
            frame.Grey[static_cast<std::size_t>(r * kW + c)] =
                static_cast<std::uint8_t>(std::clamp(std::lround(v), 0L, 255L));
        }
    }
    for (const TSeed& s : seeds) {
        if (s.Row >= 0 && s.Row <= kH - 1 && s.Col >= 0 && s.Col <= kW - 1) {
            frame.Centres.push_back({s.Row, s.Col});
        }
    }
    return frame;
}

} // namespace endomira::synthetic
