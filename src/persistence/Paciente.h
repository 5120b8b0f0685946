#pragma once

#include <QString>
#include <cstdint>

namespace endomira {

// One patient as the patient manager's form holds it: every field is the text typed, except the
// id (-1 until the record is stored).
struct TPaciente {
    std::int32_t Id = -1;
    QString Prontuario;
    QString Nome;
    QString Sexo;
    QString Prof;
    QString Civil;
    QString Sangue;
    QString CPF;
    QString RG;
    QString Orgao;
    QString Nascimento; // "dd/mm/yyyy"
    QString Natural;
    QString NatUF;
    QString Pai;
    QString Mae;
    QString Logradouro;
    QString Complemento;
    QString Bairro;
    QString Cidade;
    QString UF;
    QString CEP;
    QString Fone1;
    QString Fone2;
    QString Fone3;
    QString Email;
    QString Observacoes;
};

} // namespace endomira
