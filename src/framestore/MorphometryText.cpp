#include "MorphometryText.h"

#include "RealText.h"
#include "UBFrameBuffer.h"

namespace endomira {

double HexagonalPercent(std::int64_t hexagonalCells, std::int64_t cellCount) {
    // The share has no value without cells; panels are only filled once there are some.
    if (cellCount == 0) {
        return 0.0;
    }
    return static_cast<double>(hexagonalCells) / static_cast<double>(cellCount) * 100.0;
}

TMorphometryText FormatMorphometry(const TMorphometryFigures& f) {
    TMorphometryText t;
    t.CellCount = QString::number(f.CellCount);
    t.AnalysedArea = FormatReal(f.AnalysedArea, u"0.0000");
    t.Density = QString::number(f.Density);
    t.AreaSD = FormatReal(f.AreaSD, u"0.00");
    t.MinArea = FormatReal(f.MinArea, u"0.00");
    t.MeanArea = FormatReal(f.MeanArea, u"0.00");
    t.MaxArea = FormatReal(f.MaxArea, u"0.00");
    t.Hexagonal = FormatReal(HexagonalPercent(f.HexagonalCells, f.CellCount), u"00");
    t.AreaCV = FormatReal(f.AreaCV * 100.0, u"00");
    t.Pachymetry = f.PlainPachymetry ? QString::number(f.Pachymetry)
                                     : FormatReal(static_cast<double>(f.Pachymetry), u"#000");
    t.FramesUsed = QString::number(f.FramesUsed);
    return t;
}

TMorphometryFigures FrameFigures(const TFrameRecord& frame, std::uint16_t pachymetry) {
    TMorphometryFigures f;
    f.CellCount = frame.CellCount;
    f.AnalysedArea = frame.AnalysedArea;
    f.Density = frame.Density;
    f.AreaSD = frame.AreaSD;
    f.MinArea = frame.MinArea;
    f.MeanArea = frame.MeanArea;
    f.MaxArea = frame.MaxArea;
    f.HexagonalCells = frame.SidesCount[2];
    f.AreaCV = frame.AreaCV;
    f.Pachymetry = pachymetry;
    f.FramesUsed = 1;
    return f;
}

TMorphometryFigures SummaryFigures(const TExamSummary& summary) {
    TMorphometryFigures f;
    f.CellCount = summary.CellCount;
    f.AnalysedArea = summary.AnalysedArea;
    f.Density = summary.Density;
    f.AreaSD = summary.AreaSD;
    f.MinArea = summary.MinArea;
    f.MeanArea = summary.MeanArea;
    f.MaxArea = summary.MaxArea;
    f.HexagonalCells = summary.SidesCount[2];
    f.AreaCV = summary.AreaCV;
    f.Pachymetry = summary.Pachymetry;
    f.FramesUsed = summary.FramesUsed;
    return f;
}

TMorphometryFigures StoredExamFigures(const TStoredExamSummary& exam) {
    TMorphometryFigures f;
    f.CellCount = exam.EXM_TOTALCELULAS;
    f.AnalysedArea = exam.EXM_AREAANALISADA;
    f.Density = exam.EXM_DENSIDADE;
    f.AreaSD = exam.EXM_DP;
    f.MinArea = exam.EXM_AREAMIN;
    f.MeanArea = exam.EXM_AREAMED;
    f.MaxArea = exam.EXM_AREAMAX;
    f.HexagonalCells = exam.EXM_HEXAGONAIS;
    f.AreaCV = exam.EXM_COEFVAR;
    f.Pachymetry = exam.EXM_PAQUIMETRIA;
    f.FramesUsed = exam.EXM_TOTALIMG;
    f.PlainPachymetry = true;
    return f;
}

} // namespace endomira
