#pragma once

#include "Exame.h"

namespace endomira {

class TDataModule1;

// Reads a stored examination back into an exam record.
class TDExamination {
public:
    explicit TDExamination(TDataModule1& dataModule);

    // Fills every field of the record from the stored exam `id`; a null column reads as 0 or as
    // empty text, and the age is taken at the exam's date (0 without a birth date). Throws
    // TDBError, also when there is no exam `id`.
    void LoadExam(int id, TExame& exam);

private:
    TDataModule1& DM_;
};

} // namespace endomira
