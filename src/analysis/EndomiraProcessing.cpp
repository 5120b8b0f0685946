#include "EndomiraProcessing.h"

#include "Rounding.h"

#include <algorithm>
#include <cstdint>
#include <utility>
#include <vector>

namespace endomira {

TWindow NormalisationWindow(const TRect& roi) {
    const TRect r = roi.Normalized();
    // 64-bit so that a wild rectangle cannot overflow when grown.
    const auto clip = [](std::int64_t v, int limit) {
        return static_cast<int>(std::clamp<std::int64_t>(v, -1, limit));
    };
    TWindow w;
    w.Top = clip(std::max<std::int64_t>(std::int64_t{r.Top} - kWindowMargin, 0), kFrameHeight);
    w.Bottom = clip(std::int64_t{r.Bottom} + kWindowMargin, kFrameHeight - 1);
    w.Left = clip(std::max<std::int64_t>(std::int64_t{r.Left} - kWindowMargin, 0), kFrameWidth);
    w.Right = clip(std::int64_t{r.Right} + kWindowMargin, kFrameWidth - 1);
    return w;
}

double NormalizedValue(double value, const TGreyRange& range) {
    const double factor = 255.0 / (range.Max - range.Min);
    double v = value;
    if (v < range.Min) {
        v = range.Min;
    }
    if (v > range.Max) {
        v = range.Max;
    }
    return (v - range.Min) * factor;
}

bool NormalizeToROI(TPlane& plane, const TRect& roi) {
    const TGreyRange range =
        ScanGreyRange(roi, [&](int r, int c) { return plane[FrameIndex(r, c)]; });
    if (!range.IsUsable()) {
        return false;
    }
    for (double& v : plane) {
        v = NormalizedValue(v, range);
    }
    return true;
}

void Convolve3x3(const TPlane& src, TPlane& dst, const TKernel3x3& k) {
    for (int r = 1; r <= kFrameHeight - 2; ++r) {
        for (int c = 1; c <= kFrameWidth - 2; ++c) {
            long double sum = k[0][0] * src[FrameIndex(r - 1, c - 1)];
            sum += k[0][1] * src[FrameIndex(r - 1, c)];
            sum += k[0][2] * src[FrameIndex(r - 1, c + 1)];
            sum += k[1][0] * src[FrameIndex(r, c - 1)];
            sum += k[1][1] * src[FrameIndex(r, c)];
            sum += k[1][2] * src[FrameIndex(r, c + 1)];
            sum += k[2][0] * src[FrameIndex(r + 1, c - 1)];
            sum += k[2][1] * src[FrameIndex(r + 1, c)];
            sum += k[2][2] * src[FrameIndex(r + 1, c + 1)];
            dst[FrameIndex(r, c)] = static_cast<double>(sum);
        }
    }
}

void Smooth(const TPlane& src, TPlane& dst) {
    Convolve3x3(src, dst, kSmoothKernel);
}

void Laplace(const TPlane& src, TPlane& dst) {
    Convolve3x3(src, dst, kLaplaceKernel);
}

void ThresholdMask(const TPlane& src, TPlane& mask, double sensitivity) {
    for (int r = 1; r <= kFrameHeight - 2; ++r) {
        for (int c = 1; c <= kFrameWidth - 2; ++c) {
            mask[FrameIndex(r, c)] = src[FrameIndex(r, c)] <= sensitivity ? kMaskOn : 0.0;
        }
    }
}

void ClearBorder(TPlane& plane, int width) {
    width = std::clamp(width, 0, kFrameHeight / 2 - 1);
    for (int r = 0; r < kFrameHeight; ++r) {
        for (int c = 0; c < kFrameWidth; ++c) {
            if (r <= width || r >= kFrameHeight - 1 - width || c <= width ||
                c >= kFrameWidth - 1 - width) {
                plane[FrameIndex(r, c)] = 0.0;
            }
        }
    }
}

void RemoveIsolatedPixels(TPlane& mask) {
    for (int r = 1; r <= kFrameHeight - 2; ++r) {
        for (int c = 1; c <= kFrameWidth - 2; ++c) {
            const double sum = mask[FrameIndex(r, c)] + mask[FrameIndex(r - 1, c)] +
                               mask[FrameIndex(r, c - 1)] + mask[FrameIndex(r, c + 1)] +
                               mask[FrameIndex(r + 1, c)];
            if (sum < 2 * kMaskOn) {
                mask[FrameIndex(r, c)] = 0.0;
            }
        }
    }
}

void ClearPlane(TPlane& plane) {
    plane.fill(0.0);
}

void ClearCenters(TCenterList& centers) {
    centers.fill(TCenter{});
}

int LabelBlobs(const TPlane& mask, TPlane& labels, TCenterList& centers) {
    int n = 0;
    std::vector<int> stack;
    for (int r = 1; r <= kFrameHeight - 2; ++r) {
        for (int c = 1; c <= kFrameWidth - 2; ++c) {
            const int start = FrameIndex(r, c);
            if (mask[start] != kMaskOn || labels[start] != 0.0) {
                continue;
            }
            ++n;
            TCenter* entry = n <= kMaxDetectedBlobs ? &centers[n] : nullptr;
            labels[start] = n;
            stack.assign(1, start);
            while (!stack.empty()) {
                const int p = stack.back();
                stack.pop_back();
                const int pr = p / kFrameWidth;
                const int pc = p % kFrameWidth;
                if (entry != nullptr) {
                    entry->Row += pr;
                    entry->Col += pc;
                    entry->Weight += 1;
                }
                // Above, right, below, left; pushed in reverse so that they are visited in
                // that order.
                const std::pair<int, int> next[4] = {
                    {pr, pc - 1}, {pr + 1, pc}, {pr, pc + 1}, {pr - 1, pc}};
                for (const auto& [nr, nc] : next) {
                    if (nr < 0 || nr >= kFrameHeight || nc < 0 || nc >= kFrameWidth) {
                        continue;
                    }
                    const int q = FrameIndex(nr, nc);
                    if (mask[q] == kMaskOn && labels[q] == 0.0) {
                        labels[q] = n;
                        stack.push_back(q);
                    }
                }
            }
        }
    }
    return n;
}

void SortCentersByRow(TCenterList& centers, int first, int last, TCenterExchange exchange) {
    // The two halves of a partition are disjoint, so sorting the smaller one by recursion and
    // the larger one in this loop gives the same order as sorting left then right, with a
    // stack depth bounded by log2 of the list length.
    while (first < last) {
        int i = first;
        int j = last;
        const std::int32_t pivot = centers[(first + last) / 2].Row;
        do {
            while (centers[i].Row < pivot) {
                ++i;
            }
            while (centers[j].Row > pivot) {
                --j;
            }
            if (i <= j) {
                std::swap(centers[i].Row, centers[j].Row);
                std::swap(centers[i].Col, centers[j].Col);
                std::swap(centers[i].Weight, centers[j].Weight);
                if (exchange == TCenterExchange::AllFields) {
                    std::swap(centers[i].Manual, centers[j].Manual);
                }
                ++i;
                --j;
            }
        } while (i <= j);
        if (j - first < last - i) {
            SortCentersByRow(centers, first, j, exchange);
            first = i;
        } else {
            SortCentersByRow(centers, i, last, exchange);
            last = j;
        }
    }
}

void FinishCenters(TCenterList& centers, int blobs) {
    const int n = blobs > kMaxDetectedBlobs ? 0 : std::max(blobs, 0);
    centers[0].Row = n;
    centers[0].Col = n;
    centers[0].Weight = n;
    for (int i = 1; i <= n; ++i) {
        TCenter& e = centers[i];
        if (e.Weight == 0) {
            e.Weight = 1;
        }
        e.Row = static_cast<std::int32_t>(RoundRatioHalfEven(e.Row, e.Weight));
        e.Col = static_cast<std::int32_t>(RoundRatioHalfEven(e.Col, e.Weight));
    }
    SortCentersByRow(centers, 1, n, TCenterExchange::RowColWeight);
}

} // namespace endomira
