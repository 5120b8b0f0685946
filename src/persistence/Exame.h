#pragma once

#include <QString>
#include <cstdint>

namespace endomira {

// One examination of one eye: the row of EXAME plus the doctor's and patient's details shown
// with it. EXM_ID is -1 until the first save stores it.
struct TExame {
    std::int32_t EXM_ID = -1;
    std::int32_t EXM_MEDICO = 0;
    QString MED_NOME;
    QString MED_CRM;
    std::int32_t EXM_PACIENTE = 0;
    std::int32_t PAC_PRONTUARIO = 0;
    std::int32_t EXM_IDADE = 0; // whole years at EXM_DATA, 0 to 255
    QString EXM_DATA;           // "dd/mm/yyyy"
    QString EXM_HORA;           // "hh:mm:ss"
    std::int32_t EXM_OLHO = 0;  // 0 OD, 1 OS
    QString EXM_FIX_SIDE;       // "N", "T" or empty
    std::uint16_t EXM_FIX_POS = 0;
    QString EXM_FIRMWARE;
    QString EXM_SOFTWARE;
    std::int32_t EXM_TOTALCELULAS = 0;
    double EXM_AREAANALISADA = 0.0;
    std::int32_t EXM_DENSIDADE = 0;
    double EXM_DP = 0.0;
    double EXM_AREAMIN = 0.0;
    double EXM_AREAMED = 0.0;
    double EXM_AREAMAX = 0.0;
    std::int32_t EXM_HEXAGONAIS = 0;
    double EXM_COEFVAR = 0.0;
    std::int32_t EXM_TOTALIMG = 0;
    std::int32_t EXM_PAQUIMETRIA = 0;
    QString EXM_MORPHOINFO;
    QString EXM_MEGATINFO;
    QString EXM_IMG_CROP_ORIG;
    QString EXM_IMG_CROP_PROC;
    QString EXM_DIAGNOSTICO;
    QString EXM_OBSERVACAO;
};

} // namespace endomira
