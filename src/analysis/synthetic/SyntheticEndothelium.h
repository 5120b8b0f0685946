#pragma once

#include "FrameGeometry.h"

#include <cstdint>
#include <vector>

// Synthetic specular images of the corneal endothelium for tests, benchmarks and tools: a
// mosaic of bright cell bodies with dark borders whose true centres are known. Not part of the
// program.
namespace endomira::synthetic {

enum class TBodyKind {
    // Flat bodies with grain and 8 x 8 blocks of slightly different level, as in the
    // JPEG-compressed pictures of real instruments. Such bodies break into several blobs.
    FlatGrainy,
    // Bodies brightest in the middle: one clean blob per cell.
    Domed,
};

struct TEndotheliumParams {
    std::uint64_t Seed = 1;
    double CellsPerMm2 = 2500.0;
    double MmPerPixel = 0.0014;
    TBodyKind Kind = TBodyKind::Domed;
    double Jitter = 0.18;          // centre displacement, as a fraction of the lattice spacing
    double BorderWidth = 2.0;      // pixels of dark border between two bodies
    double BodyLevel = 180.0;      // grey level of a body under full illumination
    double BorderLevel = 70.0;     // grey level of a border under full illumination
    double CellLevelSpread = 12.0; // standard deviation of the per-cell body level
    double Grain = 10.0;           // flat bodies: per-pixel grain, standard deviation
    double Blockiness = 6.0;       // flat bodies: 8 x 8 block offsets, standard deviation
    int BlurPasses = 1;            // 3 x 3 binomial blur passes
    double Noise = 3.0;            // sensor noise after the blur, standard deviation
    double Gradient = 0.25;        // illumination falls by this fraction from left to right
    // Width of the lit vertical band, as a fraction of the frame; outside it the picture
    // darkens to DarkFactor of its level over a soft edge. 1 lights the whole frame.
    double LitFraction = 1.0;
    double DarkFactor = 0.15;
};

struct TTrueCentre {
    double Row = 0.0;
    double Col = 0.0;
};

struct TEndotheliumFrame {
    std::vector<std::uint8_t> Grey;   // 640 x 480, row after row
    std::vector<TTrueCentre> Centres; // every cell centre inside the frame
};

// Deterministic: the same parameters give the same bytes.
TEndotheliumFrame GenerateEndothelium(const TEndotheliumParams& params);

// Small deterministic generator shared by the fixtures.
class TRandom {
public:
    explicit TRandom(std::uint64_t seed) : state_(seed) {}
    std::uint64_t Next();
    double Uniform(); // [0, 1)
    double Uniform(double lo, double hi);
    double Gaussian(); // mean 0, standard deviation 1
    int Below(int n);  // 0 ... n - 1

private:
    std::uint64_t state_;
};

} // namespace endomira::synthetic
