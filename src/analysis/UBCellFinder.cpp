#include "UBCellFinder.h"

#include "EndomiraProcessing.h"
#include "ScratchPool.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace endomira {

namespace {

constexpr int kW = kFrameWidth;
constexpr int kH = kFrameHeight;
// Each smoothing pass keeps the rows it still has to hand on in a ring of this many rows.
constexpr int kRingRows = 4;
// Rows and columns whose mask survives the border clear.
constexpr int kFirstLive = kBorderClearWidth + 1;
constexpr int kLastLiveRow = kH - 2 - kBorderClearWidth;
constexpr int kLastLiveCol = kW - 2 - kBorderClearWidth;

constexpr std::uint8_t kOn = 255;
constexpr std::uint8_t kVisited = 1;

// A double widened to extended precision (exactly) and held on top of the x87 stack. The empty
// asm only pins the value there, so that the product with a kernel coefficient kept in a
// register becomes "load, multiply" rather than "copy coefficient, multiply from memory": the
// same product, with fewer operations on the two floating-point ports, which bound the
// smoothing passes.
inline long double Extended(double value) {
    long double x = value;
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    asm("" : "+t"(x));
#endif
    return x;
}

// One smoothing pass working on one row during one step of the pipeline.
struct TStageRow {
    const double* Up;   // row above, already smoothed by this pass
    const double* Left; // this pass's own output for the row (the input row for the first pass)
    const double* Mid;  // the row itself before this pass
    const double* Down; // row below before this pass
    double* Out;
};

} // namespace

class TDetectionScratch {
public:
    std::array<std::uint8_t, kFramePixels> Grey;
    std::array<std::uint8_t, kFramePixels> Mask;
    TCenterList Centers;
    std::vector<double> Rings;
    std::vector<int> Stack;
    std::array<double, kW> ZeroRow;
};

using TDetectionPool = TScratchPool<TDetectionScratch>;

void ReleaseDetectionScratch() {
    TDetectionPool::Trim();
}

void TCMFinder::TScratchDeleter::operator()(TDetectionScratch* scratch) const {
    TDetectionPool::Release(scratch);
}

TCMFinder::TCMFinder(TGreyImage image) : scratch_(TDetectionPool::Acquire()) {
    std::memcpy(scratch_->Grey.data(), image.data(), kFramePixels);
    ClearCenters(scratch_->Centers);
    scratch_->Mask.fill(0);
}

TCMFinder::~TCMFinder() = default;

const TCenterList& TCMFinder::Centers() const {
    return scratch_->Centers;
}

std::span<const std::uint8_t, kFramePixels> TCMFinder::Mask() const {
    return std::span<const std::uint8_t, kFramePixels>(scratch_->Mask);
}

namespace {

// Normalisation, every smoothing pass, the Laplace filter, the threshold and the border clear
// in one sweep down the frame. A pass at row r needs its own row r - 1 and the previous pass's
// rows r and r + 1, so pass p runs two rows behind pass p - 1: the rows handled in one step
// are then independent of each other, and their serial chains along the row are interleaved
// column by column. Each row is computed with the same operations in the same order as the
// whole-plane passes, so the results are identical.
void SmoothAndThreshold(TDetectionScratch& s, const TGreyRange& range, int passes,
                        double sensitivity) {
    double lut[256];
    for (int g = 0; g < 256; ++g) {
        lut[g] = NormalizedValue(g, range);
    }
    const int stages = 1 + std::clamp(passes, 0, kMaxSmoothingPasses);
    s.Rings.assign(static_cast<std::size_t>(stages + 1) * kRingRows * kW, 0.0);
    s.ZeroRow.fill(0.0);
    double* rings = s.Rings.data();
    // Ring 0 holds normalised input rows, ring p the rows of smoothing pass p. Columns 0 and
    // 639 of every ring row stay 0: no pass writes them.
    const auto ringRow = [rings](int ring, int row) {
        return rings + (static_cast<std::size_t>(ring) * kRingRows + (row & (kRingRows - 1))) * kW;
    };
    const auto passRow = [&](int pass, int row) -> const double* {
        return row <= 0 || row >= kH - 1 ? s.ZeroRow.data() : ringRow(pass, row);
    };
    const auto fillInput = [&](int row) {
        double* out = ringRow(0, row);
        const std::uint8_t* grey = s.Grey.data() + static_cast<std::size_t>(row) * kW;
        for (int c = 0; c < kW; ++c) {
            out[c] = lut[grey[c]];
        }
    };

    s.Mask.fill(0);
    fillInput(0);
    fillInput(1);
    std::vector<TStageRow> active(static_cast<std::size_t>(stages));
    const int lastStep = kLastLiveRow + 2 * stages;
    for (int t = 1; t <= lastStep; ++t) {
        if (t + 1 <= kH - 1) {
            fillInput(t + 1);
        }
        int count = 0;
        for (int p = 1; p <= stages; ++p) {
            const int r = t - 2 * (p - 1);
            if (r < 1 || r > kH - 2) {
                continue;
            }
            TStageRow& st = active[static_cast<std::size_t>(count++)];
            st.Out = ringRow(p, r);
            if (p == 1) {
                st.Up = ringRow(0, r - 1);
                st.Left = ringRow(0, r);
                st.Mid = ringRow(0, r);
                st.Down = ringRow(0, r + 1);
            } else {
                st.Up = passRow(p, r - 1);
                st.Left = st.Out;
                st.Mid = passRow(p - 1, r);
                st.Down = passRow(p - 1, r + 1);
            }
        }
        for (int c = 1; c <= kW - 2; ++c) {
            for (int j = 0; j < count; ++j) {
                const TStageRow& st = active[static_cast<std::size_t>(j)];
                long double sum = Extended(st.Up[c - 1]) * kSmoothCorner;
                sum += Extended(st.Up[c]) * kSmoothEdge;
                sum += Extended(st.Up[c + 1]) * kSmoothCorner;
                sum += Extended(st.Left[c - 1]) * kSmoothEdge;
                sum += Extended(st.Mid[c]) * kSmoothCentre;
                sum += Extended(st.Mid[c + 1]) * kSmoothEdge;
                sum += Extended(st.Down[c - 1]) * kSmoothCorner;
                sum += Extended(st.Down[c]) * kSmoothEdge;
                sum += Extended(st.Down[c + 1]) * kSmoothCorner;
                st.Out[c] = static_cast<double>(sum);
            }
        }
        const int lr = t - 2 * stages;
        if (lr < kFirstLive || lr > kLastLiveRow) {
            continue;
        }
        const double* up = passRow(stages, lr - 1);
        const double* mid = passRow(stages, lr);
        const double* down = passRow(stages, lr + 1);
        std::uint8_t* mask = s.Mask.data() + static_cast<std::size_t>(lr) * kW;
        for (int c = kFirstLive; c <= kLastLiveCol; ++c) {
            long double sum = kLaplaceKernel[0][0] * up[c - 1];
            sum += kLaplaceKernel[0][1] * up[c];
            sum += kLaplaceKernel[0][2] * up[c + 1];
            sum += kLaplaceKernel[1][0] * mid[c - 1];
            sum += kLaplaceKernel[1][1] * mid[c];
            sum += kLaplaceKernel[1][2] * mid[c + 1];
            sum += kLaplaceKernel[2][0] * down[c - 1];
            sum += kLaplaceKernel[2][1] * down[c];
            sum += kLaplaceKernel[2][2] * down[c + 1];
            mask[c] = static_cast<double>(sum) <= sensitivity ? kOn : 0;
        }
    }
}

// A foreground pixel survives only with a foreground four-neighbour. The step runs in place
// row by row, so the upper and left neighbours it reads are already final; but a neighbour of a
// foreground pixel is never removed (that pixel is its foreground neighbour), so reading the
// original values decides the same. That lets a whole row be decided at once.
void RemoveIsolated(std::uint8_t* mask) {
    std::array<std::uint8_t, kW> kept;
    for (int r = kFirstLive; r <= kLastLiveRow; ++r) {
        std::uint8_t* row = mask + r * kW;
        const std::uint8_t* up = row - kW;
        const std::uint8_t* down = row + kW;
        for (int c = kFirstLive; c <= kLastLiveCol; ++c) {
            kept[static_cast<std::size_t>(c)] =
                row[c] & (up[c] | down[c] | row[c - 1] | row[c + 1]);
        }
        std::memcpy(row + kFirstLive, kept.data() + kFirstLive, kLastLiveCol - kFirstLive + 1);
    }
}

// 4-connected blobs in raster order of their first pixel. Returns the number of blobs, or
// kMaxDetectedBlobs + 1 as soon as that many are found, since such a frame yields nothing.
// Each blob is filled a run of a row at a time; a run's row and column sums are exact integer
// sums, so the totals are those of the pixel-by-pixel flood.
int Label(TDetectionScratch& s) {
    std::uint8_t* mask = s.Mask.data();
    int n = 0;
    for (int r = kFirstLive; r <= kLastLiveRow && n <= kMaxDetectedBlobs; ++r) {
        std::uint8_t* line = mask + r * kW;
        for (int c = kFirstLive; c <= kLastLiveCol; ++c) {
            const void* found =
                std::memchr(line + c, kOn, static_cast<std::size_t>(kLastLiveCol - c + 1));
            if (found == nullptr) {
                break;
            }
            c = static_cast<int>(static_cast<const std::uint8_t*>(found) - line);
            if (++n > kMaxDetectedBlobs) {
                break;
            }
            std::int64_t sumRow = 0;
            std::int64_t sumCol = 0;
            std::int64_t weight = 0;
            s.Stack.clear();
            s.Stack.push_back(r * kW + c);
            while (!s.Stack.empty()) {
                const int p = s.Stack.back();
                s.Stack.pop_back();
                if (mask[p] != kOn) {
                    continue;
                }
                const int pr = p / kW;
                std::uint8_t* run = mask + pr * kW;
                int left = p - pr * kW;
                int right = left;
                // Foreground never touches the frame's edge, so the scans stop inside it.
                while (run[left - 1] == kOn) {
                    --left;
                }
                while (run[right + 1] == kOn) {
                    ++right;
                }
                std::memset(run + left, kVisited, static_cast<std::size_t>(right - left + 1));
                const std::int64_t length = right - left + 1;
                sumRow += pr * length;
                sumCol += (static_cast<std::int64_t>(left) + right) * length / 2;
                weight += length;
                for (const int nr : {pr - 1, pr + 1}) {
                    const std::uint8_t* near = mask + nr * kW;
                    for (int x = left; x <= right; ++x) {
                        if (near[x] == kOn && (x == left || near[x - 1] != kOn)) {
                            s.Stack.push_back(nr * kW + x);
                        }
                    }
                }
            }
            TCenter& e = s.Centers[static_cast<std::size_t>(n)];
            e.Row = static_cast<std::int32_t>(sumRow);
            e.Col = static_cast<std::int32_t>(sumCol);
            e.Weight = static_cast<std::int32_t>(weight);
        }
    }
    for (std::uint8_t& m : s.Mask) {
        m = m != 0 ? kOn : 0;
    }
    return n;
}

} // namespace

int TCMFinder::FindCenters(int passes, double sensitivity, const TRect& roi) {
    TDetectionScratch& s = *scratch_;
    ClearCenters(s.Centers);
    const TGreyRange range = ScanGreyRange(
        roi, [&](int r, int c) { return static_cast<double>(s.Grey[FrameIndex(r, c)]); });
    if (!range.IsUsable()) {
        s.Mask.fill(0);
        FinishCenters(s.Centers, 0);
        return 0;
    }
    SmoothAndThreshold(s, range, passes, sensitivity);
    RemoveIsolated(s.Mask.data());
    FinishCenters(s.Centers, Label(s));
    return Count();
}

} // namespace endomira
