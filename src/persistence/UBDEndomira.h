#pragma once

#include "ExamImages.h"
#include "Exame.h"
#include "Medico.h"
#include "Paciente.h"
#include "UDataModule1.h"

#include <QString>
#include <span>

namespace endomira {

class TBFrameBuffer;

// The program's access to its records: patients, doctors and exams, their checks, their
// statements and the searches that fill the data module's lists. Each window that needs the
// database owns one instance; instances share only the data module's lists.
//
// Every value the operator types reaches the database as a bound parameter; a sort column is
// used only when it is a column of the list being sorted.
class TBDEndomira {
public:
    explicit TBDEndomira(TDataModule1& dataModule);

    // Schema version and its upgrade.
    QString GetDBVersion();
    void CheckDBUpgrade();
    // The repair of a first-version schema (CPF no longer unique nor required), statement by
    // statement, committed at the end; throws TDBError at the first statement that fails.
    void AlterPatientTable();

    // The operator's message for a failed statement; kind 1 patients, 2 doctors, 3 exams.
    void ShowDBError(int kind, const QString& message);
    static QString DBErrorText(int kind, const QString& message);

    // Patients.
    bool SavePatient(TPaciente& patient);
    bool DeactivatePatient(int id);
    bool RestorePatient(int id);
    // Errors reach the caller (TDBError).
    void SetPatientStatus(int id, int status);
    // Status 0 inactive, 1 active, 2 all; record number <= 0 for none; doctor id > 0 one doctor,
    // 0 any doctor, < 0 no condition; dates "dd/mm/yyyy"; sort key a column, "-column"
    // (ascending) or "+column" (descending); row to restore 1-based, 0 for none. Returns the
    // number of patients listed. Throws TDBError.
    int ListPatients(const QString& name, int status, int recordNumber, const QString& cpf,
                     int doctorId, const QString& sex, const QString& dateFrom,
                     const QString& dateTo, const QString& sortKey, int rowToRestore);

    // Doctors.
    bool SaveDoctor(TMedico& doctor);
    // Throws TDBError.
    int ListDoctors(const QString& name, int status, const QString& orderColumn);
    bool DeactivateDoctor(int id);
    // Every inactive doctor becomes active again.
    bool RestoreAllDoctors();

    // Exams: the row, then the images of the frame chosen from the examination's frames.
    bool StoreExam(TExame& exam, const TBFrameBuffer& frames);
    bool StoreExam(TExame& exam, std::span<const TExamFrameImages> frames);
    // Any list of frame records (see ExamFrameImages).
    template <typename Frames> bool StoreExam(TExame& exam, const Frames& frames) {
        const std::vector<TExamFrameImages> images = ExamFrameImages(frames);
        return StoreExam(exam, std::span<const TExamFrameImages>(images));
    }
    // Throws TDBError.
    int ListExams(int patientId, int doctorId, const QString& dateFrom, const QString& dateTo,
                  const QString& sortColumn);

    // Checks and normalisations of the forms.
    static bool IsValidCPF(const QString& text);
    static bool IsValidDate(const QString& text);
    static QString ProperCaseName(const QString& text);
    static bool IsValidEmail(const QString& trimmedEmail);

    QString SortDirection() const { return SortDirection_; }
    QString Connective() const { return Connective_; }

private:
    void FlipSortDirection();
    // The name conditions of a search, from the second word on (the first is the caller's).
    QStringList NameConditions(const QString& name, const QString& column, QVariantMap& params,
                               bool includeFirst);

    TDataModule1& DM_;
    QString Connective_ = QStringLiteral("AND");
    QString SortDirection_ = QStringLiteral("ASC");
};

} // namespace endomira
