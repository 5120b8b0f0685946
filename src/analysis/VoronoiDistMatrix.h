#pragma once

#include "FrameGeometry.h"
#include "UBCellFinder.h"

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

namespace endomira {

// Per-label results of a tessellation. Entry 0 is a header: after Recompute its four fields
// hold the centre count (Sides then also counts the vertex entries that name label 0).
struct TCellStat {
    std::int32_t Area = 0;  // pixels carrying the label
    std::int32_t Sides = 0; // vertex entries that name the label
    std::int32_t Row = 0;   // the label's centre, for a label that has pixels
    std::int32_t Col = 0;

    friend constexpr bool operator==(const TCellStat&, const TCellStat&) = default;
};

// The classes of cells by number of sides, used by the morphometry and the colouring alike:
// 4, 5, 6 and 7 sides, then every other number.
inline constexpr int kSidesClassCount = 5;

constexpr int SidesClassOf(std::int32_t sides) {
    return sides >= 4 && sides <= 7 ? sides - 4 : 4;
}

// A vertex pixel: the top-left pixel of a 2 x 2 block holding three labels, and those labels.
struct TVertex {
    std::int32_t Row = 0;
    std::int32_t Col = 0;
    std::int32_t Label1 = 0;
    std::int32_t Label2 = 0;
    std::int32_t Label3 = 0;

    friend constexpr bool operator==(const TVertex&, const TVertex&) = default;
};

using TCellStats = std::array<TCellStat, kMaxCenters + 1>;
using TLabelMap = std::array<std::int32_t, kFramePixels>; // 0 = no cell
using TEdgeMap = std::array<std::int32_t, kFramePixels>;

inline constexpr std::int32_t kEdgePixel = 55;
inline constexpr std::int32_t kVertexPixel = 255;
// Cells larger than this many pixels are not cells of the endothelium and are discarded.
inline constexpr std::int32_t kMaxCellArea = 800;
// The centre an operator deletes is parked on this row, below every real one, before sorting.
inline constexpr std::int32_t kDeletedCenterRow = 1000;

// The pixel-exact Voronoi tessellation of one frame's centres, and the editable centre set.
// Every edit is to be followed by Recompute; a restore recomputes by itself.
class TDistMatrix {
public:
    // Copies all entries of source into the centres and into the backup; the maps start empty.
    explicit TDistMatrix(const TCenterList& source);
    ~TDistMatrix();
    TDistMatrix(const TDistMatrix&) = delete;
    TDistMatrix& operator=(const TDistMatrix&) = delete;

    void Recompute();

    // An operator's centre. Ignored on an existing centre's exact pixel, outside the frame, or
    // when the list already holds kMaxCenters centres.
    void AddCell(int row, int col);
    // Deletes the centre of the cell under the pixel; ignored where no live cell lies.
    void DeleteCell(int row, int col);
    // Puts the detected centre set back and recomputes.
    void RestoreDetection();

    void CopyEdgeMap(std::span<std::int32_t, kFramePixels> dest) const;
    void CopyCenters(TCenterList& dest) const;
    const TCellStats& CellStats() const;
    // 0 outside the frame.
    std::int32_t LabelAt(int row, int col) const;
    // 0 for a label outside the table.
    std::int16_t SidesOf(int label) const;

    const TCenterList& Centers() const;
    const TCenterList& Backup() const;
    const TLabelMap& LabelMap() const;
    const TEdgeMap& EdgeMap() const;
    const std::vector<TVertex>& Vertices() const { return vertices_; }
    int Count() const { return CenterCount(Centers()); }

    struct TStorage;

private:
    struct TStorageDeleter {
        void operator()(TStorage* storage) const;
    };
    std::unique_ptr<TStorage, TStorageDeleter> storage_;
    std::vector<TVertex> vertices_;
};

// The steps of Recompute, in its order, on a label map.

// Discrete Voronoi diagram of centres 1 ... Count by a wavefront out of the centres; every
// pixel of the label map is written (0 where no centre reaches). A pixel keeps the label that
// reached it first unless a strictly closer centre arrives later. Propagation stays inside rows 1
// ... 478 and columns 1 ... 638. Centres outside the frame are skipped.
void Tessellate(const TCenterList& centers, TLabelMap& labels);
// Label 0 in rows 0, 1, 478, 479 and columns 0, 1, 638, 639 (corners excepted).
void ClearFrame(TLabelMap& labels);
// Areas and centres per label; the header gets the count.
void CountAreas(const TLabelMap& labels, const TCenterList& centers, TCellStats& stats);
// Label 0 for the 8-connected region of the pixel's label that holds the pixel. Returns the
// number of pixels erased.
std::int32_t EraseCell(TLabelMap& labels, int row, int col);
// Erases, at its centre's pixel, every cell whose counted area exceeds the limit; the areas of
// erased labels are reduced by the pixels erased.
void EraseLargeCells(TLabelMap& labels, const TCenterList& centers, TCellStats& stats,
                     std::int32_t limit);
// Erases every cell that reaches row 2 or 477 or column 2 or 637, reducing areas when given.
void EraseBorderCells(TLabelMap& labels, TCellStats* stats = nullptr);
// Row and Col 0 for every label left without pixels, as a fresh count would leave them.
void ForgetEmptyCells(TCellStats& stats);
void FindEdgesAndVertices(const TLabelMap& labels, TEdgeMap& edges, std::vector<TVertex>& vertices);
void CountSides(const std::vector<TVertex>& vertices, TCellStats& stats);

} // namespace endomira
