#include "VoronoiDistMatrix.h"

#include "EndomiraProcessing.h"
#include "ScratchPool.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#include <emmintrin.h>

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
    // Tessellate clears the label map and FindEdgesAndVertices the edge map.
    Tessellate(s.Centers, s.LabelMap);
    ClearFrame(s.LabelMap);
    CountAreas(s.LabelMap, s.Centers, s.CellStats);
    EraseLargeCells(s.LabelMap, s.Centers, s.CellStats, kMaxCellArea);
    EraseBorderCells(s.LabelMap, &s.CellStats);
    // The areas now count what is left, as a second count would; discarded cells lose their
    // centre too.
    ForgetEmptyCells(s.CellStats);
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

namespace {

// Adds the pixels of every label in [p, end) to its area, a run of equal labels at a time.
// Returns the highest label seen.
std::int32_t AddAreas(const std::int32_t* p, const std::int32_t* end, TCellStats& stats) {
    std::int32_t highest = 0;
    while (p < end) {
        const std::int32_t s = *p;
        const std::int32_t* run = p + 1;
        const __m128i same = _mm_set1_epi32(s);
        while (run + 4 <= end &&
               _mm_movemask_epi8(_mm_cmpeq_epi32(
                   _mm_loadu_si128(reinterpret_cast<const __m128i*>(run)), same)) == 0xFFFF) {
            run += 4;
        }
        while (run < end && *run == s) {
            ++run;
        }
        if (s > 0 && s <= kMaxCenters) {
            stats[static_cast<std::size_t>(s)].Area += static_cast<std::int32_t>(run - p);
            highest = std::max(highest, s);
        }
        p = run;
    }
    return highest;
}

// Every label with pixels gets its centre; the header gets the count.
void FinishAreas(const TCenterList& centers, std::int32_t highest, TCellStats& stats) {
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

} // namespace

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
    std::int32_t* label = labels.data();
    labels.fill(0);
    s.CentreRow.resize(static_cast<std::size_t>(count) + 1);
    s.CentreCol.resize(static_cast<std::size_t>(count) + 1);
    if (s.Frontier.size() < kFrontierReserve) {
        s.Frontier.resize(kFrontierReserve);
        s.Next.resize(kFrontierReserve);
    }

    std::size_t frontier = 0;
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
        if (frontier == s.Frontier.size()) {
            s.Frontier.resize(2 * frontier);
        }
        s.Frontier[frontier++] = TFront{p, i};
    }
    const std::int32_t* cr = s.CentreRow.data();
    const std::int32_t* cc = s.CentreCol.data();

    // Every entry appends at most four, so a sweep never needs more room than that.
    const auto makeRoom = [&] {
        if (s.Next.size() < 4 * frontier) {
            s.Next.resize(4 * frontier);
        }
    };
    // The seeds may lie on the frame's edge, where a neighbour can be outside the frame: the
    // first sweep checks every neighbour.
    makeRoom();
    std::size_t next = 0;
    for (std::size_t k = 0; k < frontier; ++k) {
        const TFront f = s.Frontier[k];
        const int r = f.Index / kW;
        const int c = f.Index - r * kW;
        const std::int32_t lab = f.Label;
        for (const auto& [qr, qc] : {std::pair{r - 1, c}, {r, c + 1}, {r + 1, c}, {r, c - 1}}) {
            if (!IsInterior(qr, qc)) {
                continue;
            }
            const std::int32_t er = qr - cr[lab];
            const std::int32_t ec = qc - cc[lab];
            const std::int32_t d2 = er * er + ec * ec;
            const int q = FrameIndex(qr, qc);
            if (d2 < dist[q]) {
                dist[q] = d2;
                label[q] = lab;
                s.Next[next++] = TFront{q, lab};
            }
        }
    }
    std::swap(s.Frontier, s.Next);
    frontier = next;
    // Later entries all lie inside rows 1 ... 478 and columns 1 ... 638, whose neighbours
    // exist, and the closed edge refuses itself.
    while (frontier > 0) {
        makeRoom();
        next = 0;
        TFront* out = s.Next.data();
        const TFront* in = s.Frontier.data();
        for (std::size_t k = 0; k < frontier; ++k) {
            const TFront f = in[k];
            const int r = f.Index / kW;
            const int c = f.Index - r * kW;
            const std::int32_t lab = f.Label;
            const std::int32_t dr = r - cr[lab];
            const std::int32_t dc = c - cc[lab];
            const auto visit = [&](int q, std::int32_t d2) {
                if (d2 < dist[q]) {
                    dist[q] = d2;
                    label[q] = lab;
                    out[next++] = TFront{q, lab};
                }
            };
            const std::int32_t rowPart = dr * dr;
            const std::int32_t colPart = dc * dc;
            visit(f.Index - kW, rowPart - 2 * dr + 1 + colPart);
            visit(f.Index + 1, rowPart + colPart + 2 * dc + 1);
            visit(f.Index + kW, rowPart + 2 * dr + 1 + colPart);
            visit(f.Index - 1, rowPart + colPart - 2 * dc + 1);
        }
        std::swap(s.Frontier, s.Next);
        frontier = next;
    }
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
    FinishAreas(centers, AddAreas(labels.data(), labels.data() + kFramePixels, stats), stats);
}

void ForgetEmptyCells(TCellStats& stats) {
    for (std::size_t s = 1; s < stats.size(); ++s) {
        if (stats[s].Area == 0) {
            stats[s].Row = 0;
            stats[s].Col = 0;
        }
    }
}

std::int32_t EraseCell(TLabelMap& labels, int row, int col) {
    if (!IsInsideFrame(row, col)) {
        return 0;
    }
    std::int32_t* m = labels.data();
    const std::int32_t s = m[FrameIndex(row, col)];
    if (s == 0) {
        return 0;
    }
    // Scanline fill: clear the whole run of the label through a pixel, then look for runs in
    // the rows above and below over the run's columns and one more on each side, which is what
    // eight-connection reaches. The region cleared is the same as pixel by pixel.
    std::vector<int>& stack = FloodStack();
    stack.clear();
    stack.push_back(FrameIndex(row, col));
    std::int32_t erased = 0;
    while (!stack.empty()) {
        const int p = stack.back();
        stack.pop_back();
        if (m[p] != s) {
            continue;
        }
        const int r = p / kW;
        std::int32_t* line = m + r * kW;
        int left = p - r * kW;
        int right = left;
        while (left > 0 && line[left - 1] == s) {
            --left;
        }
        while (right < kW - 1 && line[right + 1] == s) {
            ++right;
        }
        std::fill(line + left, line + right + 1, 0);
        erased += right - left + 1;
        const int from = std::max(left - 1, 0);
        const int to = std::min(right + 1, kW - 1);
        for (const int nr : {r - 1, r + 1}) {
            if (nr < 0 || nr >= kH) {
                continue;
            }
            const std::int32_t* near = m + nr * kW;
            for (int c = from; c <= to; ++c) {
                if (near[c] == s && (c == from || near[c - 1] != s)) {
                    stack.push_back(nr * kW + c);
                }
            }
        }
    }
    return erased;
}

namespace {

// EraseCell, keeping the area of the erased label up to date when stats are given.
void EraseCounted(TLabelMap& labels, int row, int col, TCellStats* stats) {
    if (!IsInsideFrame(row, col)) {
        return;
    }
    const std::int32_t s = labels[static_cast<std::size_t>(FrameIndex(row, col))];
    const std::int32_t erased = EraseCell(labels, row, col);
    if (stats != nullptr && s > 0 && s <= kMaxCenters) {
        (*stats)[static_cast<std::size_t>(s)].Area -= erased;
    }
}

} // namespace

void EraseLargeCells(TLabelMap& labels, const TCenterList& centers, TCellStats& stats,
                     std::int32_t limit) {
    // Which cells are too large is decided on the areas as they were counted, before any erase.
    const int count = CenterCount(centers);
    std::vector<int> large;
    for (int i = 1; i <= count; ++i) {
        if (stats[static_cast<std::size_t>(i)].Area > limit) {
            large.push_back(i);
        }
    }
    for (const int i : large) {
        EraseCounted(labels, centers[static_cast<std::size_t>(i)].Row,
                     centers[static_cast<std::size_t>(i)].Col, &stats);
    }
}

void EraseBorderCells(TLabelMap& labels, TCellStats* stats) {
    for (int r = 2; r <= kH - 3; ++r) {
        if (labels[FrameIndex(r, 2)] != 0) {
            EraseCounted(labels, r, 2, stats);
        }
        if (labels[FrameIndex(r, kW - 3)] != 0) {
            EraseCounted(labels, r, kW - 3, stats);
        }
    }
    for (int c = 2; c <= kW - 3; ++c) {
        if (labels[FrameIndex(2, c)] != 0) {
            EraseCounted(labels, 2, c, stats);
        }
        if (labels[FrameIndex(kH - 3, c)] != 0) {
            EraseCounted(labels, kH - 3, c, stats);
        }
    }
}

void FindEdgesAndVertices(const TLabelMap& labels, TEdgeMap& edges,
                          std::vector<TVertex>& vertices) {
    edges.fill(0);
    vertices.clear();
    // Most blocks lie inside one cell. Four blocks at a time are tested for a mixed label; only
    // the mixed ones are classified, still row by row and left to right.
    constexpr int kFirst = 2;
    constexpr int kLast = kW - 3;
    static_assert((kLast - kFirst + 1) % 4 == 0);
    for (int r = 2; r <= kH - 3; ++r) {
        const std::int32_t* top = labels.data() + r * kW;
        const std::int32_t* bottom = top + kW;
        std::int32_t* mark = edges.data() + r * kW;
        for (int c0 = kFirst; c0 <= kLast; c0 += 4) {
            const auto load = [](const std::int32_t* p) {
                return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
            };
            const __m128i a = load(top + c0);
            const __m128i same = _mm_and_si128(_mm_and_si128(_mm_cmpeq_epi32(a, load(top + c0 + 1)),
                                                             _mm_cmpeq_epi32(a, load(bottom + c0))),
                                               _mm_cmpeq_epi32(a, load(bottom + c0 + 1)));
            unsigned mixed = static_cast<unsigned>(_mm_movemask_ps(_mm_castsi128_ps(same))) ^ 0xFu;
            while (mixed != 0) {
                const int c = c0 + std::countr_zero(mixed);
                mixed &= mixed - 1;
                const std::int32_t va = top[c];
                const std::int32_t vb = top[c + 1];
                const std::int32_t vd = bottom[c];
                const std::int32_t ve = bottom[c + 1];
                // The table's rows as flags computed without branches: which kind a boundary
                // block is follows no pattern a branch predictor could learn, while vertices
                // are rare.
                const bool abd = (va != vb) & (va != vd) & (vb != vd);
                const bool abe = (va != vb) & (va != ve) & (vb != ve);
                const bool ade = (va != vd) & (va != ve) & (vd != ve);
                if (abd | abe | ade) {
                    mark[c] = kVertexPixel;
                    vertices.push_back({r, c, va, abd | abe ? vb : ve, abd ? vd : (abe ? ve : vd)});
                } else {
                    mark[c] = kEdgePixel;
                }
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
