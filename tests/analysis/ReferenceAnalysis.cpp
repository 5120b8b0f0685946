#include "ReferenceAnalysis.h"

#include <cmath>

namespace endomira::reference {

std::unique_ptr<TDetection> FindCenters(const std::uint8_t* grey, int passes, double sensitivity,
                                        const TRect& roi) {
    auto result = std::make_unique<TDetection>();
    auto normalized = std::make_unique<TPlane>();
    auto smoothed = std::make_unique<TPlane>();
    auto response = std::make_unique<TPlane>();
    auto labels = std::make_unique<TPlane>();
    TPlane& mask = result->Mask;
    for (int i = 0; i < kFramePixels; ++i) {
        (*normalized)[static_cast<std::size_t>(i)] = grey[i];
    }
    if (!NormalizeToROI(*normalized, roi)) {
        ClearCenters(result->Centers);
        FinishCenters(result->Centers, 0);
        return result;
    }
    Smooth(*normalized, *smoothed);
    for (int p = 0; p < std::min(passes, kMaxSmoothingPasses); ++p) {
        Smooth(*smoothed, *smoothed);
    }
    Laplace(*smoothed, *response);
    ThresholdMask(*response, mask, sensitivity);
    ClearBorder(mask, kBorderClearWidth);
    RemoveIsolatedPixels(mask);
    ClearPlane(*labels);
    ClearCenters(result->Centers);
    const int blobs = LabelBlobs(mask, *labels, result->Centers);
    FinishCenters(result->Centers, blobs);
    return result;
}

namespace {

constexpr int kW = kFrameWidth;
constexpr int kH = kFrameHeight;

struct TEntry {
    int Row;
    int Col;
    int Label;
};

void LiteralTessellate(const TCenterList& centers, TLabelMap& labelMap) {
    auto distance = std::make_unique<std::array<double, kFramePixels>>();
    const int count = centers[0].Row;
    std::vector<TEntry> frontier;
    std::vector<TEntry> next;
    for (int i = 1; i <= count; ++i) {
        const TCenter& c = centers[static_cast<std::size_t>(i)];
        labelMap[FrameIndex(c.Row, c.Col)] = i;
        (*distance)[FrameIndex(c.Row, c.Col)] = 0.0;
        frontier.push_back({c.Row, c.Col, i});
    }
    bool changed = true;
    while (changed) {
        changed = false;
        next.clear();
        for (const TEntry& f : frontier) {
            const TCenter& centre = centers[static_cast<std::size_t>(f.Label)];
            const int neighbours[4][2] = {
                {f.Row - 1, f.Col}, {f.Row, f.Col + 1}, {f.Row + 1, f.Col}, {f.Row, f.Col - 1}};
            for (const auto& q : neighbours) {
                if (q[0] < 1 || q[0] > kH - 2 || q[1] < 1 || q[1] > kW - 2) {
                    continue;
                }
                const long double dr = centre.Row - q[0];
                const long double dc = centre.Col - q[1];
                const double d = static_cast<double>(std::sqrt(dr * dr + dc * dc));
                const int idx = FrameIndex(q[0], q[1]);
                if (labelMap[idx] == 0 || d < (*distance)[idx]) {
                    labelMap[idx] = f.Label;
                    (*distance)[idx] = d;
                    next.push_back({q[0], q[1], f.Label});
                    changed = true;
                }
            }
        }
        frontier.swap(next);
    }
}

void LiteralClearFrame(TLabelMap& m) {
    for (int c = 1; c <= kW - 2; ++c) {
        m[FrameIndex(0, c)] = 0;
        m[FrameIndex(1, c)] = 0;
        m[FrameIndex(kH - 2, c)] = 0;
        m[FrameIndex(kH - 1, c)] = 0;
    }
    for (int r = 1; r <= kH - 2; ++r) {
        m[FrameIndex(r, 0)] = 0;
        m[FrameIndex(r, 1)] = 0;
        m[FrameIndex(r, kW - 2)] = 0;
        m[FrameIndex(r, kW - 1)] = 0;
    }
}

void LiteralCountAreas(const TLabelMap& m, const TCenterList& centers, TCellStats& stats) {
    for (TCellStat& s : stats) {
        s = TCellStat{};
    }
    for (int i = 0; i < kFramePixels; ++i) {
        const int s = m[i];
        if (s > 0) {
            stats[static_cast<std::size_t>(s)].Area += 1;
            stats[static_cast<std::size_t>(s)].Row = centers[static_cast<std::size_t>(s)].Row;
            stats[static_cast<std::size_t>(s)].Col = centers[static_cast<std::size_t>(s)].Col;
        }
    }
    const int count = centers[0].Row;
    stats[0] = TCellStat{count, count, count, count};
}

void LiteralEraseCell(TLabelMap& m, int row, int col) {
    const int s = m[FrameIndex(row, col)];
    if (s == 0) {
        return;
    }
    std::vector<std::pair<int, int>> stack{{row, col}};
    m[FrameIndex(row, col)] = 0;
    while (!stack.empty()) {
        const auto [r, c] = stack.back();
        stack.pop_back();
        const int steps[8][2] = {{1, 0}, {-1, 0}, {0, 1},   {0, -1},
                                 {1, 1}, {1, -1}, {-1, -1}, {-1, 1}};
        for (const auto& st : steps) {
            const int nr = r + st[0];
            const int nc = c + st[1];
            if (nr >= 0 && nr < kH && nc >= 0 && nc < kW && m[FrameIndex(nr, nc)] == s) {
                m[FrameIndex(nr, nc)] = 0;
                stack.push_back({nr, nc});
            }
        }
    }
}

} // namespace

std::unique_ptr<TTessellation> Recompute(const TCenterList& centers) {
    auto t = std::make_unique<TTessellation>();
    TLabelMap& m = t->LabelMap;
    LiteralTessellate(centers, m);
    LiteralClearFrame(m);
    LiteralCountAreas(m, centers, t->CellStats);
    const int count = centers[0].Row;
    for (int i = 1; i <= count; ++i) {
        if (t->CellStats[static_cast<std::size_t>(i)].Area > 800) {
            LiteralEraseCell(m, centers[static_cast<std::size_t>(i)].Row,
                             centers[static_cast<std::size_t>(i)].Col);
        }
    }
    for (int r = 2; r <= 477; ++r) {
        if (m[FrameIndex(r, 2)] != 0) {
            LiteralEraseCell(m, r, 2);
        }
        if (m[FrameIndex(r, 637)] != 0) {
            LiteralEraseCell(m, r, 637);
        }
    }
    for (int c = 2; c <= 637; ++c) {
        if (m[FrameIndex(2, c)] != 0) {
            LiteralEraseCell(m, 2, c);
        }
        if (m[FrameIndex(477, c)] != 0) {
            LiteralEraseCell(m, 477, c);
        }
    }
    LiteralCountAreas(m, centers, t->CellStats);
    for (int r = 2; r <= 477; ++r) {
        for (int c = 2; c <= 637; ++c) {
            const int a = m[FrameIndex(r, c)];
            const int b = m[FrameIndex(r, c + 1)];
            const int d = m[FrameIndex(r + 1, c)];
            const int e = m[FrameIndex(r + 1, c + 1)];
            if (a == b && b == d && d == e) {
                continue;
            }
            if (a != b && a != d && b != d) {
                t->EdgeMap[FrameIndex(r, c)] = 255;
                t->Vertices.push_back({r, c, a, b, d});
            } else if (a != b && a != e && b != e) {
                t->EdgeMap[FrameIndex(r, c)] = 255;
                t->Vertices.push_back({r, c, a, b, e});
            } else if (a != d && a != e && d != e) {
                t->EdgeMap[FrameIndex(r, c)] = 255;
                t->Vertices.push_back({r, c, a, e, d});
            } else {
                t->EdgeMap[FrameIndex(r, c)] = 55;
            }
        }
    }
    for (const TVertex& v : t->Vertices) {
        t->CellStats[static_cast<std::size_t>(v.Label1)].Sides += 1;
        t->CellStats[static_cast<std::size_t>(v.Label2)].Sides += 1;
        t->CellStats[static_cast<std::size_t>(v.Label3)].Sides += 1;
    }
    return t;
}

} // namespace endomira::reference
