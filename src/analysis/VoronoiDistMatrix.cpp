#include "VoronoiDistMatrix.h"

#include "EndomiraProcessing.h"
#include "ScratchPool.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace endomira {

namespace {

constexpr int kW = kFrameWidth;
constexpr int kH = kFrameHeight;

// Room the wavefront normally needs; the lists grow beyond it when a picture asks for more.
constexpr std::size_t kFrontierReserve = 64001;
constexpr std::size_t kVertexReserve = 45000;

// Distances are kept squared and as integers: for the integer offsets inside the frame the
// square root is strictly increasing, so "strictly closer" compares the same either way.
constexpr std::int32_t kUnreached = std::numeric_limits<std::int32_t>::max();
// Rows 0 and 479 and columns 0 and 639 are never entered by the wavefront; no distance is
// below this, so they never are.
constexpr std::int32_t kClosed = -1;

struct TFront {
    std::int32_t Index;
    std::int32_t Label;
};

struct TTessellationScratch {
    std::vector<std::int32_t> Distance;
    std::vector<TFront> Frontier;
    std::vector<TFront> Next;
    std::vector<std::int32_t> CentreRow;
    std::vector<std::int32_t> CentreCol;
};

using TTessellationPool = TScratchPool<TTessellationScratch, 1>;

struct TScratchReturn {
    void operator()(TTessellationScratch* s) const { TTessellationPool::Release(s); }
};

bool IsInterior(int row, int col) {
    return row >= 1 && row <= kH - 2 && col >= 1 && col <= kW - 2;
}

std::vector<int>& FloodStack() {
    thread_local std::vector<int> stack;
    return stack;
}

} // namespace

struct TDistMatrix::TStorage {
    TCenterList Centers;
    TCenterList Backup;
    TLabelMap LabelMap;
    TEdgeMap EdgeMap;
    TCellStats CellStats;
};

using TStoragePool = TScratchPool<TDistMatrix::TStorage, 2>;

void ReleaseTessellationScratch() {
    TTessellationPool::Trim();
    TStoragePool::Trim();
    FloodStack() = std::vector<int>();
}

void TDistMatrix::TStorageDeleter::operator()(TStorage* storage) const {
    TStoragePool::Release(storage);
}

TDistMatrix::TDistMatrix(const TCenterList& source) : storage_(TStoragePool::Acquire()) {
    TStorage& s = *storage_;
    s.Centers = source;
    s.Backup = source;
    s.LabelMap.fill(0);
    s.EdgeMap.fill(0);
    s.CellStats.fill(TCellStat{});
    vertices_.reserve(kVertexReserve);
}

TDistMatrix::~TDistMatrix() = default;

const TCenterList& TDistMatrix::Centers() const {
    return storage_->Centers;
}
const TCenterList& TDistMatrix::Backup() const {
    return storage_->Backup;
}
const TLabelMap& TDistMatrix::LabelMap() const {
    return storage_->LabelMap;
}
const TEdgeMap& TDistMatrix::EdgeMap() const {
    return storage_->EdgeMap;
}
const TCellStats& TDistMatrix::CellStats() const {
    return storage_->CellStats;
}

void TDistMatrix::CopyEdgeMap(std::span<std::int32_t, kFramePixels> dest) const {
    std::copy(storage_->EdgeMap.begin(), storage_->EdgeMap.end(), dest.begin());
}

void TDistMatrix::CopyCenters(TCenterList& dest) const {
    dest = storage_->Centers;
}

std::int32_t TDistMatrix::LabelAt(int row, int col) const {
    return IsInsideFrame(row, col) ? storage_->LabelMap[FrameIndex(row, col)] : 0;
}

std::int16_t TDistMatrix::SidesOf(int label) const {
    if (label < 0 || label > kMaxCenters) {
        return 0;
    }
    return static_cast<std::int16_t>(storage_->CellStats[static_cast<std::size_t>(label)].Sides);
}

void TDistMatrix::Recompute() {
    TStorage& s = *storage_;
    s.LabelMap.fill(0);
    s.EdgeMap.fill(0);
    Tessellate(s.Centers, s.LabelMap);
    ClearFrame(s.LabelMap);
    CountAreas(s.LabelMap, s.Centers, s.CellStats);
    EraseLargeCells(s.LabelMap, s.Centers, s.CellStats, kMaxCellArea);
    EraseBorderCells(s.LabelMap);
    CountAreas(s.LabelMap, s.Centers, s.CellStats);
    FindEdgesAndVertices(s.LabelMap, s.EdgeMap, vertices_);
    CountSides(vertices_, s.CellStats);
}

void TDistMatrix::AddCell(int row, int col) {
    TCenterList& c = storage_->Centers;
    if (!IsInsideFrame(row, col)) {
        return;
    }
    const int count = CenterCount(c);
    for (int i = 1; i <= count; ++i) {
        if (c[static_cast<std::size_t>(i)].Row == row &&
            c[static_cast<std::size_t>(i)].Col == col) {
            return;
        }
    }
    if (count >= kMaxCenters) {
        return;
    }
    // The new entry's Weight keeps whatever the slot held: nothing reads it.
    TCenter& added = c[static_cast<std::size_t>(count + 1)];
    added.Row = row;
    added.Col = col;
    added.Manual = 1;
    c[0].Row = count + 1;
    SortCentersByRow(c, 1, count + 1, TCenterExchange::AllFields);
}

void TDistMatrix::DeleteCell(int row, int col) {
    TCenterList& c = storage_->Centers;
    const int count = CenterCount(c);
    const std::int32_t label = LabelAt(row, col);
    if (label <= 0 || label > count) {
        return;
    }
    TCenter& gone = c[static_cast<std::size_t>(label)];
    gone.Row = kDeletedCenterRow;
    gone.Col = kDeletedCenterRow;
    gone.Manual = 0;
    SortCentersByRow(c, 1, count, TCenterExchange::AllFields);
    c[0].Row = count - 1;
}

void TDistMatrix::RestoreDetection() {
    storage_->Centers = storage_->Backup;
    Recompute();
}

void Tessellate(const TCenterList& centers, TLabelMap& labels) {
    std::unique_ptr<TTessellationScratch, TScratchReturn> scratch(TTessellationPool::Acquire());
    TTessellationScratch& s = *scratch;
    const int count = CenterCount(centers);

    s.Distance.resize(kFramePixels);
    std::int32_t* dist = s.Distance.data();
    std::fill(dist, dist + kW, kClosed);
    std::fill(dist + (kH - 1) * kW, dist + kH * kW, kClosed);
    for (int r = 1; r <= kH - 2; ++r) {
        std::int32_t* row = dist + r * kW;
        row[0] = kClosed;
        std::fill(row + 1, row + kW - 1, kUnreached);
        row[kW - 1] = kClosed;
    }
    s.CentreRow.resize(static_cast<std::size_t>(count) + 1);
    s.CentreCol.resize(static_cast<std::size_t>(count) + 1);
    s.Frontier.reserve(kFrontierReserve);
    s.Next.reserve(kFrontierReserve);
    s.Frontier.clear();

    std::int32_t* label = labels.data();
    for (int i = 1; i <= count; ++i) {
        const TCenter& c = centers[static_cast<std::size_t>(i)];
        s.CentreRow[static_cast<std::size_t>(i)] = c.Row;
        s.CentreCol[static_cast<std::size_t>(i)] = c.Col;
        if (!IsInsideFrame(c.Row, c.Col)) {
            continue;
        }
        const int p = FrameIndex(c.Row, c.Col);
        label[p] = i;
        if (IsInterior(c.Row, c.Col)) {
            dist[p] = 0;
        }
        s.Frontier.push_back({p, i});
    }
    const std::int32_t* cr = s.CentreRow.data();
    const std::int32_t* cc = s.CentreCol.data();

    // The seeds may lie on the frame's edge, where a neighbour can be outside the frame: the
    // first sweep checks every neighbour. Later entries all lie inside rows 1 ... 478 and
    // columns 1 ... 638, whose neighbours exist, and the closed edge refuses itself.
    bool first = true;
    do {
        s.Next.clear();
        for (const TFront& f : s.Frontier) {
            const int r = f.Index / kW;
            const int c = f.Index - r * kW;
            const std::int32_t lab = f.Label;
            const std::int32_t dr = r - cr[lab];
            const std::int32_t dc = c - cc[lab];
            const auto visit = [&](int q, std::int32_t d2) {
                if (d2 < dist[q]) {
                    dist[q] = d2;
                    label[q] = lab;
                    s.Next.push_back({q, lab});
                }
            };
            if (first) {
                const auto visitChecked = [&](int qr, int qc) {
                    if (IsInterior(qr, qc)) {
                        const std::int32_t er = qr - cr[lab];
                        const std::int32_t ec = qc - cc[lab];
                        visit(FrameIndex(qr, qc), er * er + ec * ec);
                    }
                };
                visitChecked(r - 1, c);
                visitChecked(r, c + 1);
                visitChecked(r + 1, c);
                visitChecked(r, c - 1);
                continue;
            }
            const std::int32_t up = (dr - 1) * (dr - 1) + dc * dc;
            const std::int32_t down = (dr + 1) * (dr + 1) + dc * dc;
            const std::int32_t right = dr * dr + (dc + 1) * (dc + 1);
            const std::int32_t left = dr * dr + (dc - 1) * (dc - 1);
            visit(f.Index - kW, up);
            visit(f.Index + 1, right);
            visit(f.Index + kW, down);
            visit(f.Index - 1, left);
        }
        std::swap(s.Frontier, s.Next);
        first = false;
    } while (!s.Frontier.empty());
}

void ClearFrame(TLabelMap& labels) {
    for (const int r : {0, 1, kH - 2, kH - 1}) {
        std::fill(labels.begin() + FrameIndex(r, 1), labels.begin() + FrameIndex(r, kW - 1), 0);
    }
    for (int r = 1; r <= kH - 2; ++r) {
        for (const int c : {0, 1, kW - 2, kW - 1}) {
            labels[FrameIndex(r, c)] = 0;
        }
    }
}

void CountAreas(const TLabelMap& labels, const TCenterList& centers, TCellStats& stats) {
    stats.fill(TCellStat{});
    std::int32_t highest = 0;
    for (const std::int32_t s : labels) {
        if (s > 0 && s <= kMaxCenters) {
            ++stats[static_cast<std::size_t>(s)].Area;
            highest = std::max(highest, s);
        }
    }
    for (std::int32_t s = 1; s <= highest; ++s) {
        TCellStat& st = stats[static_cast<std::size_t>(s)];
        if (st.Area > 0) {
            st.Row = centers[static_cast<std::size_t>(s)].Row;
            st.Col = centers[static_cast<std::size_t>(s)].Col;
        }
    }
    const std::int32_t count = CenterCount(centers);
    stats[0] = TCellStat{count, count, count, count};
}

void EraseCell(TLabelMap& labels, int row, int col) {
    if (!IsInsideFrame(row, col)) {
        return;
    }
    const std::int32_t s = labels[FrameIndex(row, col)];
    if (s == 0) {
        return;
    }
    std::vector<int>& stack = FloodStack();
    stack.clear();
    labels[FrameIndex(row, col)] = 0;
    stack.push_back(FrameIndex(row, col));
    while (!stack.empty()) {
        const int p = stack.back();
        stack.pop_back();
        const int r = p / kW;
        const int c = p - r * kW;
        static constexpr int kSteps[8][2] = {{1, 0}, {-1, 0}, {0, 1},   {0, -1},
                                             {1, 1}, {1, -1}, {-1, -1}, {-1, 1}};
        for (const auto& step : kSteps) {
            const int nr = r + step[0];
            const int nc = c + step[1];
            if (IsInsideFrame(nr, nc) && labels[FrameIndex(nr, nc)] == s) {
                labels[FrameIndex(nr, nc)] = 0;
                stack.push_back(FrameIndex(nr, nc));
            }
        }
    }
}

void EraseLargeCells(TLabelMap& labels, const TCenterList& centers, const TCellStats& stats,
                     std::int32_t limit) {
    const int count = CenterCount(centers);
    for (int i = 1; i <= count; ++i) {
        if (stats[static_cast<std::size_t>(i)].Area > limit) {
            EraseCell(labels, centers[static_cast<std::size_t>(i)].Row,
                      centers[static_cast<std::size_t>(i)].Col);
        }
    }
}

void EraseBorderCells(TLabelMap& labels) {
    for (int r = 2; r <= kH - 3; ++r) {
        if (labels[FrameIndex(r, 2)] != 0) {
            EraseCell(labels, r, 2);
        }
        if (labels[FrameIndex(r, kW - 3)] != 0) {
            EraseCell(labels, r, kW - 3);
        }
    }
    for (int c = 2; c <= kW - 3; ++c) {
        if (labels[FrameIndex(2, c)] != 0) {
            EraseCell(labels, 2, c);
        }
        if (labels[FrameIndex(kH - 3, c)] != 0) {
            EraseCell(labels, kH - 3, c);
        }
    }
}

void FindEdgesAndVertices(const TLabelMap& labels, TEdgeMap& edges,
                          std::vector<TVertex>& vertices) {
    edges.fill(0);
    vertices.clear();
    for (int r = 2; r <= kH - 3; ++r) {
        const std::int32_t* top = labels.data() + r * kW;
        const std::int32_t* bottom = top + kW;
        std::int32_t* mark = edges.data() + r * kW;
        for (int c = 2; c <= kW - 3; ++c) {
            const std::int32_t a = top[c];
            const std::int32_t b = top[c + 1];
            const std::int32_t d = bottom[c];
            const std::int32_t e = bottom[c + 1];
            if (((a ^ b) | (a ^ d) | (a ^ e)) == 0) {
                continue;
            }
            if (a != b && a != d && b != d) {
                mark[c] = kVertexPixel;
                vertices.push_back({r, c, a, b, d});
            } else if (a != b && a != e && b != e) {
                mark[c] = kVertexPixel;
                vertices.push_back({r, c, a, b, e});
            } else if (a != d && a != e && d != e) {
                mark[c] = kVertexPixel;
                vertices.push_back({r, c, a, e, d});
            } else {
                mark[c] = kEdgePixel;
            }
        }
    }
}

void CountSides(const std::vector<TVertex>& vertices, TCellStats& stats) {
    const auto bump = [&](std::int32_t label) {
        if (label >= 0 && label <= kMaxCenters) {
            ++stats[static_cast<std::size_t>(label)].Sides;
        }
    };
    for (const TVertex& v : vertices) {
        bump(v.Label1);
        bump(v.Label2);
        bump(v.Label3);
    }
}

} // namespace endomira
