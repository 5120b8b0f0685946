#pragma once

#include <QString>
#include <cstdint>

namespace endomira {

// One doctor as the doctor manager's form holds it: texts as typed, the id -1 until stored.
struct TMedico {
    std::int32_t Id = -1;
    QString Nome;
    QString Sexo;
    QString CRM;
    QString Especialidade;
    QString CPF;
    QString RG;
    QString Orgao;
    QString Nascimento; // "dd/mm/yyyy", optional
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
