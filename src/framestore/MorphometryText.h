#pragma once

#include <QString>

#include <cstdint>

namespace endomira {

struct TFrameRecord;
struct TExamSummary;
struct TStoredExamSummary;

// The figures one results panel shows: the frame panel "Resultados desta imagem", the
// examination panel "Resumo estatístico", a saved examination and the printed report.
struct TMorphometryFigures {
    std::int64_t CellCount = 0;
    double AnalysedArea = 0.0; // mm²
    std::int64_t Density = 0;
    double AreaSD = 0.0;
    double MinArea = 0.0;
    double MeanArea = 0.0;
    double MaxArea = 0.0;
    std::int64_t HexagonalCells = 0; // cells with six sides (a mean count for an examination)
    double AreaCV = 0.0;             // a fraction
    std::int64_t Pachymetry = 0;     // µm
    std::int64_t FramesUsed = 0;
    // A saved examination shows its stored pachymetry in plain decimal.
    bool PlainPachymetry = false;
};

// The texts of the figures, with the process's decimal separator.
struct TMorphometryText {
    QString CellCount;    // decimal
    QString AnalysedArea; // "0.0000"
    QString Density;      // decimal
    QString AreaSD;       // "0.00"
    QString MinArea;      // "0.00"
    QString MeanArea;     // "0.00"
    QString MaxArea;      // "0.00"
    QString Hexagonal;    // percent of the cells, "00"
    QString AreaCV;       // percent, "00"
    QString Pachymetry;   // "#000", or decimal for a saved examination
    QString FramesUsed;   // decimal
};

// Hexagonal cells as a percentage of the cells; 0 without cells.
double HexagonalPercent(std::int64_t hexagonalCells, std::int64_t cellCount);

TMorphometryText FormatMorphometry(const TMorphometryFigures& figures);

TMorphometryFigures FrameFigures(const TFrameRecord& frame, std::uint16_t pachymetry);
TMorphometryFigures SummaryFigures(const TExamSummary& summary);
// A saved examination: hexagonal share from EXM_HEXAGONAIS / EXM_TOTALCELULAS, pachymetry plain.
TMorphometryFigures StoredExamFigures(const TStoredExamSummary& exam);

} // namespace endomira
